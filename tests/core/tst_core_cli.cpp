// revozi-backup run as a timer runs it: the built program, its exit status and its messages.
// What it writes must be what the console writes and imports; what it refuses must leave the
// installation as it was; retention must keep exactly the newest backups of the periods asked
// for and never touch a folder it did not write.
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <BackupRetention.h>
#include <BackupSet.h>
#include <Database.h>
#include <Installation.h>
#include <Manifest.h>
#include <WorkLock.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QThread>
#include <QtTest>

#include <atomic>

#include <sys/stat.h>

namespace {
// The arguments of an export of one set's year, of the installation `at` (ROOT, or --server CONNINFO).
QStringList exportOne(const QStringList& at, const QString& set, const QString& to, const QString& year = QStringLiteral("2026"))
{
    return at + QStringList{QStringLiteral("export"), QStringLiteral("--set"), set, QStringLiteral("--year"), year,
                            QStringLiteral("--to"), to};
}

// The arguments of export --all of the installation `at` into `to`.
QStringList exportAll(const QStringList& at, const QString& to)
{
    return at + QStringList{QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--to"), to};
}

// Looks into a data file through a copy, so the backup set stays untouched: every row of every
// table, or the rows `sql` selects.
QStringList lookInto(const QString& dataFile, const QString& scratch, const QString& sql = QString())
{
    const QString copy = scratch + QStringLiteral("/look.mdb");
    QFile::remove(copy);
    if (!QFile::copy(dataFile, copy))
        return {QStringLiteral("cannot copy ") + dataFile};
    Database db(copy);
    return sql.isEmpty() ? dump(db) : rows(db, sql);
}

const QString kTables = QStringLiteral("select name from sqlite_master where type='table'");

QStringList folders(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// The lines of `text` that name `what`.
QStringList linesNaming(const QString& text, const QString& what)
{
    return text.split(QLatin1Char('\n')).filter(what);
}

// The permission bits of a file or folder, never through a link; -1 when it is missing.
int modeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Every line of stdout as a JSON object; a line that is not one fails the test.
QList<QJsonObject> objects(const Run& r)
{
    QList<QJsonObject> out;
    for (const QString& line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject()) {
            qWarning("not a JSON object: %s (%s)", qPrintable(line), qPrintable(error.errorString()));
            return {};
        }
        out << doc.object();
    }
    return out;
}

QStringList strings(const QJsonValue& array)
{
    QStringList out;
    for (const QJsonValue& v : array.toArray())
        out << v.toString();
    out.sort();
    return out;
}

// The process's umask for a scope: a child started meanwhile inherits it.
struct Umask {
    explicit Umask(mode_t mask) : was(::umask(mask)) {}
    ~Umask() { ::umask(was); }
    mode_t was;
};
} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void exportAndVerifyOneSet();
    void exportAllWritesEveryYear();
    void usageErrors();
    void retentionRule();
    void retentionKeepsNewestAndOnlyTouchesItsOwn();
    void secondRunIsRefused();
    void serverInstallation();
    void jsonMatchesTheFilesWritten();
    void verifyAllCoversEveryFolder();
    void quietAndProgress();
    void listRecoversAnInterruptedDeletion();
    void encryptedBackupsWithAPassphraseFile();
};

void TestCli::exportAndVerifyOneSet()
{
    // The fixture's backup in ROOT/out is the console's export of the same set.
    BackupRoot r;
    const QString mine = r.root() + QStringLiteral("/cli");
    const Run e = run(exportOne({r.root()}, QStringLiteral("003"), mine));
    QVERIFY2(e.status == 0, qPrintable(describe(e)));
    QCOMPARE(filesIn(mine), filesIn(r.backup));
    QCOMPARE(readAll(mine + QStringLiteral("/KdErpAct.Lst")), readAll(r.lst));
    QCOMPARE(lookInto(mine + QStringLiteral("/kddata.BA_"), r.root()), lookInto(r.backup + QStringLiteral("/kddata.BA_"), r.root()));

    const Run v = run({QStringLiteral("verify"), mine});
    QVERIFY2(v.status == 0, qPrintable(describe(v)));
    QVERIFY2(v.out.contains(QStringLiteral("XXH3-128")) && v.out.contains(QStringLiteral("完整性检查通过")), qPrintable(v.out));
}

