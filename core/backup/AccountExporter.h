#pragma once
// Writes a backup set of one account set: the set's system rows go into transfer tables inside
// its account database, a compacted copy of that database is prepared in the year folder, and
// the copy with its descriptor is then placed in the folder the user chooses.
#include <BackupSet.h>
#include <Database.h>
#include <Manifest.h>
#include <Outcome.h>
#include <Words.h>

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class Passphrase;

class AccountExporter {
public:
    // The set as the system database records it: its SM_Account row of `year`, or its first row
    // when `year` is 0 (the console's export). With a year given, the account and period transfer
    // tables carry that year's rows alone, so the backup set names the one year whose books it
    // holds and the import restores that year and no other.
    AccountExporter(Database& sysDb, const QString& accId, int year = 0);

    // The twelve transfer tables, in the order they are filled.
    static const QStringList& transferTables();
    // The eight that the preparation removes again from the live account database.
    static const QStringList& droppedAfterCompacting();

    bool found() const { return m_found; }
    QString accId() const { return m_accId; }
    int year() const { return m_year; }
    QString accountFolder() const;     // PATH/zt<acc>
    QString yearFolder() const;        // PATH/zt<acc>/<year>/ (with a trailing separator)
    QString databasePath() const;      // the account database
    // Where the copy is prepared: the year folder, or on a server installation a folder of this
    // workstation's user in the temporary folder (the books have no folder of their own there).
    QString workFolder() const;
    QString workCopyPath() const;      // <work folder>/<acc>_kddata.mdb, the compacted copy being written
    QString preparedCopyPath() const;  // <work folder>/kddata.BAK, the finished copy

    // Fills the transfer tables, compacts the account database into the prepared copy and removes
    // the transfer tables again. A failing step is logged and skipped, as the next steps do not
    // depend on it; returns false when any step failed (the descriptor then says "Backup=false").
    // The progress receives 80 before the copy is made and 100 before it gets its final name. It
    // may run on a thread of its own: it opens its own connections and uses no shared state.
    bool prepare(const WorkControl& control = {});
    const QStringList& errors() const { return m_errors; }

    // Books made before incremental auto-vacuum (the template's mode now): free pages (as a share
    // of the file) from which the prepared copy is rebuilt by VACUUM INTO; below it the pages are
    // copied as they stand, which is several times faster. Books in incremental mode are always
    // copied as they stand and then compacted in the copy by PRAGMA incremental_vacuum.
    static constexpr double kCompactShare = 0.10;

    // Called after each durable step of writeBackupSet with the step's name ("data", "cleared",
    // "renamed", "manifest", "descriptor"), so a test can stop the work there as a kill would.
    using StepHook = std::function<void(const QString& step)>;

    // Places the prepared copy in `dir` as "kddata.BA_", then writes the manifest "KdErpAct.sum"
    // and last the descriptor "KdErpAct.Lst", each whole under a temporary name, flushed and
    // renamed; the earlier set's manifest and descriptor are removed before its data file is
    // replaced. Then removes the prepared copy. `backupOk` becomes line 11. False with a reason in
    // `error` when a file could not be written; the prepared copy then stays where it is.
    // Touches no database, so it may run on a thread of its own.
    bool writeBackupSet(const QString& dir, bool backupOk, QString* error = nullptr, const StepHook& afterStep = {});
    // Why the last writeBackupSet failed, in both forms: `error` got the shown one, the export's
    // log row keeps the Chinese. Empty after a success.
    const Words& failure() const { return m_failure; }

    // How writeBackupSet writes the data file: compressed, encrypted with `passphrase`, both
    // (compressed first), or as the prepared copy stands (neither, the default). The manifest then
    // records the seal and the checksum of the sealed bytes; the descriptor keeps the books' size.
    void sealWith(bool compress, std::shared_ptr<const Passphrase> passphrase);

private:
    // writeBackupSet's steps; a failure leaves its reason in m_failure.
    bool writeSet(const QString& dir, bool backupOk, const StepHook& afterStep);
    // Why the backup set cannot be written into `dir` at all; empty when it can.
    Words refusalBefore(const QString& dir) const;
    // The data file under its temporary name `temp`, complete and flushed, and its manifest's values.
    bool writeDataFile(const QString& temp, BackupSet::Manifest* m, Words* why);
    // The prepared copy sealed into the new file `to`, its sealed bytes summed as they are written.
    bool sealInto(const QString& to, BackupSet::Manifest* m, Words* why);
    // Steps of prepare: the server's books streamed into the work copy; the books' transfer tables
    // refilled; the snapshot taken and the tables dropped again; the finished copy named.
    void streamServerCopy(const QString& work);
    void refill(Database& acc);
    void snapshotAndDrop(Database& acc, const QString& work);
    void nameFinished(const QString& work, const QString& prepared);
    BackupSet::DescriptorInfo descriptorInfo(qint64 booksBytes, bool backupOk) const;
    // The prepared copy goes once its backup set is complete (a server's work folder with it).
    void removePrepared();

    void fail(const QString& step, const QString& text);
    // Whether another program holds the books now: why a prepared copy is usually missing.
    bool booksInUse() const;
    void begin(Database& db);
    void commit(Database& db);
    // Runs `work` as one all-or-nothing step (a savepoint); a failure is logged and undone.
    bool step(Database& db, const QString& name, const std::function<void()>& work);
    // The same on a server, in one round trip: the savepoint, the statements and the release.
    bool serverStep(Database& db, const QString& name, const QList<Database::Statement>& work);
    void fillTransferTables(Database& acc);
    void snapshotInto(Database& acc, const QString& target);
    // A server installation's books and rows, streamed into a new file at `target`.
    void streamInto(const QString& target);
    // Flushes a finished copy once and keeps its checksum, read meanwhile from the page cache.
    void seal(const QString& copy);

    QString m_sysDbPath;
    // A server installation: its connection string and the system database's schema.
    bool m_server = false;
    QString m_conninfo;
    QString m_sysSchema;
    QString m_accId;
    QString m_accPath;
    QVariant m_sysId;
    int m_year = 0;
    bool m_oneYear = false;
    bool m_found = false;
    QStringList m_errors;
    // The prepared copy's size and checksum, taken while it was written, and the stamp it had
    // then: the backup set's manifest when the copy is still that file.
    FileSum m_preparedSum;
    QByteArray m_preparedStamp;
    bool m_compress = false;
    std::shared_ptr<const Passphrase> m_passphrase;
    Words m_failure;
};
