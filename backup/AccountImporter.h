#pragma once
// Restoring an account set from a backup set: the data file becomes the set's account database
// and the set's rows in its transfer tables are merged into the system database.
//
// The command reads the descriptor and asks where the set goes (load + ask); the progress window
// frmInput then checks the data file completely, copies it beside the account database under a
// temporary name, merges its rows and only then puts it in place (restore). A refusal or failure
// is shown with MsgBox and leaves the system database and the account database as they were.
#include <QString>
#include <QStringList>

class Database;
class QWidget;

// What the command gathers from the descriptor and the questions, and hands to frmInput.
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
    enum class Outcome {
        Done,     // restored and reported
        Stopped,  // the person cancelled or answered No
        Failed,   // refused or failed with a message; nothing was changed
    };

    explicit AccountImporter(Database& sysDb, QWidget* parent = nullptr);

    // The command after the file dialog: load, ask, then frmInput, which restores the set.
    Outcome run(const QString& descriptorPath);

    // Reads the descriptor and checks that the backup set can be imported: a readable descriptor
    // with its first ten lines, a valid set number and year, and a data file that is a database.
    // A refusal is shown; false then.
    bool load(const QString& descriptorPath);
    // Asks whether to choose a new folder (and which), rewrites the descriptor for a new folder and
    // makes its folders, and asks before an existing set is overwritten. False when the person
    // stops or the folder cannot be used (shown).
    bool ask();
    const ImportPlan& plan() const { return m_plan; }

    // frmInput's work: checks the data file completely while copying it into the year folder under
    // a temporary name, merges the transfer tables into the system database and cleans the copy in
    // one transaction, then puts the copy in place of the account database. Shows the outcome.
    static bool restore(Database& sysDb, const ImportPlan& plan);

    // Title of the import's questions and reports.
    static const QString& title();

private:
    bool refuse(const QString& text);

    Database& m_sysDb;
    QWidget* m_parent;
    ImportPlan m_plan;
};