void TestCli::exportAllWritesEveryYear()
{
    // Set 003 with the books of 2025 and of 2026, each year's marked so a backup of the wrong
    // year's books shows.
    BackupRoot r(QStringLiteral("003"), 2025);
    r.make(QStringLiteral("003"), 2026, r.root() + QStringLiteral("/out26"));
    for (int year : {2025, 2026}) {
        Database books(AccountDb::databasePath(r.books, QStringLiteral("003"), year));
        books.execute(QStringLiteral("create table mark%1 (x integer)").arg(year));
    }
    QCOMPARE(count(r.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {QStringLiteral("003")}), 2);

    const QString backups = r.root() + QStringLiteral("/backups");
    // A console and the suite stay at work on the installation meanwhile: short transactions on
    // the system database and on the books, one after another.
    r.db().execute(QStringLiteral("create table console_note (x integer)"));
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    QThread* console = QThread::create([&] {
        Database sys(r.sysDbPath());
        Database books(AccountDb::databasePath(r.books, QStringLiteral("003"), 2026));
        books.execute(QStringLiteral("create table voucher_note (x integer)"));
        for (int i = 1; !stop.load(); ++i) {
            try {
                sys.execute(QStringLiteral("insert into console_note values (?)"), {i});
                books.execute(QStringLiteral("insert into voucher_note values (?)"), {i});
                written.store(i);
            } catch (const DbError&) {
                // Busy while the export holds a lock: the next round tries again.
            }
            QThread::msleep(2);
        }
    });
    console->start();
    const Run e = run(exportAll({r.root()}, backups), QStringLiteral("2026-03-18T12:00:00"));
    stop = true;
    console->wait();
    delete console;
    QVERIFY2(e.status == 0, qPrintable(describe(e)));
    QVERIFY(written.load() > 0);
    QCOMPARE(folders(backups), QStringList({"003-2025", "003-2026"}));
    for (int year : {2025, 2026}) {
        const QString dir = backups + QStringLiteral("/003-%1/20260318-120000").arg(year);
        const Run v = run({QStringLiteral("verify"), dir});
        QVERIFY2(v.status == 0, qPrintable(describe(v)));
        const QString data = dir + QStringLiteral("/kddata.BA_");
        const QStringList tables = lookInto(data, r.root(), kTables);
        QVERIFY2(tables.contains(QStringLiteral("mark%1").arg(year)), qPrintable(dir));
        QVERIFY2(!tables.contains(QStringLiteral("mark%1").arg(year == 2025 ? 2026 : 2025)), qPrintable(dir));
        // The account row of the year the books are, and no other year's.
        QCOMPARE(lookInto(data, r.root(), QStringLiteral("select cAcc_Id, iYear from SM_Account_Ex")),
                 QStringList({QStringLiteral("003|%1").arg(year)}));
    }

    // list names each year with its own books.
    const Run l = run({r.root(), QStringLiteral("list")});
    QVERIFY2(l.status == 0 && l.out.contains(QStringLiteral("[003]")) && l.out.contains(QStringLiteral("\t2025\t"))
                 && l.out.contains(QStringLiteral("zt003/2025/")) && l.out.contains(QStringLiteral("zt003/2026/")),
             qPrintable(describe(l)));

    // A set or a year that is not there is refused in one line, writing nothing; one year on its own.
    const QString one = r.root() + QStringLiteral("/one");
    Run y = run(exportOne({r.root()}, QStringLiteral("009"), one));
    QVERIFY2(y.status == 1 && y.err.contains(QStringLiteral("[009]")) && y.err.trimmed().count(QLatin1Char('\n')) == 0,
             qPrintable(describe(y)));
    y = run(exportOne({r.root()}, QStringLiteral("003"), one, QStringLiteral("2019")));
    QVERIFY2(y.status == 1 && y.err.contains(QStringLiteral("[003]")) && y.err.contains(QStringLiteral("没有2019年度")),
             qPrintable(describe(y)));
    QVERIFY(!QFileInfo::exists(one + QStringLiteral("/KdErpAct.Lst")));
    y = run(exportOne({r.root()}, QStringLiteral("003"), one));
    QVERIFY2(y.status == 0, qPrintable(describe(y)));
    QVERIFY(lookInto(one + QStringLiteral("/kddata.BA_"), r.root(), kTables).contains(QStringLiteral("mark2026")));
}

