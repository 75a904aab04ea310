#pragma once
// The servers this workstation has used, remembered in the user's configuration for the login's
// server row: connection strings without their password, the last chosen first.
#include <ConnInfo.h>

#include <QString>
#include <QStringList>

namespace UsedServers {
inline constexpr int kKept = 10;
// A server that does not answer the console is given up after this many seconds (unless its
// connection string says how long itself), instead of hanging the window.
inline constexpr int kGiveUpSeconds = 10;

// The remembered connection strings, the most recently chosen first.
QStringList list();
// The last choice: a connection string, or empty for the installation root's files.
QString last();
// Records a choice that worked (empty: the installation root's files); a server goes first in
// list(), its password left out (kept in ~/.pgpass instead).
void remember(const ConnInfo& server);
}
