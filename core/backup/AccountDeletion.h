#pragma once
// Deleting an account set: its account database file, then its rows in the system database and
// in the mirror system database when one exists.
//
// deleteSet keeps the two together across a crash: every year's books are first renamed to a
// tombstone beside them (all recorded beforehand in a pending file beside the system database),
// the rows are deleted in one transaction, and only then are the tombstones removed. A failed
// transaction renames the tombstones back; a crash in between is finished or undone, year by
// year, by recover() on the next start, according to whether the rows' transaction committed.
#include <AuditLog.h>

#include <QString>

#include <functional>

class Database;

namespace AccountDeletion {
// Deletes the account database of every year of the set (those files; their folders stay).
// True when the set has no row or the files are gone afterwards; false (logged) when a file could
// not be deleted, for example while another program is writing to it.
bool DelAccFiles(Database& sysDb, const QString& accId);

// Deletes the set's holdings, CreateAcc row, periods, enabled subsystems, log and SM_Account rows,
// in the system database and then in the mirror. Each database changes completely or not at all;
// false (logged) when the system database could not be changed.
bool DelDbInfo(Database& sysDb, const QString& accId);

enum class Result {
    Deleted,     // books and rows are gone
    BooksKept,   // the books could not be taken (in use, not removable): nothing was changed
    RowsKept,    // the rows could not be deleted: the books are back under their name, nothing lost
};

// Called after each durable step of deleteSet with its name ("pending", "tombstone" once for each
// year's books, "rows", "mirror", "removed"), so a test can stop the work there as a crash would.
using StepHook = std::function<void(const QString& step)>;

// The set's books and rows, as DelAccFiles and then DelDbInfo, but never one without the other.
// Finishes a deletion left over by a crash first. The deletion's audit-log row goes under the
// empty key, in the rows' transaction (the set's own log rows go with the set); a deletion that
// does not happen leaves a failed row, and `why` (when given) the reason to show.
// On a server installation the books schema of every year of the set and the rows go in one
// transaction, refused (BooksKept, naming the workstation) while another session has the books open.
Result deleteSet(Database& sysDb, const QString& accId, const StepHook& afterStep = {}, const AuditContext& who = {},
                 QString* why = nullptr);

// Finishes (the rows are gone: removes the tombstone and the mirror's rows) or undoes (the rows
// are there: renames the tombstone back to the books) a deletion that a crash interrupted. True
// when nothing is left pending afterwards; false (logged) when the pending file stays for the
// next start.
bool recover(Database& sysDb);

// The pending file of the installation whose system database is `sysDb`.
QString pendingPath(const Database& sysDb);
}
