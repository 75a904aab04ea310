// Who works where: two registries on one installation, each on a connection of its own as two
// workstations are, see each other's tasks and functions; the claims' rules and their refusals;
// abnormal tasks (an old heartbeat, a process gone) block until cleared, and clearing never takes
// a live one; claims raced from two threads have one winner. Run once per engine (TestRoot).
#include "TestEngine.h"
#include "TestRoot.h"

#include <Database.h>
#include <Installation.h>
#include <TaskNotifier.h>
#include <TaskRegistry.h>

#include <QSignalSpy>
#include <QtTest>

#include <barrier>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using F = Tasks::Function;
Q_DECLARE_METATYPE(Tasks::Function)

namespace {
const QString kAcc = QStringLiteral("001");
const AuditContext kWho{QStringLiteral("admin"), QStringLiteral("WS-A"), QString()};

TaskInfo console(const QString& station, const QString& op, qint64 pid = 0)
{
    return {Tasks::kConsole, op, station, QString(), pid, 30000};
}

// The number of a process that has ended.
qint64 deadPid()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Makes the task's heartbeat older than its three intervals, as a task that stopped beating.
void age(Database& db, qint64 task)
{
    db.execute(QStringLiteral("UPDATE SM_Task SET iBeat=iBeat-4*iInterval WHERE iTask_Id=?"), {task});
}

QList<qint64> sorted(QList<qint64> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

QList<qint64> ids(const QList<TaskRow>& rows)
{
    QList<qint64> out;
    for (const TaskRow& r : rows)
        out << r.id;
    return sorted(out);
}

int count(Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

// A second workstation's connection to the installation of `env`.
struct Other {
    explicit Other(TestRoot& env) { db.openLike(env.db()); }
    Database db;
};
} // namespace

class tst_core_tasks : public QObject {
    Q_OBJECT
private slots:
    void registriesSeeEachOther()
    {
        TestRoot env;
        // An installation made before the tasks gets their tables where it is opened.
        env.db().execute(QStringLiteral("DROP TABLE SM_TaskFunc"));
        env.db().execute(QStringLiteral("DROP TABLE SM_Task"));
        Database second;
        Installation::openSystemDatabase(second, env.place());
        QVERIFY(second.hasTable(QStringLiteral("SM_Task")) && second.hasTable(QStringLiteral("SM_TaskFunc")));

        TaskRegistry ra(env.db(), console(QStringLiteral("WS-A"), QStringLiteral("demo")));
        TaskRegistry rb(second, {Tasks::kBackup, QString(), QStringLiteral("WS-B"), QStringLiteral("backup"), 0, 30000});
        ra.start();
        rb.start();
        QVERIFY(ra.claim(kAcc, 2026, F::Login).granted());
        // Its own login does not stand in the way of the console's own exclusive work.
        const Claim own = ra.claim(kAcc, 2026, F::YearClear);
        QVERIFY2(own.granted(), qPrintable(own.refusal.shown));
        ra.release(own.token);

        const QList<TaskRow> tasks = rb.tasks();
        QCOMPARE(tasks.size(), 2);
        for (const TaskRow& t : tasks) {
            QVERIFY(!t.abnormal);
            QCOMPARE(t.mine, t.id == rb.id());
            QCOMPARE(t.station, t.mine ? QStringLiteral("WS-B") : QStringLiteral("WS-A"));
            QCOMPARE(t.subsystem, t.mine ? Tasks::kBackup : Tasks::kConsole);
            QCOMPARE(t.pid, qint64(::getpid()));
            QVERIFY(qAbs(t.login.secsTo(QDateTime::currentDateTime())) < 60);
        }
        const QList<FunctionRow> functions = rb.functions();
        QCOMPARE(functions.size(), 1);
        QCOMPARE(functions[0].taskId, ra.id());
        QCOMPARE(functions[0].station, QStringLiteral("WS-A"));
        QCOMPARE(functions[0].operatorId, QStringLiteral("demo"));
        QCOMPARE(functions[0].function, QStringLiteral("登录账套"));
        QCOMPARE(functions[0].year, 2026);
        QVERIFY(!functions[0].exclusive);

        QString token = TaskRegistry::changeMark(second);
        QVERIFY(!rb.changedSince(token));
        ra.end();
        QVERIFY(rb.changedSince(token));
        QCOMPARE(ids(rb.tasks()), QList<qint64>{rb.id()});
        QVERIFY(rb.functions().isEmpty());
    }

    void claimRules_data()
    {
        QTest::addColumn<F>("held");
        QTest::addColumn<int>("heldYear");
        QTest::addColumn<F>("wanted");
        QTest::addColumn<int>("wantedYear");
        QTest::addColumn<bool>("granted");
        QTest::newRow("two exports") << F::Export << 2026 << F::Export << 2026 << true;
        QTest::newRow("export beside a supervisor") << F::Login << 2026 << F::Export << 2026 << true;
        QTest::newRow("import while exported") << F::Export << 2026 << F::Import << 2026 << false;
        QTest::newRow("export while imported") << F::Import << 2026 << F::Export << 2026 << false;
        QTest::newRow("deletion of every year") << F::Login << 2025 << F::Delete << 0 << false;
        QTest::newRow("login while deleted") << F::Delete << 0 << F::Login << 2026 << false;
        QTest::newRow("clearing while the year is made") << F::YearCreate << 2026 << F::YearClear << 2026 << false;
        QTest::newRow("import of another year") << F::Export << 2025 << F::YearImport << 2026 << true;
    }

    void claimRules()
    {
        QFETCH(F, held);
        QFETCH(int, heldYear);
        QFETCH(F, wanted);
        QFETCH(int, wantedYear);
        QFETCH(bool, granted);
        TestRoot env;
        Other b(env);
        TaskRegistry ra(env.db(), console(QStringLiteral("WS-A"), QStringLiteral("demo")));
        TaskRegistry rb(b.db, console(QStringLiteral("WS-B"), QStringLiteral("chenl")));
        ra.start();
        rb.start();
        const Claim first = rb.claim(kAcc, heldYear, held);
        QVERIFY(first.granted());
        // Another set is never in the way.
        QVERIFY(ra.claim(QStringLiteral("002"), wantedYear, wanted).granted());
        const Claim c = ra.claim(kAcc, wantedYear, wanted);
        QCOMPARE(c.granted(), granted);
        if (granted)
            return;
        for (const QString& named : {QStringLiteral("WS-B"), QStringLiteral("chenl"), Tasks::name(held).stored, Tasks::name(wanted).stored})
            QVERIFY2(c.refusal.stored.contains(named), qPrintable(c.refusal.stored));
        QVERIFY(c.refusal.stored.contains(QStringLiteral("正在")));
        QCOMPARE(count(env.db(), QStringLiteral("SELECT count(*) FROM SM_TaskFunc WHERE cAcc_Id=?"), {kAcc}), 1);
        rb.release(first.token);
        QVERIFY(ra.claim(kAcc, wantedYear, wanted).granted());
    }

    void abnormalTasksBlockUntilCleared()
    {
        TestRoot env;
        Other b(env), c(env), d(env);
        TaskRegistry ra(env.db(), console(QStringLiteral("WS-A"), QStringLiteral("admin")));
        TaskRegistry rb(b.db, console(QStringLiteral("WS-B"), QStringLiteral("chenl")));
        // A console of this workstation whose process is gone, and a live one of a third.
        TaskRegistry rc(c.db, console(QStringLiteral("WS-A"), QStringLiteral("demo"), deadPid()));
        TaskRegistry rd(d.db, console(QStringLiteral("WS-D"), QStringLiteral("wangl")));
        for (TaskRegistry* r : {&ra, &rb, &rc, &rd})
            r->start();
        QVERIFY(rb.claim(kAcc, 2026, F::Import).granted());
        QVERIFY(rc.claim(kAcc, 2025, F::Export).granted());
        // The process is looked for on its own workstation only.
        QCOMPARE(ids(ra.abnormal()), QList<qint64>{rc.id()});
        QVERIFY(rb.abnormal().isEmpty());

        age(env.db(), rb.id());
        QCOMPARE(ids(ra.abnormal()), sorted({rb.id(), rc.id()}));
        for (const TaskRow& t : ra.tasks())
            QCOMPARE(t.stateShown(), t.id == rb.id() || t.id == rc.id() ? QStringLiteral("异常") : QStringLiteral("正常"));
        // A dead task's claim still blocks, and the refusal says to clear it.
        const Claim blocked = ra.claim(kAcc, 2026, F::Export);
        QVERIFY(!blocked.granted());
        QVERIFY2(blocked.refusal.stored.contains(QStringLiteral("清除异常任务")) && blocked.refusal.stored.contains(QStringLiteral("WS-B")),
                 qPrintable(blocked.refusal.stored));
        // A heartbeat makes it live again.
        QVERIFY(rb.heartbeat());
        QCOMPARE(ids(ra.abnormal()), QList<qint64>{rc.id()});
        age(env.db(), rb.id());
        QCOMPARE(ra.staleClaims().size(), 2);

        // The log refusing the row: nothing is cleared, nothing lost.
        const QString tasksBefore = TaskRegistry::changeMark(env.db());
        TestEngine::refuseInserts(env.db(), QStringLiteral("SM_Log"), QStringLiteral("injected"));
        const TaskOutcome refused = ra.clearAbnormal({rb.id()}, kWho);
        TestEngine::allowInserts(env.db(), QStringLiteral("SM_Log"));
        QCOMPARE(refused.notice.icon, Notice::Icon::Critical);
        QCOMPARE(refused.done, 0);
        QCOMPARE(TaskRegistry::changeMark(env.db()), tasksBefore);

        // A released claim leaves its task; clearing takes the abnormal ones alone, never a live one.
        const QList<FunctionRow> stale = ra.staleClaims();
        const qint64 import = stale[0].taskId == rb.id() ? stale[0].id : stale[1].id;
        const TaskOutcome released = ra.releaseClaims({import}, kWho);
        QCOMPARE(released.done, 1);
        QCOMPARE(count(env.db(), QStringLiteral("SELECT count(*) FROM SM_Task WHERE iTask_Id=?"), {rb.id()}), 1);
        const TaskOutcome cleared = ra.clearAbnormal({rb.id(), rc.id(), rd.id(), ra.id()}, kWho);
        QCOMPARE(cleared.done, 2);
        QCOMPARE(cleared.kept, (QList<qint64>{rd.id(), ra.id()}));
        QCOMPARE(cleared.notice.icon, Notice::Icon::Exclamation);
        QCOMPARE(ids(ra.tasks()), sorted({ra.id(), rd.id()}));
        QVERIFY(ra.functions().isEmpty());
        QVERIFY(!rb.heartbeat());   // it learns that it was cleared
        QCOMPARE(count(env.db(), QStringLiteral("SELECT count(*) FROM SM_Log WHERE cAction='TASK_CLEAR' AND cResult='成功' AND cAcc_Id=''")), 2);
        QCOMPARE(count(env.db(), QStringLiteral("SELECT count(*) FROM SM_Log WHERE cAction='TASK_RELEASE' AND cAcc_Id=? AND iYear=2026"), {kAcc}), 1);
        QVERIFY(ra.claim(kAcc, 2026, F::Import).granted());
    }

    // Each round both threads claim the same set and year at once, each over its own connection.
    void racedClaimsHaveOneWinner()
    {
        TestRoot env;
        const Database& installation = env.db();
        constexpr int kRounds = 40;
        std::barrier sync(2);
        QList<bool> won[2];
        const auto racer = [&](int side) {
            Database db;
            db.openLike(installation);
            TaskRegistry r(db, console(QStringLiteral("WS-%1").arg(side), QStringLiteral("op")));
            r.start();
            for (int round = 0; round < kRounds; ++round) {
                sync.arrive_and_wait();
                const Claim c = r.claim(kAcc, 2026, F::Import);
                won[side] << c.granted();
                sync.arrive_and_wait();
                if (c.granted())
                    r.release(c.token);
            }
        };
        std::thread one(racer, 0), two(racer, 1);
        one.join();
        two.join();
        for (int round = 0; round < kRounds; ++round)
            QVERIFY2(won[0][round] != won[1][round], qPrintable(QStringLiteral("round %1").arg(round)));
    }

    void changesAreHeardWithinSeconds()
    {
        TestRoot env;
        Other b(env);
        TaskNotifier notifier(env.db(), 300);
        QSignalSpy spy(&notifier, &TaskNotifier::changed);
        TaskRegistry rb(b.db, console(QStringLiteral("WS-B"), QStringLiteral("chenl")));
        rb.start();
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, 5000);
        spy.clear();
        QVERIFY(rb.claim(kAcc, 2026, F::Export).granted());
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, 5000);
    }
};

QTEST_GUILESS_MAIN(tst_core_tasks)
#include "tst_core_tasks.moc"
