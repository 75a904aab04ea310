#pragma once
// Changes one operator's name, password, department and state.
#include "UserForm.h"

#include <QDialog>

class QCheckBox;

class frmEditUser : public QDialog, public UserForm::Controls {
    Q_OBJECT
public:
    explicit frmEditUser(QWidget* parent = nullptr);

    // The six boxes, 退出 and 帮助 are UserForm::Controls.
    QCheckBox* Check1 = nullptr;
    QPushButton* cmdEdit = nullptr;

public slots:
    void Check1_Click();
    void cmdEdit_Click();
    void cmdExit_Click();
};
