// A scheduled `revozi-backup ROOT export --all --to DIR` of an installation with 20 account sets of
// about 50 MB each, against its yardstick: flushed copies of the same 20 books (copy + fsync each).
// The program runs as a timer runs it, a process of its own; its peak memory is its high-water
// mark (the largest resident size of any child this benchmark waited for). Runs of the program and
// of the yardstick alternate, so both see the same state of the machine; each prints
// min/median/max, the ratio of the medians and whether the targets (<= 1.2, < 40 MB) are met.
//
//   bench_backup_all [WORKDIR] [SIZE_MB] [RUNS] [SETS]     (defaults: the system temp folder, 50, 5, 20)
//
// The generated files are deleted at the end.
#include "BenchSupport.h"

#include <AccountDb.h>
#include <CiFile.h>
#include <Database.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <sys/resource.h>

using namespace Bench;

namespace {
QTextStream out(stdout);
constexpr double kTarget = 1.2;
constexpr double kPeakTargetMb = 40;


QString setId(int i)
{
    return QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
}

// The largest resident size of any waited-for child so far, in MB.
double childrenPeakMb()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return u.ru_maxrss / 1024.0;
}

double exportAll(const QString& program, const QString& root, const QString& backups)
{
    QDir(backups).removeRecursively();
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, {root, QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--to"), backups});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("revozi-backup export --all failed (exit %d)", p.exitCode());
    return seconds(t);
}

double copyAll(const QStringList& books, const QString& dir)
{
    double total = 0;
    for (int i = 0; i < books.size(); ++i)
        total += plainCopy(books[i], Paths::join(dir, QStringLiteral("yardstick-%1.mdb").arg(i)), true).synced;
    return total;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // Three times what readOptions asks per set: books, backups and yardstick copies of all sets.
    Options options;
    const int sets = argc > 4 ? std::max(1, QByteArray(argv[4]).toInt()) : 20;
    {
        const qint64 sizeMb = argc > 2 ? QByteArray(argv[2]).toLongLong() : 50;
        const QString workDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
        if (QStorageInfo(workDir).bytesAvailable() < sizeMb * sets * 4 * 1024 * 1024) {
            out << "not enough space in " << workDir << "\n";
            return 1;
        }
        options.workDir = workDir;
        options.sizeMb = sizeMb;
    }
    const int runs = std::max(5, argc > 3 ? QByteArray(argv[3]).toInt() : 5);
    const QString program = Paths::join(QCoreApplication::applicationDirPath(), QStringLiteral("revozi-backup"));
    if (!QFileInfo(program).isExecutable()) {
        out << "revozi-backup not found beside the benchmark: " << program << "\n";
        return 1;
    }
    out << "cores: " << QThread::idealThreadCount() << ", sets: " << sets << ", runs: " << runs << " of each, interleaved\n";

    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_backup_all-XXXXXX")));
    const QString root = Paths::join(dir.path(), QStringLiteral("root"));
    const QString backups = Paths::join(dir.path(), QStringLiteral("backups"));
    const QString copies = Paths::join(dir.path(), QStringLiteral("copies"));
    QDir().mkpath(copies);
    const int year = 2026;
    QStringList books;
    {
        AccountSet first = createAccountSet(root, year);
        generateBooks(first.books, options.sizeMb * 1024 * 1024, out);
        books << first.books;
        // The other sets: rows like the first set's, books copied from its books.
        Database& sys = *first.sysDb;
        for (int i = 2; i <= sets; ++i) {
            const QString acc = setId(i);
            sys.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (?,?,?,?,?,1)"),
                        {i, acc, QStringLiteral("测试账套%1").arg(acc), root, year});
            sys.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,'demo','admin')"), {acc, year});
            CiFile::mkpath(AccountDb::yearFolder(root, acc, year));
            const QString path = AccountDb::databasePath(root, acc, year);
            if (!CiFile::copy(first.books, path))
                qFatal("cannot copy the books to %s", qPrintable(path));
            books << path;
        }
    }
    qint64 total = 0;
    for (const QString& b : books)
        total += QFileInfo(b).size();
    out << "installation: " << sets << " sets, " << total / (1024.0 * 1024.0) << " MB of books ("
        << QFileInfo(books.first()).size() / (1024.0 * 1024.0) << " MB each)\n";
    out.flush();

    // Once each so every run below starts from the same page cache.
    copyAll(books, copies);
    exportAll(program, root, backups);
    Series copy, job;
    for (int i = 0; i < runs; ++i) {
        copy.values << copyAll(books, copies);
        job.values << exportAll(program, root, backups);
        out << "  run " << i + 1 << ": yardstick " << copy.values.last() << " s, export --all " << job.values.last() << " s\n";
        out.flush();
    }
    const double ratio = job.median() / copy.median();
    const double peak = childrenPeakMb();
    out << "== export --all of " << sets << " sets\n";
    out << "  yardstick (copy + fsync of each book): " << figures(copy) << "\n";
    out << "  revozi-backup export --all:            " << figures(job) << "\n";
    out << "  ratio of medians:                      " << ratio << " (target <= " << kTarget << "): " << (ratio <= kTarget ? "MET" : "NOT MET")
        << "\n";
    out << "  peak memory of revozi-backup:          " << peak << " MB (target < " << kPeakTargetMb
        << " MB): " << (peak < kPeakTargetMb ? "MET" : "NOT MET") << "\n";
    return 0;
}
