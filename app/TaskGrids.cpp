#include "TaskGrids.h"
#include "frmMain.h"

#include <DbError.h>
#include <ErrLog.h>
#include <FlexGrid.h>
#include <MsgBox.h>
#include <Session.h>
#include <TaskNotifier.h>
#include <TaskRegistry.h>

namespace {
const QString kTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr int kBeatMs = 30000;   // Timer2's interval: the console beats as often as its status cell turns
constexpr int kListed = 20;      // rows named in a clearing's question; the rest counted
} // namespace

TaskGrids::TaskGrids(Session& session, frmMain& console)
    : m_session(session)
    , m_console(console)
{
    m_beat.setObjectName(QStringLiteral("TaskBeat"));
    m_beat.setInterval(kBeatMs);
    connect(&m_beat, &QTimer::timeout, this, &TaskGrids::beat);
}

TaskGrids::~TaskGrids() = default;

void TaskGrids::loggedIn()
{
    if (!m_session.sysDb)
        return;
    TaskInfo me{Tasks::kConsole, m_session.user.id, m_session.computerName};
    me.intervalMs = kBeatMs;
    try {
        m_session.task = std::make_unique<TaskRegistry>(*m_session.sysDb, me);
        m_session.task->start();
        if (!m_session.user.isAdmin) {
            const Claim held = m_session.task->claim(m_session.account.id, m_session.account.year.toInt(), Tasks::Function::Login);
            if (!held.granted())
                MsgBox(held.refusal.shown, vb::vbExclamation | vb::vbOKOnly, frmMain::shownCaption());
        }
        m_notifier = std::make_unique<TaskNotifier>(*m_session.sysDb);
        connect(m_notifier.get(), &TaskNotifier::changed, this, &TaskGrids::refresh);
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("TaskGrids::loggedIn"));
    }
    m_beat.start();
    refresh();
}

void TaskGrids::loggedOut()
{
    m_beat.stop();
    m_notifier.reset();
    m_session.task.reset();
    m_console.MSFlexGrid2->setRows(2);
    m_console.MSFlexGrid2->setRowHeight(1, 0);
}

// A task cleared by another console as abnormal (it had stopped beating) registers again.
void TaskGrids::beat()
{
    if (!m_session.task || m_session.task->heartbeat())
        return;
    try {
        m_session.task->start();
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("TaskGrids::beat"));
    }
}

// A function's year; 0 holds every year of the set.
QString TaskGrids::yearText(int year)
{
    return year > 0 ? QString::number(year) : tr("全部");
}

void TaskGrids::refresh()
{
    if (!m_session.task)
        return;
    // Both grids in one round trip.
    const TaskRegistry::Grids read = m_session.task->grids();
    fillTasks(read.tasks);
    fillFunctions(read.functions);
}

void TaskGrids::fillTasks(const QList<TaskRow>& tasks)
{
    FlexGrid* g = m_console.MSFlexGrid1;
    int row = 2;
    for (const TaskRow& t : tasks) {
        if (t.mine)
            continue;
        g->setRows(row + 1);
        g->setRowHeight(row, g->RowHeight(1));
        g->setTextMatrix(row, 0, Tasks::subsystemShown(t.subsystem));
        g->setTextMatrix(row, 1, t.station);
        g->setTextMatrix(row, 2, t.stateShown());
        g->setTextMatrix(row, 3, t.login.toString(kTime));
        ++row;
    }
    g->setRows(qMax(row, 2));
}

// The console's own functions stay out of its lower grid: it shows what the others do.
void TaskGrids::fillFunctions(const QList<FunctionRow>& functions)
{
    FlexGrid* g = m_console.MSFlexGrid2;
    const qint64 mine = m_session.task->id();
    int row = 1;
    for (const FunctionRow& f : functions) {
        if (f.taskId == mine)
            continue;
        g->setRows(row + 1);
        g->setRowHeight(row, m_console.MSFlexGrid1->RowHeight(1));
        g->setTextMatrix(row, 0, f.accId);
        g->setTextMatrix(row, 1, yearText(f.year));
        g->setTextMatrix(row, 2, f.operatorId);
        g->setTextMatrix(row, 3, f.station.isEmpty() ? Tasks::functionShown(f.function)
                                                     : tr("%1（%2）").arg(Tasks::functionShown(f.function), f.station));
        ++row;
    }
    g->setRows(qMax(row, 2));
    if (row == 1)
        g->setRowHeight(1, 0);
}

// A clearing's question: the first rows of what goes, the rest counted; true on Yes.
bool TaskGrids::confirmListed(const QString& question, QStringList lines, const QString& title)
{
    const qsizetype all = lines.size();
    if (all > kListed) {
        lines.resize(kListed);
        lines << tr("……共%1个").arg(all);
    }
    return MsgBox(question.arg(lines.join(QLatin1Char('\n'))), vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, title) == vb::vbYes;
}

void TaskGrids::clearAbnormalTasks()
{
    if (!m_session.task)
        return;
    const QString title = tr("清除异常任务");
    const QList<TaskRow> dead = m_session.task->abnormal();
    if (dead.isEmpty()) {
        MsgBox(tr("没有异常任务。"), vb::vbInformation | vb::vbOKOnly, title);
        return;
    }
    QStringList lines;
    QList<qint64> ids;
    for (const TaskRow& t : dead) {
        ids << t.id;
        lines << tr("%1  %2  操作员[%3]  注册于%4").arg(t.station, Tasks::subsystemShown(t.subsystem), t.operatorId, t.login.toString(kTime));
    }
    if (!confirmListed(tr("以下任务已异常（程序已退出或失去联系）：\n%1\n清除这些任务及其占用的单据吗？"), lines, title))
        return;
    ShowNotice(m_session.task->clearAbnormal(ids, m_session.auditContext()).notice);
    refresh();
}

void TaskGrids::releaseStaleClaims()
{
    if (!m_session.task)
        return;
    const QString title = tr("清除单据锁定");
    const QList<FunctionRow> stale = m_session.task->staleClaims();
    if (stale.isEmpty()) {
        MsgBox(tr("没有需要清除的单据锁定。"), vb::vbInformation | vb::vbOKOnly, title);
        return;
    }
    QStringList lines;
    QList<qint64> ids;
    for (const FunctionRow& f : stale) {
        ids << f.id;
        lines << tr("账套[%1] %2  %3  工作站[%4]").arg(f.accId, yearText(f.year), Tasks::functionShown(f.function), f.station);
    }
    if (!confirmListed(tr("以下锁定属于已异常的任务：\n%1\n解除这些锁定吗？"), lines, title))
        return;
    ShowNotice(m_session.task->releaseClaims(ids, m_session.auditContext()).notice);
    refresh();
}
