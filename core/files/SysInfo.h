#pragma once
#include <QString>

namespace SysInfo {
// The workstation's name as the operating system reports it (at most 200 characters).
QString computerName();
// The name of the operating-system user this process runs as.
QString osUser();
// The system directory: the folder named by REVOZI_SYSDIR, empty when unset (then no mirror or
// shadow system database exists). No trailing separator.
QString systemDirectory();
// The mirror system database under the system directory; empty when it does not exist.
QString mirrorSysDbPath();
}
