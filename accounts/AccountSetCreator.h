#pragma once
// Creating and modifying an account set: the work behind the wizard's 完成, callable without
// the wizard by tests and tools. Inputs come as a struct; outcomes are reported through MsgBox
// and the configuration dialogs through ShowModal.
#include <QString>
#include <QStringList>

class Database;
class DbError;
class QWidget;

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
    QString curName = QStringLiteral("人民币");
    QString entType = QStringLiteral("工业");
    QString tradeKind = QStringLiteral("2007年新会计准则");   // industry name (GL_BTrade)
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

    // False for tools and benchmarks: no coding-scheme or precision dialog and no success
    // message. Failures are still reported through MsgBox.
    bool interactive = true;
};

class AccountSetCreator {
public:
    enum class Outcome {
        Done,       // written; the wizard closes
        Failed,     // refused or failed with a message; nothing of the set is written (creation)
        Abandoned,  // the wizard closes without success (modification: account database missing)
    };

    explicit AccountSetCreator(Database& sysDb, QWidget* parent = nullptr);

    // Creates the set: its SM_Account row, twelve periods, the supervisor's holding and role,
    // the folders, the account database from the template, the CreateAcc record, the options,
    // the coding rule and the preset chart; then (interactive) the coding-scheme and precision
    // dialogs and the success message. Sets gAccId, gAccName and gAccPath on success.
    // The system-database rows are written in one transaction that commits only when the
    // account database is complete, so a failure leaves no half-made set: folders and the
    // database file made by this call are removed again.
    Outcome create(const AccountSetInput& in);

    // Rewrites the editable columns of the set `in.accId` (every year's row), the four options
    // in the account database found from in.accPath, in.accId and in.year, then (interactive)
    // the coding-scheme and precision dialogs and the success message.
    Outcome modify(const AccountSetInput& in);

    // Asks "是否立即启用账套" and opens subsystem enabling for gAccId on Yes; `accDbPath` is the
    // set's account database (accountDbPath() after create()).
    static void offerEnabling(const QString& accDbPath, QWidget* parent = nullptr);

    // The operator number of a supervisor entry: between the leading "[" and the first "]",
    // the whole text when it has no "]".
    static QString masterId(const QString& entry);
    // The next system identifier: an unseeded generator, so every run gives the same sequence.
    static int nextSysId();

    // The engine's or file system's text of the last failure (empty after success).
    QString lastError() const { return m_lastError; }
    // The account database of the last successful creation or modification.
    QString accountDbPath() const { return m_dbPath; }

private:
    QString validate(const AccountSetInput& in, bool creating) const;
    // Logs the engine's text and shows `message`.
    void fail(const DbError& error, const QString& message, const QString& title);

    Database& m_sysDb;
    QWidget* m_parent;
    QString m_lastError;
    QString m_dbPath;
};
