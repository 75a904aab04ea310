// Export of an account set whose account database holds about 500 MB of vouchers and lines,
// side by side with a plain copy of the same file. The export's work is what the windows run on
// their timers (preparation, then the backup set written into the chosen folder), without the
// timers' fixed waits. Peak memory is the process's high-water mark during each export.
//
//   bench_export [WORKDIR] [SIZE_MB]     (defaults: the system temp folder, 500)
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

using namespace Bench;

namespace {
QTextStream out(stdout);

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
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, out, options))
        return 1;
    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_export-XXXXXX")));
    const QString root = dir.path();
    const AccountSet set = createAccountSet(root, 2024);
    const QString& books = set.books;
    generateBooks(books, options.sizeMb * 1024 * 1024, out);
    const double mb = QFileInfo(books).size() / (1024.0 * 1024.0);

    const QString copyTarget = Paths::join(root, QStringLiteral("plain-copy.mdb"));
    const QString sameFs = Paths::join(root, QStringLiteral("backup"));
    // Read once so every run below starts from the same page cache.
    plainCopy(books, copyTarget);
    const double copy1 = plainCopy(books, copyTarget).plain;
    const ExportRun e1 = exportOnce(*set.sysDb, sameFs);
    const double copy2 = plainCopy(books, copyTarget).plain;
    const ExportRun e2 = exportOnce(*set.sysDb, sameFs);
    const double copy = std::min(copy1, copy2);
    const ExportRun e = e1.total() < e2.total() ? e1 : e2;
    out << "plain file copy:                      " << copy1 << " s, " << copy2 << " s\n";
    out << "export, folder on the same disk:      " << e.total() << " s (preparation " << e.prepare
        << " s, backup set " << e.write << " s), peak " << std::max(e1.peak, e2.peak) << " MB\n";
    out << "  ratio to the plain copy:            " << e.total() / copy << " (target <= 2)\n";

    // A folder on another file system (a removable disk, a share): the data is streamed across.
    if (QStorageInfo(QStringLiteral("/dev/shm")).bytesAvailable() > qint64(mb * 2 * 1024 * 1024)) {
        QTemporaryDir other(QStringLiteral("/dev/shm/bench_export-XXXXXX"));
        const ExportRun x = exportOnce(*set.sysDb, other.path());
        out << "export, folder on another disk:       " << x.total() << " s (preparation " << x.prepare
            << " s, backup set " << x.write << " s), peak " << x.peak << " MB, ratio " << x.total() / copy << "\n";
    }

    // Books with a large share of free pages are rebuilt by VACUUM INTO instead of copied.
    {
        Database acc(books);
        acc.execute(QStringLiteral("CREATE TABLE scratch AS SELECT * FROM GL_accvouch WHERE i_id % 5 = 0"));
        acc.execute(QStringLiteral("DROP TABLE scratch"));
        const double share = acc.scalar(QStringLiteral("PRAGMA freelist_count")).toDouble()
                           / acc.scalar(QStringLiteral("PRAGMA page_count")).toDouble();
        out << "free pages after a clean-up:          " << share * 100 << " % of " << QFileInfo(books).size() / (1024.0 * 1024.0) << " MB\n";
    }
    const double copy3 = plainCopy(books, copyTarget).plain;
    const ExportRun v = exportOnce(*set.sysDb, sameFs);
    out << "export with compaction (VACUUM INTO): " << v.total() << " s (preparation " << v.prepare
        << " s), peak " << v.peak << " MB, ratio " << v.total() / copy3 << " to a copy of " << copy3 << " s\n";

    return 0;
}
