#pragma once
// The log viewer: "上机日志" shows every row to the administrator, "系统日志" a supervisor's own
// set. Filters by date range, operator, set, action and outcome; newest first; the chosen row in
// full below; the filtered rows exported as CSV. The chain is checked when the window opens, off
// the window's thread, and a break is shown ("日志已被改动") with its rows marked. Another module's
// rows show their module and code, never the console's words; a set's imported history is
// marked as such; both are greyed. The viewer only reads: nothing here changes or deletes a row.
#include <AuditChain.h>

#include <QDialog>

#include <optional>

class AuditTableModel;
class QComboBox;
class QDateEdit;
class QLabel;
class QLayout;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QThread;

struct Session;

class frmLog : public QDialog {
    Q_OBJECT
public:
    explicit frmLog(const Session& session, QWidget* parent = nullptr);
    ~frmLog() override;

    // Set before Form_Load: the one set a supervisor sees; none for the administrator.
    std::optional<QString> OnlyAccId;

    // Reads the filters' choices and the first page; starts the chain check unless told to run
    // it later (checkChain).
    void Form_Load(bool checkInBackground = true);
    // The chain check on this thread (a test waits for it this way).
    void checkChain();

    QDateEdit* dtFrom = nullptr;
    QDateEdit* dtTo = nullptr;
    QComboBox* cboOperator = nullptr;
    QComboBox* cboAcc = nullptr;
    QComboBox* cboAction = nullptr;
    QComboBox* cboResult = nullptr;
    QTableView* tblLog = nullptr;
    QPlainTextEdit* txtDetail = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblCheck = nullptr;
    QPushButton* cmdBreak = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdClose = nullptr;
    AuditTableModel* model = nullptr;

public slots:
    void refresh();
    void cmdExport_Click();
    void cmdBreak_Click();

private:
    QLayout* buildFilters();
    QWidget* buildLog();
    void sizeColumns();
    QLayout* buildStatus();
    void connectControls();
    void showDetail();
    void showCheck(const AuditCheck& check);
    void fillCombo(QComboBox* box, const QStringList& values, const QString& allText);

    AuditCheck m_check;
    QThread* m_checker = nullptr;
    bool m_loading = false;
private:
    const Session& m_session;
};
