#pragma once
// Changes one operator's name, password, department and state.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class frmEditUser : public QDialog {
    Q_OBJECT
public:
    explicit frmEditUser(QWidget* parent = nullptr);

    QLineEdit* txtID = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLineEdit* txtAffirmPassword = nullptr;
    QLineEdit* txtDept = nullptr;
    QLineEdit* txtTk = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void Check1_Click();
    void cmdEdit_Click();
    void cmdExit_Click();
};
