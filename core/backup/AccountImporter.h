#pragma once
// Restoring an account set from a backup set: the data file becomes the set's account database
// and the set's rows in its transfer tables are merged into the system database.
//
// load reads and checks the descriptor and the data file's identity; placeIn or keepFolder settles
// where the set goes; restore checks the data file while copying it beside the account database
// under a temporary name, moves the old books aside, renames the copy into place, merges its rows
// in one transaction and only then removes the old books. A refusal or failure comes back as a
// Notice and leaves the system database and the account database as they were; a crash at any
// point is rolled back or finished by recover. The questions between load and restore are the
// console's (ImportCommand).
#include <AuditLog.h>
#include <Outcome.h>
#include <SealedHeader.h>
#include <Words.h>

#include <QString>

#include <functional>
#include <memory>

class Database;
class Passphrase;

// What the descriptor and the answers say about the set, handed from the questions to the restore.
struct ImportPlan {
    QString descriptorPath;  // the chosen descriptor
    QString accId;           // line 3: the set number
    QString sysId;           // line 4: the set's system identifier (may be empty)
    QString accFolder;       // line 5, or the newly chosen folder: the account-set folder, "zt" + number
    QString year;            // the set's year: the data file's SM_Account_Ex row, else line 10 as four digits
    qint64 bytes = -1;       // line 13: the data file's size; -1 when the descriptor does not say
    QString sourceDir;       // the backup set's folder, ending with a separator
    QString dataPath;        // the data file as load found it beside the descriptor
    QString targetDir;       // account-set folder + year: where the account database goes
    bool setExists = false;  // the system database already has rows of the set
    // The year menu's 引入 (onlyInto): the backup set becomes this one year of its own set, whose
    // other years keep their books and rows; yearExists says the year is there and is replaced.
    bool yearOnly = false;
    bool yearExists = false;
    SealedHeader seal;       // how the data file is sealed, as its manifest says; plain for most sets
    std::shared_ptr<const Passphrase> passphrase;  // an encrypted set's, once unlock has accepted it

    QString dataFile() const;      // the data file beside the descriptor (dataPath, or looked up when not given)
    QString databasePath() const;  // the account database in targetDir
    QString basePath() const;      // the folder that holds the account-set folder, with a trailing separator
};

class AccountImporter {
public:
    // A refusal leaves an audit-log row (拒绝) naming `who`.
    explicit AccountImporter(Database& sysDb, const AuditContext& who = {});

    // Reads the descriptor and checks that the backup set can be imported: a readable descriptor
    // with its first ten lines, a valid set number and year, and a data file of the size that
    // line 13 gives, that holds the account database's own tables and no other set's row. The
    // year is the data file's own when it agrees with line 10. The data file is only read.
    // Empty when it can; otherwise the refusal to show (plan() is then empty).
    // A sealed data file (its manifest names the seal and the year) is checked by its size and
    // checksum against the manifest here; its books are inspected once the restore has unsealed
    // them.
    Notice load(const QString& descriptorPath);
    // The year menu's 引入, before load: only a backup set of the set `accId` is taken (another
    // set's is refused, naming both, with its 拒绝 row), and the plan is one of that year alone
    // (ImportPlan::yearOnly): restore adds the year, or replaces its books and its SM_Account,
    // SM_Period, SM_HoldAuth and SM_Account_sub rows with the backup set's, and leaves the set's
    // other years and its rows of every year (9999) as they are.
    void onlyInto(const QString& accId) { m_onlySet = accId; }
    const ImportPlan& plan() const { return m_plan; }

    // An encrypted set (plan().seal.encrypted) needs its passphrase: checked against the data
    // file's first record and kept in the plan for the restore. A wrong one is refused
    // ("口令不正确", with a 拒绝 row in the log) and nothing else happens. Empty when accepted.
    Notice unlock(std::shared_ptr<const Passphrase> passphrase);

