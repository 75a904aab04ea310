// The year menu's backup work, run directly: 引入 of one year into its own set, 清空年度数据 (its
// backup first, then the year emptied but for its options, coding scheme and chart), and the
// deletion of a set of two years. Run once per engine (TestRoot): on a server the books are schemas.
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestRoot.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <AccountExporter.h>
#include <AccountImporter.h>
#include <BackupSet.h>
#include <Checksum.h>
#include <CiFile.h>
#include <Database.h>
#include <Manifest.h>
#include <NewYear.h>
#include <YearClearer.h>

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {
const QString kAcc = QStringLiteral("001");
struct Killed {};

std::unique_ptr<Database> booksOf(Database& sys, int year, const QString& acc = kAcc)
{
    return AccountDb::open(sys, acc, year);
}

// The year's rows in the four tables that hold a year of a set (the row's folder aside: an
// import records where it put the year).
QStringList yearRows(Database& db, int year)
{
    const QVariantList key{kAcc, year};
    return rows(db, QStringLiteral("select cAcc_Name,iSysID,iMonth,cAcc_Master from SM_Account where cAcc_Id=? and iYear=?"), key)
        + rows(db, QStringLiteral("select iId,dBegin,dEnd from SM_Period where cAcc_Id=? and iYear=? order by iId"), key)
        + rows(db, QStringLiteral("select cUser_Id,cAuth_Id from SM_HoldAuth where cAcc_Id=? and iYear=? order by 1,2"), key)
        + rows(db, QStringLiteral("select cSub_Id,iModiPeri,dSubSysUsed from SM_Account_sub where cAcc_Id=? and iYear=? order by 1"), key);
}

// A year's books: every table's rows, without the transfer tables an export or a restore leaves
// behind and the system identifier a restore writes in.
QStringList booksRows(Database& sys, int year)
{
    std::unique_ptr<Database> books = booksOf(sys, year);
    QStringList out;
    for (const QString& t : books->tables()) {
        if (t.endsWith(QLatin1String("_Ex"), Qt::CaseInsensitive))
            continue;
        QStringList r = rows(*books, QStringLiteral("select * from \"%1\"").arg(t));
        r.removeIf([](const QString& line) { return line.startsWith(QLatin1String("AA|AA|iSystemID|")); });
        r.sort();
        out << t.toLower() << r;
    }
    return out;
}

// Set 001 of 2026 and 2027 (建立 made 2027), each year with vouchers, a grant and an account of its own.
void makeTwoYears(TestRoot& env)
{
    Database& db = env.db();
    QVERIFY(AccountSetCreator(db).create(TestRoot::setInput(kAcc, env.root(), QStringLiteral("2026"))).done());
    NewYear next(db);
    QVERIFY(next.make(next.plan(kAcc, QStringLiteral("demo"))).done());
    for (int year : {2026, 2027}) {
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,'op2','GL0101')"), {kAcc, year});
        std::unique_ptr<Database> books = booksOf(db, year);
        books->execute(QStringLiteral("create table GL_accvouch (i_id integer primary key, ccode text, md real)"));
        books->execute(QStringLiteral("insert into GL_accvouch (i_id,ccode,md) values (1,'1001',?),(2,'1002',5)"), {year});
        books->execute(QStringLiteral("insert into code (ccode,ccode_name) values (?,'本年科目')"), {QStringLiteral("99%1").arg(year)});
    }
}

bool exportYear(Database& db, int year, const QString& dir, const QString& acc = kAcc)
{
    QDir().mkpath(dir);
    AccountExporter exporter(db, acc, year);
    return exporter.prepare() && exporter.writeBackupSet(dir, true);
}

// The year menu's 引入 as the console runs it into the set `into`, after its question.
AccountImporter::Result importYear(Database& db, const QString& lst, const QString& into = kAcc)
{
    AccountImporter importer(db);
    importer.onlyInto(into);
    Notice refusal = importer.load(lst);
    if (refusal.isEmpty())
        refusal = importer.placeInSet();
    if (!refusal.isEmpty())
        return {AccountImporter::Result::Status::Failed, refusal};
    return AccountImporter::restore(db, importer.plan());
}

