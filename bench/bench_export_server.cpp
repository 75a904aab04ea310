// Export of a server installation's books (about 500 MB of vouchers and lines in the set's
// schema) against its yardstick: the server's own dump of the same books schema in its custom
// format (pg_dump -Fc, which flushes what it wrote), into the same folder on the same disk. The
// server is a cluster of this benchmark's own on the local disk that keeps fsync on. The export is
// what the windows run: the preparation (the books and the set's rows streamed into the data file,
// checked in full by the engine) and the backup set written into a folder on the same disk. Runs
// alternate; each job prints min/median/max, then the ratio of the medians and whether the target
// (export <= 0.5 x the dump) is met. A copy of the data file flushed to disk is timed beside them,
// as the earlier yardstick, and so is the engine's full check of the data file against its quick
// one (each alone). The import that puts the books on the server is timed once (no target). The
// same export is also timed through a relay that puts the server 20 ms away (each chunk held
// 10 ms each way), against the direct one (target: at most 1.5 times).
//
//   bench_export_server [WORKDIR] [SIZE_MB] [RUNS]     (defaults: the system temp folder, 500, 5)
//
// The generated files and the cluster are removed at the end.
#include "BenchSupport.h"
#include "DelayRelay.h"

#include <AccountExporter.h>
#include <AccountImporter.h>
#include <Database.h>
#include <Installation.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

using namespace Bench;

