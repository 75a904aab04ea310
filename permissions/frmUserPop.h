#pragma once
// The permission browser: what an operator (with its first role) holds in an
// account set, the supervisor right, and the door to the grant dialogs.
#include <QDialog>
#include <QString>
#include <QStringList>

class FlexGrid;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QToolBar;

struct Session;

class frmUserPop : public QDialog {
    Q_OBJECT
public:
    // The window's and the messages' titles as written, in Chinese; shown() gives them in the
    // language the console speaks.
    static inline const QString kCaption = QStringLiteral(QT_TR_NOOP("操作员权限"));
    static inline const QString kTitle = QStringLiteral(QT_TR_NOOP(" 〖系统管理〗"));
    // The question that makes a supervisor, and its follow-up, carry their own title.
    static inline const QString kSetTitle = QStringLiteral(QT_TR_NOOP(" reredezozav〖系统管理〗"));
    static QString shown(const QString& title) { return tr(title.toUtf8().constData()); }

    explicit frmUserPop(const Session& session, QWidget* parent = nullptr);
    ~frmUserPop() override;

    void Form_Load();
    // Redraws the right grid and the supervisor box for the selected member.
    void ShowPoP();

    // Writes the grant dialogs' permissions for the member, the chosen set and year, then
    // refreshes; a refusal is reported and nothing of it is written. True when saved.
    bool SaveGrants(const QStringList& authIds);

    // The selected operator (column 0 of the left grid's current row); the grant dialogs read it.
    QString MemberId;
    // The session it reads, and the set chosen (the session's until another is chosen), which
    // the console makes the session's.
    const Session& session() const { return m_session; }
    QString chosenAccId() const { return m_accId; }

    QToolBar* Toolbar1 = nullptr;
    QAction* btnAdd = nullptr;       // keys "Add", "delete", "refresh", "help", "exit"
    QAction* btnDelete = nullptr;
    QAction* btnRefresh = nullptr;
    QAction* btnHelp = nullptr;
    QAction* btnExit = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblYear = nullptr;
    QComboBox* cboYear = nullptr;
    QLabel* lblAcc = nullptr;
    QComboBox* cboAcc = nullptr;
    QCheckBox* Check1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    FlexGrid* MSFlexGrid1 = nullptr;
    FlexGrid* MSFlexGrid2 = nullptr;
    QLabel* Label2 = nullptr;

public slots:
    void cboYear_Click();
    void cboAcc_Click();
    void Check1_Click();
    void MSFlexGrid1_EnterCell();
    void Toolbar1_ButtonClick(QAction* button);

private:
    void buildToolbar();
    void buildOperators();
    QLayout* buildChoice();
    void buildStatus();
    void LoadAccountYear();
    void fillOperators(const QString& sql, const QVariantList& params);
    void showSupervisorRows();
    void blankRightGrid();
    void setCheck(bool checked);
    void addClick();
    void deleteClick();
    void reportDbError(const QString& text, const QString& routine);

    bool m_guard = false;      // false: a change of Check1 only redraws
    bool m_loading = false;
    int m_shownRow = -1;
private:
    const Session& m_session;
    QString m_accId;   // the set chosen in cboAcc
};
