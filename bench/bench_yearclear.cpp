// 清空年度数据 of a year whose books hold about 500 MB of vouchers and lines: its backup set
// written first, against the export's yardstick (a copy of the same books flushed to disk, copy +
// fsync; target <= 1.10) and against the export itself of the same books (the same work: about
// 1.0), then the year emptied in one commit (target < 1 s). Each run starts from the same full
// books, put back (and flushed) before it untimed; runs of the work, the yardstick and the export
// alternate, so all see the same state of the machine. Each prints min/median/max, the backup's
// ratios of the medians and whether each target is met.
//
//   bench_yearclear [WORKDIR] [SIZE_MB] [RUNS]     (defaults: the system temp folder, 500, 5)
//
// The generated files are deleted at the end.
#include "BenchSupport.h"

#include <AccountExporter.h>
#include <BackupSet.h>
#include <Database.h>
#include <Paths.h>
#include <YearClearer.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Bench;

namespace {
QTextStream out(stdout);
constexpr double kBackupTarget = 1.10;
constexpr double kClearTarget = 1.0;   // seconds

struct ClearRun {
    double backup = 0, clear = 0;
};

// The full books put back from `pristine`, flushed, so every run empties the same year.
void putBack(const QString& pristine, const QString& books)
{
    QFile::remove(books);
    if (!QFile::copy(pristine, books))
        qFatal("the books could not be put back");
    BackupSet::syncPath(books);
}

// The console's export of the same year into `folder`, as bench_export runs it.
double exportOnce(Database& sysDb, const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QElapsedTimer t;
    t.start();
    AccountExporter exporter(sysDb, QStringLiteral("001"), 2024);
    if (!exporter.prepare() || !exporter.writeBackupSet(folder, true))
        qFatal("export failed");
    const double s = seconds(t);
    QDir(folder).removeRecursively();
    return s;
}

ClearRun clearOnce(Database& sysDb, const QString& folder)
{
    QDir(folder).removeRecursively();
    ClearRun r;
    QElapsedTimer t;
    t.start();
    const YearClearer::Result done = YearClearer(sysDb, QStringLiteral("001"), 2024).clear(folder, {}, [&](const QString& step) {
        if (step == QLatin1String("backup"))
            r.backup = seconds(t);
    });
    if (!done.done())
        qFatal("清空 failed: %s", qPrintable(done.notice.text));
    r.clear = seconds(t) - r.backup;
    QDir(folder).removeRecursively();
    return r;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, out, options))
        return 1;
    sayRuns(out, options.runs);
    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_yearclear-XXXXXX")));
    const QString root = dir.path();
    const AccountSet set = createAccountSet(root, 2024);
    generateBooks(set.books, options.sizeMb * 1024 * 1024, out);
    const QString pristine = Paths::join(root, QStringLiteral("pristine.mdb"));
    QFile::copy(set.books, pristine);
    const QString copyTarget = Paths::join(root, QStringLiteral("yardstick.mdb"));
    const QString folder = Paths::join(root, QStringLiteral("backups/001-2024/run"));
    const double mb = QFileInfo(set.books).size() / (1024.0 * 1024.0);

    Series copy, exported, backup, clear;
    for (int i = 0; i < options.runs; ++i) {
        putBack(pristine, set.books);
        copy.values << plainCopy(set.books, copyTarget, true).synced;
        exported.values << exportOnce(*set.sysDb, folder);
        const ClearRun r = clearOnce(*set.sysDb, folder);
        backup.values << r.backup;
        clear.values << r.clear;
    }
    const double ratio = backup.median() / copy.median();
    out << "== 清空年度数据 of " << mb << " MB of books\n";
    out << "  yardstick (copy + fsync): " << figures(copy) << "\n";
    out << "  export of the year:       " << figures(exported) << "\n";
    out << "  backup set:               " << figures(backup) << " (" << backup.median() / exported.median() << " of the export's median)\n";
    out << "  ratio of medians:         " << ratio << " (target <= " << kBackupTarget << "): " << (ratio <= kBackupTarget ? "MET" : "NOT MET")
        << "\n";
    out << "  emptying (one commit):    " << figures(clear) << " (target < " << kClearTarget << " s): "
        << (clear.median() < kClearTarget ? "MET" : "NOT MET") << "\n";
    out.flush();
    return 0;
}
