// Backup sets that can be trusted, on the writing side: the manifest vouches for the data file it
// stands beside, a kill at any point of the export never pairs a descriptor with another data
// file, a deletion takes books and rows together or neither (also across a crash), an export
// taken while the books are being written is one consistent moment, and books of the current
// template leave their free pages out of the backup.
#include "BackupFixture.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <AccountExporter.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>
#include <Manifest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {
struct Killed {};

// The rows deletion touches, for one set.
QStringList setRows(Database& db, const QString& acc)
{
    QStringList out;
    for (const char* t : {"SM_Account", "SM_Period", "SM_HoldAuth", "SM_Account_sub", "SM_Log", "CreateAcc"})
        out << QLatin1String(t) << rows(db, QStringLiteral("select * from %1 where cAcc_Id=? order by 1,2").arg(QLatin1String(t)), {acc});
    return out;
}

// An account set as creation leaves it, with holdings and a log, its books a copy of the template.
void makeSet(Database& db, const QString& acc, const QString& books, int year = 2024, bool withFile = true)
{
    db.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master) values (?,?,?,?,?,1,'demo')"),
               {acc.toInt() + 100, acc, QStringLiteral("账套") + acc, books, year});
    for (int m = 1; m <= 12; ++m) {
        const QDate first(year, m, 1);
        db.execute(QStringLiteral("insert into SM_Period (cAcc_Id,iYear,iId,dBegin,dEnd) values (?,?,?,?,?)"),
                   {acc, year, m, first, first.addMonths(1).addDays(-1)});
    }
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CreateAcc (cAcc_Id TEXT COLLATE NOCASE, cAcc_Name TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("insert into CreateAcc (cAcc_Id,cAcc_Name) values (?,?)"), {acc, QStringLiteral("账套") + acc});
    db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,'demo','admin')"), {acc, year});
    db.execute(QStringLiteral("insert into SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) values (?,?,'GL',1,'2024-01-01')"), {acc, year});
    db.execute(QStringLiteral("insert into SM_Log (iLog_Id,cAcc_Id,iYear,cSub_Id,cUser_Id,cContent) values (?,?,?,'GL','demo','记账')"),
               {acc.toInt(), acc, year});
    if (withFile) {
        QVERIFY(CiFile::mkpath(AccountDb::yearFolder(books, acc, year)));
        QVERIFY(QFile::copy(TestRoot::templatePath(), AccountDb::databasePath(books, acc, year)));
    }
}

// Pages of vouchers in the books, some of them freed again.
void fillBooks(const QString& path, int kilobytes, int freedKilobytes)
{
    Database acc(path);
    acc.execute(QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER PRIMARY KEY, cdigest TEXT)"));
    acc.execute(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < ?) "
                               "INSERT INTO GL_accvouch SELECT x, hex(randomblob(500)) FROM c"), {kilobytes});
    if (freedKilobytes > 0) {
        acc.execute(QStringLiteral("CREATE TABLE scratch AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < ?) "
                                   "SELECT hex(randomblob(500)) AS t FROM c"), {freedKilobytes});
        acc.execute(QStringLiteral("DROP TABLE scratch"));
    }
}

// What an import would find in `dir`: the descriptor's set and size, the manifest's size and
// checksum, the data file's own set, size and checksum. Empty texts for files that are not there.
struct Found {
    QString descriptorSet, descriptorBytes, manifestBytes, manifestSum, dataSet, dataBytes, dataSum;
};

Found look(const QString& dir)
{
    Found f;
    const QString lst = dir + QStringLiteral("/KdErpAct.Lst");
    if (QFile::exists(lst)) {
        f.descriptorSet = BackupSet::lineValue(BackupSet::readLine(lst, 3));
        f.descriptorBytes = BackupSet::lineValue(BackupSet::readLine(lst, 13));
    }
    if (const auto m = BackupSet::readManifest(dir + QStringLiteral("/KdErpAct.sum"))) {
        f.manifestBytes = QString::number(m->bytes);
        f.manifestSum = m->checksum;
    }
    const QString data = dir + QStringLiteral("/kddata.BA_");
    if (QFile::exists(data)) {
        qint64 bytes = 0;
        f.dataSum = Checksum::ofFile(data, &bytes);
        f.dataBytes = QString::number(bytes);
        Database d(data);
        f.dataSet = d.scalar(QStringLiteral("select cAcc_Id from SM_Account_Ex")).toString();
    }
    return f;
}
} // namespace

