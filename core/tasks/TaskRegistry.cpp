#include "TaskRegistry.h"
#include "LocalProcess.h"

#include <AuditEvents.h>
#include <Database.h>
#include <ErrLog.h>
#include <SysInfo.h>

#include <QCoreApplication>
#include <QRandomGenerator>

#include <functional>

#include <unistd.h>

namespace {
// The first key of the two-key advisory lock a server claim holds on its set to the commit
// (7406: making an installation, 7407: a set's books).
constexpr int kClaimClass = 7408;

// The database's clock in milliseconds since 1970: on a server the server's own, so workstations
// whose clocks differ still agree on which heartbeat is old.
QString now(const Database& db)
{
    return db.engine() == Engine::PostgreSQL ? QStringLiteral("CAST(extract(epoch FROM clock_timestamp())*1000 AS BIGINT)")
                                             : QStringLiteral("CAST((julianday('now')-2440587.5)*86400000 AS INTEGER)");
}

// 1 when the task `t` (an alias, or a table) is past its heartbeat, else 0; a function's task that
// is gone (the outer join found none) counts as past it.
QString stale(const Database& db, const QString& t)
{
    return QStringLiteral("CASE WHEN %1.iTask_Id IS NULL OR %1.iBeat+%2*%1.iInterval<%3 THEN 1 ELSE 0 END").arg(t).arg(Tasks::kMissedBeats).arg(now(db));
}

// Ids are random: two workstations never pick the same one, and no sequence is needed on either
// engine. 40 bits, so the change mark's sum of ids stays far within 64.
qint64 newId()
{
    return qint64(QRandomGenerator::system()->bounded(quint64(1) << 40)) + 1;
}

QDateTime fromMs(const QVariant& v)
{
    return v.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(v.toLongLong());
}

// "账套[001] 2026年度", or the whole set's "账套[001]".
Words setYear(const QString& accId, int year)
{
    return year > 0 ? Words::of("Tasks", QT_TRANSLATE_NOOP("Tasks", "账套[%1] %2年度"), accId, QString::number(year))
                    : Words::of("Tasks", QT_TRANSLATE_NOOP("Tasks", "账套[%1]"), accId);
}

const QString kTaskColumns = QStringLiteral("t.iTask_Id, t.cSubName, t.cStation, t.cOsUser, t.cUser_Id, t.iLogin, t.iPid, t.iPidStart, t.iBeat, t.iInterval");
const QString kFunctionColumns = QStringLiteral("f.iFunc_Id, f.iTask_Id, f.cAcc_Id, f.iYear, f.cUser_Id, f.cFunction, f.iExclusive, f.iSince, "
                                                "t.cStation, t.iPid, t.iPidStart");

// A row's values by column, from a result of either kind.
using Values = std::function<QVariant(int)>;

TaskRow taskAt(const Values& value)
{
    TaskRow r;
    r.id = value(0).toLongLong();
    r.subsystem = value(1).toString();
    r.station = value(2).toString();
    r.osUser = value(3).toString();
    r.operatorId = value(4).toString();
    r.login = fromMs(value(5));
    r.pid = value(6).toLongLong();
    r.beat = fromMs(value(8));
    r.intervalMs = value(9).toInt();
    r.abnormal = value(10).toInt() != 0;
    return r;
}

FunctionRow functionAt(const Values& value)
{
    FunctionRow r;
    r.id = value(0).toLongLong();
    r.taskId = value(1).toLongLong();
    r.accId = value(2).toString();
    r.year = value(3).toInt();
    r.operatorId = value(4).toString();
    r.function = value(5).toString();
    r.exclusive = value(6).toInt() != 0;
    r.since = fromMs(value(7));
    r.station = value(8).toString();
    r.abnormal = value(11).toInt() != 0;
    return r;
}
} // namespace

// The first function in the way of a claim, as its refusal names it.
struct TaskRegistry::Held {
    QString function, station, who;
    int year = 0;
    bool abnormal = false;
};

