#pragma once
#include <QString>

namespace SysInfo {
// The workstation's name as the operating system reports it (at most 200 characters).
QString computerName();
// Stands in for the Windows system directory: the folder named by REVOZI_SYSDIR,
// empty when unset (then no mirror or shadow system database exists). No trailing separator.
QString systemDirectory();
}
