#pragma once
#include "TestEngine.h"
// What the backup-area core tests share: reading rows back, the import as the console runs it, a
// backup set made to match a changed data file, and an installation whose set, made as the wizard
// makes it, has been exported into a folder.
#include "TestRoot.h"

#include <AccountExporter.h>
#include <AccountImporter.h>

#include <QString>
#include <QStringList>
#include <QVariantList>

class Database;
class QProcess;

int count(Database& db, const QString& sql, const QVariantList& params = {});
// One line per row, its cells joined by '|', a null shown as <null>.
QStringList rows(Database& db, const QString& sql, const QVariantList& params = {});
// Every row of every table, to show that a refused or stopped import wrote nothing.
QStringList dump(Database& db);
// dump() without the audit log, and the console's log rows as "key|action|result", oldest first:
// a refused or failed action changes nothing else but leaves its row.
QStringList dumpBesidesLog(Database& db);
QStringList auditRows(Database& db);
// True when `now` is `before` and one row more, that of a refused or failed import of the set
// (or of a descriptor that names no set).
bool oneFailedImportRow(const QStringList& before, const QStringList& now);
// The files of a folder, hidden ones included.
QStringList filesIn(const QString& dir);
// The files of the backup set in `from` copied into `to` (made when missing).
void copyBackup(const QString& from, const QString& to);
// Runs each statement with $A replaced by the set and $Y by its year.
void insertRows(Database& db, const QString& acc, int year, const QStringList& statements);

// prepare and writeBackupSet into `dir` (made when missing), as the export dialog runs them;
// sealed, compressed and/or encrypted with `passphrase` (none when empty), when asked.
bool exportTo(Database& db, const QString& acc, const QString& dir, const AccountExporter::StepHook& hook = {}, bool compress = false,
              const QString& passphrase = QString());
// load, the passphrase when the set asks for it (a wrong one ends it there), the kept or a new
// folder, and the restore, as the console runs them after its questions.
AccountImporter::Result import(Database& sys, const QString& lst, const QString& newFolder = QString(),
                               const WorkControl& control = {}, const QString& passphrase = QString());
inline bool exportSealed(Database& db, const QString& acc, const QString& dir, bool compress, const QString& passphrase)
{
    return exportTo(db, acc, dir, {}, compress, passphrase);
}
inline AccountImporter::Result importSealed(Database& sys, const QString& lst, const QString& passphrase, const QString& newFolder = QString())
{
    return import(sys, lst, newFolder, {}, passphrase);
}
// Every file under `dir` that holds `text` (as UTF-8).
QStringList filesHolding(const QString& dir, const QString& text);

// The descriptor's Bytes= and a manifest made to match the data file in `dir` as it is now: a
// backup set that an export could have written with this data file.
void seal(const QString& dir);

// An installation whose set `acc` of `year`, made as the wizard makes it in ROOT/books, is
// exported into ROOT/out (or `out`). Before the export, `sysRows` ($A the set, $Y its year) go
// into the system database and `bookRows` into the set's books.
struct BackupRoot : TestRoot {
    QString books = root() + QStringLiteral("/books");
    QString backup = root() + QStringLiteral("/out");
    QString lst = backup + QStringLiteral("/KdErpAct.Lst");
    QString live;     // the set's books
    QString folder;   // their year folder

    explicit BackupRoot(const QString& acc = QStringLiteral("003"), int year = 2026, const QStringList& sysRows = {},
                        const QStringList& bookRows = {}, const QString& out = QString());
    // Another set made and exported the same way into `dir`.
    void make(const QString& acc, int year, const QString& dir, const QStringList& sysRows = {},
              const QStringList& bookRows = {});
    QStringList yearFiles() { return filesIn(folder); }
    // Where an import notes the year folder it is replacing, until it is done.
    QString pending();
};

// A program built beside the tests (revozi-backup unless told) run to its end: its exit status
// (-1 when it did not end normally) and what it wrote. `now` sets its clock (REVOZI_NOW), `cwd`
// where it runs.
struct Run {
    int status = -1;
    QString out;
    QString err;
};
Run run(const QStringList& args, const QString& now = QString(), const QString& cwd = QString(),
        const QString& tool = QStringLiteral("revozi-backup"));
// The same started, to be finished while the test does something else meanwhile.
void startTool(QProcess& p, const QStringList& args, const QString& now = QString(), const QString& cwd = QString(),
               const QString& tool = QStringLiteral("revozi-backup"));
Run finishTool(QProcess& p);
QString describe(const Run& r);

// Every folder below `dir` and every file with its checksum and size (through links): what a dry
// run, or a failed or refused write beside what it may not touch, must leave as it was.
QStringList tree(const QString& dir);

// A server installation in a database of its own on the run's server (made through the database
// the run's PG* variables name, dropped at the end). Check TestEngine::serverMissing() first.
struct ServerInstall {
    ServerDatabase database;
    QString conninfo;   // "dbname=NAME", the rest from the PG* variables
    Database* sys;      // its system database

    ServerInstall();
    ~ServerInstall();
    ServerInstall(const ServerInstall&) = delete;
    ServerInstall& operator=(const ServerInstall&) = delete;
};