class TstCoreExport : public QObject {
    Q_OBJECT
private slots:
    void manifest_vouchesForTheDataFileBesideIt()
    {
        TestRoot env;
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), books);
        fillBooks(AccountDb::databasePath(books, QStringLiteral("001"), 2024), 2000, 300);
        // Books made before incremental auto-vacuum are copied as they stand and summed in that
        // pass; those of the template are compacted in the copy and summed after.
        makeSet(env.db(), QStringLiteral("002"), books);
        const QString older = AccountDb::databasePath(books, QStringLiteral("002"), 2024);
        {
            Database acc(older);
            acc.execute(QStringLiteral("PRAGMA auto_vacuum=NONE"));
            acc.execute(QStringLiteral("VACUUM"));
        }
        fillBooks(older, 1500, 0);
        // On the same file system the data file is a second name of the prepared copy; on another
        // it is streamed across. Each way the manifest has to describe the bytes that arrived.
        QStringList targets{env.root() + QStringLiteral("/out")};
        QTemporaryDir shm(QStringLiteral("/dev/shm/tst_core_export-XXXXXX"));
        if (shm.isValid())
            targets << shm.path() + QStringLiteral("/usb");
        for (const QString& target : QStringList(targets))
            targets << target + QStringLiteral("-older");
        for (const QString& target : targets) {
            const QString acc = target.endsWith(QLatin1String("-older")) ? QStringLiteral("002") : QStringLiteral("001");
            QVERIFY(exportTo(env.db(), acc, target));
            const Found f = look(target);
            QCOMPARE(f.manifestSum, f.dataSum);
            QCOMPARE(f.manifestBytes, f.dataBytes);
            QCOMPARE(f.descriptorBytes, f.dataBytes);
            QCOMPARE(f.dataSet, acc);
            QCOMPARE(readAll(target + QStringLiteral("/KdErpAct.sum")),
                     QStringLiteral("[BackupSum]\r\nVersion=1\r\nFile=kddata.BA_\r\nBytes=%1\r\nXXH3-128=%2\r\n").arg(f.dataBytes, f.dataSum).toUtf8());
            // The descriptor keeps its 18 lines, the data file passes the engine's own check.
            QCOMPARE(readAll(target + QStringLiteral("/KdErpAct.Lst")).split('\n').size(), 18);
            QCOMPARE(Database(target + QStringLiteral("/kddata.BA_")).scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            QCOMPARE(filesIn(target), (QStringList{QStringLiteral("kddata.BA_"), QStringLiteral("KdErpAct.Lst"), QStringLiteral("KdErpAct.sum")}));
        }
        // A prepared copy written to after it was summed is summed again where it is placed.
        AccountExporter exporter(env.db(), QStringLiteral("001"));
        QVERIFY(exporter.prepare());
        {
            Database copy(exporter.preparedCopyPath());
            copy.execute(QStringLiteral("CREATE TABLE later (x)"));
        }
        const QString changed = env.root() + QStringLiteral("/changed");
        QVERIFY(QDir().mkpath(changed));
        QVERIFY(exporter.writeBackupSet(changed, true));
        const Found f = look(changed);
        QCOMPARE(f.manifestSum, f.dataSum);
        QCOMPARE(f.manifestBytes, f.dataBytes);
    }

    void export_killedAtAnyStepNeverPairsADescriptorWithAnotherDataFile()
    {
        TestRoot env;
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), books);
        makeSet(env.db(), QStringLiteral("002"), books);
        fillBooks(AccountDb::databasePath(books, QStringLiteral("001"), 2024), 300, 0);
        const QString prepared = books + QStringLiteral("/zt001/2024/kddata.BAK");
        for (const QString& step : {QStringLiteral("data"), QStringLiteral("cleared"), QStringLiteral("renamed"), QStringLiteral("manifest")}) {
            // The folder holds an earlier backup set of another set.
            const QString target = env.root() + QStringLiteral("/out-") + step;
            QVERIFY(exportTo(env.db(), QStringLiteral("002"), target));
            const Found earlier = look(target);
            QCOMPARE(earlier.descriptorSet, QStringLiteral("002"));
            bool killed = false;
            try {
                exportTo(env.db(), QStringLiteral("001"), target, [&](const QString& at) {
                    if (at == step)
                        throw Killed();
                });
            } catch (const Killed&) {
                killed = true;
            }
            QVERIFY2(killed, qPrintable(step));
            // Whatever is left: a descriptor only with the data file it describes, a manifest
            // only with the data file it was computed from.
            const Found f = look(target);
            if (!f.descriptorSet.isEmpty()) {
                QVERIFY2(f.descriptorSet == f.dataSet && f.descriptorBytes == f.dataBytes, qPrintable(step));
            }
            if (!f.manifestSum.isEmpty()) {
                QVERIFY2(f.manifestSum == f.dataSum && f.manifestBytes == f.dataBytes, qPrintable(step));
            }
            // Either the earlier set is still whole, or there is no set until the new one is.
            QVERIFY2(f.descriptorSet.isEmpty() || f.dataSum == earlier.dataSum, qPrintable(step));
            // The prepared copy stays for another try, which also clears what the kill left.
            QVERIFY(CiFile::isFile(prepared));
            AccountExporter exporter(env.db(), QStringLiteral("001"));
            QVERIFY(exporter.writeBackupSet(target, true));
            const Found again = look(target);
            QCOMPARE(again.descriptorSet, QStringLiteral("001"));
            QCOMPARE(again.manifestSum, again.dataSum);
            QCOMPARE(filesIn(target), (QStringList{QStringLiteral("kddata.BA_"), QStringLiteral("KdErpAct.Lst"), QStringLiteral("KdErpAct.sum")}));
        }
        // A temporary data file of a killed process (its id no longer running) is removed by the
        // next export into that folder; it is as big as the books.
        const QString target = env.root() + QStringLiteral("/out-data");
        writeFile(target + QStringLiteral("/.kddata.BA_.4194399.tmp"), QByteArray(4096, 'x'));
        QVERIFY(exportTo(env.db(), QStringLiteral("002"), target));
        QCOMPARE(filesIn(target), (QStringList{QStringLiteral("kddata.BA_"), QStringLiteral("KdErpAct.Lst"), QStringLiteral("KdErpAct.sum")}));
    }

    void delete_aFailingTransactionLeavesBooksAndRows()
    {
        TestRoot env;
        Database mirror(env.makeMirror());
        const QString books = env.root() + QStringLiteral("/books");
        for (Database* db : {&env.db(), &mirror})
            makeSet(*db, QStringLiteral("001"), books, 2024, db == &env.db());
        const QString file = AccountDb::databasePath(books, QStringLiteral("001"), 2024);
        fillBooks(file, 100, 0);
        const QByteArray booksBefore = readAll(file);
        const QStringList rowsBefore = setRows(env.db(), QStringLiteral("001"));
        // One target table refuses, after others have already lost their rows.
        env.db().execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON SM_Log BEGIN SELECT RAISE(ABORT, 'injected'); END"));
        QCOMPARE(AccountDeletion::deleteSet(env.db(), QStringLiteral("001")), AccountDeletion::Result::RowsKept);
        QCOMPARE(readAll(file), booksBefore);
        QCOMPARE(setRows(env.db(), QStringLiteral("001")), rowsBefore);
        QCOMPARE(setRows(mirror, QStringLiteral("001")), rowsBefore);
        QCOMPARE(filesIn(QFileInfo(file).path()), QStringList{QStringLiteral("KdData.mdb")});
        QVERIFY(!QFile::exists(AccountDeletion::pendingPath(env.db())));
        // Once the table accepts again, the set goes entirely.
        env.db().execute(QStringLiteral("DROP TRIGGER refuse"));
        QCOMPARE(AccountDeletion::deleteSet(env.db(), QStringLiteral("001")), AccountDeletion::Result::Deleted);
        QVERIFY(filesIn(QFileInfo(file).path()).isEmpty());
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Period where cAcc_Id='001'")), 0);
        QCOMPARE(count(mirror, QStringLiteral("select count(*) from SM_Account where cAcc_Id='001'")), 0);
        QVERIFY(!QFile::exists(AccountDeletion::pendingPath(env.db())));
    }

    void delete_aCrashAtAnyStepIsFinishedOrUndoneOnTheNextStart()
    {
        const QStringList steps{QStringLiteral("pending"), QStringLiteral("tombstone"), QStringLiteral("rows"),
                                QStringLiteral("mirror"), QStringLiteral("removed")};
        for (const QString& step : steps) {
            TestRoot env;
            Database mirror(env.makeMirror());
            const QString books = env.root() + QStringLiteral("/books");
            for (Database* db : {&env.db(), &mirror}) {
                makeSet(*db, QStringLiteral("001"), books, 2024, db == &env.db());
                makeSet(*db, QStringLiteral("002"), books, 2024, db == &env.db());
            }
            const QString file = AccountDb::databasePath(books, QStringLiteral("001"), 2024);
            fillBooks(file, 100, 0);
            const QByteArray booksBefore = readAll(file);
            const QStringList rowsBefore = setRows(env.db(), QStringLiteral("001"));
            const QStringList otherBefore = setRows(env.db(), QStringLiteral("002"));
            bool crashed = false;
            try {
                AccountDeletion::deleteSet(env.db(), QStringLiteral("001"), [&](const QString& at) {
                    if (at == step)
                        throw Killed();
                });
            } catch (const Killed&) {
                crashed = true;
            }
            QVERIFY2(crashed, qPrintable(step));
            // The next start, on a connection of its own.
            {
                Database restarted(env.sysDbPath());
                QVERIFY2(AccountDeletion::recover(restarted), qPrintable(step));
            }
            const bool committed = steps.indexOf(step) >= steps.indexOf(QStringLiteral("rows"));
            if (committed) {
                QVERIFY2(filesIn(QFileInfo(file).path()).isEmpty(), qPrintable(step));
                QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='001'")), 0);
                QCOMPARE(count(mirror, QStringLiteral("select count(*) from SM_Account where cAcc_Id='001'")), 0);
                QCOMPARE(count(mirror, QStringLiteral("select count(*) from SM_Period where cAcc_Id='001'")), 0);
            } else {
                QCOMPARE(filesIn(QFileInfo(file).path()), QStringList{QStringLiteral("KdData.mdb")});
                QCOMPARE(readAll(file), booksBefore);
                QCOMPARE(setRows(env.db(), QStringLiteral("001")), rowsBefore);
            }
            QCOMPARE(setRows(env.db(), QStringLiteral("002")), otherBefore);
            QVERIFY(QFile::exists(AccountDb::databasePath(books, QStringLiteral("002"), 2024)));
            QVERIFY(!QFile::exists(AccountDeletion::pendingPath(env.db())));
            // Nothing more to do on the start after.
            QVERIFY(AccountDeletion::recover(env.db()));
        }
    }

    void export_whileAnotherConnectionWritesIsOneMoment()
    {
        TestRoot env;
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), books);
        const QString file = AccountDb::databasePath(books, QStringLiteral("001"), 2024);
        fillBooks(file, 6000, 800);
        {
            Database acc(file);
            acc.execute(QStringLiteral("CREATE TABLE GL_Vouch (id INTEGER PRIMARY KEY, t TEXT)"));
            acc.execute(QStringLiteral("CREATE TABLE GL_Lines (id INTEGER PRIMARY KEY, t TEXT)"));
        }
        // Another program of the suite writes a voucher and its line in each transaction, all along.
        std::atomic<bool> stop{false};
        std::atomic<int> written{0};
        QThread* writer = QThread::create([&] {
            Database acc(file);
            acc.execute(QStringLiteral("PRAGMA synchronous=OFF"));
            for (int i = 1; !stop.load(); ++i) {
                try {
                    Database::Transaction t(acc);
                    acc.execute(QStringLiteral("INSERT INTO GL_Vouch VALUES (?, hex(randomblob(300)))"), {i});
                    acc.execute(QStringLiteral("UPDATE GL_accvouch SET cdigest=hex(randomblob(500)) WHERE i_id % 97 = ?"), {i % 97});
                    acc.execute(QStringLiteral("INSERT INTO GL_Lines VALUES (?, hex(randomblob(300)))"), {i});
                    t.commit();
                    written.store(i);
                } catch (const DbError&) {
                    // Busy while the export holds the books: the next transaction tries again.
                }
                // A person at a voucher form commits now and then, not without a pause.
                QThread::msleep(3);
            }
        });
        writer->start();
        while (written.load() < 20)
            QThread::msleep(5);
        for (int run = 0; run < 3; ++run) {
            const QString target = env.root() + QStringLiteral("/out%1").arg(run);
            const bool exported = exportTo(env.db(), QStringLiteral("001"), target);
            if (!exported) {
                stop = true;
                writer->wait();
                delete writer;
                QFAIL("export failed");
            }
            Database data(target + QStringLiteral("/kddata.BA_"));
            QCOMPARE(data.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            const QStringList moment = rows(data, QStringLiteral("select (select count(*) from GL_Vouch),(select max(id) from GL_Vouch),"
                                                                 "(select count(*) from GL_Lines),(select max(id) from GL_Lines)"));
            const QStringList c = moment.value(0).split(QLatin1Char('|'));
            QVERIFY2(c.size() == 4 && c[0] == c[2] && c[1] == c[3] && c[0].toInt() > 0, qPrintable(moment.value(0)));
        }
        stop = true;
        writer->wait();
        delete writer;
    }

    void export_leavesOutTheFreePagesOfCurrentTemplateBooks()
    {
        TestRoot env;
        {
            Database tmpl(TestRoot::templatePath());
            QCOMPARE(tmpl.scalar(QStringLiteral("PRAGMA auto_vacuum")).toInt(), 2);   // incremental
        }
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), books);
        // A few free pages (a twentieth of the file): incremental books lose them however few they
        // are (only books of older templates are compacted beyond a share of free pages).
        const QString live = AccountDb::databasePath(books, QStringLiteral("001"), 2024);
        fillBooks(live, 4000, 200);
        qint64 freeBytes = 0;
        {
            Database acc(live);
            freeBytes = acc.scalar(QStringLiteral("PRAGMA freelist_count")).toLongLong() * acc.scalar(QStringLiteral("PRAGMA page_size")).toLongLong();
            QVERIFY(freeBytes > 100 * 1024);
        }
        const QString target = env.root() + QStringLiteral("/out");
        QVERIFY(exportTo(env.db(), QStringLiteral("001"), target));
        const QString data = target + QStringLiteral("/kddata.BA_");
        Database d(data);
        QCOMPARE(d.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        QCOMPARE(d.scalar(QStringLiteral("PRAGMA freelist_count")).toInt(), 0);
        // The books' rows and transfer tables are all there, in less room than the books.
        // (The transfer tables take some of the free pages before the copy is made.)
        QVERIFY(QFileInfo(data).size() <= QFileInfo(live).size() - freeBytes / 2);
        QCOMPARE(count(d, QStringLiteral("select count(*) from GL_accvouch")), 4000);
        QCOMPARE(count(d, QStringLiteral("select count(*) from SM_Account_Ex")), 1);
        // The backup keeps the mode, so books restored from it are compacted the same way.
        QCOMPARE(d.scalar(QStringLiteral("PRAGMA auto_vacuum")).toInt(), 2);
    }
};

QObject* newExportTests()
{
    return new TstCoreExport;
}

#include "tst_core_export.moc"