void TestCli::usageErrors()
{
    TestRoot t;
    QCOMPARE(run({}).status, 2);
    QCOMPARE(run({t.root(), QStringLiteral("shred")}).status, 2);
    QCOMPARE(run({t.root(), QStringLiteral("export"), QStringLiteral("--set"), QStringLiteral("003"), QStringLiteral("--to"), t.root()}).status, 2);
    QCOMPARE(run(exportOne({t.root()}, QStringLiteral("003"), t.root()) + QStringList{QStringLiteral("--all")}).status, 2);
    QCOMPARE(run({t.root(), QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--to"), t.root(), QStringLiteral("--keep-daily"),
                  QStringLiteral("many")}).status, 2);
    QCOMPARE(run({t.root(), QStringLiteral("import")}).status, 2);
    QCOMPARE(run({QStringLiteral("verify")}).status, 2);
    QCOMPARE(run({QStringLiteral("verify"), QStringLiteral("--all")}).status, 2);
    // A dry run is export --all's; JSON is not an import's.
    QCOMPARE(run(exportOne({t.root()}, QStringLiteral("003"), t.root()) + QStringList{QStringLiteral("--dry-run")}).status, 2);
    QCOMPARE(run({t.root(), QStringLiteral("import"), t.root(), QStringLiteral("--json")}).status, 2);
    const Run wrong = run({t.root(), QStringLiteral("import"), t.root(), QStringLiteral("--force")});
    QCOMPARE(wrong.status, 2);
    QVERIFY2(wrong.err.contains(QStringLiteral("--force")), qPrintable(wrong.err));
    const Run help = run({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    for (const char* command : {"list", "export --set", "export --all", "verify", "import", "--keep-daily"})
        QVERIFY2(help.out.contains(QLatin1String(command)), command);
    // A folder that is no installation is a failed job, not a usage error.
    QCOMPARE(run({t.root() + QStringLiteral("/nowhere"), QStringLiteral("list")}).status, 1);
}

void TestCli::retentionRule()
{
    using BackupRetention::Backup;
    // The periods' ordinary cases (the newest of each day, ISO week and month kept, a day's older
    // one gone) run end to end in retentionKeepsNewestAndOnlyTouchesItsOwn. Here what a run does
    // not show: a backup the clock has not reached yet stays, nothing goes without a period
    // asked for, and a name that is no time is none.
    const QDateTime now(QDate(2026, 3, 18), QTime(12, 0));
    const QList<Backup> backups = {{QStringLiteral("past"), QDateTime(QDate(2026, 3, 1), QTime(10, 0))},
                                   {QStringLiteral("ahead"), QDateTime(QDate(2026, 3, 19), QTime(10, 0))}};
    QCOMPARE(BackupRetention::toDelete(backups, now, {1, 0, 0}), QStringList{"past"});
    QVERIFY(BackupRetention::toDelete(backups, now, {0, 0, 0}).isEmpty());
    QVERIFY(!BackupRetention::timeOf(QStringLiteral("20261318-000000")).isValid());
    QVERIFY(!BackupRetention::timeOf(QStringLiteral("backup-old")).isValid());

    // Across the year end. 2026-01-01 is a Thursday: Monday 2025-12-29 lies in the same week,
    // Sunday the 28th before it; December is the month before January.
    const QList<Backup> yearEnd = {{QStringLiteral("a"), QDateTime(QDate(2025, 12, 29), QTime(10, 0))},
                                   {QStringLiteral("b"), QDateTime(QDate(2025, 12, 28), QTime(10, 0))},
                                   {QStringLiteral("c"), QDateTime(QDate(2025, 12, 22), QTime(10, 0))}};
    const QDateTime newYear(QDate(2026, 1, 1), QTime(8, 0));
    QCOMPARE(BackupRetention::toDelete(yearEnd, newYear, {0, 1, 0}), QStringList({"b", "c"}));
    QCOMPARE(BackupRetention::toDelete(yearEnd, newYear, {0, 2, 0}), QStringList({"c"}));
    QCOMPARE(BackupRetention::toDelete(yearEnd, newYear, {0, 0, 2}), QStringList({"b", "c"}));
}

// Retention keeps the newest backups of the periods asked for, and counts and deletes only real
// folders of the set's own backups: one without a manifest (an older console's backup), one a
// person added a note to, a folder not named by a time, a time-named link to an archive elsewhere,
// a backup with a link inside, another set's backup and another year's filed under this set's
// folder all stay as they are (a link's target too), each named once on stderr with the reason.
// The dry run writes and deletes nothing, and names exactly the folders the real run at the same
// time then deletes: today's earlier backup among them, which only the run's own new backup makes
// superfluous.
void TestCli::retentionKeepsNewestAndOnlyTouchesItsOwn()
{
    BackupRoot r;
    const QString out4 = r.root() + QStringLiteral("/out4");
    r.make(QStringLiteral("004"), 2026, out4);
    const QString backups = r.root() + QStringLiteral("/backups");
    const QString setFolder = backups + QStringLiteral("/003-2026");
    for (const char* name : {"20260318-080000", "20260317-230000", "20260316-100000", "20260315-100000", "20260310-100000",
                             "20260228-100000", "20260201-100000", "20260115-100000", "20251201-000000", "20251202-000000",
                             "before-upgrade", "20260103-000000", "20260105-000000"})
        copyBackup(r.backup, setFolder + QLatin1Char('/') + QLatin1String(name));
    QVERIFY(QFile::remove(setFolder + QStringLiteral("/20251201-000000/KdErpAct.sum")));
    writeFile(setFolder + QStringLiteral("/20251202-000000/readme.txt"), "keep this");
    const QString archive = r.root() + QStringLiteral("/archive/20251231-000000");
    copyBackup(r.backup, archive);
    const QStringList archived = tree(archive);
    QVERIFY(QFile::link(archive, setFolder + QStringLiteral("/20260102-000000")));
    const QString linkInside = setFolder + QStringLiteral("/20260103-000000/kddata.BA_");
    QVERIFY(QFile::rename(linkInside, r.root() + QStringLiteral("/elsewhere.BA_")));
    QVERIFY(QFile::link(r.root() + QStringLiteral("/elsewhere.BA_"), linkInside));
    copyBackup(out4, setFolder + QStringLiteral("/20260104-000000"));
    const QString otherYear = setFolder + QStringLiteral("/20260105-000000/KdErpAct.Lst");
    QByteArray lst = readAll(otherYear);
    QVERIFY(lst.contains("\r\nYYear=26\r\n"));
    writeFile(otherYear, lst.replace("\r\nYYear=26\r\n", "\r\nYYear=25\r\n"));
    // Each one left alone, with what it is named for.
    const QList<std::pair<QString, QString>> odd = {{QStringLiteral("20251201-000000"), QStringLiteral("KdErpAct.sum")},
                                                    {QStringLiteral("20251202-000000"), QStringLiteral("readme.txt")},
                                                    {QStringLiteral("20260102-000000"), QStringLiteral("符号链接")},
                                                    {QStringLiteral("20260103-000000"), QStringLiteral("kddata.BA_ 是指向")},
                                                    {QStringLiteral("20260104-000000"), QStringLiteral("账套[004]")},
                                                    {QStringLiteral("20260105-000000"), QStringLiteral("YYear=25")},
                                                    {QStringLiteral("before-upgrade"), QStringLiteral("备份时间")}};
    QMap<QString, QStringList> oddBefore;
    for (const auto& [name, why] : odd)
        oddBefore[name] = tree(setFolder + QLatin1Char('/') + name);
    const QStringList all = exportAll({r.root()}, backups);
    const QStringList keep = all + QStringList{QStringLiteral("--keep-daily"), QStringLiteral("2"), QStringLiteral("--keep-weekly"),
                                               QStringLiteral("2"), QStringLiteral("--keep-monthly"), QStringLiteral("2")};
    const QString at = QStringLiteral("2026-03-18T12:00:00");
    const QStringList before = tree(backups);
    const QStringList sysBefore = dump(r.db());

    const Run dry = run(keep + QStringList{QStringLiteral("--dry-run"), QStringLiteral("--json")}, at);
    QVERIFY2(dry.status == 0, qPrintable(describe(dry)));
    QCOMPARE(tree(backups), before);
    QCOMPARE(dump(r.db()), sysBefore);
    QCOMPARE(objects(dry).size(), 2);
    const QJsonObject planned = objects(dry)[0];
    QCOMPARE(planned.value(QStringLiteral("outcome")).toString(), QStringLiteral("planned"));
    QCOMPARE(planned.value(QStringLiteral("folder")).toString(), setFolder + QStringLiteral("/20260318-120000"));
    QStringList wouldGo;
    for (const char* name : {"20260115-100000", "20260201-100000", "20260310-100000", "20260316-100000", "20260318-080000"})
        wouldGo << setFolder + QLatin1Char('/') + QLatin1String(name);
    QCOMPARE(strings(planned.value(QStringLiteral("deleted"))), wouldGo);
    QCOMPARE(planned.value(QStringLiteral("skipped")).toArray().size(), odd.size());
    // In words, the same plan.
    const Run said = run(keep + QStringList{QStringLiteral("--dry-run")}, at);
    QVERIFY2(said.status == 0 && said.out.contains(QStringLiteral("试运行")), qPrintable(describe(said)));
    QCOMPARE(linesNaming(said.out, QStringLiteral("将删除旧备份")).size(), wouldGo.size());
    QCOMPARE(tree(backups), before);

    const Run real = run(keep, at);
    QVERIFY2(real.status == 0, qPrintable(describe(real)));
    for (const QString& gone : wouldGo)
        QVERIFY2(real.out.contains(QStringLiteral("已删除旧备份 ") + gone), qPrintable(real.out));
    QStringList left = {QStringLiteral("20260228-100000"), QStringLiteral("20260315-100000"), QStringLiteral("20260317-230000"),
                        QStringLiteral("20260318-120000")};
    for (const auto& [name, why] : odd) {
        left << name;
        QCOMPARE(tree(setFolder + QLatin1Char('/') + name), oddBefore[name]);
        const QStringList named = linesNaming(real.err, name);
        QVERIFY2(named.size() == 1 && named[0].contains(why) && named[0].contains(QStringLiteral("[003]")), qPrintable(real.err));
    }
    left.sort();
    QCOMPARE(folders(setFolder), left);
    QVERIFY(QFileInfo(setFolder + QStringLiteral("/20260102-000000")).isSymLink() && QFileInfo(linkInside).isSymLink());
    QCOMPARE(tree(archive), archived);
    // Set 004's own folder holds nothing to say.
    QCOMPARE(linesNaming(real.err, QStringLiteral("004-2026")).size(), 0);
    QCOMPARE(run({QStringLiteral("verify"), setFolder + QStringLiteral("/20260318-120000")}).status, 0);
    const Run l = run({r.root(), QStringLiteral("list"), QStringLiteral("--to"), backups});
    QVERIFY2(l.out.contains(QStringLiteral("20260318-120000")), qPrintable(l.out));

    // A second run in the same second does not write into the first one's folder.
    const Run again = run(all, at);
    QVERIFY2(again.status == 1 && again.err.contains(QStringLiteral("[003]")), qPrintable(describe(again)));
}

void TestCli::secondRunIsRefused()
{
    BackupRoot r;
    // What a running revozi-backup holds on the installation.
    QLockFile running(QFileInfo(r.sysDbPath()).absolutePath() + QStringLiteral("/revozi-backup.lock"));
    QVERIFY(running.tryLock(0));
    const QString backups = r.root() + QStringLiteral("/backups");
    const Run e = run(exportAll({r.root()}, backups));
    QCOMPARE(e.status, 1);
    QVERIFY(!QFileInfo::exists(backups));
    running.unlock();
    QCOMPARE(run(exportAll({r.root()}, backups)).status, 0);
}

// --server CONNINFO in place of ROOT: a backup set imported, exported again and verified, listed
// with the books' schema; the backups the owner's alone, whatever the umask the program was started
// with; no password on the command line; a second run on the installation refused.
void TestCli::serverInstallation()
{
    if (!TestEngine::serverMissing().isEmpty())
        QSKIP(qPrintable(TestEngine::serverMissing()));
    BackupRoot files(QStringLiteral("003"), 2026);
    ServerInstall server;
    // What a shell or a timer usually starts a program with: files readable by everyone.
    const Umask shared(022);
    const QStringList on{QStringLiteral("--server"), server.conninfo};
    const Run i = run(on + QStringList{QStringLiteral("import"), files.backup});
    QVERIFY2(i.status == 0 && i.out.contains(QStringLiteral("zt003_2026")), qPrintable(describe(i)));
    const QString mine = files.root() + QStringLiteral("/fromServer");
    const Run e = run(exportOne(on, QStringLiteral("003"), mine));
    QVERIFY2(e.status == 0, qPrintable(describe(e)));
    const Run v = run(on + QStringList{QStringLiteral("verify"), mine});
    QVERIFY2(v.status == 0 && v.out.contains(QStringLiteral("完整性检查通过")), qPrintable(describe(v)));
    const Run l = run(on + QStringList{QStringLiteral("list")});
    // The books' size is read for every set at once: the set's is there, not said to be missing.
    QVERIFY2(l.status == 0 && l.out.contains(QStringLiteral("zt003_2026")) && !l.out.contains(QStringLiteral("账套库不存在")), qPrintable(describe(l)));
    const QString backups = files.root() + QStringLiteral("/serverBackups");
    const Run all = run(exportAll(on, backups), QStringLiteral("2026-03-18T12:00:00"));
    QVERIFY2(all.status == 0, qPrintable(describe(all)));
    const QString stamped = backups + QStringLiteral("/003-2026/20260318-120000");
    for (const QString& folder : {mine, backups, backups + QStringLiteral("/003-2026"), stamped})
        QVERIFY2(modeOf(folder) == 0700, qPrintable(QStringLiteral("%1: %2").arg(folder).arg(modeOf(folder), 0, 8)));
    for (const QString& folder : {mine, stamped}) {
        QCOMPARE(filesIn(folder).size(), 3);
        for (const QString& name : filesIn(folder))
            QVERIFY2(modeOf(folder + QLatin1Char('/') + name) == 0600, qPrintable(QStringLiteral("%1/%2: %3").arg(folder, name).arg(modeOf(folder + QLatin1Char('/') + name), 0, 8)));
    }

    const Run p = run({QStringLiteral("--server"), server.conninfo + QStringLiteral(" password=secret"), QStringLiteral("list")});
    QVERIFY2(p.status == 2 && p.err.contains(QStringLiteral(".pgpass")), qPrintable(describe(p)));
    // Another run holds the installation.
    Database other;
    other.openServer(server.conninfo, QString::fromLatin1(Installation::kSystemSchema), false);
    QVERIFY(other.scalar(QStringLiteral("SELECT pg_try_advisory_lock(7408, 0)")).toBool());
    const Run second = run(exportAll(on, mine + QStringLiteral("2")));
    QVERIFY2(second.status == 1 && second.err.contains(QStringLiteral("另一个 revozi-backup")), qPrintable(describe(second)));
    QVERIFY(!QFileInfo::exists(mine + QStringLiteral("2")));
}

// --json: one object a line for each set, whose folder, size and checksum are those of the files
// written (the manifest's, and the data file's own when summed again); a failed set is an object
// of its own with the reason, beside the stderr line, and the exit status stays 1, while the
// other sets' backups are still made. Without --keep-* nothing is deleted.
void TestCli::jsonMatchesTheFilesWritten()
{
    BackupRoot r;
    r.make(QStringLiteral("004"), 2026, r.root() + QStringLiteral("/out4"));
    const QString backups = r.root() + QStringLiteral("/backups");
    copyBackup(r.backup, backups + QStringLiteral("/003-2026/20200101-000000"));
    const Run e = run(exportAll({r.root()}, backups) << QStringLiteral("--json"), QStringLiteral("2026-03-18T12:00:00"));
    QVERIFY2(e.status == 0, qPrintable(describe(e)));
    QCOMPARE(folders(backups), QStringList({"003-2026", "004-2026"}));
    QCOMPARE(folders(backups + QStringLiteral("/003-2026")), QStringList({"20200101-000000", "20260318-120000"}));
    const QList<QJsonObject> sets = objects(e);
    QCOMPARE(sets.size(), 2);
    auto matchesFiles = [&](const QJsonObject& o, const QString& acc, const QString& folder) {
        QCOMPARE(o.value(QStringLiteral("set")).toString(), acc);
        QCOMPARE(o.value(QStringLiteral("year")).toInt(), 2026);
        QCOMPARE(o.value(QStringLiteral("folder")).toString(), folder);
        QCOMPARE(o.value(QStringLiteral("outcome")).toString(), QStringLiteral("ok"));
        QVERIFY(o.value(QStringLiteral("seconds")).isDouble() && o.value(QStringLiteral("seconds")).toDouble() >= 0);
        const QString data = folder + QStringLiteral("/kddata.BA_");
        qint64 bytes = -1;
        const QString sum = Checksum::ofFile(data, &bytes);
        QCOMPARE(o.value(QStringLiteral("bytes")).toInteger(), bytes);
        QCOMPARE(QFileInfo(data).size(), bytes);
        QCOMPARE(o.value(QStringLiteral("checksum")).toString(), sum);
        QCOMPARE(BackupSet::readManifest(folder + QStringLiteral("/KdErpAct.sum"))->checksum, sum);
    };
    matchesFiles(sets[0], QStringLiteral("003"), backups + QStringLiteral("/003-2026/20260318-120000"));
    matchesFiles(sets[1], QStringLiteral("004"), backups + QStringLiteral("/004-2026/20260318-120000"));

    const QString one = r.root() + QStringLiteral("/one");
    const Run single = run(exportOne({r.root()}, QStringLiteral("004"), one) + QStringList{QStringLiteral("--json")});
    QVERIFY2(single.status == 0, qPrintable(describe(single)));
    QCOMPARE(objects(single).size(), 1);
    matchesFiles(objects(single)[0], QStringLiteral("004"), one);

    const Run l = run({r.root(), QStringLiteral("list"), QStringLiteral("--to"), backups, QStringLiteral("--json")});
    QVERIFY2(l.status == 0, qPrintable(describe(l)));
    const QList<QJsonObject> listed = objects(l);
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed[0].value(QStringLiteral("books")).toString(), r.live);
    QCOMPARE(listed[0].value(QStringLiteral("bytes")).toInteger(), QFileInfo(r.live).size());
    QCOMPARE(listed[1].value(QStringLiteral("folder")).toString(), backups + QStringLiteral("/004-2026/20260318-120000"));

    // Set 003's books gone: its object says it failed and why, 004's is whole; under --quiet the
    // failure is still said, and the JSON asked for still written.
    QVERIFY(QFile::remove(r.live));
    const Run f = run(exportAll({r.root()}, backups) << QStringLiteral("--json") << QStringLiteral("--quiet"), QStringLiteral("2026-03-19T12:00:00"));
    QCOMPARE(f.status, 1);
    const QList<QJsonObject> after = objects(f);
    QCOMPARE(after.size(), 2);
    QCOMPARE(after[0].value(QStringLiteral("outcome")).toString(), QStringLiteral("failed"));
    QVERIFY(after[0].value(QStringLiteral("checksum")).isNull());
    QVERIFY2(after[0].value(QStringLiteral("error")).toString().contains(QStringLiteral("[003]")), qPrintable(describe(f)));
    QVERIFY2(f.err.contains(QStringLiteral("[003]")) && !f.err.contains(QStringLiteral("[004]")), qPrintable(f.err));
    QVERIFY(!QFileInfo::exists(backups + QStringLiteral("/003-2026/20260319-120000/KdErpAct.Lst")));
    matchesFiles(after[1], QStringLiteral("004"), backups + QStringLiteral("/004-2026/20260319-120000"));
}

// verify --all checks every folder of BACKUPS/<set>-<year>/ (and a backup lying directly in
// BACKUPS), one line or object each; a folder that is no backup set is named in Chinese and makes
// the exit status 1, and so does a damaged one, without stopping the others.
void TestCli::verifyAllCoversEveryFolder()
{
    BackupRoot r;
    r.make(QStringLiteral("004"), 2026, r.root() + QStringLiteral("/out4"));
    const QString backups = r.root() + QStringLiteral("/backups");
    for (const QString& at : {QStringLiteral("2026-03-17T12:00:00"), QStringLiteral("2026-03-18T12:00:00")})
        QCOMPARE(run(exportAll({r.root()}, backups), at).status, 0);
    copyBackup(r.backup, backups + QStringLiteral("/loose"));
    QStringList every = {backups + QStringLiteral("/003-2026/20260317-120000"), backups + QStringLiteral("/003-2026/20260318-120000"),
                         backups + QStringLiteral("/004-2026/20260317-120000"), backups + QStringLiteral("/004-2026/20260318-120000"),
                         backups + QStringLiteral("/loose")};
    const Run good = run({QStringLiteral("verify"), QStringLiteral("--all"), backups, QStringLiteral("--json")});
    QVERIFY2(good.status == 0, qPrintable(describe(good)));
    QStringList checked;
    for (const QJsonObject& o : objects(good)) {
        checked << o.value(QStringLiteral("folder")).toString();
        QCOMPARE(o.value(QStringLiteral("outcome")).toString(), QStringLiteral("ok"));
        QCOMPARE(o.value(QStringLiteral("checksum")).toString(),
                 BackupSet::readManifest(o.value(QStringLiteral("folder")).toString() + QStringLiteral("/KdErpAct.sum"))->checksum);
    }
    checked.sort();
    every.sort();
    QCOMPARE(checked, every);

    // A person's folder among the backups, and a damaged backup.
    const QString notes = backups + QStringLiteral("/003-2026/notes");
    QVERIFY(QDir().mkpath(notes));
    writeFile(notes + QStringLiteral("/readme.txt"), "kept by hand");
    const QString damaged = backups + QStringLiteral("/004-2026/20260317-120000/kddata.BA_");
    QByteArray bytes = readAll(damaged);
    bytes[bytes.size() - 100] = char(bytes[bytes.size() - 100] ^ 0x5a);
    writeFile(damaged, bytes);
    const Run bad = run({QStringLiteral("verify"), QStringLiteral("--all"), backups});
    QCOMPARE(bad.status, 1);
    QCOMPARE(linesNaming(bad.out, QStringLiteral("可以引入")).size(), every.size() - 1);
    const QStringList aboutNotes = linesNaming(bad.err, notes);
    QVERIFY2(aboutNotes.size() == 1 && aboutNotes[0].contains(QStringLiteral("不是备份目录")) && !bad.err.contains(QStringLiteral("Unknown")),
             qPrintable(describe(bad)));
    QVERIFY2(linesNaming(bad.err, QStringLiteral("校验和")).size() == 1 && bad.err.contains(QStringLiteral("[004]")), qPrintable(describe(bad)));

    // The same words for one folder, for a path that is not there, and for an import of either.
    for (const QString& path : {notes, r.root() + QStringLiteral("/nowhere")}) {
        const Run v = run({QStringLiteral("verify"), path});
        QVERIFY2(v.status == 1 && v.err.contains(path) && !v.err.contains(QStringLiteral("Unknown")), qPrintable(describe(v)));
        const Run i = run({r.root(), QStringLiteral("import"), path});
        QVERIFY2(i.status == 1 && i.err.contains(path) && !i.err.contains(QStringLiteral("Unknown")), qPrintable(describe(i)));
    }
    QVERIFY(run({QStringLiteral("verify"), notes}).err.contains(QStringLiteral("KdErpAct.Lst")));
}

// --quiet writes nothing on success (its failures: jsonMatchesTheFilesWritten); --progress gives
// each set's progress lines off a terminal (bytes done of the books' size, the rate, the time),
// which are otherwise left out; list's columns have no heading off a terminal.
void TestCli::quietAndProgress()
{
    BackupRoot r;
    const QString backups = r.root() + QStringLiteral("/backups");
    const QStringList all = exportAll({r.root()}, backups);
    const Run quiet = run(all + QStringList{QStringLiteral("--quiet"), QStringLiteral("--progress")}, QStringLiteral("2026-03-16T12:00:00"));
    QVERIFY2(quiet.status == 0 && quiet.out.isEmpty() && quiet.err.isEmpty(), qPrintable(describe(quiet)));
    const Run plain = run(all, QStringLiteral("2026-03-17T12:00:00"));
    QVERIFY2(plain.status == 0 && plain.err.isEmpty(), qPrintable(describe(plain)));
    const Run watched = run(all + QStringList{QStringLiteral("--progress")}, QStringLiteral("2026-03-18T12:00:00"));
    QVERIFY2(watched.status == 0, qPrintable(describe(watched)));
    const QStringList lines = linesNaming(watched.err, QStringLiteral("账套[003] 2026年度："));
    QVERIFY2(!lines.isEmpty(), qPrintable(describe(watched)));
    const QString whole = QLocale::c().formattedDataSize(QFileInfo(r.live).size(), 1, QLocale::DataSizeTraditionalFormat);
    QVERIFY2(lines.last().contains(QStringLiteral("%1 / %1").arg(whole)) && lines.last().contains(QStringLiteral("/s")),
             qPrintable(describe(watched)));
    const Run l = run({r.root(), QStringLiteral("list")});
    QVERIFY2(l.status == 0 && l.out.startsWith(QStringLiteral("[003]")), qPrintable(describe(l)));
}

// A deletion cut short by a crash between two durable steps is settled by the next program that
// opens the installation, revozi-backup too (here undone before the rows' commit: the books back
// under their name; each step's outcome is tst_core_export's delete_aCrashAtAnyStep...). A
// deletion still running elsewhere (holding the installation's work lock) is left alone.
void TestCli::listRecoversAnInterruptedDeletion()
{
    struct Killed {};
    BackupRoot r;
    const QByteArray booksBefore = readAll(r.live);
    try {
        AccountDeletion::deleteSet(r.db(), QStringLiteral("003"), [&](const QString& at) {
            if (at == QLatin1String("tombstone"))
                throw Killed();
        });
        QFAIL("the deletion was not stopped");
    } catch (const Killed&) {
    }
    const QString pending = AccountDeletion::pendingPath(r.db());
    QVERIFY(QFile::exists(pending));
    {
        // Another program's deletion under way: its files are not a crash's leftovers.
        const WorkLock running(r.db(), WorkLock::Mode::Wait);
        const Run busy = run({r.root(), QStringLiteral("list")});
        QVERIFY2(busy.status == 0, qPrintable(describe(busy)));
        QVERIFY(QFile::exists(pending) && QFile::exists(r.live + QStringLiteral(".deleting")));
    }
    const Run l = run({r.root(), QStringLiteral("list")});
    QVERIFY2(l.status == 0 && l.out.contains(QStringLiteral("[003]")), qPrintable(describe(l)));
    QVERIFY(!QFile::exists(pending));
    QCOMPARE(r.yearFiles(), QStringList{QStringLiteral("KdData.mdb")});
    QCOMPARE(readAll(r.live), booksBefore);
}

// Encrypted backups from a timer: the passphrase only from a file of mode 0600, never an argument;
// export (one set, and --all compressed too), verify without and with it, import only with the
// right one; the passphrase in no file written and no log row.
void TestCli::encryptedBackupsWithAPassphraseFile()
{
    BackupRoot r(QStringLiteral("003"), 2026);
    const QString secret = QStringLiteral("nächtlich 口令 42");
    const QString passFile = r.root() + QStringLiteral("/backup.pass");
    writeFile(passFile, (secret + QStringLiteral("\n")).toUtf8());
    const QString mine = r.root() + QStringLiteral("/sealed");
    const QStringList sealOne = exportOne({r.root()}, QStringLiteral("003"), mine)
                                + QStringList{QStringLiteral("--encrypt"), QStringLiteral("--passphrase-file"), passFile};
    // A passphrase file others may read is refused, and so is --encrypt without one or the file
    // given to a command that takes none.
    QVERIFY(QFile::setPermissions(passFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
    Run e = run(sealOne);
    QVERIFY2(e.status == 1 && e.err.contains(QStringLiteral("chmod 600")) && !QFileInfo::exists(mine), qPrintable(describe(e)));
    QVERIFY(QFile::setPermissions(passFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(run(sealOne.mid(0, sealOne.size() - 2)).status, 2);
    QCOMPARE(run({r.root(), QStringLiteral("list"), QStringLiteral("--passphrase-file"), passFile}).status, 2);

    e = run(sealOne);
    QVERIFY2(e.status == 0, qPrintable(describe(e)));
    const auto m = BackupSet::readManifest(mine + QStringLiteral("/KdErpAct.sum"));
    QVERIFY(m && m->seal.encrypted && !m->seal.compressed);
    const QStringList all = exportAll({r.root()}, r.root() + QStringLiteral("/nightly"))
                            + QStringList{QStringLiteral("--encrypt"), QStringLiteral("--compress"), QStringLiteral("--passphrase-file"), passFile};
    e = run(all, QStringLiteral("2026-03-01T02:00:00"));
    QVERIFY2(e.status == 0, qPrintable(describe(e)));
    const QString nightly = r.root() + QStringLiteral("/nightly/003-2026/20260301-020000");
    QVERIFY(BackupSet::readManifest(nightly + QStringLiteral("/KdErpAct.sum"))->seal.compressed);

    // verify: the checksum without the passphrase; the books inside with it; a wrong one refused.
    Run v = run({QStringLiteral("verify"), nightly});
    QVERIFY2(v.status == 0 && v.out.contains(QStringLiteral("未检查其中的账套数据")), qPrintable(describe(v)));
    v = run({QStringLiteral("verify"), nightly, QStringLiteral("--passphrase-file"), passFile});
    QVERIFY2(v.status == 0 && v.out.contains(QStringLiteral("完整性检查通过")), qPrintable(describe(v)));
    const QString wrongFile = r.root() + QStringLiteral("/wrong.pass");
    writeFile(wrongFile, "falsch\n");
    QVERIFY(QFile::setPermissions(wrongFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    v = run({QStringLiteral("verify"), nightly, QStringLiteral("--passphrase-file"), wrongFile});
    QVERIFY2(v.status == 1 && v.err.contains(QStringLiteral("口令不正确")), qPrintable(describe(v)));

    // import: nothing without the passphrase or with a wrong one; the set with the right one.
    TestRoot other;
    const QString books = other.root() + QStringLiteral("/restored");
    QVERIFY(QDir().mkpath(books));
    const QStringList importWith = {other.root(), QStringLiteral("import"), mine, QStringLiteral("--folder"), books,
                                    QStringLiteral("--passphrase-file"), passFile};
    Run i = run(importWith.mid(0, 5));
    QVERIFY2(i.status == 1 && i.err.contains(QStringLiteral("--passphrase-file")), qPrintable(describe(i)));
    i = run(importWith.mid(0, 6) + QStringList{wrongFile});
    QVERIFY2(i.status == 1 && i.err.contains(QStringLiteral("口令不正确")), qPrintable(describe(i)));
    QCOMPARE(count(other.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='003'")), 0);
    i = run(importWith);
    QVERIFY2(i.status == 0, qPrintable(describe(i)));
    QCOMPARE(count(other.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='003' and iYear=2026")), 1);

    QCOMPARE(filesHolding(r.root(), secret), QStringList{passFile});
    QCOMPARE(filesHolding(other.root(), secret), QStringList());
    for (Database* db : {&r.db(), &other.db()})
        QVERIFY(!rows(*db, QStringLiteral("select * from SM_Log")).join(QLatin1Char('\n')).contains(secret));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_core_cli.moc"
