// Who works where, as a console reads it every refresh: 100 tasks holding 100 functions on an
// installation, on SQLite and, when PGHOST names a server, on a server installation, in turn.
// Times reading both grids (TaskRegistry::tasks and functions, with each task's state) beside a
// bare read of the same rows, and a heartbeat beside a bare update of the same row (the yardsticks
// are interleaved with the jobs); prints min/median/max, the ratio of the medians and MET or NOT
// MET against the targets (both grids 50 ms, a heartbeat 5 ms), judged on the median.
#include "BenchSupport.h"

#include <Database.h>
#include <Installation.h>
#include <TaskNotifier.h>
#include <TaskRegistry.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <memory>
#include <vector>

namespace {
constexpr int kTasks = 100;
constexpr int kRuns = 31;
constexpr int kLogins = 9;   // logins watched from another console, each waited for up to 10 s

// One engine's installation: the console measured, and the other 99 tasks each with a function.
struct Side {
    QString label;
    std::unique_ptr<Database> db;
    std::vector<std::unique_ptr<TaskRegistry>> tasks;
    Series grids, bareRead, beat, bareUpdate, visible, registering;
};

void populate(Side& side)
{
    for (int i = 0; i < kTasks; ++i) {
        const TaskInfo who{i % 10 ? Tasks::kConsole : Tasks::kBackup, QStringLiteral("op%1").arg(i), QStringLiteral("WS-%1").arg(i), {}, 0, 30000};
        auto r = std::make_unique<TaskRegistry>(*side.db, who);
        r->start();
        const QString acc = QStringLiteral("%1").arg(i + 1, 3, 10, QLatin1Char('0'));
        if (!r->claim(acc, 2026, i % 3 ? Tasks::Function::Login : Tasks::Function::Export).granted())
            qFatal("bench_tasks: a claim was refused");
        side.tasks.push_back(std::move(r));
    }
}

double timed(const std::function<void()>& job)
{
    QElapsedTimer t;
    t.start();
    job();
    return t.nsecsElapsed() / 1e6;
}

void measure(Side& side)
{
    TaskRegistry& console = *side.tasks.front();
    Database& db = *side.db;
    int rows = 0;
    side.grids.values << timed([&] { rows = int(console.tasks().size() + console.functions().size()); });
    if (rows != 2 * kTasks)
        qFatal("bench_tasks: %d rows read", rows);
    side.bareRead.values << timed([&] {
        db.query(QStringLiteral("SELECT * FROM SM_Task"));
        db.query(QStringLiteral("SELECT * FROM SM_TaskFunc"));
    });
    side.beat.values << timed([&] {
        if (!console.heartbeat())
            qFatal("bench_tasks: the heartbeat failed");
    });
    side.bareUpdate.values << timed([&] { db.execute(QStringLiteral("UPDATE SM_Task SET iBeat=iBeat+1 WHERE iTask_Id=?"), {console.id()}); });
}

// Waits until `watcher` says the tasks changed, at most `ms`; the time waited.
double waitForChange(TaskNotifier& watcher, int ms)
{
    QElapsedTimer t;
    t.start();
    QEventLoop loop;
    QObject::connect(&watcher, &TaskNotifier::changed, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return t.nsecsElapsed() / 1e6;
}

// A login on another workstation as a console watching the installation sees it: the time from
// the task's registration until the watcher's change signal, beside the registration itself.
void measureVisibility(Side& side)
{
    TaskNotifier watcher(*side.db);
    waitForChange(watcher, 3000);   // what populating changed is heard first
    for (int i = 0; i < kLogins; ++i) {
        TaskRegistry other(*side.db, TaskInfo{Tasks::kConsole, QStringLiteral("late"), QStringLiteral("WS-LATE"), {}, 0, 30000});
        QElapsedTimer t;
        t.start();
        side.registering.values << timed([&] { other.start(); });
        waitForChange(watcher, 10000);
        side.visible.values << t.nsecsElapsed() / 1e6;
        other.end();
        waitForChange(watcher, 3000);
    }
}

void report(QTextStream& out, const QString& what, const Series& job, const Series& yardstick, double target)
{
    out << "  " << what << ": " << figuresMs(job) << "  (target " << target << " ms) " << (job.median() < target ? "MET" : "NOT MET") << "\n"
        << "    yardstick: " << figuresMs(yardstick) << ", ratio of medians " << QString::number(job.median() / yardstick.median(), 'f', 2) << "\n";
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QLoggingCategory::setFilterRules(QStringLiteral("revozi.errlog.warning=false"));
    QTemporaryDir dir;
    Installation::createRoot(dir.path(), true);
    std::unique_ptr<Bench::ServerInstallation> installation;
    std::vector<Side> sides;
    sides.push_back(Side{QStringLiteral("SQLite files")});
    sides[0].db = std::make_unique<Database>();
    Installation::openSystemDatabase(*sides[0].db, InstallationPlace::files(dir.path()));
    if (Bench::serverMissing().isEmpty()) {
        installation = std::make_unique<Bench::ServerInstallation>();
        sides.push_back(Side{QStringLiteral("server")});
        sides[1].db = std::make_unique<Database>();
        Installation::openServerSystem(*sides[1].db, ConnInfo(installation->conninfo()));
    }
    for (Side& side : sides)
        populate(side);
    Bench::sayRuns(out, kRuns);
    out << kTasks << " tasks, " << kTasks << " functions; the bare read is SELECT * of both tables, the bare update one row's heartbeat column moved on, flushed as any change\n";
    for (int run = 0; run < kRuns; ++run)
        for (Side& side : sides)
            measure(side);
    for (Side& side : sides)
        measureVisibility(side);
    bool met = true;
    for (Side& side : sides) {
        out << side.label << "\n";
        report(out, QStringLiteral("both grids (tasks and functions)"), side.grids, side.bareRead, 50);
        report(out, QStringLiteral("heartbeat"), side.beat, side.bareUpdate, 5);
        report(out, QStringLiteral("a login elsewhere seen by a console (%1 logins)").arg(kLogins), side.visible, side.registering, 5000);
        met = met && side.grids.median() < 50 && side.beat.median() < 5 && side.visible.median() < 5000;
    }
    if (sides.size() < 2)
        out << Bench::serverMissing() << Qt::endl;
    else
        out << "ratio of the grids' medians (server / SQLite): " << QString::number(sides[1].grids.median() / sides[0].grids.median(), 'f', 2)
            << ", of the heartbeats': " << QString::number(sides[1].beat.median() / sides[0].beat.median(), 'f', 2) << Qt::endl;
    for (Side& side : sides)
        side.tasks.clear();
    return met ? 0 : 1;
}
