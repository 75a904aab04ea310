#pragma once
// Creating and modifying an account set: the work behind the wizard's 完成, used alike by the
// wizard, the command-line tools and the tests. Inputs come as a struct; the outcome carries
// what the person must be told. The coding-scheme and precision dialogs, the current set of the
// console and the offer to enable subsystems are the wizard's part.
#include <AuditLog.h>
#include <Outcome.h>

#include <QString>
#include <QStringList>

class Database;

// What the wizard's pages hold. Texts are used trimmed.
struct AccountSetInput {
    // Page 1. accId is formatted with three digits before use ("7" becomes "007").
    QString accId;
    QString accName;
    QString accPath;           // folder of the set, as typed or chosen
    QString year;              // start year, digits
    QString month;             // start month, digits (stored as typed)
    // Page 2. Empty optional fields are stored as Null.
    QString unitName;
    QString unitAbbre;
    QString unitAddr;
    QString unitZap;
    QString unitTel;
    QString unitFax;
    QString unitEMail;
    QString unitTaxNo;
    QString unitLP;
    QString finKind;           // 备注二
    QString finType;           // 备注一
    // Page 3.
    QString curCode = QStringLiteral("RMB");
    QString curName = QStringLiteral("人民币"); // not translated: a stored value
    QString entType = QStringLiteral("工业"); // not translated: a stored value
    QString tradeKind = QStringLiteral("2007年新会计准则");   // not translated: the industry's name in GL_BTrade
    int tradeId = 0;           // its itrade_id; 0 looks it up by tradeKind
    QString master;            // supervisor: the list entry "[id]name" or the bare operator id
    bool presetChart = true;   // copy the industry's preset chart of accounts
    // Page 4.
    bool goodClass = false;
    bool custClass = false;
    bool provClass = false;
    bool frgnCurrencyAcc = false;

    // The account-database template; empty for the one beside the executable.
    QString templatePath;
};

struct AccountSetOutcome {
    enum class Status {
        Done,       // written; the wizard closes
        Failed,     // refused or failed; nothing of the set is written (creation)
        Abandoned,  // the wizard closes without success (modification: account database missing)
    };
    Status status = Status::Failed;
    // Failed or Abandoned: the message to show at once. Done: empty.
    Notice notice;
    // Done: the message that closes the work, shown after the coding-scheme and precision dialogs.
    Notice success;
    // The set as stored (number with three digits, name and folder trimmed) and its account database.
    QString accId;
    QString accName;
    QString accPath;
    QString accountDbPath;     // on a server: the books' schema
    // The engine's or file system's text of the failure, for logs and tools.
    QString error;

    bool done() const { return status == Status::Done; }
};

class AccountSetCreator {
public:
    using Outcome = AccountSetOutcome;
    using Status = AccountSetOutcome::Status;

    // `who` is named in the audit-log row that creation and modification write with their rows.
    explicit AccountSetCreator(Database& sysDb, const AuditContext& who = {});

    // Creates the set: its SM_Account row, twelve periods, the supervisor's holding and role,
    // the folders, the account database from the template, the CreateAcc record, the options,
    // the coding rule and the preset chart; then the shadow and mirror system databases' rows.
    // The system-database rows are written in one transaction that commits only when the
    // account database is complete, so a failure leaves no half-made set: folders and the
    // database file made by this call are removed again.
    // On a server installation the books are the schema zt<set>_<year> made in that same
    // transaction; no folder or file is made (the path typed is kept as the set's text only),
    // and there is no shadow or mirror. A set made meanwhile by another session is refused with
    // the same message as one made before.
    Outcome create(const AccountSetInput& in);

    // Rewrites the editable columns of the set `in.accId` (every year's row) and the four options
    // in the account database found from in.accPath, in.accId and in.year.
    Outcome modify(const AccountSetInput& in);

    // The operator number of a supervisor entry: between the leading "[" and the first "]",
    // the whole text when it has no "]".
    static QString masterId(const QString& entry);
    // The next system identifier: an unseeded generator, so every run gives the same sequence.
    static int nextSysId();

private:
    Outcome createSet(const AccountSetInput& in);
    bool setExists(const QString& accId, int year);

    Database& m_sysDb;
    AuditContext m_who;
};