TaskRegistry::TaskRegistry(Database& sysDb, TaskInfo me)
    : m_db(sysDb)
    , m_me(std::move(me))
{
    if (m_me.station.isEmpty())
        m_me.station = SysInfo::computerName();
    if (m_me.osUser.isEmpty())
        m_me.osUser = SysInfo::osUser();
    if (m_me.pid == 0)
        m_me.pid = ::getpid();
    m_me.intervalMs = qMax(1, m_me.intervalMs);
}

TaskRegistry::~TaskRegistry()
{
    end();
}

QStringList TaskRegistry::tableStatements(const Database& db)
{
    // SQLite's INTEGER is eight bytes, the server's four: times in milliseconds need eight.
    const QString integer = db.engine() == Engine::PostgreSQL ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER");
    const QString text = QStringLiteral("TEXT COLLATE NOCASE");
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS SM_Task (iTask_Id %1 NOT NULL, cSubName %2, cStation %2, cOsUser %2, "
                           "cUser_Id %2, iLogin %1, iPid %1, iPidStart %1, iBeat %1, iInterval %1, PRIMARY KEY (iTask_Id))")
                .arg(integer, text),
            QStringLiteral("CREATE TABLE IF NOT EXISTS SM_TaskFunc (iFunc_Id %1 NOT NULL, iTask_Id %1 NOT NULL, cAcc_Id %2 NOT NULL, "
                           "iYear %1 NOT NULL, cUser_Id %2, cFunction %2, iExclusive %1 NOT NULL, iSince %1, PRIMARY KEY (iFunc_Id))")
                .arg(integer, text),
            QStringLiteral("CREATE INDEX IF NOT EXISTS SM_TaskFunc_Acc ON SM_TaskFunc (cAcc_Id, iYear)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS SM_TaskFunc_Task ON SM_TaskFunc (iTask_Id)")};
}

const QStringList& TaskRegistry::tableNames()
{
    static const QStringList names{QStringLiteral("SM_Task"), QStringLiteral("SM_TaskFunc"), QStringLiteral("SM_TaskFunc_Acc"),
                                   QStringLiteral("SM_TaskFunc_Task")};
    return names;
}

void TaskRegistry::ensureTables(Database& db)
{
    db.executeScript(tableStatements(db));
}

qint64 TaskRegistry::start()
{
    if (m_id)
        return m_id;
    const qint64 id = newId();
    const Database::Statement insert{QStringLiteral("INSERT INTO SM_Task (iTask_Id,cSubName,cStation,cOsUser,cUser_Id,iLogin,iPid,iPidStart,iBeat,iInterval) "
                                                    "VALUES (?,?,?,?,?,%1,?,?,%1,?)").arg(now(m_db)),
                                     {id, m_me.subsystem, m_me.station, m_me.osUser, m_me.operatorId, m_me.pid, LocalProcess::startOf(m_me.pid),
                                      m_me.intervalMs}};
    // The row and its notification go with the COMMIT. The installation's upkeep made the tables
    // when it opened; a database opened otherwise gets them here, once.
    const auto registerTask = [&] {
        Database::Transaction t(m_db);
        t.commit(QList<Database::Statement>{insert} + changeStatements());
    };
    try {
        registerTask();
    } catch (const DbError&) {
        if (m_db.hasTable(QStringLiteral("SM_Task")))
            throw;
        ensureTables(m_db);
        registerTask();
    }
    m_id = id;
    return id;
}

