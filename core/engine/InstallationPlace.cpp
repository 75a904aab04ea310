#include "InstallationPlace.h"

#include <CiFile.h>
#include <Paths.h>

InstallationPlace InstallationPlace::files(const QString& root)
{
    InstallationPlace p;
    p.m_root = root.isEmpty() ? QString() : Paths::withTrailingSep(root);
    return p;
}

InstallationPlace InstallationPlace::server(const ConnInfo& server)
{
    InstallationPlace p;
    p.m_onServer = true;
    p.m_server = server;
    return p;
}

QString InstallationPlace::sysDbPath() const
{
    return m_onServer ? QString() : sysDbPathUnder(m_root);
}

QString InstallationPlace::sysDbPathUnder(const QString& root)
{
    return CiFile::resolve(Paths::join(root, QStringLiteral("DeZaduzi/DeZaduzi.mdb")));
}

QString InstallationPlace::shown() const
{
    return m_onServer ? m_server.label() : m_root;
}
