#pragma once
// The servers this workstation has used, remembered in the user's configuration for the login's
// server row: connection strings without their password, the last chosen first.
#include <QString>
#include <QStringList>

namespace UsedServers {
inline constexpr int kKept = 10;

// The remembered connection strings, the most recently chosen first.
QStringList list();
// The last choice: a connection string, or empty for the installation root's files.
QString last();
// Records a choice that worked (empty: the installation root's files); a server goes first in
// list(), its password left out.
void remember(const QString& conninfo);

// The connection string without any password=... pair (kept in ~/.pgpass instead).
QString withoutPassword(const QString& conninfo);
// The connection string as the console connects with it: a server that does not answer is given
// up after some seconds (unless the string says how long itself) instead of hanging the window.
QString forConnecting(const QString& conninfo);
}