namespace {
QTextStream out(stdout);
constexpr double kTarget = 0.5;
constexpr double kDistantMs = 20;
constexpr double kDistantTarget = 1.5;
// The server's own dump program of the cluster's version.
const QString kPgDump = QStringLiteral("/usr/lib/postgresql/15/bin/pg_dump");

// pg_dump -Fc of the books' schema into `file`, timed; the PG* variables name the cluster.
double dumpOnce(const QString& file)
{
    QFile::remove(file);
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    const QString program = QFileInfo(kPgDump).isExecutable() ? kPgDump : QStandardPaths::findExecutable(QStringLiteral("pg_dump"));
    p.start(program, {QStringLiteral("-Fc"), QStringLiteral("-n"), QStringLiteral("zt001_2024"), QStringLiteral("-f"), file,
                      QStringLiteral("dbname=revozi_test")});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("pg_dump failed");
    return seconds(t);
}

// The engine's check of the data file alone, `pragma` quick_check or integrity_check, timed.
double checkOnce(const QString& file, const QString& pragma)
{
    QElapsedTimer t;
    t.start();
    Database db;
    db.openImmutable(file);
    if (db.scalar(QStringLiteral("PRAGMA %1").arg(pragma)).toString() != QLatin1String("ok"))
        qFatal("the data file is not sound");
    return seconds(t);
}

double exportOnce(Database& sysDb, const QString& target, double* prepare)
{
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    QElapsedTimer t;
    t.start();
    AccountExporter exporter(sysDb, QStringLiteral("001"));
    if (!exporter.prepare())
        qFatal("preparation failed: %s", qPrintable(exporter.errors().join(QStringLiteral("; "))));
    *prepare = seconds(t);
    QString error;
    if (!exporter.writeBackupSet(target, true, &error))
        qFatal("backup set not written: %s", qPrintable(error));
    return seconds(t);
}

// The backup set in `fromFiles` imported into the server, its books then left as a server keeps
// them between being written and exported.
void importIntoServer(Database& server, const QString& fromFiles)
{
    QElapsedTimer t;
    t.start();
    AccountImporter importer(server);
    Notice refusal = importer.load(Paths::join(fromFiles, QStringLiteral("KdErpAct.Lst")));
    if (refusal.isEmpty())
        refusal = importer.keepFolder();
    if (!refusal.isEmpty())
        qFatal("import refused: %s", qPrintable(refusal.text));
    const AccountImporter::Result r = AccountImporter::restore(server, importer.plan());
    if (!r.done())
        qFatal("import failed: %s", qPrintable(r.notice.text));
    const double s = seconds(t);
    const qint64 onServer = server.scalar(QStringLiteral("SELECT sum(pg_total_relation_size(c.oid)) FROM pg_class c JOIN pg_namespace n "
                                                         "ON n.oid=c.relnamespace WHERE n.nspname='zt001_2024' AND c.relkind='r'")).toLongLong();
    out << "import of the backup set into the server: " << s << " s, books on the server " << onServer / (1024.0 * 1024.0) << " MB\n";
    // Books as a server keeps them between being written and exported: vacuumed (the rows'
    // visibility marked once, not by the first reader) and checkpointed, so the runs below
    // do not pay for the import's aftermath on the disk.
    for (const QString& table : {QStringLiteral("gl_accvouch"), QStringLiteral("gl_vouch")})
        server.execute(QStringLiteral("VACUUM (ANALYZE) zt001_2024.%1").arg(table));
    server.execute(QStringLiteral("CHECKPOINT"));
}

// The interleaved runs' times.
struct Runs {
    Series dump, copy, exp, prepare, quick, full, far, farPrepare;
};

void report(const Runs& r, const QString& source, const QString& dumpFile)
{
    const double ratio = r.exp.median() / r.dump.median();
    out << "== server books exported into a data file of " << QFileInfo(source).size() / (1024.0 * 1024.0) << " MB (dump "
        << QFileInfo(dumpFile).size() / (1024.0 * 1024.0) << " MB)\n";
    out << "  yardstick (pg_dump -Fc of the books schema): " << figures(r.dump) << "\n";
    out << "  export from the server:                      " << figures(r.exp) << " (preparation median " << r.prepare.median() << " s)\n";
    out << "  ratio of medians:                            " << ratio << " (target <= " << kTarget << "): "
        << (ratio <= kTarget ? "MET" : "NOT MET") << "\n";
    const double farRatio = r.far.median() / r.exp.median();
    out << "  export from the server 20 ms away:           " << figures(r.far) << " (preparation median " << r.farPrepare.median() << " s)\n";
    out << "  20 ms away / direct:                         " << farRatio << " (target <= " << kDistantTarget << "): "
        << (farRatio <= kDistantTarget ? "MET" : "NOT MET") << "\n";
    out << "  copy + fsync of the data file:               " << figures(r.copy) << " (export / copy " << r.exp.median() / r.copy.median() << ")\n";
    out << "  the data file's check alone, quick:          " << figures(r.quick) << "\n";
    out << "  the data file's check alone, full:           " << figures(r.full) << "\n";
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, out, options))
        return 1;
    const int runs = options.runs;
    sayRuns(out, runs);
    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_export_server-XXXXXX")));
    const QString root = dir.path();
    // The server's cluster beside the files, on the same disk; the export prepares its copy there too.
    QTemporaryDir pgDir(QStringLiteral("/tmp/rzb-XXXXXX"));
    Cluster cluster(pgDir.path(), QStringLiteral("5497"));
    if (!cluster.started())
        qFatal("the benchmark's PostgreSQL cluster did not start");
    qputenv("TMPDIR", root.toUtf8());

    // The books as a file installation has them, exported into a backup set, imported into the server.
    const QString files = Paths::join(root, QStringLiteral("files"));
    const AccountSet set = createAccountSet(files, 2024);
    generateBooks(set.books, options.sizeMb * 1024 * 1024, out);
    const QString fromFiles = Paths::join(root, QStringLiteral("fromFiles"));
    {
        double prep = 0;
        exportOnce(*set.sysDb, fromFiles, &prep);
    }
    const QString conninfo = QStringLiteral("dbname=revozi_test");
    Installation::createServer(ConnInfo(conninfo), true);
    Database server;
    Installation::openServerSystem(server, ConnInfo(conninfo));
    importIntoServer(server, fromFiles);

    // The yardstick dumps the same books schema; beside it a copy of the data file the server's
    // export writes (the same data as a SQLite file), flushed.
    const QString target = Paths::join(root, QStringLiteral("backup"));
    const QString source = Paths::join(root, QStringLiteral("same-data.mdb"));
    const QString copyTarget = Paths::join(root, QStringLiteral("yardstick.mdb"));
    const QString dumpFile = Paths::join(root, QStringLiteral("books.pgdump"));
    double prep = 0;
    exportOnce(server, target, &prep);
    QFile::copy(Paths::join(target, QStringLiteral("kddata.BA_")), source);
    plainCopy(source, copyTarget, true);
    dumpOnce(dumpFile);
    // The same installation 20 ms away: every session of the export goes through the relay.
    DelayRelay relay(qgetenv("PGHOST") + "/.s.PGSQL.5497", kDistantMs);
    Database distant;
    Installation::openServerSystem(distant, ConnInfo(conninfo + QStringLiteral(" host=127.0.0.1 port=%1 sslmode=disable gssencmode=disable")
                                                                   .arg(relay.port())));
    Runs r;
    for (int i = 0; i < runs; ++i) {
        r.dump.values << dumpOnce(dumpFile);
        r.exp.values << exportOnce(server, target, &prep);
        r.prepare.values << prep;
        r.far.values << exportOnce(distant, target, &prep);
        r.farPrepare.values << prep;
        r.copy.values << plainCopy(source, copyTarget, true).synced;
        r.quick.values << checkOnce(source, QStringLiteral("quick_check"));
        r.full.values << checkOnce(source, QStringLiteral("integrity_check"));
    }
    report(r, source, dumpFile);
    out.flush();
    QFile::remove(dumpFile);
    return 0;
}
