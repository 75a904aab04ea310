#pragma once
// Changes a role's name, remark and members.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;

class frmEditRole : public QDialog {
    Q_OBJECT
public:
    explicit frmEditRole(QWidget* parent = nullptr);

    QLineEdit* txtID = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtBZ = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdChkAll = nullptr;
    QPushButton* cmdChkC = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void cmdEdit_Click();
    void cmdChkAll_Click();
    void cmdChkC_Click();
    void cmdExit_Click();
};
