#pragma once
// The audit log: one SM_Log row per administrative action, saying who did what, when, from where
// and how it ended. Each row carries a hash of its own content chained to the previous row of the
// same key (cAcc_Id), and each key's head (SM_LogHead) its last hash, row count and last row, so a
// row changed, removed or slipped in with an outside tool is found (AuditChain). Installation-wide
// actions use the empty key; a set's actions use the set's number, so its rows leave with its
// export. An import brings them back as the set's history, marked (cOrigin) and kept out of this
// installation's chain.
//
// A row of an action that has a transaction on the same database is written inside it: it commits
// with the action or not at all. A failed action's row (失败) is written after its rollback.
#include <Database.h>
#include <Engine.h>

#include <QString>
#include <QStringList>

#include <functional>

class RowView;

// Who acts: given by the caller (the console passes the logged-in operator and the workstation;
// a command-line tool passes none), never read from shared state.
struct AuditContext {
    QString operatorId;   // empty: no operator (a command-line tool)
    QString station;      // empty: this machine's name
    QString osUser;       // empty: the user this process runs as
};

struct AuditEntry {
    enum class Result { Done, Failed, Refused };

    QString action;   // the action's code (AuditActions)
    QString detail;   // what was done, in words; never a password
    QString accId;    // the set; empty for an installation-wide action
    int year = 0;     // the set's year; 0 for none
    Result result = Result::Done;
    QString reason;   // why it failed or was refused, in Chinese whatever the console speaks (DbError::reasonText)
    QString operatorId;   // when set, the operator the row names instead of the context's (log-in)

    AuditEntry failed(const QString& why) const;
    AuditEntry refused(const QString& why) const;
    static QString resultText(Result r);   // 成功, 失败, 拒绝
};

namespace AuditLog {
// The system management's own module code: its rows are the chained ones. Other modules of the
// suite may keep rows of their own in SM_Log, outside the chain.
inline const QString kSubId = QStringLiteral("AA");
// cOrigin of a row that came with an imported backup set (empty: written here).
inline const QString kImported = QStringLiteral("IMPORT");

// Writes the row into `schema`'s SM_Log ("main" is the database itself; an attached system
// database has its alias) inside the open transaction of `db` when there is one, else in a
// transaction of its own. Throws DbError; within the caller's transaction a failure fails the action.
void write(Database& db, const AuditContext& who, const AuditEntry& entry, const QString& schema = QStringLiteral("main"));

// The same row in two of the caller's own round trips, inside its transaction: the key's lock and
// head read go at the end of one of its batches (headStatements, for the set `accId` the entry
// names), and the row and its head, made from that batch's last result, in the next batch or with
// the commit (rowStatements). write() is these two.
QList<Database::Statement> headStatements(Database& db, const QString& accId, const QString& schema = QStringLiteral("main"));
QList<Database::Statement> rowStatements(Database& db, const AuditContext& who, const AuditEntry& entry, const Recordset& head,
                                         const QString& schema = QStringLiteral("main"));

// The same for a row that must not stop anything: a failed action's row, a log-in. A failure is
// logged (WriteErrLog) and false returned. A failed action's row waits for another program's
// lock at most kFailedRowWaitMs (the action has just waited for it).
inline constexpr int kFailedRowWaitMs = 500;
bool record(Database& db, const AuditContext& who, const AuditEntry& entry) noexcept;

// Runs `work` and writes `entry` in one transaction of `db`. When anything fails, the transaction
// is rolled back, the entry is recorded as failed with the engine's text, and the DbError rethrown.
void run(Database& db, const AuditContext& who, const AuditEntry& entry, const std::function<void()>& work);

// Brings SM_Log and SM_LogHead to the columns the log needs (ALTER TABLE ... ADD COLUMN for each
// missing one, so an older installation keeps its rows) on either engine. When the heads gain
// their count and last row, each key's are filled in from its rows as they stand; when the log
// gains cOrigin, rows that an earlier import mixed into a key's chain are marked imported.
// True when it had to change anything.
bool upgrade(Database& db, const QString& schema = QStringLiteral("main"));

// What a log brought up to date has beyond its first columns: "table.column" names and its
// indexes, so that opening an installation can ask for them with the rest of its upkeep in one
// statement, and upgrade only when one is missing.
struct Shape {
    QStringList columns;
    QStringList indexes;
};
Shape shape(Engine engine);
// Tells the writer that the log `db` has open is up to date (the installation's upkeep found it
// so, or brought it there): its first row on this connection asks nothing more.
void markUpToDate(Database& db, const QString& schema = QStringLiteral("main"));

// Inside an import's transaction: the set's own rows of the backup set's SM_Log_Ex (attached as
// `alias`) join SM_Log as the set's imported history, in the order they were written, marked
// imported; a row already here (a set brought back to where it was exported) is not doubled.
// Rows of other sets and installation-wide rows are left out: returns how many. A backup set
// without the table brings nothing (logged). Throws DbError.
int mergeImported(Database& db, const QString& alias, const QString& accId);

// A deleted set's key leaves the heads with its rows (inside the deletion's transaction).
void dropKey(Database& db, const QString& accId);

// The hash of a row's content and its predecessor's hash: 32 lowercase hex digits of XXH3-128.
struct RowContent {
    QString accId, year, subId, operatorId, station, osUser, date, time, action, result, reason, detail, prevHash;
};
QString hashOf(const RowContent& row);
// The SM_Log columns of a row's content, in RowContent's order, and the content read from them
// where they start at column `first` of a result.
extern const QString kContentColumns;
RowContent contentAt(const RowView& q, int first);

// The system database `sysDbPath` attached to another database's connection for the life of this
// object, so work on that other file (the coding scheme and the precision, in the set's books) and
// its row commit in one transaction. Attach before the transaction begins. With an empty path
// nothing is attached and nothing written (a dialog opened without a system database).
class Attached {
public:
    Attached(Database& db, const QString& sysDbPath);
    ~Attached();
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;
    // Writes the row through the attached system database (nothing when none is attached).
    void write(const AuditContext& who, const AuditEntry& entry);
    // The failed action's row after the rollback, through the system database's own file.
    void recordFailed(const AuditContext& who, const AuditEntry& entry, const QString& why);

private:
    Database& m_db;
    QString m_sysDbPath;
    bool m_attached = false;
};
}
