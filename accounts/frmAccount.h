#pragma once
// The account-set wizard: five pages (four when modifying) that collect a set's identity,
// unit, accounting type, options and business flows; 完成 hands them to AccountSetCreator, then
// opens the coding-scheme and precision dialogs on the new books and makes the set current.
// Each page is a class of its own (AccountPages.h) with its completeness check and what it puts
// into the set's input; the wizard moves between them and keeps its buttons in step.
#include <QDialog>
#include <QList>

#include <optional>

#include "AccountSetCreator.h"

class FlowPage;
class OptionsPage;
class SetPage;
class TypePage;
class UnitPage;
class WizardPage;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

struct Session;

class frmAccount : public QDialog {
    Q_OBJECT
public:
    // What the wizard is opened for; the console's 建立 and 修改 say.
    enum class Mode { Create = 1, Modify = 2 };

    explicit frmAccount(const Session& session, Mode mode, QWidget* parent = nullptr);
    ~frmAccount() override;

    // Fills the pages for the mode.
    void Form_Load();

    Mode mode() const { return m_mode; }

    // The result of 完成 when creating: the set that was made (number, name, the folder typed),
    // which the opener makes the session's set. Empty until then.
    struct CreatedSet {
        QString accId;
        QString accName;
        QString accPath;
    };
    std::optional<CreatedSet> Created;

    // The page shown, 1 to 5.
    int page() const { return m_page; }
    // What the pages hold, as creation and modification take it.
    AccountSetInput inputs() const;

    // Pages (only the current one is visible) and their heading and explanation labels
    // (index 0 is page 1). The controls below are the pages' own, under the wizard's names.
    QStackedWidget* pages = nullptr;
    QLabel* Picture1 = nullptr;
    QFrame* Picture2 = nullptr;
    QFrame* Picture3 = nullptr;
    QFrame* Picture4 = nullptr;
    QFrame* Picture5 = nullptr;
    QFrame* Picture6 = nullptr;
    QList<QLabel*> lblTitle;
    QList<QLabel*> lblNote;

    // Page 1: the set.
    QComboBox* cboAccount = nullptr;
    QLineEdit* txtAccID = nullptr;
    QLineEdit* txtAccName = nullptr;
    QLineEdit* txtAccPath = nullptr;
    QPushButton* CmdPath = nullptr;
    QLineEdit* txtYear = nullptr;
    QLineEdit* txtMonth = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* cmdYM = nullptr;

    // Page 2: the unit.
    QLineEdit* txtUnitName = nullptr;
    QLineEdit* txtUnitAbbre = nullptr;
    QLineEdit* TxtUnitAddr = nullptr;
    QLineEdit* txtUnitLP = nullptr;
    QLineEdit* txtUnitZap = nullptr;
    QLineEdit* txtUnitTel = nullptr;
    QLineEdit* txtUnitFax = nullptr;
    QLineEdit* txtUnitEMail = nullptr;
    QLineEdit* txtUnitTaxNo = nullptr;
    QLineEdit* txtFinType = nullptr;
    QLineEdit* txtFinKind = nullptr;

    // Page 3: accounting type.
    QLineEdit* txtCurCode = nullptr;
    QLineEdit* txtCurName = nullptr;
    QComboBox* cboEntType = nullptr;
    QComboBox* cboTradeKind = nullptr;
    QComboBox* cboAcc_Master = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* cmdkm = nullptr;

    // Page 4: classification options.
    QCheckBox* chkbGoodClass = nullptr;
    QCheckBox* chkbCustClass = nullptr;
    QCheckBox* chkbProvClass = nullptr;
    QCheckBox* chkbFrgnCurrencyAcc = nullptr;

    // Page 5: business flows (create mode only; not stored).
    QGroupBox* framxs = nullptr;
    QRadioButton* optxyh = nullptr;
    QRadioButton* optxbz = nullptr;
    QGroupBox* framecg = nullptr;
    QRadioButton* optyh = nullptr;
    QRadioButton* optbz = nullptr;
    QLabel* lblyh = nullptr;
    QLabel* lblbz = nullptr;

    // Buttons.
    QPushButton* cmdPre = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* CmdHelp = nullptr;

public slots:
    void cmdNext_Click();
    void cmdPre_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void CmdPath_Click();
    void cmdYM_Click();
    void cmdkm_Click();
    void optxyh_Click();
    void optyh_Click();

private:
    QList<WizardPage*> wizardPages() const;
    void adoptControls();
    void layOut();
    void connectControls();
    void loadCreate();
    void loadModify();
    void fillTradeKinds();
    void showPage(int page);
    int lastPage() const;
    // Shows a failed outcome and closes the wizard when the work abandoned the set; true then.
    bool shownFailure(const AccountSetOutcome& out);
    void createSet(const AccountSetInput& in);
    void modifySet(const AccountSetInput& in);
    // Asks "是否立即启用账套" and opens subsystem enabling for the set `accId` on Yes.
    static void offerEnabling(const Session& session, const QString& accId, const QString& accDbPath, QWidget* parent);

    const Mode m_mode;
    int m_page = 1;
    SetPage* m_set = nullptr;
    UnitPage* m_unit = nullptr;
    TypePage* m_type = nullptr;
    OptionsPage* m_options = nullptr;
    FlowPage* m_flow = nullptr;
private:
    const Session& m_session;
};
