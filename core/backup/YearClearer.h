#pragma once
// 清空年度数据: one year of an account set emptied but for its options, coding scheme and chart of
// accounts (AccInformation, GradeDef and code), after a backup set of that year has been written.
//
// The backup set is written first, into a folder of its own, complete and checked as the export
// writes it (its manifest's size and checksum taken while it is written); only then are the
// year's other tables emptied, committed in one transaction with the action's audit-log row. A
// backup that cannot be written leaves the books as they are; a failure or a crash during the
// emptying rolls it back, the backup set staying written. On files, new books holding the kept
// tables take the books' place the way an import places its copy (AccountImporter::replaceBooks:
// the same pending record, and the old books back through recover after a crash); on a server
// the year's schema is claimed (BooksLock) and its other tables truncated in the transaction.
#include <AuditLog.h>
#include <Outcome.h>
#include <Words.h>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class Database;

class YearClearer {
public:
    // `who` is named in the audit-log rows.
    YearClearer(Database& sysDb, const QString& accId, int year, const AuditContext& who = {});

    // The tables that keep their rows: the year's options, coding scheme and chart of accounts.
    static const QStringList& keptTables();

    // Where the console proposes the backup: <backups>/<set>-<year>/<yyyyMMdd-HHmmss>/, as
    // `revozi-backup export --all` lays out its backups (so its retention and `verify --all` read
    // them too). `backups` empty: ~/revozi-backups.
    static QString backupFolder(const QString& accId, int year, const QDateTime& when = QDateTime::currentDateTime(),
                                const QString& backups = QString());

    // Called after each durable step of clear with its name: "backup" (the backup set written),
    // "emptied" (the tables emptied and the row written, not yet committed), so a test can stop
    // the work there as a crash would.
    using StepHook = std::function<void(const QString& step)>;

    struct Result {
        enum class Status {
            Done,       // the backup written and the year emptied
            Failed,     // nothing was emptied (the backup may have been written: the notice says)
            Cancelled,  // stopped through the cancel flag before the emptying's commit
        };
        Status status = Status::Failed;
        Notice notice;   // what to show; empty when cancelled
        QString reason;  // a failure's notice in Chinese, as the audit log keeps it
        bool done() const { return status == Status::Done; }
    };

    // Writes the backup set of the year into `folder` (made when missing; it must hold nothing
    // yet), then empties the year. Progress: the backup up to 80, the emptying to 100; the cancel
    // flag is looked at up to the emptying's commit. A failure leaves a failed audit-log row.
    Result clear(const QString& folder, const WorkControl& control = {}, const StepHook& afterStep = {});

    // Title of the work's questions and reports.
    static QString title();

private:
    // The backup set written and checked; why not, or empty words.
    Words writeBackup(const QString& folder, const WorkControl& control, bool* cancelled);
    // The year's tables emptied and the audit row written in one transaction; why not, or empty.
    Words empty(const QString& folder, const WorkControl& control, const StepHook& afterStep, bool* cancelled);
    // A server's books (attached) emptied in the open transaction, claimed for it.
    void emptyTables();
    // The audit row written in the emptying's transaction; false when it must not commit (cancelled).
    bool commitRow(const QString& folder, const WorkControl& control, const StepHook& afterStep, bool* cancelled);
    Result failed(const QString& folder, const Words& why);

    Database& m_sysDb;
    QString m_accId;
    int m_year = 0;
    AuditContext m_who;
};
