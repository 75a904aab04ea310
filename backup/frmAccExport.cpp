#include "frmAccExport.h"
#include "AccountExporter.h"
#include <OffThread.h>

#include <CiFile.h>
#include <FolderTree.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <Paths.h>
#include <SealedStream.h>
#include <Twips.h>

#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

#include <optional>

using namespace Module1;

namespace {
QString title() { return QCoreApplication::translate("frmAccExport", "财务提示"); }
}

frmAccExport::frmAccExport(const Session& session, const QString& accId, AccountExporter* prepared, bool prepError,
                           QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_accId(accId)
    , m_prepared(prepared)
    , m_prepError(prepError)
{
    setObjectName(QStringLiteral("frmAccExport"));
    setWindowTitle(tr("选择备份目录"));

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setAccessibleName(tr("驱动器"));

    Dir1 = new FolderTree(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setAccessibleName(tr("备份目录"));
    dirModel = Dir1->folderModel();
    dirModel->setObjectName(QStringLiteral("dirModel"));
    Dir1->setMinimumSize(Twips::toPxX(4200), Twips::toPxY(3600));

    lblPath = new QLabel(this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdOK = new QPushButton(tr("确认"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdExit = new QPushButton(tr("放弃"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    auto* left = new QVBoxLayout;
    left->addWidget(Drive1);
    left->addWidget(Dir1, 1);
    left->addWidget(lblPath);
    buildSealControls();
    left->addWidget(chkEncrypt);
    left->addWidget(txtPassphrase);
    left->addWidget(txtPassphrase2);
    left->addWidget(chkCompress);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(buttons);

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, chkEncrypt);
    setTabOrder(chkEncrypt, txtPassphrase);
    setTabOrder(txtPassphrase, txtPassphrase2);
    setTabOrder(txtPassphrase2, chkCompress);
    setTabOrder(chkCompress, cmdOK);
    setTabOrder(cmdOK, cmdExit);

    connect(Drive1, &QComboBox::currentIndexChanged, this, &frmAccExport::Drive1_Change);
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmAccExport::Dir1_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmAccExport::cmdOK_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAccExport::cmdExit_Click);
}

void frmAccExport::Form_Load()
{
    const QSignalBlocker block(Drive1);
    Drive1->clear();
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !v.isReadOnly() && QFileInfo(v.rootPath()).isDir() && !roots.contains(v.rootPath()))
            roots << v.rootPath();
    if (!roots.contains(QStringLiteral("/")))
        roots << QStringLiteral("/");
    std::sort(roots.begin(), roots.end());
    Drive1->addItems(roots);
    // Start where the program runs, on the volume that holds it: the usual place for a backup to go.
    const QString start = QDir::currentPath();
    const QString volume = QStorageInfo(start).rootPath();
    Drive1->setCurrentIndex(std::max(0, int(roots.indexOf(volume))));
    Dir1->setRootIndex(dirModel->index(Drive1->currentText()));
    setPath(start);
}

void frmAccExport::Drive1_Change()
{
    const QString drive = Drive1->currentText();
    if (drive.isEmpty())
        return;
    const QModelIndex root = dirModel->index(drive);
    Dir1->endPreset();
    Dir1->setRootIndex(root);
    Dir1->setCurrentIndex(root);
}

QString frmAccExport::Path() const
{
    const QString current = Dir1->currentFolder();
    if (!current.isEmpty())
        return current;
    return dirModel->filePath(Dir1->rootIndex());
}

void frmAccExport::setPath(const QString& folder)
{
    const QString real = CiFile::resolve(folder);
    if (!CiFile::isDir(real))
        return;
    Dir1->showFolder(real);
}

void frmAccExport::Dir1_Change()
{
    lblPath->setText(Path());
}

void frmAccExport::buildSealControls()
{
    chkEncrypt = new QCheckBox(tr("加密备份"), this);
    chkEncrypt->setObjectName(QStringLiteral("chkEncrypt"));
    txtPassphrase = new QLineEdit(this);
    txtPassphrase->setObjectName(QStringLiteral("txtPassphrase"));
    txtPassphrase->setAccessibleName(tr("口令"));
    txtPassphrase->setPlaceholderText(tr("口令"));
    txtPassphrase2 = new QLineEdit(this);
    txtPassphrase2->setObjectName(QStringLiteral("txtPassphrase2"));
    txtPassphrase2->setAccessibleName(tr("再次输入口令"));
    txtPassphrase2->setPlaceholderText(tr("再次输入口令"));
    for (QLineEdit* e : {txtPassphrase, txtPassphrase2}) {
        e->setEchoMode(QLineEdit::Password);
        e->setEnabled(false);
    }
    chkCompress = new QCheckBox(tr("压缩备份"), this);
    chkCompress->setObjectName(QStringLiteral("chkCompress"));
    connect(chkEncrypt, &QCheckBox::toggled, this, [this](bool on) {
        txtPassphrase->setEnabled(on);
        txtPassphrase2->setEnabled(on);
    });
}

bool frmAccExport::chosenPassphrase(std::shared_ptr<const Passphrase>* passphrase)
{
    if (!chkEncrypt->isChecked())
        return true;
    const QString typed = txtPassphrase->text();
    if (typed.isEmpty()) {
        MsgBox(tr("请输入加密备份的口令。"), vb::vbExclamation, title());
        txtPassphrase->setFocus();
        return false;
    }
    if (typed != txtPassphrase2->text()) {
        MsgBox(tr("两次输入的口令不一致，请重新输入。"), vb::vbExclamation, title());
        txtPassphrase2->clear();
        txtPassphrase2->setFocus();
        return false;
    }
    *passphrase = std::make_shared<Passphrase>(typed);
    return true;
}

void frmAccExport::cmdOK_Click()
{
    if (!m_session.sysDb)
        return;
    std::shared_ptr<const Passphrase> passphrase;
    if (!chosenPassphrase(&passphrase))
        return;
    QString error;
    QString reason;   // the same in Chinese, as the log row keeps it
    bool written = false;
    int year = 0;   // the year whose books go out: the log row's
    try {
        std::optional<AccountExporter> own;
        AccountExporter* exporter = m_prepared;
        if (!exporter)
            exporter = &own.emplace(*m_session.sysDb, m_accId);
        year = exporter->year();
        const QString dir = Path();
        const bool backupOk = !m_prepError;
        exporter->sealWith(chkCompress->isChecked(), passphrase);
        // Across file systems the data is streamed, and on one it is linked.
        written = runOffThread([&] { return exporter->writeBackupSet(dir, backupOk, &error); });
        reason = exporter->failure().stored;
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cmdOK_Click"));
        error = e.userText();
        reason = e.reasonText();
    }
    const AuditEntry logged = Audit::exported(m_accId, year, Path());
    AuditLog::record(*m_session.sysDb, m_session.auditContext(), written ? logged : logged.failed(reason));
    if (!written) {
        MsgBox(tr("输出账套失败！") + QLatin1Char('\n') + error, vb::vbExclamation, title());
        return;
    }
    MsgBox(tr("输出账套成功！"), vb::vbInformation | vb::vbOKOnly, title());
    accept();
}

void frmAccExport::cmdExit_Click()
{
    reject();
}
