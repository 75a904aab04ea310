#pragma once
// The folder chooser of the account-set wizard and of the account import: a folder tree and
// the chosen path.
#include <FolderTree.h>

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

class frmAccPath : public QDialog {
    Q_OBJECT
public:
    explicit frmAccPath(QWidget* parent = nullptr);
    ~frmAccPath() override;

    // Who opened the chooser: "AddAcc" (the wizard) or "Acc2" (the import).
    QString Caller;
    // The result under "Acc2": the chosen folder; "" after 放弃.
    QString SelectedPath;
    // Under "AddAcc": the wizard's path box, which 确认 fills with the chosen folder.
    QPointer<QLineEdit> AccPathBox;

    // Opens the tree at `path` (an existing folder) and shows it as the chosen folder.
    void setPath(const QString& path);
    // The chosen folder, as shown in txtPath.
    QString Path() const;

    QLabel* lblDir = nullptr;
    FolderTree* Dir1 = nullptr;
    QLabel* lblPath = nullptr;
    QLineEdit* txtPath = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

public slots:
    void Dir1_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

};