bool TaskRegistry::heartbeat()
{
    if (!m_id)
        return false;
    // On a server a heartbeat is committed without waiting for the server's log: asynchronous
    // commit may lose the newest such commits in a crash, never consistency, and a lost heartbeat
    // is only an older one. A file's heartbeat is flushed like every other write: skipping the
    // flush of the system database's journal could leave a torn page of the operators' own
    // database after a power failure, and one flushed write every 30 s is not felt.
    const QString beat = QStringLiteral("UPDATE SM_Task SET iBeat=%1 WHERE iTask_Id=?").arg(now(m_db));
    try {
        if (m_db.engine() == Engine::PostgreSQL) {
            Database::Transaction t(m_db);
            m_db.batch({{QStringLiteral("SET LOCAL synchronous_commit TO off"), {}}, {beat, {m_id}}});
            const bool there = m_db.rowsAffected() > 0;
            t.commit();
            return there;
        }
        Database::BusyWait wait(m_db, kBeatWaitMs);
        m_db.execute(beat, {m_id});
        return m_db.rowsAffected() > 0;
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("TaskRegistry::heartbeat"));
        return false;
    }
}

void TaskRegistry::end()
{
    if (!m_id)
        return;
    try {
        Database::Transaction t(m_db);
        t.commit(QList<Database::Statement>{{QStringLiteral("DELETE FROM SM_TaskFunc WHERE iTask_Id=?"), {m_id}},
                                            {QStringLiteral("DELETE FROM SM_Task WHERE iTask_Id=?"), {m_id}}}
                 + changeStatements());
    } catch (const DbError& e) {
        // Left behind, the task turns abnormal and is cleared from a console.
        WriteErrLog(3, e.text(), QStringLiteral("TaskRegistry::end"));
    }
    m_id = 0;
}

QList<Database::Statement> TaskRegistry::changeStatements() const
{
    // Heard by the other sessions when the transaction commits, not before.
    if (m_db.engine() != Engine::PostgreSQL)
        return {};
    return {{QStringLiteral("SELECT pg_notify(?, ?)"), {Tasks::kChannel, m_db.schema()}}};
}

void TaskRegistry::changed()
{
    for (const Database::Statement& s : changeStatements())
        m_db.execute(s.sql, s.params);
}

bool TaskRegistry::goneHere(const QString& station, qint64 pid, qint64 pidStart) const
{
    return station.compare(m_me.station, Qt::CaseInsensitive) == 0 && !LocalProcess::running(pid, pidStart);
}

Claim TaskRegistry::claim(const QString& accId, int year, Tasks::Function f)
{
    Claim c;
    const Words want = Tasks::name(f);
    if (!m_id) {
        c.refusal = Words::of("Tasks", QT_TRANSLATE_NOOP("Tasks", "程序尚未登记为任务，不能%1。"), want);
        return c;
    }
    const bool exclusive = Tasks::exclusive(f);
    try {
        // The check and the row under one lock: SQLite's write lock, taken as the transaction
        // begins; on a server the set's advisory lock, which the next claimant waits for.
        // The lock and the read in one round trip, each its own statement: the read sees what the
        // claimant before left.
        Database::Transaction t(m_db);
        QList<Database::Statement> check;
        if (m_db.engine() == Engine::PostgreSQL)
            check << Database::Statement{QStringLiteral("SELECT pg_advisory_xact_lock(?, hashtext(lower(?)))"), {kClaimClass, accId}};
        check << conflictStatement(accId, year, exclusive);
        Held held;
        if (conflictIn(m_db.batch(check).constLast(), &held)) {
            const Words what{held.function, Tasks::functionShown(held.function)};
            c.refusal = held.abnormal
                            ? Words::of("Tasks", QT_TRANSLATE_NOOP("Tasks", "工作站[%1]上的操作员[%2]在%3执行“%4”的任务已异常（程序已退出或失去联系），"
                                                                            "请先清除异常任务，再%5。"),
                                        held.station, held.who, setYear(accId, held.year), what, want)
                            : Words::of("Tasks", QT_TRANSLATE_NOOP("Tasks", "工作站[%1]上的操作员[%2]正在%3执行“%4”，现在不能%5。"),
                                        held.station, held.who, setYear(accId, held.year), what, want);
            return c;
        }
        const qint64 id = newId();
        t.commit(QList<Database::Statement>{{QStringLiteral("INSERT INTO SM_TaskFunc (iFunc_Id,iTask_Id,cAcc_Id,iYear,cUser_Id,cFunction,iExclusive,iSince) "
                                                           "VALUES (?,?,?,?,?,?,?,%1)").arg(now(m_db)),
                                            {id, m_id, accId, year, m_me.operatorId, want.stored, int(exclusive)}}}
                 + changeStatements());
        c.token = id;
    } catch (const DbError& e) {
        c.refusal = {e.reasonText(), e.userText()};
    }
    return c;
}

