#pragma once
// "选择备份目录": the folder that receives the backup set. 确认 copies the prepared data and
// writes the descriptor there; 放弃 leaves the prepared copy in the year folder.
#include <FolderTree.h>

#include <QDialog>

#include <memory>

class AccountExporter;
class QComboBox;
class QFileSystemModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class Passphrase;
class QPushButton;

struct Session;

class frmAccExport : public QDialog {
    Q_OBJECT
public:
    // `prepared`: the export that prepared the copy, when there is one (the checksum it took of the
    // copy spares reading the copy again); `prepError`: an error was raised while the data was
    // prepared ("Backup=false" in the descriptor).
    frmAccExport(const Session& session, const QString& accId, AccountExporter* prepared, bool prepError,
                 QWidget* parent = nullptr);

    QComboBox* Drive1 = nullptr;      // mounted volumes
    FolderTree* Dir1 = nullptr;       // folders of the chosen volume
    QFileSystemModel* dirModel = nullptr;   // Dir1's
    QLabel* lblPath = nullptr;        // the chosen folder, spelled out
    // How the data file is written: encrypted with the passphrase typed twice, compressed, both.
    QCheckBox* chkEncrypt = nullptr;      // 加密备份
    QLineEdit* txtPassphrase = nullptr;   // the passphrase (hidden as typed)
    QLineEdit* txtPassphrase2 = nullptr;  // the same again
    QCheckBox* chkCompress = nullptr;     // 压缩备份
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdExit = nullptr;

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
    // The passphrase of 加密备份 when both fields agree (none without 加密备份); false, said, when
    // they are empty or differ: nothing is written then.
    bool chosenPassphrase(std::shared_ptr<const Passphrase>* passphrase);
    void buildSealControls();
private:
    const Session& m_session;
    const QString m_accId;   // the set exported
    AccountExporter* const m_prepared;
    const bool m_prepError;
};
