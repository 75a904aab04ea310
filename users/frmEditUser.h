#pragma once
// Changes one operator's name, password, department and state.
#include "UserForm.h"

#include <QDialog>

class QCheckBox;

struct Session;

class frmEditUser : public QDialog, public UserForm::Controls {
    Q_OBJECT
public:
    explicit frmEditUser(const Session& session, QWidget* parent = nullptr);

    // The six boxes, 退出 and 帮助 are UserForm::Controls.
    QCheckBox* Check1 = nullptr;
    QPushButton* cmdEdit = nullptr;

    // The password boxes show a fixed mask, never the password: 修改 changes the password only
    // when either box was edited.
    static inline const QString kPasswordMask = QStringLiteral("******");
    void showPasswordMask();

public slots:
    void Check1_Click();
    void cmdEdit_Click();
    void cmdExit_Click();

private:
    bool m_passwordEdited = true;   // a dialog opened without the mask sets what is typed
private:
    const Session& m_session;
};
