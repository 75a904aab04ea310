#pragma once
// Changes a role's name, remark and members.
#include "RoleForm.h"

#include <QDialog>

struct Session;

class frmEditRole : public QDialog, public RoleForm::Controls {
    Q_OBJECT
public:
    explicit frmEditRole(const Session& session, QWidget* parent = nullptr);

    // The fields, the member list and the other buttons are RoleForm::Controls.
    QPushButton* cmdEdit = nullptr;

public slots:
    void cmdEdit_Click();
    void cmdExit_Click();
private:
    const Session& m_session;
};
