// Export of an account set whose account database holds about 500 MB of vouchers and lines,
// side by side with a plain copy of the same file. The export's work is what the windows run on
// their timers (preparation, then the backup set written into the chosen folder), without the
// timers' fixed waits. Peak memory is the process's high-water mark during each export.
//
//   bench_export [WORKDIR] [SIZE_MB]     (defaults: the system temp folder, 500)
//
// The generated files are deleted at the end.
#include <AccountDb.h>
#include <AccountExporter.h>
#include <CiFile.h>
#include <Database.h>
#include <Installation.h>
#include <Module1.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

namespace {
QTextStream out(stdout);

// VmHWM of this process in MB; resetting it lets each measurement start from what is resident now.
double peakMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

double seconds(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e9;
}

// Vouchers and their lines until the file reaches the size asked for.
void generateBooks(const QString& path, qint64 bytes)
{
    Database db(path);
    db.execute(QStringLiteral("PRAGMA journal_mode=OFF"));
    db.execute(QStringLiteral("PRAGMA synchronous=OFF"));
    db.execute(QStringLiteral("CREATE TABLE GL_Vouch (iVouch_Id INTEGER PRIMARY KEY, iPeriod INTEGER, csign TEXT COLLATE NOCASE, "
                              "ino_id INTEGER, dbill_date TEXT, cbill TEXT COLLATE NOCASE, cdigest TEXT COLLATE NOCASE, idoc INTEGER)"));
    db.execute(QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER PRIMARY KEY, iVouch_Id INTEGER, inid INTEGER, "
                              "ccode TEXT COLLATE NOCASE, md REAL, mc REAL, cdigest TEXT COLLATE NOCASE, cexch_name TEXT COLLATE NOCASE, "
                              "nfrat REAL, cdept_id TEXT COLLATE NOCASE, cperson_id TEXT COLLATE NOCASE, cmemo TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("CREATE INDEX ix_accvouch_code ON GL_accvouch (ccode, iVouch_Id)"));
    const int vouchers = 50000;   // per round, six lines each
    for (int round = 0; QFileInfo(path).size() < bytes; ++round) {
        const qint64 first = qint64(round) * vouchers;
        db.execute(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT ? UNION ALL SELECT x+1 FROM c WHERE x < ?) "
                                  "INSERT INTO GL_Vouch SELECT x, x % 12 + 1, '记', x, date('2024-01-01', '+' || (x % 365) || ' days'), "
                                  "'张会计', '收到货款及往来结算 ' || hex(randomblob(16)), 2 FROM c"),
                   {first + 1, first + vouchers});
        db.execute(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT ? UNION ALL SELECT x+1 FROM c WHERE x < ?) "
                                  "INSERT INTO GL_accvouch SELECT x, (x - 1) / 6 + 1, (x - 1) % 6 + 1, '1001' || printf('%02d', x % 60), "
                                  "(x % 1000) * 1.25, (x % 7) * 3.5, '销售商品收入 ' || hex(randomblob(20)), NULL, 1.0, "
                                  "'D0' || (x % 9), 'P' || (x % 120), hex(randomblob(6)) FROM c"),
                   {first * 6 + 1, (first + vouchers) * 6});
    }
    db.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
}

double plainCopy(const QString& from, const QString& to)
{
    QFile::remove(to);
    QElapsedTimer t;
    t.start();
    if (!QFile::copy(from, to))
        qFatal("copy failed");
    const double s = seconds(t);
    QFile::remove(to);
    return s;
}

struct ExportRun {
    double prepare = 0, write = 0, peak = 0;
    double total() const { return prepare + write; }
};

ExportRun exportOnce(const QString& target)
{
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    ExportRun r;
    const bool peakReset = resetPeak();
    QElapsedTimer t;
    t.start();
    AccountExporter exporter(*Module1::gSysDb, QStringLiteral("001"));
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
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    const qint64 sizeMb = argc > 2 ? QByteArray(argv[2]).toLongLong() : 500;
    const qint64 needed = sizeMb * 1024 * 1024 * 4;
    if (QStorageInfo(base).bytesAvailable() < needed) {
        out << "not enough space in " << base << " (" << needed / (1024 * 1024) << " MB needed)\n";
        return 1;
    }
    QTemporaryDir dir(Paths::join(base, QStringLiteral("bench_export-XXXXXX")));
    const QString root = dir.path();
    Installation::createRoot(root);
    Module1::setRoot(root);
    Module1::gSysDb = std::make_unique<Database>(Module1::SysDbPath());
    Database& sys = *Module1::gSysDb;
    sys.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (1,'001','测试账套',?,2024,1)"), {root});
    sys.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2024,'demo','admin')"));
    CiFile::mkpath(AccountDb::yearFolder(root, QStringLiteral("001"), 2024));
    const QString books = AccountDb::databasePath(root, QStringLiteral("001"), 2024);
    CiFile::copy(AccountDb::templatePath(), books);

    QElapsedTimer t;
    t.start();
    generateBooks(books, sizeMb * 1024 * 1024);
    const double mb = QFileInfo(books).size() / (1024.0 * 1024.0);
    out << "generated " << mb << " MB of vouchers and lines in " << seconds(t) << " s\n";

    const QString copyTarget = Paths::join(root, QStringLiteral("plain-copy.mdb"));
    const QString sameFs = Paths::join(root, QStringLiteral("backup"));
    // Read once so every run below starts from the same page cache.
    plainCopy(books, copyTarget);
    const double copy1 = plainCopy(books, copyTarget);
    const ExportRun e1 = exportOnce(sameFs);
    const double copy2 = plainCopy(books, copyTarget);
    const ExportRun e2 = exportOnce(sameFs);
    const double copy = std::min(copy1, copy2);
    const ExportRun e = e1.total() < e2.total() ? e1 : e2;
    out << "plain file copy:                      " << copy1 << " s, " << copy2 << " s\n";
    out << "export, folder on the same disk:      " << e.total() << " s (preparation " << e.prepare
        << " s, backup set " << e.write << " s), peak " << std::max(e1.peak, e2.peak) << " MB\n";
    out << "  ratio to the plain copy:            " << e.total() / copy << " (target <= 2)\n";

    // A folder on another file system (a removable disk, a share): the data is streamed across.
    if (QStorageInfo(QStringLiteral("/dev/shm")).bytesAvailable() > qint64(mb * 2 * 1024 * 1024)) {
        QTemporaryDir other(QStringLiteral("/dev/shm/bench_export-XXXXXX"));
        const ExportRun x = exportOnce(other.path());
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
    const double copy3 = plainCopy(books, copyTarget);
    const ExportRun v = exportOnce(sameFs);
    out << "export with compaction (VACUUM INTO): " << v.total() << " s (preparation " << v.prepare
        << " s), peak " << v.peak << " MB, ratio " << v.total() / copy3 << " to a copy of " << copy3 << " s\n";

    Module1::gSysDb.reset();
    return 0;
}
