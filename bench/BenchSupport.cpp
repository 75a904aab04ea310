#include "BenchSupport.h"

#include <AccountDb.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>
#include <Installation.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <sys/resource.h>

namespace Bench {
namespace {
int g_serverDatabases = 0;

void administer(const QString& statement)
{
    Database admin;
    admin.openServer(QString(), QStringLiteral("public"), false);
    admin.execute(statement);
}
} // namespace

QString serverMissing()
{
    return qEnvironmentVariableIsEmpty("PGHOST") ? QStringLiteral("no server figure: PGHOST unset") : QString();
}

ServerInstallation::ServerInstallation()
{
    const QString name = QStringLiteral("bench_%1_%2").arg(QCoreApplication::applicationPid()).arg(g_serverDatabases++);
    administer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    administer(QStringLiteral("CREATE DATABASE %1").arg(name));
    m_conninfo = QStringLiteral("dbname=") + name;
    Installation::createServer(ConnInfo(m_conninfo), true);
}

ServerInstallation::~ServerInstallation()
{
    try {
        administer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_conninfo.mid(7)));
    } catch (const DbError&) {
    }
}

InstallationPlace ServerInstallation::where() const
{
    return InstallationPlace::server(ConnInfo(m_conninfo));
}


bool readOptions(int argc, char* argv[], QTextStream& out, Options& options)
{
    options.workDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    options.sizeMb = argc > 2 ? QByteArray(argv[2]).toLongLong() : 500;
    options.runs = std::max(5, argc > 3 ? QByteArray(argv[3]).toInt() : 5);
    const qint64 needed = options.sizeMb * 1024 * 1024 * 4;
    if (QStorageInfo(options.workDir).bytesAvailable() >= needed)
        return true;
    out << "not enough space in " << options.workDir << " (" << needed / (1024 * 1024) << " MB needed)\n";
    return false;
}

AccountSet createAccountSet(const QString& root, int year)
{
    Installation::createRoot(root, true);
    AccountSet set;
    set.sysDb = std::make_unique<Database>(Paths::join(root, QStringLiteral("DeZaduzi/DeZaduzi.mdb")));
    Database& sys = *set.sysDb;
    sys.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (1,'001','测试账套',?,?,1)"),
                {root, year});
    sys.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',?,'demo','admin')"), {year});
    CiFile::mkpath(AccountDb::yearFolder(root, QStringLiteral("001"), year));
    set.books = AccountDb::databasePath(root, QStringLiteral("001"), year);
    CiFile::copy(AccountDb::templatePath(), set.books);
    return set;
}

void generateBooks(const QString& path, qint64 bytes, QTextStream& out)
{
    QElapsedTimer t;
    t.start();
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
    out << "generated " << QFileInfo(path).size() / (1024.0 * 1024.0) << " MB of vouchers and lines in " << seconds(t) << " s\n";
}

CopyTimes plainCopy(const QString& from, const QString& to, bool flush)
{
    CopyTimes c;
    QFile::remove(to);
    QElapsedTimer t;
    t.start();
    if (!QFile::copy(from, to))
        qFatal("copy failed");
    c.plain = seconds(t);
    if (flush) {
        BackupSet::syncPath(to);
        c.synced = seconds(t);
    }
    QFile::remove(to);
    return c;
}

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

void sayRuns(QTextStream& out, int runs)
{
    out << "cores: " << QThread::idealThreadCount() << ", runs: " << runs << " of each, interleaved\n";
}

double seconds(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e9;
}

Cluster::Cluster(const QString& dir, const QString& port)
    : m_args{QStringLiteral(REVOZI_PG_CLUSTER_SH), QString(), dir + QStringLiteral("/cluster"), dir + QStringLiteral("/sock"), port}
{
    m_started = run(QStringLiteral("start"), true);
    qputenv("PGHOST", (dir + QStringLiteral("/sock")).toUtf8());
    qputenv("PGPORT", port.toUtf8());
    qputenv("PGUSER", "revozi");
}

Cluster::~Cluster()
{
    run(QStringLiteral("stop"), false);
}

bool Cluster::run(const QString& command, bool fsync)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (fsync)
        env.insert(QStringLiteral("REVOZI_PG_FSYNC"), QStringLiteral("on"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args = m_args;
    args[1] = command;
    p.start(QStringLiteral("sh"), args);
    return p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace Bench

QString figuresMs(const Series& s)
{
    return QStringLiteral("min %1 ms, median %2 ms, max %3 ms").arg(s.min(), 0, 'f', 1).arg(s.median(), 0, 'f', 1).arg(s.max(), 0, 'f', 1);
}

QString figures(const Series& s)
{
    return QStringLiteral("min %1 s, median %2 s, max %3 s").arg(s.min(), 0, 'f', 3).arg(s.median(), 0, 'f', 3).arg(s.max(), 0, 'f', 3);
}
