#pragma once
// Adds roles, one after another, with their members.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;

class frmAddRole : public QDialog {
    Q_OBJECT
public:
    explicit frmAddRole(QWidget* parent = nullptr);

    // The role identifiers already present: "," and then each identifier followed by ",".
    // Set by the opener; grows with every role added here.
    QString IdList = QStringLiteral(",");

    QLineEdit* txtID = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtBZ = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdChkAll = nullptr;
    QPushButton* cmdChkC = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void txtID_Change();
    void cmdAdd_Click();
    void cmdChkAll_Click();
    void cmdChkC_Click();
    void cmdExit_Click();

private:
    bool m_membersLoaded = false;
};
