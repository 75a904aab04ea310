// Import of the backup set of an account set whose account database holds about 500 MB of
// vouchers and lines (built as the export benchmark builds it, then exported), side by side with
// a plain copy of the backup's data file. The import's work is what the command and frmInput run
// (reading the descriptor, checking and copying the data file, merging, replacing the books),
// without the dialogs. Peak memory is the process's high-water mark during each import.
//
//   bench_import [WORKDIR] [SIZE_MB]     (defaults: the system temp folder, 500)
//
// The generated files are deleted at the end.
#include <AccountDb.h>
#include <AccountExporter.h>
#include <AccountImporter.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>
#include <Installation.h>
#include <Module1.h>
#include <MsgBox.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

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
    return -1;
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

// Voucher lines in rounds of 300,000 until the books reach the size asked for.
void generateBooks(const QString& path, qint64 bytes)
{
    Database db(path);
    db.execute(QStringLiteral("PRAGMA journal_mode=OFF"));
    db.execute(QStringLiteral("PRAGMA synchronous=OFF"));
    db.execute(QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER PRIMARY KEY, iVouch_Id INTEGER, inid INTEGER, "
                              "ccode TEXT COLLATE NOCASE, md REAL, mc REAL, cdigest TEXT COLLATE NOCASE, cdept_id TEXT COLLATE NOCASE, "
                              "cperson_id TEXT COLLATE NOCASE, cmemo TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("CREATE INDEX ix_accvouch_code ON GL_accvouch (ccode, iVouch_Id)"));
    const qint64 lines = 300000;
    for (qint64 first = 1; QFileInfo(path).size() < bytes; first += lines)
        db.execute(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT ? UNION ALL SELECT x+1 FROM c WHERE x < ?) "
                                  "INSERT INTO GL_accvouch SELECT x, (x - 1) / 6 + 1, (x - 1) % 6 + 1, '1001' || printf('%02d', x % 60), "
                                  "(x % 1000) * 1.25, (x % 7) * 3.5, '销售商品收入 ' || hex(randomblob(20)), 'D0' || (x % 9), "
                                  "'P' || (x % 120), hex(randomblob(6)) FROM c"),
                   {first, first + lines - 1});
    db.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
}

struct Copy {
    double plain = 0;   // QFile::copy, left in the page cache
    double synced = 0;  // the same, flushed to disk
};

Copy plainCopy(const QString& from, const QString& to)
{
    Copy c;
    QFile::remove(to);
    QElapsedTimer t;
    t.start();
    if (!QFile::copy(from, to))
        qFatal("copy failed");
    c.plain = seconds(t);
    BackupSet::syncPath(to);
    c.synced = seconds(t);
    QFile::remove(to);
    return c;
}

struct ImportRun {
    double seconds = 0, peak = 0;
};

ImportRun importOnce(const QString& descriptor)
{
    ImportRun r;
    const bool peakReset = resetPeak();
    QElapsedTimer t;
    t.start();
    AccountImporter importer(*Module1::gSysDb);
    if (!importer.load(descriptor) || !AccountImporter::restore(*Module1::gSysDb, importer.plan()))
        qFatal("import failed");
    r.seconds = ::seconds(t);
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
    QString lastMessage;
    setMsgBoxHandler([&](const MsgBoxCall& call) {
        lastMessage = call.text;
        return call.buttonSet() == vb::vbOKOnly ? int(vb::vbOK) : int(vb::vbYes);
    });

    QTemporaryDir dir(Paths::join(base, QStringLiteral("bench_import-XXXXXX")));
    const QString root = dir.path();
    Installation::createRoot(root);
    Module1::setRoot(root);
    Module1::gSysDb = std::make_unique<Database>(Module1::SysDbPath());
    Database& sys = *Module1::gSysDb;
    const int year = 2008;   // a year that comes back under its own number
    sys.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (1,'001','测试账套',?,?,1)"),
                {root, year});
    sys.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',?,'demo','admin')"), {year});
    CiFile::mkpath(AccountDb::yearFolder(root, QStringLiteral("001"), year));
    const QString books = AccountDb::databasePath(root, QStringLiteral("001"), year);
    CiFile::copy(AccountDb::templatePath(), books);

    QElapsedTimer t;
    t.start();
    generateBooks(books, sizeMb * 1024 * 1024);
    out << "generated " << QFileInfo(books).size() / (1024.0 * 1024.0) << " MB of voucher lines in " << seconds(t) << " s\n";

    const QString backup = Paths::join(root, QStringLiteral("backup"));
    QDir().mkpath(backup);
    {
        AccountExporter exporter(sys, QStringLiteral("001"));
        QString error;
        if (!exporter.prepare() || !exporter.writeBackupSet(backup, true, &error))
            qFatal("export failed: %s", qPrintable(error));
    }
    const QString data = Paths::join(backup, BackupSet::kDataFileName);
    const QString descriptor = Paths::join(backup, BackupSet::kDescriptorName);
    out << "backup set: " << QFileInfo(data).size() / (1024.0 * 1024.0) << " MB data file\n";

    // The copy lands where the import puts its own: beside the books.
    const QString copyTarget = Paths::join(AccountDb::yearFolder(root, QStringLiteral("001"), year), QStringLiteral("plain-copy.mdb"));
    plainCopy(data, copyTarget);   // read once so every run below starts from the same page cache
    QList<Copy> copies;
    QList<ImportRun> imports;
    for (int round = 0; round < 3; ++round) {
        copies << plainCopy(data, copyTarget);
        imports << importOnce(descriptor);
    }
    out << "last message: " << lastMessage << "\n";
    // The import checks the data file completely while it copies it; the check alone, for scale.
    QElapsedTimer check;
    check.start();
    const QString verdict = Database(data).scalar(QStringLiteral("PRAGMA quick_check")).toString();
    out << "integrity check of the data file alone: " << seconds(check) << " s (" << verdict << ")\n";

    auto minOf = [](const auto& list, auto field) {
        double m = 1e18;
        for (const auto& x : list)
            m = std::min(m, double(x.*field));
        return m;
    };
    const double plain = minOf(copies, &Copy::plain);
    const double synced = minOf(copies, &Copy::synced);
    const double import = minOf(imports, &ImportRun::seconds);
    double peak = 0;
    for (const ImportRun& r : imports)
        peak = std::max(peak, r.peak);
    out << "plain copy of the data file:          ";
    for (const Copy& c : copies)
        out << c.plain << " s ";
    out << "\nplain copy, flushed to disk:          ";
    for (const Copy& c : copies)
        out << c.synced << " s ";
    out << "\nimport over the set:                  ";
    for (const ImportRun& r : imports)
        out << r.seconds << " s ";
    out << "\n  best import " << import << " s, peak " << peak << " MB (target < 64)\n";
    out << "  ratio to the plain copy:            " << import / plain << " (target <= 1.5)\n";
    out << "  ratio to the flushed copy:          " << import / synced << "\n";

    Module1::gSysDb.reset();
    setMsgBoxHandler({});
    return 0;
}