    // The plan's data file, unsealed when it is sealed, copied into the new file `to` and checked
    // as the restore checks its copy (size, checksum against the manifest, the books' identity),
    // without touching an installation: what `verify` does with a passphrase. Why not, or empty.
    static QString unsealChecked(const ImportPlan& plan, const QString& to);

    // Books are placed only in a year folder <base>/zt<set>/<year> that holds no books, or this
    // installation's books of this set and year (its SM_Account row points there); the refusal
    // names the folder and whose books are in it. The folder must be an absolute path.
    //
    // The set goes under `chosenBase` as "zt" + number (a relative base is taken from the current
    // folder and stored absolute): the descriptor's line 5 is pointed there (it only records where
    // the set went, so a failure there is logged and the import goes on) and the year folder is made.
    Notice placeIn(const QString& chosenBase);
    // The set goes where the descriptor says. Without `create` the year folder must already be
    // there (the console makes no folder it was not asked to); with it, it is made.
    Notice keepFolder(bool create = false);
    // The year goes beside the set's other years: under the folder its own row records, else the
    // folder of the set's latest year (placeIn with that base). For the year menu's 引入.
    Notice placeInSet();

    struct Result {
        enum class Status {
            Done,       // restored
            Failed,     // refused or failed; nothing was changed
            Cancelled,  // stopped through the cancel flag; nothing was changed
        };
        Status status = Status::Failed;
        Notice notice;  // success or failure, to be shown; empty when cancelled
        QString reason; // a failure's notice in Chinese, as the audit log keeps it
        bool done() const { return status == Status::Done; }
    };
    // Finishes what an earlier import left (recover), then copies the data file into the year
    // folder under a temporary name and checks the copy: its size against line 13, its checksum
    // (taken in the copy's pass) against the manifest, or, without a manifest, the whole file
    // with the integrity check; then its identity and tables again. Only then are the old books
    // moved aside, the copy renamed into place, the transfer tables merged into the system
    // database and dropped from the books in one transaction, and the old books removed. The
    // cancel flag is looked at up to the merge's commit; after it the restore is finished.
    // The import's audit-log row (from which backup set, over what) is written under the set's key
    // in the merge's transaction; an import that does not happen leaves a failed row instead.
    static Result restore(Database& sysDb, const ImportPlan& plan, const WorkControl& control = {}, const AuditContext& who = {});

    // New books put in place of a year's books (a file installation's year folder `yearDir`) the way
    // restore places its checked copy, for work that rebuilds a year's books (清空年度数据): `make`
    // writes the new books into the file it is given, beside the books; they take the books' place,
    // and `inTransaction` runs in a transaction of the system database (its audit row) that commits
    // them, unless it returns false (cancelled). The old books go once it has committed; a failure
    // brings them back, and so does recover after a crash. Why not, or empty.
    static Words replaceBooks(Database& sysDb, const QString& accId, const QString& yearDir,
                              const std::function<Words(const QString& path)>& make,
                              const std::function<bool(Database& sysDb)>& inTransaction);

    // Rolls back or finishes an import that a crash interrupted (recorded beside the system
    // database), so that the set has either its old books and rows or the new ones, and removes
    // the temporary copies that imports leave in the year folders of the listed sets. Safe to
    // call at any time no import is running. False, with the reason, when something could not
    // be settled; it is tried again next time.
    // Another program's import under way (it holds the installation's WorkLock) is left alone.
    static bool recover(Database& sysDb, QString* error = nullptr);

    // Title of the import's questions and reports.
    static QString title();

private:
    static bool recoverHeld(Database& sysDb, Words* error);
    // Shows `text` and keeps its Chinese form in the refusal's log row and the error log.
    Notice refuse(const Words& text);
    Words placementFor(const ImportPlan& plan);
    static Result restoreSet(Database& sysDb, const ImportPlan& plan, const WorkControl& control, const AuditContext& who,
                             const AuditEntry& logged);

    Database& m_sysDb;
    AuditContext m_who;
    QString m_accId;   // the set the descriptor names, once it is known to be a set number
    QString m_onlySet; // onlyInto's set; empty for the set's own import
    ImportPlan m_plan;
};
