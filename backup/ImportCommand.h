#pragma once
// The console's 引入 after the file dialog: reads the descriptor (AccountImporter), asks whether
// the set goes into a new folder (frmAccPath; again while the folder cannot take the books) and before an existing set is overwritten, then
// opens the progress window frmInput, which restores the set. Refusals are shown here. From the
// descriptor's load to the restore's end the console's task holds the import of the set.
#include <AccountImporter.h>

#include <QString>

class Database;
class QWidget;

struct Session;

class ImportCommand {
public:
    enum class Outcome {
        Done,     // restored and reported
        Stopped,  // the person cancelled or answered No
        Failed,   // refused or failed with a message; nothing was changed
    };

    // Imports into `session`'s system database, as its operator at its workstation.
    ImportCommand(const Session& session, QWidget* parent = nullptr);

    // The descriptor picked in the file dialog of 引入; empty when the person closes it.
    static QString chooseDescriptor(QWidget* parent);
    Outcome run(const QString& descriptorPath);
    // One year of the set `accId` from its backup set (the year menu's 引入); another set's is refused.
    Outcome runYear(const QString& descriptorPath, const QString& accId);

    // The descriptor's refusal is shown; false then.
    bool load(const QString& descriptorPath);
    // The questions, in their order; false when the person stops or the folder cannot be used (shown).
    bool ask();
    const ImportPlan& plan() const { return m_importer.plan(); }

private:
    // An encrypted set's passphrase, asked up to three times (each wrong one is told); Done when the
    // set opens (or needs none), Stopped on cancel, Failed after the third wrong one.
    Outcome unlock();
    bool askFolder();
    // frmAccPath until it gives a folder the books may go into (true), or the person gives up.
    bool chooseFolder();
    bool keep();
    bool confirmOverwrite();
    AccountImporter m_importer;
    QWidget* m_parent;
    const Session& m_session;
};
