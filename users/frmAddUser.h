#pragma once
// Adds operators, one after another, with their role memberships.
#include "UserForm.h"

#include <QDialog>

class QTreeWidget;

struct Session;

class frmAddUser : public QDialog, public UserForm::Controls {
    Q_OBJECT
public:
    explicit frmAddUser(const Session& session, QWidget* parent = nullptr);

    // The identifiers already present: "," and then each identifier followed by ",".
    // Set by the opener; grows with every operator added here.
    QString IdList = QStringLiteral(",");

    // The six boxes, 退出 and 帮助 are UserForm::Controls.
    QTreeWidget* ListView1 = nullptr;
    QPushButton* cmdAdd = nullptr;

public slots:
    void txtID_Change();
    void cmdAdd_Click();
    void cmdExit_Click();

private:
    bool m_rolesLoaded = false;
private:
    const Session& m_session;
};
