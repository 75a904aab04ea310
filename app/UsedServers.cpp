#include "UsedServers.h"

#include <QSettings>

namespace {
const char* const kListKey = "login/servers";
const char* const kLastKey = "login/last";

QSettings store()
{
    return QSettings(QStringLiteral("revozi"), QStringLiteral("revozi-admin"));
}
} // namespace

namespace UsedServers {
QStringList list()
{
    return store().value(QLatin1String(kListKey)).toStringList();
}

QString last()
{
    return store().value(QLatin1String(kLastKey)).toString();
}

void remember(const ConnInfo& server)
{
    QSettings s = store();
    const QString kept = server.withoutPassword();
    s.setValue(QLatin1String(kLastKey), kept);
    if (kept.isEmpty())
        return;
    QStringList servers = s.value(QLatin1String(kListKey)).toStringList();
    servers.removeAll(kept);
    servers.prepend(kept);
    while (servers.size() > kKept)
        servers.removeLast();
    s.setValue(QLatin1String(kListKey), servers);
}
}
