#pragma once
// "设置SQL Server口令": the password of the server login a server installation's console connects
// as, changed after the current one and the new one twice. The new password reaches the server
// only as its SCRAM verifier (ServerPassword); the workstation's ~/.pgpass line follows it.
#include <QDialog>

class QLineEdit;
class QPushButton;
struct Session;

class frmServerPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmServerPassword(Session& session, QWidget* parent = nullptr);

    QLineEdit* txtOld = nullptr;
    QLineEdit* txtNew = nullptr;
    QLineEdit* txtConfirm = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    void cmdOK_Click();

private:
    Session& m_session;
};