// The year gone from the set as if it had never been made: its rows and its books.
void dropYear(Database& db, const QString& root, int year)
{
    for (const char* t : {"SM_Account", "SM_Period", "SM_HoldAuth", "SM_Account_sub"})
        db.execute(QStringLiteral("delete from %1 where cAcc_Id=? and iYear=?").arg(QLatin1String(t)), {kAcc, year});
    if (TestRoot::onServer())
        db.execute(QStringLiteral("drop schema %1 cascade").arg(AccountDb::booksSchema(kAcc, year)));
    else
        QVERIFY(QFile::remove(AccountDb::databasePath(root, kAcc, year)));
}

bool booksThere(TestRoot& env, int year)
{
    return TestRoot::onServer() ? env.db().schemaExists(AccountDb::booksSchema(kAcc, year))
                                : CiFile::isFile(AccountDb::databasePath(env.root(), kAcc, year));
}

// The backup set in `dir` is whole: its data file is what its manifest sums, and it loads.
void checkBackup(Database& db, const QString& dir)
{
    const auto manifest = BackupSet::readManifest(dir + QStringLiteral("/KdErpAct.sum"));
    QVERIFY(manifest);
    qint64 bytes = 0;
    QCOMPARE(Checksum::ofFile(dir + QStringLiteral("/kddata.BA_"), &bytes), manifest->checksum);
    QCOMPARE(bytes, manifest->bytes);
    AccountImporter importer(db);
    QCOMPARE(importer.load(dir + QStringLiteral("/KdErpAct.Lst")).text, QString());
}

// The year's three kept tables, and the count of rows in every other table.
QStringList keptAndCounts(Database& sys, int year)
{
    std::unique_ptr<Database> books = booksOf(sys, year);
    QStringList out;
    for (const QString& t : books->tables()) {
        if (t.endsWith(QLatin1String("_Ex"), Qt::CaseInsensitive))
            continue;
        if (YearClearer::keptTables().contains(t, Qt::CaseInsensitive)) {
            QStringList r = rows(*books, QStringLiteral("select * from \"%1\"").arg(t));
            r.sort();
            out << t.toLower() << r;
        } else {
            out << t.toLower() + QStringLiteral(": ") + QString::number(count(*books, QStringLiteral("select count(*) from \"%1\"").arg(t)));
        }
    }
    return out;
}
} // namespace