// Another task's function on the set and an overlapping year (0 is every year) that the claim
// cannot stand beside: any, for an exclusive claim; an exclusive one, for a shared claim. A live
// holder is named before an abnormal one.
Database::Statement TaskRegistry::conflictStatement(const QString& accId, int year, bool exclusive) const
{
    return {QStringLiteral("SELECT f.cFunction, f.iYear, t.cStation, t.cUser_Id, t.cOsUser, f.cUser_Id, t.iPid, t.iPidStart, %1 AS gone "
                           "FROM SM_TaskFunc f LEFT JOIN SM_Task t ON t.iTask_Id=f.iTask_Id "
                           "WHERE f.cAcc_Id=? AND (f.iYear=? OR f.iYear=0 OR ?=0) AND f.iTask_Id<>? AND (?=1 OR f.iExclusive=1) "
                           "ORDER BY gone, f.iSince")
                .arg(stale(m_db, QStringLiteral("t"))),
            {accId, year, year, m_id, int(exclusive)}};
}

bool TaskRegistry::conflictIn(Recordset rs, Held* held) const
{
    bool found = false;
    for (; !rs.Eof(); rs.MoveNext()) {
        const bool abnormal = rs.Fields(8).toInt() != 0 || goneHere(rs.Fields(2).toString(), rs.Fields(6).toLongLong(), rs.Fields(7).toLongLong());
        if (found && !(held->abnormal && !abnormal))
            continue;
        found = true;
        held->function = rs.Fields(0).toString();
        held->year = rs.Fields(1).toInt();
        held->station = rs.Fields(2).toString();
        const QString op = rs.Fields(3).toString().isEmpty() ? rs.Fields(5).toString() : rs.Fields(3).toString();
        held->who = op.isEmpty() ? rs.Fields(4).toString() : op;
        held->abnormal = abnormal;
    }
    return found;
}

void TaskRegistry::release(qint64 token)
{
    try {
        Database::Transaction t(m_db);
        t.commit(QList<Database::Statement>{{QStringLiteral("DELETE FROM SM_TaskFunc WHERE iFunc_Id=? AND iTask_Id=?"), {token, m_id}}}
                 + changeStatements());
    } catch (const DbError& e) {
        // Left behind, it goes when the task ends.
        WriteErrLog(3, e.text(), QStringLiteral("TaskRegistry::release"));
    }
}

QString TaskRegistry::tasksStatement() const
{
    return QStringLiteral("SELECT %1, %2 FROM SM_Task t ORDER BY t.iLogin, t.iTask_Id").arg(kTaskColumns, stale(m_db, QStringLiteral("t")));
}

QString TaskRegistry::functionsStatement() const
{
    return QStringLiteral("SELECT %1, %2 FROM SM_TaskFunc f LEFT JOIN SM_Task t ON t.iTask_Id=f.iTask_Id ORDER BY f.iSince, f.iFunc_Id")
        .arg(kFunctionColumns, stale(m_db, QStringLiteral("t")));
}

QList<TaskRow> TaskRegistry::tasksOf(Recordset rs) const
{
    QList<TaskRow> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        const Values value = [&rs](int i) { return rs.Fields(i); };
        TaskRow r = taskAt(value);
        r.abnormal = r.abnormal || goneHere(r.station, r.pid, value(7).toLongLong());
        r.mine = r.id == m_id;
        rows.append(r);
    }
    return rows;
}

