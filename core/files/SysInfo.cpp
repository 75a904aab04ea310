#include "SysInfo.h"
#include "CiFile.h"
#include "Paths.h"

#include <QSysInfo>

namespace SysInfo {
QString computerName()
{
    return QSysInfo::machineHostName().left(200);
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
