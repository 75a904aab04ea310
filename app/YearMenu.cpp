#include "YearMenu.h"

#include <CarryForward.h>
#include <DbError.h>
#include <ErrLog.h>
#include <HeldClaim.h>
#include <ImportCommand.h>
#include <MsgBox.h>
#include <NewYear.h>
#include <Session.h>
#include <ShowModal.h>
#include <frmCarryForward.h>
#include <frmWait.h>
#include <frmYearClear.h>

#include <QDir>
#include <QFileDialog>

#include <QCoreApplication>

YearMenu::YearMenu(Session& session, QWidget* parent)
    : m_session(session)
    , m_parent(parent)
{
}

bool YearMenu::hasPreviousYear(const Session& session)
{
    const int year = session.account.year.toInt();
    if (!session.sysDb || session.account.id.isEmpty() || year <= 0)
        return false;
    try {
        return session.sysDb->scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=? and iYear=?"),
                                     {session.account.id, year - 1}).toInt() > 0;
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("hasPreviousYear"));
        return false;
    }
}

int YearMenu::year() const
{
    if (m_session.sysDb && !m_session.account.id.isEmpty() && m_session.account.year.toInt() > 0)
        return m_session.account.year.toInt();
    MsgBox(tr("请先以账套主管的身份注册到账套和会计年度。"), vb::vbExclamation | vb::vbOKOnly, tr("年度账"));
    return 0;
}

bool YearMenu::granted(const HeldClaim& held)
{
    if (!held.granted())
        MsgBox(held.refusal().shown, vb::vbExclamation | vb::vbOKOnly, tr("年度账"));
    return held.granted();
}

// The next year after the set's latest, once the person has seen the set and both years named.
void YearMenu::create()
{
    if (year() == 0)
        return;
    NewYear work(*m_session.sysDb, m_session.auditContext());
    const NewYear::Plan plan = work.plan(m_session.account.id, m_session.user.id);
    if (!plan.ok()) {
        ShowNotice(plan.refusal);
        return;
    }
    const HeldClaim held(m_session.task.get(), plan.accId, plan.newYear, Tasks::Function::YearCreate);
    if (!granted(held))
        return;
    if (MsgBox(plan.question.text, vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, plan.question.title) != vb::vbYes)
        return;
    const AccountSetOutcome out = work.make(plan);
    ShowNotice(out.done() ? out.success : out.notice);
}

// The year is written as a backup set into a folder the person picks (a new one under
// ~/revozi-backups is offered) before anything of it is emptied.
void YearMenu::clear()
{
    const int y = year();
    if (y == 0)
        return;
    const QString& accId = m_session.account.id;
    const HeldClaim held(m_session.task.get(), accId, y, Tasks::Function::YearClear);
    if (!granted(held))
        return;
    if (MsgBox(tr("清空账套[%1]%2年度的数据吗？\n清空前先把该年度输出为备份集；选项、编码方案和会计科目保留。").arg(accId).arg(y),
               vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, YearClearer::title()) != vb::vbYes)
        return;
    const QString folder = backupFolder(YearClearer::backupFolder(accId, y));
    if (folder.isEmpty())
        return;
    frmYearClear dlg(m_session, accId, y, folder, m_parent);
    ShowModal(dlg);
}

QString YearMenu::backupFolder(const QString& offered)
{
    // The offered folder is made so the dialog can show it chosen; left empty, it goes again.
    const bool made = !QDir(offered).exists() && QDir().mkpath(offered);
    QFileDialog dlg(m_parent, tr("选择备份集存放的文件夹"));
    dlg.setObjectName(QStringLiteral("dlgYearBackupFolder"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setDirectory(QDir(offered).absolutePath());
    dlg.selectFile(QDir(offered).absolutePath());
    const bool chosen = ShowModal(dlg) == QDialog::Accepted && !dlg.selectedFiles().isEmpty();
    const QString folder = chosen ? QDir(dlg.selectedFiles().constFirst()).absolutePath() : QString();
    if (made && folder != QDir(offered).absolutePath())
        QDir().rmdir(offered);
    return folder;
}

// A backup set of one year of this set: added beside its other years, or replacing that year.
void YearMenu::importYear()
{
    if (year() == 0)
        return;
    const QString descriptor = ImportCommand::chooseDescriptor(m_parent);
    if (descriptor.isEmpty())
        return;
    ImportCommand(m_session, m_parent).runYear(descriptor, m_session.account.id);
}

// The year logged into goes out as a backup set: prepared with progress, then the folder chosen.
void YearMenu::exportYear()
{
    const int y = year();
    if (y == 0)
        return;
    const HeldClaim held(m_session.task.get(), m_session.account.id, y, Tasks::Function::YearExport);
    if (!granted(held))
        return;
    frmWait wait(m_session, m_session.account.id, m_parent, y);
    wait.Form_Load();
    ShowModal(wait);
}

// What the year before brings into this one is listed first; nothing is written unless accepted.
void YearMenu::carryForward()
{
    const int y = year();
    if (y == 0)
        return;
    const HeldClaim held(m_session.task.get(), m_session.account.id, y, Tasks::Function::CarryForward);
    if (!granted(held))
        return;
    CarryForward work(*m_session.sysDb, m_session.auditContext());
    const CarryForward::Plan plan = work.plan(m_session.account.id, y);
    if (!plan.ok()) {
        ShowNotice(plan.refusal);
        return;
    }
    if (plan.nothing()) {
        MsgBox(plan.summary, vb::vbInformation | vb::vbOKOnly, tr("结转上年数据"));
        return;
    }
    QList<frmCarryForward::Row> rows;
    for (const CarryForward::Line& l : plan.lines)
        rows.append({l.code, l.name, l.change});
    frmCarryForward dlg(plan.summary, rows, m_parent);
    if (ShowModal(dlg) != QDialog::Accepted)
        return;
    ShowNotice(work.apply(plan).notice);
}
