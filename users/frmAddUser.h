#pragma once
// Adds operators, one after another, with their role memberships.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;

class frmAddUser : public QDialog {
    Q_OBJECT
public:
    explicit frmAddUser(QWidget* parent = nullptr);

    // The identifiers already present: "," and then each identifier followed by ",".
    // Set by the opener; grows with every operator added here.
    QString IdList = QStringLiteral(",");

    QLineEdit* txtID = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLineEdit* txtAffirmPassword = nullptr;
    QLineEdit* txtDept = nullptr;
    QLineEdit* txtTk = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void txtID_Change();
    void cmdAdd_Click();
    void cmdExit_Click();

private:
    void writeMirror();

    bool m_rolesLoaded = false;
};
