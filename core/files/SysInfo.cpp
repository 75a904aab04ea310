#include "SysInfo.h"
#include "CiFile.h"
#include "Paths.h"

#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace SysInfo {
QString computerName()
{
    return QSysInfo::machineHostName().left(200);
}

QString osUser()
{
    static const QString name = [] {
        const passwd* pw = ::getpwuid(::geteuid());
        if (pw && pw->pw_name)
            return QString::fromLocal8Bit(pw->pw_name);
        return qEnvironmentVariable("USER");
    }();
    return name;
}

QString systemDirectory()
{
    const QString dir = qEnvironmentVariable("REVOZI_SYSDIR");
    return dir.isEmpty() ? QString() : Paths::withoutTrailingSep(dir);
}

QString mirrorSysDbPath()
{
    const QString dir = systemDirectory();
    if (dir.isEmpty())
        return QString();
    const QString p = CiFile::resolve(Paths::join(dir, QStringLiteral("DeZaduzi/DeZaduzi.mdb")));
    return CiFile::isFile(p) ? p : QString();
}
}
