#pragma once
// Changes the password of the operator selected in the login form.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

struct Session;

class frmPassword : public QDialog {
    Q_OBJECT
public:
    // `userId`: the operator selected in the login form; `storedPassword`: the password the login
    // read for that operator, which the old password must match.
    frmPassword(const Session& session, const QString& userId, const QString& storedPassword, QWidget* parent = nullptr);

    QLineEdit* txtOldPassword = nullptr;
    QLineEdit* txtNewPassword = nullptr;
    QLineEdit* txtConfirmPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    const QString m_userId;
    const QString m_stored;
private:
    const Session& m_session;
};
