#pragma once
// The login form: opens the system database, lists the operators, checks the
// password and sets the console up for the administrator or a supervisor.
#include <QDialog>
#include <QVariant>

#include <ConnInfo.h>
#include <Recordset.h>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class frmMain;
struct Session;
class WindowRegistry;

class frmLogin : public QDialog {
    Q_OBJECT
public:
    // The window's title as written: the key other instances find it by. shownCaption() is the
    // title in the console's language.
    static inline const QString kCaption = QStringLiteral(QT_TR_NOOP("注册〖控制台〗"));
    static QString shownCaption() { return tr(kCaption.toUtf8().constData()); }

    // Sets `session` up (installation, system database, operator, set, year) and the console with it.
    frmLogin(Session& session, frmMain* console, QWidget* parent = nullptr);
    ~frmLogin() override;

    void Form_Load();

    QLabel* lblServer = nullptr;
    QComboBox* cboServer = nullptr;
    QPushButton* cmdServer = nullptr;
    QLabel* lblUser = nullptr;
    QLineEdit* TxtUser = nullptr;
    QComboBox* cboUser = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLabel* lblAcc = nullptr;
    QComboBox* cboAcc = nullptr;
    QLabel* lblYear = nullptr;
    QComboBox* cboYear = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblTip = nullptr;
    QLabel* PicJS = nullptr;
    QLabel* PicShangHai = nullptr;

public slots:
    void cboUser_Click();
    void TxtUser_LostFocus();
    void cmdOK_Click();
    void cmdEdit_Click();
    void cmdCancel_Click();
    void cmdServer_Click();
    // A server (or 本机) chosen in cboServer: its system database is opened in place of the last.
    void cboServer_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's steps: the controls row by row, their accessible names and tab order, the signals.
    void buildPicturesAndServerRow();
    void buildOperatorRows();
    void buildButtons();
    void nameControls();
    void connectControls();
    void setupConsole();
    void fillServers();
    // Opens the system database of cboServer's choice into the session and lists its operators.
    void openSystem();
    // Makes `chosen` the list's server (added when new) and opens the installation there.
    void selectServer(const ConnInfo& chosen);
    void offerMovedServer();
    // Fills cboUser from the operators read and chooses the one kept in the session, or the first.
    void listOperators();

    Session& m_session;
    frmMain* m_console;
    std::unique_ptr<Recordset> m_users;   // the operator recordset, while the form is open
    WindowRegistry* m_registry = nullptr;
    bool m_sysDbMissing = false;
    QString m_sysDbProblem;   // why the system database could not be opened, when it exists
    QString m_password;       // the chosen operator's stored password (a hash, or empty), as read
    QVariant m_userState;     // nState of the chosen operator
    int m_serverIndex = -1;   // cboServer's entry whose system database is open (or was tried)
    QList<ConnInfo> m_servers;   // cboServer's entries: empty for 本机, then each server as read once
};