class YearsBackupTests : public QObject {
    Q_OBJECT

private slots:
    void yearImport_addsOrReplacesTheYearAlone_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("new year") << false;
        QTest::newRow("existing year") << true;
    }
    // A year exported and imported back: the year comes back as the backup set holds it, added or
    // in place of what it had become, and the set's other year keeps its rows and books.
    void yearImport_addsOrReplacesTheYearAlone()
    {
        QFETCH(bool, exists);
        TestRoot env;
        makeTwoYears(env);
        Database& db = env.db();
        const QString dir = env.root() + QStringLiteral("/out");
        QVERIFY(exportYear(db, 2027, dir));
        const QStringList year27 = yearRows(db, 2027), books27 = booksRows(db, 2027);
        const QStringList year26 = yearRows(db, 2026), books26 = booksRows(db, 2026);
        if (exists) {
            // What the year became after its backup: all of it goes back.
            db.execute(QStringLiteral("delete from SM_Period where cAcc_Id=? and iYear=2027 and iId=12"), {kAcc});
            db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,2027,'op3','GL01')"), {kAcc});
            booksOf(db, 2027)->execute(QStringLiteral("delete from GL_accvouch where i_id=1"));
        } else {
            dropYear(db, env.root(), 2027);
            QVERIFY(!booksThere(env, 2027));
        }
        AccountImporter probe(db);
        probe.onlyInto(kAcc);
        QCOMPARE(probe.load(dir + QStringLiteral("/KdErpAct.Lst")).text, QString());
        QCOMPARE(probe.plan().yearExists, exists);
        const AccountImporter::Result r = importYear(db, dir + QStringLiteral("/KdErpAct.Lst"));
        QVERIFY2(r.done(), qPrintable(r.notice.text));
        QCOMPARE(yearRows(db, 2027), year27);
        QCOMPARE(booksRows(db, 2027), books27);
        QCOMPARE(yearRows(db, 2026), year26);
        QCOMPARE(booksRows(db, 2026), books26);
        QCOMPARE(auditRows(db).last(), QStringLiteral("001|ACC_IMPORT|成功"));
    }

    // A backup set of another set is not a year of this one: refused naming both, nothing changed.
    void yearImport_anotherSetsBackupIsRefused()
    {
        TestRoot env;
        makeTwoYears(env);
        Database& db = env.db();
        QVERIFY(AccountSetCreator(db).create(TestRoot::setInput(QStringLiteral("002"), env.root(), QStringLiteral("2027"))).done());
        const QString dir = env.root() + QStringLiteral("/out2");
        QVERIFY(exportYear(db, 2027, dir, QStringLiteral("002")));
        const QStringList before = dumpBesidesLog(db), logBefore = auditRows(db);
        const AccountImporter::Result r = importYear(db, dir + QStringLiteral("/KdErpAct.Lst"));
        QVERIFY(!r.done());
        QVERIFY2(r.notice.text.startsWith(QStringLiteral("该备份是账套[002]的数据，不能引入到账套[001]。")), qPrintable(r.notice.text));
        QCOMPARE(dumpBesidesLog(db), before);
        QVERIFY(oneFailedImportRow(logBefore, auditRows(db)));
        QCOMPARE(auditRows(db).last(), QStringLiteral("001|ACC_IMPORT|拒绝"));
    }

    // 清空: the backup written whole, the three tables kept and every other table emptied, the
    // set's other year untouched; the backup brings the year back.
    void clear_backsUpThenEmptiesTheYear()
    {
        TestRoot env;
        makeTwoYears(env);
        Database& db = env.db();
        const QStringList full = booksRows(db, 2027), kept = keptAndCounts(db, 2027);
        const QStringList year26 = yearRows(db, 2026), books26 = booksRows(db, 2026), year27 = yearRows(db, 2027);
        const QString folder = YearClearer::backupFolder(kAcc, 2027, QDateTime(QDate(2027, 12, 31), QTime(18, 5, 9)), env.root() + QStringLiteral("/b"));
        QCOMPARE(folder, env.root() + QStringLiteral("/b/001-2027/20271231-180509"));
        QList<int> progress;
        const YearClearer::Result r = YearClearer(db, kAcc, 2027).clear(folder, {[&](int p) { progress << p; }, nullptr});
        QVERIFY2(r.done(), qPrintable(r.notice.text));
        QVERIFY(r.notice.text.contains(folder));
        QCOMPARE(progress.last(), 100);
        checkBackup(db, folder);
        QStringList emptied = kept;
        for (QString& line : emptied)
            line.replace(QRegularExpression(QStringLiteral(": [0-9]+$")), QStringLiteral(": 0"));
        QCOMPARE(keptAndCounts(db, 2027), emptied);
        QVERIFY(emptied != kept);
        QCOMPARE(yearRows(db, 2027), year27);
        QCOMPARE(yearRows(db, 2026), year26);
        QCOMPARE(booksRows(db, 2026), books26);
        QCOMPARE(auditRows(db).last(), QStringLiteral("001|YEAR_CLEAR|成功"));
        QVERIFY(importYear(db, folder + QStringLiteral("/KdErpAct.Lst")).done());
        QCOMPARE(booksRows(db, 2027), full);
    }

    void clear_aFailureEmptiesNothing_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("backup folder cannot be made") << QStringLiteral("folder");
        QTest::newRow("backup folder holds files") << QStringLiteral("occupied");
        QTest::newRow("log row refused amid the emptying") << QStringLiteral("log");
        QTest::newRow("books in use elsewhere") << QStringLiteral("books");
    }
    // The books stay whole; a backup written before the failure stays and is named.
    void clear_aFailureEmptiesNothing()
    {
        QFETCH(QString, failure);
        TestRoot env;
        makeTwoYears(env);
        Database& db = env.db();
        QString folder = env.root() + QStringLiteral("/b/001-2027/x");
        if (failure == QLatin1String("folder")) {
            // A file where a folder of the path must be: nothing can be written there.
            QDir().mkpath(env.root() + QStringLiteral("/b"));
            QFile f(env.root() + QStringLiteral("/b/001-2027"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (failure == QLatin1String("occupied")) {
            QDir().mkpath(folder);
            QFile f(folder + QStringLiteral("/KdErpAct.Lst"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (failure == QLatin1String("log")) {
            TestEngine::refuseInserts(db, QStringLiteral("SM_Log"), QStringLiteral("日志已满"));
        }
        const QStringList books27 = booksRows(db, 2027), year27 = yearRows(db, 2027);
        // Once the backup is written, another workstation writes in the books (on a server: opens them).
        std::unique_ptr<Database> other;
        const YearClearer::Result r = YearClearer(db, kAcc, 2027).clear(folder, {}, [&](const QString& step) {
            if (step != QLatin1String("backup") || failure != QLatin1String("books"))
                return;
            other = booksOf(db, 2027);
            if (!TestRoot::onServer())
                other->execute(QStringLiteral("BEGIN IMMEDIATE"));
        });
        other.reset();
        if (failure == QLatin1String("log"))
            TestEngine::allowInserts(db, QStringLiteral("SM_Log"));
        QCOMPARE(r.status, YearClearer::Result::Status::Failed);
        QVERIFY(!r.notice.text.isEmpty());
        QCOMPARE(booksRows(db, 2027), books27);
        QCOMPARE(yearRows(db, 2027), year27);
        const bool backedUp = failure == QLatin1String("log") || failure == QLatin1String("books");
        QCOMPARE(r.notice.text.contains(QStringLiteral("清空前的备份已写入")), backedUp);
        if (backedUp)
            checkBackup(db, folder);
    }

    void clear_killedLeavesTheYearWholeOrEmptiedWithItsBackup_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("after the backup") << QStringLiteral("backup");
        QTest::newRow("amid the emptying") << QStringLiteral("emptied");
    }
    // A crash before the emptying's commit leaves the year whole and its backup written; the next
    // 清空 then goes through.
    void clear_killedLeavesTheYearWholeOrEmptiedWithItsBackup()
    {
        QFETCH(QString, step);
        TestRoot env;
        makeTwoYears(env);
        Database& db = env.db();
        const QStringList books27 = booksRows(db, 2027);
        const QString folder = env.root() + QStringLiteral("/b/first");
        bool killed = false;
        try {
            YearClearer(db, kAcc, 2027).clear(folder, {}, [&](const QString& at) {
                if (at == step)
                    throw Killed();
            });
        } catch (const Killed&) {
            killed = true;
        }
        QVERIFY(killed);
        // The next start, on a connection of its own.
        if (TestRoot::onServer()) {
            QVERIFY(AccountImporter::recover(db));
        } else {
            Database restarted(env.sysDbPath());
            QVERIFY(AccountImporter::recover(restarted));
        }
        QCOMPARE(booksRows(db, 2027), books27);
        checkBackup(db, folder);
        QVERIFY(YearClearer(db, kAcc, 2027).clear(env.root() + QStringLiteral("/b/second")).done());
        QCOMPARE(count(*booksOf(db, 2027), QStringLiteral("select count(*) from GL_accvouch")), 0);
    }

    void delete_takesEveryYear_data()
    {
        QTest::addColumn<QString>("crash");
        QTest::newRow("whole") << QString();
        QTest::newRow("between the years") << QStringLiteral("tombstone");
        QTest::newRow("after the rows") << QStringLiteral("rows");
    }
    // Deleting a set of two years leaves no books of either; a crash between the years' books is
    // undone on the next start (both years back), a crash after the rows finished (both gone).
    void delete_takesEveryYear()
    {
        QFETCH(QString, crash);
        TestRoot env;
        makeTwoYears(env);
        Database& db = env.db();
        if (crash == QLatin1String("tombstone"))
            SKIP_ON_SERVER("the server drops every year's books in the rows' transaction");
        const QStringList books26 = booksRows(db, 2026), books27 = booksRows(db, 2027);
        try {
            AccountDeletion::deleteSet(db, kAcc, [&](const QString& at) {
                if (at == crash)
                    throw Killed();
            });
        } catch (const Killed&) {
            // The next start, on a connection of its own.
            if (TestRoot::onServer()) {
                QVERIFY(AccountDeletion::recover(db));
            } else {
                Database restarted(env.sysDbPath());
                QVERIFY(AccountDeletion::recover(restarted));
            }
        }
        const bool gone = crash != QLatin1String("tombstone");
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {kAcc}), gone ? 0 : 2);
        QCOMPARE(booksThere(env, 2026), !gone);
        QCOMPARE(booksThere(env, 2027), !gone);
        if (!gone) {
            QCOMPARE(booksRows(db, 2026), books26);
            QCOMPARE(booksRows(db, 2027), books27);
        } else if (!TestRoot::onServer()) {
            QCOMPARE(filesIn(AccountDb::yearFolder(env.root(), kAcc, 2026)), QStringList());
            QCOMPARE(filesIn(AccountDb::yearFolder(env.root(), kAcc, 2027)), QStringList());
        }
        if (!TestRoot::onServer())
            QVERIFY(!QFile::exists(AccountDeletion::pendingPath(db)));
    }
};

QTEST_GUILESS_MAIN(YearsBackupTests)
#include "tst_core_years_backup.moc"
