#pragma once
// "选择备份目录": the folder that receives the backup set. 确认 copies the prepared data and
// writes the descriptor there; 放弃 leaves the prepared copy in the year folder.
#include <FolderTree.h>

#include <QDialog>

class AccountExporter;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;

class frmAccExport : public QDialog {
    Q_OBJECT
public:
    explicit frmAccExport(QWidget* parent = nullptr);

    QComboBox* Drive1 = nullptr;      // mounted volumes
    FolderTree* Dir1 = nullptr;       // folders of the chosen volume
    QFileSystemModel* dirModel = nullptr;   // Dir1's
    QLabel* lblPath = nullptr;        // the chosen folder, spelled out
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdExit = nullptr;

    // Input: an error was raised while the data was prepared ("Backup=false" in the descriptor).
    bool PrepError = false;
    // Input: the export that prepared the copy, when there is one; the checksum it took of the
    // copy spares reading the copy again.
    AccountExporter* Prepared = nullptr;

    // The chosen folder (Dir1's path), and choosing one as a click in the tree would.
    QString Path() const;
    void setPath(const QString& folder);

public slots:
    void Form_Load();
    void Drive1_Change();
    void cmdOK_Click();
    void cmdExit_Click();

private:
    void Dir1_Change();
};
