// Export of an account set whose account database holds about 500 MB of vouchers and lines,
// against its yardstick: a copy of the same file flushed to disk (copy + fsync). The export's
// work is what the windows run (preparation, then the backup set written into the chosen folder
// on the same disk), without the windows' fixed waits. Runs of the export and of the yardstick
// alternate, so both see the same state of the machine; each prints min/median/max, the ratio
// of the medians and whether the target (<= 1.10) is met. Peak memory is the process's
// high-water mark during an export.
//
//   bench_export [WORKDIR] [SIZE_MB] [RUNS]     (defaults: the system temp folder, 500, 5)
//
// The generated files are deleted at the end.
#include "BenchSupport.h"

#include <AccountExporter.h>
#include <Database.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

using namespace Bench;

namespace {
QTextStream out(stdout);
constexpr double kTarget = 1.10;

struct ExportRun {
    double prepare = 0, write = 0, peak = 0;
    double total() const { return prepare + write; }
};

ExportRun exportOnce(Database& sysDb, const QString& target)
{
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    ExportRun r;
    const bool peakReset = resetPeak();
    QElapsedTimer t;
    t.start();
    AccountExporter exporter(sysDb, QStringLiteral("001"));
    if (!exporter.prepare())
        qFatal("preparation failed: %s", qPrintable(exporter.errors().join(QStringLiteral("; "))));
    r.prepare = seconds(t);
    t.restart();
    QString error;
    if (!exporter.writeBackupSet(target, true, &error))
        qFatal("backup set not written: %s", qPrintable(error));
    r.write = seconds(t);
    r.peak = peakReset ? peakMb() : -1;
    return r;
}


// Alternates `runs` exports and yardsticks of the books as they stand, and prints the figures.
void compare(const QString& title, Database& sysDb, const QString& books, const QString& root, int runs)
{
    const QString copyTarget = Paths::join(root, QStringLiteral("yardstick.mdb"));
    const QString target = Paths::join(root, QStringLiteral("backup"));
    qint64 freePages = 0, pages = 0;
    {
        Database acc(books);
        freePages = acc.scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong();
        pages = acc.scalar(QStringLiteral("PRAGMA page_count")).toLongLong();
    }
    // Read once so every run below starts from the same page cache.
    plainCopy(books, copyTarget, true);
    exportOnce(sysDb, target);
    Series copy, exp, prep, write;
    double peak = 0;
    for (int i = 0; i < runs; ++i) {
        copy.values << plainCopy(books, copyTarget, true).synced;
        const ExportRun e = exportOnce(sysDb, target);
        exp.values << e.total();
        prep.values << e.prepare;
        write.values << e.write;
        peak = std::max(peak, e.peak);
    }
    const double ratio = exp.median() / copy.median();
    const qint64 dataBytes = QFileInfo(Paths::join(target, QStringLiteral("kddata.BA_"))).size();
    out << "== " << title << ": " << QFileInfo(books).size() / (1024.0 * 1024.0) << " MB, free pages "
        << (pages ? 100.0 * freePages / pages : 0) << " %, data file " << dataBytes / (1024.0 * 1024.0) << " MB\n";
    out << "  yardstick (copy + fsync): " << figures(copy) << "\n";
    out << "  export:                   " << figures(exp) << " (preparation median " << prep.median()
        << " s, backup set median " << write.median() << " s), peak " << peak << " MB\n";
    out << "  ratio of medians:         " << ratio << " (target <= " << kTarget << "): " << (ratio <= kTarget ? "MET" : "NOT MET") << "\n";
    out.flush();
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
    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_export-XXXXXX")));
    const QString root = dir.path();
    const AccountSet set = createAccountSet(root, 2024);
    const QString& books = set.books;
    generateBooks(books, options.sizeMb * 1024 * 1024, out);

    compare(QStringLiteral("books with few free pages"), *set.sysDb, books, root, runs);

    // Books of the current template after a clean-up: the free pages stay in the file until an
    // export leaves them out of its copy.
    {
        Database acc(books);
        acc.execute(QStringLiteral("CREATE TABLE scratch AS SELECT * FROM GL_accvouch WHERE i_id % 5 = 0"));
        acc.execute(QStringLiteral("DROP TABLE scratch"));
    }
    compare(QStringLiteral("current-template books with >= 10 % free pages"), *set.sysDb, books, root, runs);

    // A folder on another file system (a removable disk, a share): the data is streamed across
    // and checksummed in that pass. Reported, no target.
    const double mb = QFileInfo(books).size() / (1024.0 * 1024.0);
    if (QStorageInfo(QStringLiteral("/dev/shm")).bytesAvailable() > qint64(mb * 2 * 1024 * 1024)) {
        QTemporaryDir other(QStringLiteral("/dev/shm/bench_export-XXXXXX"));
        const ExportRun x = exportOnce(*set.sysDb, other.path());
        out << "== export into another file system: " << x.total() << " s (preparation " << x.prepare
            << " s, backup set " << x.write << " s), peak " << x.peak << " MB\n";
    }
    return 0;
}
