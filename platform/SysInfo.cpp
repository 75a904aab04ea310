#include "SysInfo.h"
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
}
