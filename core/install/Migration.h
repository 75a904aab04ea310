#pragma once
// Moving an installation of files onto a server: its system database and every set's books of
// every year become the server layout (the schema "dezaduzi" and one schema zt<set>_<year> per
// books), every table streamed through the server's COPY, all in one server transaction. Before
// the commit every table is compared on both sides (its rows' count and a checksum of their
// values as each engine gives them back); any difference, failure or cancel rolls the server back
// whole. The files stay as they were, but for a mark naming the server (movedTo) and the move's
// row in their log; the server's log gets the same row, its chain continuing the files' chain.
#include <AuditLog.h>
#include <ConnInfo.h>
#include <Outcome.h>

#include <QString>

#include <functional>

class Database;

struct MigrationOutcome {
    enum class Status { Done, Refused, Failed, Cancelled };
    Status status = Status::Failed;
    Notice notice;    // what to tell, in the console's language
    int books = 0;    // books (set and year) moved
    bool done() const { return status == Status::Done; }
};

namespace Migration {
// The table being copied (as the server names it: schema.table) and the bytes of rows sent so
// far against the total of the files' sizes (an estimate: the files hold free pages and indexes).
using Progress = std::function<void(const QString& table, qint64 bytes, qint64 total)>;

// Moves the installation at `root`, whose system database is open in `sysDb`, into the empty
// database `server` names. Refused when that database already holds an installation (or
// schemas of one). `control` reports per cent and is asked between tables and rows; a cancel
// before the commit leaves both sides as they were. `sysDb` is a connection of the caller's work
// alone (a console opens one with Database::openLike, off its window's thread): it and every
// set's books are held for writing while the move runs, so no other program changes them under
// the copy (their writes wait, then fail as locked).
MigrationOutcome moveToServer(Database& sysDb, const QString& root, const ConnInfo& server, const AuditContext& who,
                              const WorkControl& control = {}, const Progress& progress = {});

// The server (its connection string without a password) the installation at `root` was moved
// to; empty when it was not moved (or has no system database).
QString movedTo(const QString& root);

// Called between the copy and the comparison with the files' system database connection: a test
// changes a row of the files there, as another program would, to see the comparison refuse.
using CompareHook = std::function<void(Database& sysDb)>;
void setCompareHook(const CompareHook& hook);
}
