#pragma once
// Restoring an account set from a backup set: the data file becomes the set's account database
// and the set's rows in its transfer tables are merged into the system database.
//
// load reads and checks the descriptor; placeIn or keepFolder settles where the set goes; restore
// checks the data file completely while copying it beside the account database under a temporary
// name, merges its rows in one transaction and only then puts the copy in place. A refusal or
// failure comes back as a Notice and leaves the system database and the account database as they
// were. The questions between load and restore are the console's (ImportCommand).
#include <Outcome.h>

#include <QString>

class Database;

// What the descriptor and the answers say about the set, handed from the questions to the restore.
struct ImportPlan {
    QString descriptorPath;  // the chosen descriptor
    QString accId;           // line 3: the set number
    QString sysId;           // line 4: the set's system identifier (may be empty)
    QString accFolder;       // line 5, or the newly chosen folder: the account-set folder, "zt" + number
    QString year;            // line 10 as four digits
    QString sourceDir;       // the backup set's folder, ending with a separator
    QString targetDir;       // account-set folder + year: where the account database goes
    bool setExists = false;  // the system database already has rows of the set

    QString dataFile() const;      // the data file beside the descriptor
    QString databasePath() const;  // the account database in targetDir
    QString basePath() const;      // the folder that holds the account-set folder, with a trailing separator
};

class AccountImporter {
public:
    explicit AccountImporter(Database& sysDb);

    // Reads the descriptor and checks that the backup set can be imported: a readable descriptor
    // with its first ten lines, a valid set number and year, and a data file that is a database.
    // Empty when it can; otherwise the refusal to show (plan() is then empty).
    Notice load(const QString& descriptorPath);
    const ImportPlan& plan() const { return m_plan; }

    // The set goes under `chosenBase` as "zt" + number: the descriptor's line 5 is pointed there
    // (it only records where the set went, so a failure there is logged and the import goes on)
    // and the year folder is made. The refusal when the folder cannot be made.
    Notice placeIn(const QString& chosenBase);
    // The set goes where the descriptor says; nothing is created for it, so the year folder must
    // already be there. The refusal when it is not.
    Notice keepFolder();

    struct Result {
        enum class Status {
            Done,       // restored
            Failed,     // refused or failed; nothing was changed
            Cancelled,  // stopped through the cancel flag; nothing was changed
        };
        Status status = Status::Failed;
        Notice notice;  // success or failure, to be shown; empty when cancelled
        bool done() const { return status == Status::Done; }
    };
    // Checks the data file completely while copying it into the year folder under a temporary
    // name, merges the transfer tables into the system database and cleans the copy in one
    // transaction, then puts the copy in place of the account database. The cancel flag is looked
    // at up to the merge's commit; after it the restore is finished.
    static Result restore(Database& sysDb, const ImportPlan& plan, const WorkControl& control = {});

    // Title of the import's questions and reports.
    static const QString& title();

private:
    Notice refuse(const QString& text);

    Database& m_sysDb;
    ImportPlan m_plan;
};