QList<FunctionRow> TaskRegistry::functionsOf(Recordset rs) const
{
    QList<FunctionRow> rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        const Values value = [&rs](int i) { return rs.Fields(i); };
        FunctionRow r = functionAt(value);
        r.abnormal = r.abnormal || goneHere(r.station, value(9).toLongLong(), value(10).toLongLong());
        rows.append(r);
    }
    return rows;
}

QList<TaskRow> TaskRegistry::tasks()
{
    return tasksOf(m_db.query(tasksStatement()));
}

QList<FunctionRow> TaskRegistry::functions()
{
    return functionsOf(m_db.query(functionsStatement()));
}

TaskRegistry::Grids TaskRegistry::grids()
{
    const QList<Recordset> read = m_db.batch({{tasksStatement(), {}}, {functionsStatement(), {}}});
    return {tasksOf(read.value(0)), functionsOf(read.value(1))};
}

QList<TaskRow> TaskRegistry::abnormal()
{
    QList<TaskRow> out;
    for (const TaskRow& r : tasks())
        if (r.abnormal && !r.mine)
            out.append(r);
    return out;
}

QList<FunctionRow> TaskRegistry::staleClaims()
{
    QList<FunctionRow> out;
    for (const FunctionRow& r : functions())
        if (r.abnormal && r.taskId != m_id)
            out.append(r);
    return out;
}

QString TaskRegistry::changeMark(Database& db)
{
    Recordset rs = db.query(QStringLiteral("SELECT (SELECT count(*) FROM SM_Task), (SELECT coalesce(sum(iTask_Id),0) FROM SM_Task), "
                                             "(SELECT count(*) FROM SM_Task t WHERE %1=1), "
                                             "(SELECT count(*) FROM SM_TaskFunc), (SELECT coalesce(sum(iFunc_Id),0) FROM SM_TaskFunc)")
                                  .arg(stale(db, QStringLiteral("t"))));
    QStringList parts;
    for (int i = 0; i < 5; ++i)
        parts << rs.Fields(i).toString();
    return parts.join(QLatin1Char('/'));
}

bool TaskRegistry::changedSince(QString& token)
{
    const QString mark = changeMark(m_db);
    if (mark == token)
        return false;
    token = mark;
    return true;
}

TaskOutcome TaskRegistry::clearAbnormal(const QList<qint64>& ids, const AuditContext& who)
{
    return clearing(ids, true, who);
}

TaskOutcome TaskRegistry::releaseClaims(const QList<qint64>& ids, const AuditContext& who)
{
    return clearing(ids, false, who);
}

// Each task or function in a transaction of its own with its row: what was cleared before a
// failure stays cleared, the one that failed is left whole.
TaskOutcome TaskRegistry::clearing(const QList<qint64>& ids, bool tasks, const AuditContext& who)
{
    TaskOutcome out;
    const QString title = tasks ? QCoreApplication::translate("Tasks", "清除异常任务") : QCoreApplication::translate("Tasks", "释放功能");
    for (qint64 id : ids) {
        try {
            if (tasks ? clearOne(id, who) : releaseOne(id, who))
                ++out.done;
            else
                out.kept.append(id);
        } catch (const DbError& e) {
            out.notice = {e.userText(), title, Notice::Icon::Critical};
            return out;
        }
    }
    QString text = tasks ? QCoreApplication::translate("Tasks", "已清除%1个异常任务。").arg(out.done)
                         : QCoreApplication::translate("Tasks", "已释放%1个异常任务的功能。").arg(out.done);
    if (!out.kept.isEmpty())
        text += tasks ? QCoreApplication::translate("Tasks", "%1个任务仍在正常运行（或已不在），未清除。").arg(out.kept.size())
                      : QCoreApplication::translate("Tasks", "%1个功能的任务仍在正常运行（或已释放），未释放。").arg(out.kept.size());
    out.notice = {text, title, out.kept.isEmpty() ? Notice::Icon::Information : Notice::Icon::Exclamation};
    return out;
}

