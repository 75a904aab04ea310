// Moving an installation of files onto a server (about 500 MB of vouchers and lines in one set's
// books) against its yardstick: the server's own restore of the same installation, dumped
// beforehand in the directory format (pg_dump -Fd), by pg_restore -j2 into a new database of the
// same cluster. The cluster is this benchmark's own, on the local disk, with fsync on. Each run
// moves into (or restores into) a fresh database, dropped after; a checkpoint precedes each, so
// neither pays for the other's writes. Runs alternate; each job prints min/median/max, then the
// ratio of the medians and whether the target (move <= 2 x the restore) is met.
//
//   bench_migrate [WORKDIR] [SIZE_MB] [RUNS]     (defaults: the system temp folder, 500, 5)
//
// The generated files and the cluster are removed at the end.
#include "BenchSupport.h"

#include <Database.h>
#include <Migration.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Bench;

namespace {
QTextStream out(stdout);
constexpr double kTarget = 2.0;
const QString kPgBin = QStringLiteral("/usr/lib/postgresql/15/bin");

QString tool(const QString& name)
{
    const QString own = Paths::join(kPgBin, name);
    return QFileInfo(own).isExecutable() ? own : QStandardPaths::findExecutable(name);
}

void runTool(const QString& name, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(tool(name), args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("%s failed", qPrintable(name));
}

// A fresh database `name` (dropped first when a run left one), after a checkpoint.
void freshDatabase(Database& admin, const QString& name)
{
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    admin.execute(QStringLiteral("CREATE DATABASE %1").arg(name));
    admin.execute(QStringLiteral("CHECKPOINT"));
}

double restoreOnce(Database& admin, const QString& dumpDir)
{
    freshDatabase(admin, QStringLiteral("bench_restored"));
    QElapsedTimer t;
    t.start();
    runTool(QStringLiteral("pg_restore"), {QStringLiteral("-j2"), QStringLiteral("-d"), QStringLiteral("dbname=bench_restored"), dumpDir});
    return seconds(t);
}

double migrateOnce(Database& admin, Database& sysDb, const QString& root, const QString& name)
{
    // The files were marked moved by the run before: the mark goes, so they move again.
    sysDb.execute(QStringLiteral("DROP TABLE IF EXISTS SM_MovedTo"));
    freshDatabase(admin, name);
    QElapsedTimer t;
    t.start();
    const MigrationOutcome r = Migration::moveToServer(sysDb, root, ConnInfo(QStringLiteral("dbname=") + name), {});
    if (!r.done())
        qFatal("move failed: %s", qPrintable(r.notice.text));
    return seconds(t);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, out, options))
        return 1;
    sayRuns(out, options.runs);
    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_migrate-XXXXXX")));
    const QString root = Paths::join(dir.path(), QStringLiteral("files"));
    QTemporaryDir pgDir(QStringLiteral("/tmp/rzm-XXXXXX"));
    Cluster cluster(pgDir.path(), QStringLiteral("5498"));
    if (!cluster.started())
        qFatal("the benchmark's PostgreSQL cluster did not start");
    Database admin;
    admin.openServer(QStringLiteral("dbname=revozi_test"), QStringLiteral("public"), false);

    AccountSet set = createAccountSet(root, 2024);
    generateBooks(set.books, options.sizeMb * 1024 * 1024, out);
    // The yardstick's dump: the same installation, moved once, dumped in the directory format.
    const QString dumpDir = Paths::join(dir.path(), QStringLiteral("dump"));
    migrateOnce(admin, *set.sysDb, root, QStringLiteral("bench_source"));
    runTool(QStringLiteral("pg_dump"), {QStringLiteral("-Fd"), QStringLiteral("-j2"), QStringLiteral("-f"), dumpDir, QStringLiteral("dbname=bench_source")});
    const qint64 onServer = admin.scalar(QStringLiteral("SELECT pg_database_size('bench_source')")).toLongLong();
    admin.execute(QStringLiteral("DROP DATABASE bench_source WITH (FORCE)"));

    Series restore, move;
    for (int i = 0; i < options.runs; ++i) {
        restore.values << restoreOnce(admin, dumpDir);
        move.values << migrateOnce(admin, *set.sysDb, root, QStringLiteral("bench_moved"));
    }
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS bench_restored WITH (FORCE)"));
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS bench_moved WITH (FORCE)"));
    const double ratio = move.median() / restore.median();
    out << "== an installation with books of " << QFileInfo(set.books).size() / (1024.0 * 1024.0) << " MB (on the server "
        << onServer / (1024.0 * 1024.0) << " MB)\n";
    out << "  yardstick (pg_restore -j2 of pg_dump -Fd): " << figures(restore) << "\n";
    out << "  move onto the server (copy and compare):   " << figures(move) << "\n";
    out << "  ratio of medians:                          " << ratio << " (target <= " << kTarget << "): "
        << (ratio <= kTarget ? "MET" : "NOT MET") << "\n";
    out.flush();
    return 0;
}
