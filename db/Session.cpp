#include "Session.h"

#include <Paths.h>

void Session::setRoot(const QString& commandLineRoot)
{
    root = Paths::withTrailingSep(commandLineRoot);
    installation = InstallationPlace::files(root);
}

QString Session::systemFolder() const
{
    return root.isEmpty() ? QString() : root + QStringLiteral("DeZaduzi/");
}

QString Session::shownServer() const
{
    return onServer() ? installation.conn().label() : computerName;
}

AuditContext Session::auditContext(const QString& operatorId) const
{
    return AuditContext{operatorId, computerName, QString()};
}
