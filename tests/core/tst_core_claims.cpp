// revozi-backup as a task of its installation: it claims the sets it works on beside the other
// workstations' tasks, is refused (naming who holds the set) without replacing anything, holds
// its own import against a second one, and ends its task with the run. Run once per engine.
#include "BackupFixture.h"
#include "TestFiles.h"

#include <Database.h>
#include <Installation.h>
#include <TaskRegistry.h>
#include <WorkLock.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {
const QString kAcc = QStringLiteral("003");

// The installation on the command line: its root, or --server and its connection.
QStringList at(const TestRoot& r)
{
    return TestRoot::onServer() ? QStringList{QStringLiteral("--server"), r.place().conn().connectString()} : QStringList{r.root()};
}

QStringList exportTo(const TestRoot& r, const QString& dir)
{
    return at(r) + QStringList{QStringLiteral("export"), QStringLiteral("--set"), kAcc, QStringLiteral("--year"), QStringLiteral("2026"),
                               QStringLiteral("--to"), dir, QStringLiteral("--json")};
}

QStringList importOf(const BackupRoot& r)
{
    return at(r) + QStringList{QStringLiteral("import"), r.backup, QStringLiteral("--yes")};
}

QJsonObject firstObject(const Run& r)
{
    return QJsonDocument::fromJson(r.out.section(QLatin1Char('\n'), 0, 0).toUtf8()).object();
}

// The backup jobs registered on the installation.
QList<TaskRow> jobs(TaskRegistry& r)
{
    QList<TaskRow> out;
    for (const TaskRow& t : r.tasks())
        if (t.subsystem == Tasks::kBackup)
            out << t;
    return out;
}

Database& opened(Database& db, const TestRoot& root)
{
    Installation::openSystemDatabase(db, root.place());
    return db;
}

// Another workstation: a console logged in on a connection of its own.
struct Workstation {
    Database db;
    TaskRegistry task;
    Workstation(const TestRoot& root, const QString& station, const QString& op)
        : task(opened(db, root), {Tasks::kConsole, op, station})
    {
        task.start();
    }
};
} // namespace

class tst_core_claims : public QObject {
    Q_OBJECT
private slots:
    // A login on the set refuses the import, naming the workstation and operator, and nothing is
    // replaced; an export goes beside it. An import there refuses the export (JSON says so). The
    // run's task ends with the run either way.
    void anotherWorkstation_refusesImportAndExclusiveWork()
    {
        BackupRoot env(kAcc, 2026);
        Workstation b(env, QStringLiteral("WS-B"), QStringLiteral("chenl"));
        const Claim login = b.task.claim(kAcc, 2026, Tasks::Function::Login);
        QVERIFY(login.granted());
        const QStringList before = dumpBesidesLog(env.db());
        const QByteArray books = TestRoot::onServer() ? QByteArray() : readAll(env.live);

        const Run refused = run(importOf(env));
        QVERIFY2(refused.status == 1, qPrintable(describe(refused)));
        QVERIFY2(refused.err.contains(QStringLiteral("工作站[WS-B]上的操作员[chenl]正在账套[003] 2026年度执行“登录账套”，现在不能引入账套。")),
                 qPrintable(describe(refused)));
        QCOMPARE(dumpBesidesLog(env.db()), before);
        if (!TestRoot::onServer())
            QCOMPARE(readAll(env.live), books);
        QVERIFY(jobs(b.task).isEmpty());

        const Run beside = run(exportTo(env, env.root() + QStringLiteral("/beside")));
        QVERIFY2(beside.status == 0, qPrintable(describe(beside)));
        QCOMPARE(firstObject(beside).value(QStringLiteral("outcome")).toString(), QStringLiteral("ok"));

        b.task.release(login.token);
        QVERIFY(b.task.claim(kAcc, 0, Tasks::Function::Import).granted());
        const QString named = QStringLiteral("工作站[WS-B]上的操作员[chenl]正在账套[003]执行“引入账套”，现在不能输出账套。");
        for (const QStringList& args : {exportTo(env, env.root() + QStringLiteral("/blocked")),
                                        at(env) + QStringList{QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--to"),
                                                              env.root() + QStringLiteral("/all"), QStringLiteral("--json")}}) {
            const Run blocked = run(args);
            QVERIFY2(blocked.status == 1 && blocked.err.contains(named), qPrintable(describe(blocked)));
            QCOMPARE(firstObject(blocked).value(QStringLiteral("outcome")).toString(), QStringLiteral("failed"));
            QVERIFY2(firstObject(blocked).value(QStringLiteral("error")).toString().contains(named), qPrintable(blocked.out));
        }
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/blocked/KdErpAct.Lst")));
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/all/003-2026")));
        QVERIFY(jobs(b.task).isEmpty());
    }

    // While the job's import runs, a second import of the set is refused naming the job. (A task
    // left abnormal blocks the set until cleared: tst_core_tasks' abnormalTasksBlockUntilCleared.)
    void ownImportHoldsTheSet()
    {
        SKIP_ON_SERVER("the work lock that keeps the restore waiting is the files'");
        BackupRoot env(kAcc, 2026);
        Workstation b(env, QStringLiteral("WS-B"), QStringLiteral("chenl"));
        // Another program's work on the installation keeps the restore waiting, claim held.
        QProcess job;
        {
            const WorkLock busy(env.db(), WorkLock::Mode::Wait);
            startTool(job, importOf(env));
            QVERIFY(QTest::qWaitFor([&] { return !jobs(b.task).isEmpty() && !b.task.functions().isEmpty(); }, 60000));
            const TaskRow running = jobs(b.task).first();
            const Claim second = b.task.claim(kAcc, 2026, Tasks::Function::Import);
            QVERIFY(!second.granted());
            QCOMPARE(second.refusal.stored, QStringLiteral("工作站[%1]上的操作员[%2]正在账套[003]执行“引入账套”，现在不能引入账套。")
                                                .arg(running.station, running.osUser));
        }
        const Run done = finishTool(job);
        QVERIFY2(done.status == 0, qPrintable(describe(done)));
        QVERIFY(jobs(b.task).isEmpty() && b.task.functions().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_core_claims)
#include "tst_core_claims.moc"
