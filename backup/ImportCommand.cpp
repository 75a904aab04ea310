#include "ImportCommand.h"
#include "frmInput.h"

#include <HeldClaim.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <ShowModal.h>
#include <frmAccPath.h>

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>

#include <SealedStream.h>

ImportCommand::ImportCommand(const Session& session, QWidget* parent)
    : m_importer(*session.sysDb, session.auditContext())
    , m_parent(parent)
    , m_session(session)
{
}

ImportCommand::Outcome ImportCommand::run(const QString& descriptorPath)
{
    if (!load(descriptorPath))
        return Outcome::Failed;
    // Held from the moment the descriptor names the set, before any question, until the restore
    // has ended: another workstation working on the set is named, and nothing is asked. The
    // import replaces the set's rows of every year (its 9999 rows, its supervisors' rights), so
    // every year of it is claimed.
    const HeldClaim claim(m_session.task.get(), plan().accId, 0, Tasks::Function::Import);
    if (!claim.granted()) {
        MsgBox(claim.refusal().shown, vb::vbExclamation, AccountImporter::title());
        return Outcome::Failed;
    }
    if (const Outcome opened = unlock(); opened != Outcome::Done)
        return opened;
    if (!ask())
        return Outcome::Stopped;
    const ImportPlan& p = plan();
    frmInput w(m_session, p, m_parent);
    if (p.setExists) {
        w.setWindowTitle(QCoreApplication::translate("ImportCommand", "恢复进程"));
        w.Label1->setText(QCoreApplication::translate("ImportCommand", "文件恢复，解压缩至：") + p.accFolder + QStringLiteral("kddata.bak"));
    } else {
        w.Label1->setText(QCoreApplication::translate("ImportCommand", "正在引入[%1]的%2年度帐套，请等待...").arg(p.accId, p.year));
    }
    ShowModal(w);
    if (w.Succeeded)
        return Outcome::Done;
    return w.stopped() ? Outcome::Stopped : Outcome::Failed;
}

QString ImportCommand::chooseDescriptor(QWidget* parent)
{
    QFileDialog dlg(parent, QCoreApplication::translate("ImportCommand", "引入帐套数据"));
    dlg.setObjectName(QStringLiteral("dlgImportFile"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    // Any extension: the descriptor may have been renamed on the way.
    dlg.setNameFilter(QCoreApplication::translate("ImportCommand", "帐套数据备份文件(KdErpAct.*)"));
    if (ShowModal(dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

// The year menu's 引入: a backup set of the set `accId` becomes that year of it, beside its other
// years; a year it has already is replaced only after the overwrite question.
ImportCommand::Outcome ImportCommand::runYear(const QString& descriptorPath, const QString& accId)
{
    m_importer.onlyInto(accId);
    if (!load(descriptorPath))
        return Outcome::Failed;
    const HeldClaim claim(m_session.task.get(), accId, plan().year.toInt(), Tasks::Function::YearImport);
    if (!claim.granted()) {
        MsgBox(claim.refusal().shown, vb::vbExclamation, AccountImporter::title());
        return Outcome::Failed;
    }
    if (const Outcome opened = unlock(); opened != Outcome::Done)
        return opened;
    if (const Notice refused = m_importer.placeInSet(); !refused.isEmpty()) {
        ShowNotice(refused);
        return Outcome::Failed;
    }
    if (plan().yearExists && !confirmOverwrite())
        return Outcome::Stopped;
    const ImportPlan& p = plan();
    frmInput w(m_session, p, m_parent);
    w.Label1->setText(QCoreApplication::translate("ImportCommand", "正在引入[%1]的%2年度帐套，请等待...").arg(p.accId, p.year));
    ShowModal(w);
    if (w.Succeeded)
        return Outcome::Done;
    return w.stopped() ? Outcome::Stopped : Outcome::Failed;
}

bool ImportCommand::load(const QString& descriptorPath)
{
    const Notice refusal = m_importer.load(descriptorPath);
    ShowNotice(refusal);
    return refusal.isEmpty();
}

ImportCommand::Outcome ImportCommand::unlock()
{
    if (!plan().seal.encrypted)
        return Outcome::Done;
    for (int tries = 0; tries < 3; ++tries) {
        QInputDialog ask(m_parent);
        ask.setObjectName(QStringLiteral("PassphraseDialog"));
        ask.setWindowTitle(AccountImporter::title());
        ask.setLabelText(QCoreApplication::translate("ImportCommand", "该备份已加密，请输入口令："));
        ask.setTextEchoMode(QLineEdit::Password);
        if (auto* field = ask.findChild<QLineEdit*>())
            field->setAccessibleName(QCoreApplication::translate("ImportCommand", "口令"));
        if (ShowModal(ask) != QDialog::Accepted)
            return Outcome::Stopped;
        const Notice refusal = m_importer.unlock(std::make_shared<Passphrase>(ask.textValue()));
        ask.setTextValue(QString());
        if (refusal.isEmpty())
            return Outcome::Done;
        ShowNotice(refusal);
    }
    return Outcome::Failed;
}

bool ImportCommand::ask()
{
    // On a server installation the books are a schema of its database: there is no folder to choose.
    return !m_session.onServer() ? askFolder() : keep() && confirmOverwrite();
}

bool ImportCommand::keep()
{
    const Notice refusal = m_importer.keepFolder();
    ShowNotice(refusal);
    return refusal.isEmpty();
}

bool ImportCommand::askFolder()
{
    const ImportPlan& p = plan();
    const QString& title = AccountImporter::title();
    const QString question = QCoreApplication::translate("ImportCommand", "引入文件中，[%1]帐套的默认路径：\r\n%2\r\n重新指定帐套路径吗？\r\n\r\n说明：\r\n"
                                                        "1、重指路径时，系统自动调整LST文件，为防止该文件意外损坏，请做附件。\r\n"
                                                        "2、数据恢复时如有格式539等错误，请安装IE6（安装盘）。")
                                 .arg(p.accId, p.accFolder);
    const int answer = MsgBox(question, vb::vbYesNoCancel | vb::vbQuestion | vb::vbDefaultButton2, title);
    if (answer == vb::vbCancel)
        return false;
    if (answer == vb::vbYes) {
        if (!chooseFolder())
            return false;
    } else if (const Notice kept = m_importer.keepFolder(); !kept.isEmpty()) {
        // The descriptor's folder cannot take the books (another set's or installation's books are
        // there, or it is no folder of this machine): the person is told why and chooses another.
        ShowNotice(kept);
        if (!chooseFolder())
            return false;
    }
    return confirmOverwrite();
}

bool ImportCommand::chooseFolder()
{
    for (;;) {
        frmAccPath chooser(m_parent);
        chooser.Caller = QStringLiteral("Acc2");
        ShowModal(chooser);
        if (chooser.SelectedPath.trimmed().isEmpty())
            return false;
        const Notice refusal = m_importer.placeIn(chooser.SelectedPath);
        if (refusal.isEmpty())
            return true;
        ShowNotice(refusal);
    }
}

bool ImportCommand::confirmOverwrite()
{
    const ImportPlan& p = plan();
    const QString& title = AccountImporter::title();
    if (p.setExists) {
        const int overwrite = MsgBox(QCoreApplication::translate("ImportCommand", "此项操作将覆盖[%1]帐套当前的所有信息，继续吗？").arg(p.accId),
                                     vb::vbYesNo, title);
        if (overwrite != vb::vbYes)
            return false;
    }
    return true;
}