// The task is deleted only while it is still abnormal: a heartbeat that came meanwhile keeps it.
bool TaskRegistry::clearOne(qint64 id, const AuditContext& who)
{
    if (id == m_id)
        return false;
    AuditEntry entry;
    try {
        Database::Transaction t(m_db);
        Recordset rs = m_db.query(QStringLiteral("SELECT t.cSubName, t.cStation, t.cUser_Id, t.iPid, t.iPidStart, t.iBeat FROM SM_Task t WHERE t.iTask_Id=?"), {id});
        if (rs.Eof())
            return false;
        const QString station = rs.Fields(1).toString();
        const bool gone = goneHere(station, rs.Fields(3).toLongLong(), rs.Fields(4).toLongLong());
        QStringList held;
        for (Recordset f = m_db.query(QStringLiteral("SELECT cAcc_Id, iYear, cFunction FROM SM_TaskFunc WHERE iTask_Id=? ORDER BY iSince"), {id}); !f.Eof();
             f.MoveNext())
            held << setYear(f.Fields(0).toString(), f.Fields(1).toInt()).stored + QLatin1Char(' ') + f.Fields(2).toString();
        entry = Audit::taskCleared(rs.Fields(0).toString(), station, rs.Fields(2).toString(), rs.Fields(3).toLongLong(), fromMs(rs.Fields(5)), held);
        m_db.execute(QStringLiteral("DELETE FROM SM_Task WHERE iTask_Id=? AND (%1=1 OR ?=1)").arg(stale(m_db, QStringLiteral("SM_Task"))), {id, int(gone)});
        if (m_db.rowsAffected() == 0)
            return false;
        m_db.execute(QStringLiteral("DELETE FROM SM_TaskFunc WHERE iTask_Id=?"), {id});
        AuditLog::write(m_db, who, entry);
        changed();
        t.commit();
        return true;
    } catch (const DbError& e) {
        if (!entry.action.isEmpty())
            AuditLog::record(m_db, who, entry.failed(e.reasonText()));
        throw;
    }
}

// The function goes only while its task is abnormal or gone, as for clearOne.
bool TaskRegistry::releaseOne(qint64 id, const AuditContext& who)
{
    AuditEntry entry;
    try {
        Database::Transaction t(m_db);
        Recordset rs = m_db.query(QStringLiteral("SELECT f.cAcc_Id, f.iYear, f.cFunction, f.cUser_Id, f.iTask_Id, t.cStation, t.iPid, t.iPidStart "
                                                 "FROM SM_TaskFunc f LEFT JOIN SM_Task t ON t.iTask_Id=f.iTask_Id WHERE f.iFunc_Id=?"),
                                  {id});
        if (rs.Eof() || rs.Fields(4).toLongLong() == m_id)
            return false;
        const QString station = rs.Fields(5).toString();
        const bool gone = goneHere(station, rs.Fields(6).toLongLong(), rs.Fields(7).toLongLong());
        entry = Audit::claimReleased(rs.Fields(0).toString(), rs.Fields(1).toInt(), rs.Fields(2).toString(), station, rs.Fields(3).toString());
        m_db.execute(QStringLiteral("DELETE FROM SM_TaskFunc WHERE iFunc_Id=? AND (?=1 OR NOT EXISTS "
                                    "(SELECT 1 FROM SM_Task t WHERE t.iTask_Id=SM_TaskFunc.iTask_Id AND %1=0))")
                         .arg(stale(m_db, QStringLiteral("t"))),
                     {id, int(gone)});
        if (m_db.rowsAffected() == 0)
            return false;
        AuditLog::write(m_db, who, entry);
        changed();
        t.commit();
        return true;
    } catch (const DbError& e) {
        if (!entry.action.isEmpty())
            AuditLog::record(m_db, who, entry.failed(e.reasonText()));
        throw;
    }
}
