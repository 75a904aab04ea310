#pragma once
// Adds roles, one after another, with their members.
#include "RoleForm.h"

#include <QDialog>

struct Session;

class frmAddRole : public QDialog, public RoleForm::Controls {
    Q_OBJECT
public:
    explicit frmAddRole(const Session& session, QWidget* parent = nullptr);

    // The role identifiers already present: "," and then each identifier followed by ",".
    // Set by the opener; grows with every role added here.
    QString IdList = QStringLiteral(",");

    // The fields, the member list and the other buttons are RoleForm::Controls.
    QPushButton* cmdAdd = nullptr;

public slots:
    void txtID_Change();
    void cmdAdd_Click();
    void cmdExit_Click();

private:
    bool m_membersLoaded = false;
private:
    const Session& m_session;
};
