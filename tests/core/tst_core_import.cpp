// The import as the ways it used to lose data: a set of 2010 or later under a 19xx folder,
// another set's or an altered data file replacing sound books, a merge failure reported as
// success, and a crash leaving the set without books or with temporary copies behind.
#include "BackupFixture.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <AccountExporter.h>
#include <AccountImporter.h>
#include <AccountSetCreator.h>
#include <BackupSet.h>
#include <Database.h>
#include <Manifest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <atomic>
#include <functional>

namespace {
// The names an import leaves on disk while it works. A crash under one version is settled by the
// next, so they are fixed: changing one breaks recovery of what an older console left. (The
// third, KdErpImp.pending beside the system database, is BackupRoot::pending().)
const QString kCopy = QStringLiteral(".KdData.mdb.import");
const QString kAside = QStringLiteral(".KdData.mdb.replaced");

// A chart entry with a long name, as voucher texts are, and a log line of the set.
QByteArray longText() { return QByteArray(300, 'Q'); }
const QStringList kBookRows{QStringLiteral("insert into code (ccode,ccode_name) values ('9901','%1')").arg(QString::fromLatin1(longText()))};
const QStringList kSysRows{QStringLiteral("insert into SM_Log (iLog_Id,cAcc_Id,iYear,cSub_Id,cUser_Id,cContent) values (7,'$A',$Y,'GL','demo','记账')")};

// An installation whose set `acc` of 2026 is exported into ROOT/out.
struct Env : BackupRoot {
    explicit Env(const QString& acc = QStringLiteral("003")) : BackupRoot(acc, 2026, kSysRows, kBookRows) {}
    void make(const QString& acc, int year, const QString& dir) { BackupRoot::make(acc, year, dir, kSysRows, kBookRows); }
};

// A copy of the backup set in its own folder, to be spoilt by one case.
QString caseDir(Env& env, const QString& name)
{
    const QString dir = env.root() + QStringLiteral("/case ") + name;
    [&] {
        QVERIFY(QDir().mkpath(dir));
        writeFile(dir + QStringLiteral("/KdErpAct.Lst"), readAll(env.lst));
        writeFile(dir + QStringLiteral("/kddata.BA_"), readAll(env.backup + QStringLiteral("/kddata.BA_")));
    }();
    return dir;
}
} // namespace

class tst_core_import : public QObject {
    Q_OBJECT
private slots:
    void year_aSetKeptOverTwoYearsComesBackForTheYearExported()
    {
        // The console exports a set's first year; its transfer rows name every year it has, but
        // an import brings back only the year of its books.
        Env env;
        QVERIFY(AccountSetCreator(env.db()).create(TestRoot::setInput(QStringLiteral("003"), env.books, QStringLiteral("2025"))).done());
        const QString out = env.root() + QStringLiteral("/two years");
        QVERIFY(exportTo(env.db(), QStringLiteral("003"), out));
        QCOMPARE(BackupSet::readLine(out + QStringLiteral("/KdErpAct.Lst"), BackupSet::LineYear), QStringLiteral("YYear=25"));

        TestRoot other;
        const QString books = other.root() + QStringLiteral("/books");
        QVERIFY(QDir().mkpath(books));
        const AccountImporter::Result r = import(other.db(), out + QStringLiteral("/KdErpAct.Lst"), books);
        QVERIFY2(r.done(), qPrintable(r.notice.text));
        // Only the year of the backup set comes in; the other year's row is left out and counted.
        QCOMPARE(rows(other.db(), QStringLiteral("select iYear from SM_Account where cAcc_Id='003' order by 1")), QStringList{QStringLiteral("2025")});
        QCOMPARE(count(other.db(), QStringLiteral("select count(*) from SM_Period where cAcc_Id='003' and iYear<>2025")), 0);
        QVERIFY(other.db().scalar(QStringLiteral("select cContent from SM_Log where cAction='ACC_IMPORT' and cResult='成功'")).toString()
                    .contains(QStringLiteral("SM_Account_Ex 1行")));
        QVERIFY(QFileInfo(books + QStringLiteral("/zt003/2025/KdData.mdb")).isFile());
    }

    void year_aSetOf2026RoundTripsAndStaysUsable()
    {
        Env env;
        const QString acc = QStringLiteral("003");
        // An export step that failed leaves its table out of the data file: the rest still comes back.
        Database(env.backup + QStringLiteral("/kddata.BA_")).execute(QStringLiteral("DROP TABLE SM_Log_Ex"));
        seal(env.backup);
        QVERIFY(AccountDeletion::DelAccFiles(env.db(), acc));
        QVERIFY(AccountDeletion::DelDbInfo(env.db(), acc));
        const AccountImporter::Result r = import(env.db(), env.lst, env.books);
        QVERIFY2(r.done(), qPrintable(r.notice.text));
        QCOMPARE(rows(env.db(), QStringLiteral("select iYear,(select count(*) from SM_Period where cAcc_Id=?),(select count(*) from SM_Log "
                                               "where cAcc_Id=? and cSub_Id<>'AA') from SM_Account where cAcc_Id=?"), {acc, acc, acc}),
                 QStringList{QStringLiteral("2026|12|0")});
        QCOMPARE(filesIn(env.folder), QStringList{QStringLiteral("KdData.mdb")});
        QVERIFY(!QFileInfo::exists(env.books + QStringLiteral("/zt003/1926")));
        QCOMPARE(AccountDb::open(env.db(), acc)->path(), env.live);
        QVERIFY(!QFileInfo::exists(env.pending()));

        // Modified, exported and deleted again, each finding the books under 2026.
        AccountSetCreator creator(env.db());
        AccountSetInput in = TestRoot::setInput(acc, env.books, QStringLiteral("2026"));
        in.accName = QStringLiteral("改名账套");
        const AccountSetOutcome modified = creator.modify(in);
        QVERIFY2(modified.done(), qPrintable(modified.notice.text));
        QCOMPARE(rows(env.db(), QStringLiteral("select cAcc_Name from SM_Account where cAcc_Id=?"), {acc}), QStringList{QStringLiteral("改名账套")});
        const QString again = env.root() + QStringLiteral("/again");
        QVERIFY(exportTo(env.db(), acc, again));
        QCOMPARE(BackupSet::readLine(again + QStringLiteral("/KdErpAct.Lst"), BackupSet::LineYear), QStringLiteral("YYear=26"));
        QVERIFY(AccountDeletion::DelAccFiles(env.db(), acc));
        QVERIFY(AccountDeletion::DelDbInfo(env.db(), acc));
        QVERIFY(!QFileInfo::exists(env.live));
        QCOMPARE(rows(env.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {acc}), QStringList{QStringLiteral("0")});

        // A data file without its set's row still comes back, under the descriptor's own year rule.
        const QString old = caseDir(env, QStringLiteral("no row"));
        Database(old + QStringLiteral("/kddata.BA_")).execute(QStringLiteral("delete from SM_Account_Ex"));
        seal(old);
        QVERIFY(QDir().mkpath(env.books + QStringLiteral("/zt003/1926")));
        QVERIFY(import(env.db(), old + QStringLiteral("/KdErpAct.Lst")).done());
        QVERIFY(QFileInfo(env.books + QStringLiteral("/zt003/1926/KdData.mdb")).isFile());
    }

    void refusals_eachLossIsRefusedBeforeAnythingChanges()
    {
        Env env;
        const QString other = env.root() + QStringLiteral("/out004");
        env.make(QStringLiteral("004"), 2026, other);
        const QByteArray liveBytes = readAll(env.live);
        const QByteArray lst = readAll(env.lst);
        const QStringList sys = dumpBesidesLog(env.db());
        QStringList logged = auditRows(env.db());
        // Each refusal, failure or stop changes nothing but leaves its row.
        auto unchanged = [&](const QString& name) {
            QCOMPARE(readAll(env.live), liveBytes);
            QCOMPARE(dumpBesidesLog(env.db()), sys);
            const QStringList now = auditRows(env.db());
            QVERIFY2(oneFailedImportRow(logged, now), qPrintable(name + QStringLiteral(": ") + now.join(QLatin1Char(' '))));
            logged = now;
            QCOMPARE(filesIn(env.folder), QStringList{QStringLiteral("KdData.mdb")});
            QVERIFY(!QFileInfo::exists(env.pending()));
        };
        const QString data = QStringLiteral("/kddata.BA_");
        const QString warn = AccountImporter::title();
        // Each case spoils a copy of the backup set without its manifest (one from before manifests)
        // or, sealed again, with a manifest that matches the spoilt data file.
        const QList<std::tuple<const char*, std::function<void(const QString&)>, QString, QString>> cases = {
            {"no data file", [&](const QString& d) { QVERIFY(QFile::remove(d + data)); },
             QStringLiteral("找不到要引入的文件！"), QString()},
            {"nine lines", [&](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), lst.split('\n').mid(0, 9).join('\n')); },
             QStringLiteral("引入文件不完整（只有9行），无法引入！"), warn},
            {"not a descriptor", [](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), "PK\x03\x04 zip"); },
             QStringLiteral("所选文件不是帐套数据备份文件，无法引入！"), warn},
            {"bad set number", [&](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), QByteArray(lst).replace("cAcc_Id=003", "cAcc_Id=3'x")); },
             QStringLiteral("引入文件中的帐套号[3'x]无效，无法引入！"), warn},
            {"text as data", [&](const QString& d) {
                 QVERIFY(QFile::remove(d + data));
                 writeFile(d + QStringLiteral("/KDDATA.ba_"), "not a database");
             }, QStringLiteral("引入的数据文件不是帐套数据，无法引入！"), warn},
            // Damage confined to a table the merge never reads, with no manifest: only the check can find it.
            {"damaged data", [&](const QString& d) {
                 Database f(d + data);
                 f.execute(QStringLiteral("CREATE TABLE GL_accvouch AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c "
                                          "LIMIT 3000) SELECT x, hex(randomblob(40)) AS t FROM c"));
                 const int page = f.scalar(QStringLiteral("PRAGMA page_size")).toInt();
                 f.close();
                 seal(d);
                 QVERIFY(QFile::remove(d + QStringLiteral("/KdErpAct.sum")));
                 QByteArray bytes = readAll(d + data);
                 bytes.replace(bytes.size() - 2 * page, page, QByteArray(page, char(0xA5)));
                 writeFile(d + data, bytes);
             }, QStringLiteral("引入的数据文件已损坏，无法引入！"), warn},
            {"kept folder missing", [&](const QString& d) {
                 QVERIFY(BackupSet::rewriteFolder(d + QStringLiteral("/KdErpAct.Lst"), env.root() + QStringLiteral("/gone/zt003/")));
             }, QStringLiteral("帐套目录不存在："), warn},
            {"another set's data file", [&](const QString& d) {
                 writeFile(d + data, readAll(other + data));
                 seal(d);
             }, QStringLiteral("引入的数据文件是帐套[004]的数据，不是引入文件中的帐套[003]，无法引入！"), warn},
            {"64 bytes changed in the middle", [&](const QString& d) {
                 seal(d);
                 QByteArray bytes = readAll(d + data);
                 const qsizetype at = bytes.indexOf(longText());
                 QVERIFY(at > 0);
                 bytes.replace(at + 100, 64, QByteArray(64, 'W'));
                 writeFile(d + data, bytes);
             }, QStringLiteral("引入的数据文件与校验文件KdErpAct.sum中的校验值不符，文件已被改动或损坏，无法引入！"), warn},
            {"shorter than Bytes=", [&](const QString& d) {
                 QByteArray bytes = readAll(d + data);
                 const int page = Database(d + data).scalar(QStringLiteral("PRAGMA page_size")).toInt();
                 writeFile(d + data, bytes.left(bytes.size() - page));
             }, QStringLiteral("引入的数据文件大小为"), warn},
            {"not the books", [&](const QString& d) {
                 Database f(d + data);
                 for (const char* t : {"AccInformation", "GradeDef", "code"})
                     f.execute(QStringLiteral("DROP TABLE %1").arg(QLatin1String(t)));
                 f.close();
                 seal(d);
             }, QStringLiteral("引入的数据文件中没有帐套库的表（AccInformation、GradeDef、code），不是帐套数据，无法引入！"), warn},
            {"another year's data file", [&](const QString& d) {
                 Database(d + data).execute(QStringLiteral("update SM_Account_Ex set iYear=2025"));
                 seal(d);
             }, QStringLiteral("引入的数据文件是2025年度的数据，与引入文件中的年度[26]不符，无法引入！"), warn},
            {"unreadable manifest", [&](const QString& d) {
                 writeFile(d + QStringLiteral("/KdErpAct.sum"), "[BackupSum]\r\nVersion=1\r\nBytes=12\r\n");
             }, QStringLiteral("校验文件KdErpAct.sum无法使用，无法引入！"), warn},
        };
        for (const auto& [name, spoil, message, title] : cases) {
            const QString dir = caseDir(env, QLatin1String(name));
            spoil(dir);
            const AccountImporter::Result r = import(env.db(), dir + QStringLiteral("/KdErpAct.Lst"));
            QVERIFY2(r.notice.text.startsWith(message), qPrintable(QLatin1String(name) + QStringLiteral(": ") + r.notice.text));
            QCOMPARE(r.status, AccountImporter::Result::Status::Failed);
            QCOMPARE(r.notice.title, title);
            QCOMPARE(r.notice.icon, title.isEmpty() ? Notice::Icon::None : Notice::Icon::Exclamation);
            unchanged(QLatin1String(name));
        }
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/gone")));

        // The data file changes between the questions and the restore: the copy's own size,
        // checksum and identity are what count (a whole other set, sealed, only by the last).
        enum Late { Grown, Edited, OtherSet };
        for (Late late : {Grown, Edited, OtherSet}) {
            const QString dir = caseDir(env, QStringLiteral("late %1").arg(int(late)));
            if (late != Grown)
                seal(dir);
            AccountImporter importer(env.db());
            QVERIFY(importer.load(dir + QStringLiteral("/KdErpAct.Lst")).isEmpty());
            QVERIFY(importer.keepFolder().isEmpty());
            QByteArray bytes = readAll(dir + data);
            if (late == Edited)
                bytes.replace(bytes.indexOf(longText()), 64, QByteArray(64, 'W'));
            else if (late == Grown)
                bytes.append(QByteArray(4096, '\0'));
            else
                bytes = readAll(other + data);
            writeFile(dir + data, bytes);
            if (late == OtherSet)
                seal(dir);
            const AccountImporter::Result r = AccountImporter::restore(env.db(), importer.plan());
            QCOMPARE(r.status, AccountImporter::Result::Status::Failed);
            const QString expected = late == Grown    ? QStringLiteral("引入的数据文件大小为")
                                     : late == Edited ? QStringLiteral("引入的数据文件与校验文件")
                                                      : QStringLiteral("引入的数据文件是帐套[004]的数据");
            QVERIFY2(r.notice.text.startsWith(expected), qPrintable(r.notice.text));
            unchanged(dir);
        }

        // Stopped before the copy, after the checked copy, and with the merge done but not committed.
        for (int at : {-1, 60, 90}) {
            int last = 0;
            std::atomic<bool> cancel(at < 0);
            WorkControl control;
            control.cancel = &cancel;
            control.progress = [&](int p) { cancel = cancel || (last = p) == at; };
            const AccountImporter::Result r = import(env.db(), env.lst, QString(), control);
            QVERIFY(r.status == AccountImporter::Result::Status::Cancelled && r.notice.isEmpty());
            QCOMPARE(last, qMax(at, 0));
            unchanged(QStringLiteral("stopped at %1").arg(at));
        }

        // Another program reads the books through a write-ahead log: they are not replaced.
        Database(env.backup + data).execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        seal(env.backup);
        {
            Database reader(env.live);
            reader.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
            reader.scalar(QStringLiteral("select count(*) from code"));
            const QByteArray walBytes = readAll(env.live);
            QVERIFY(import(env.db(), env.lst).notice.text.startsWith(QStringLiteral("帐套[003]的账套库正在使用，无法覆盖：")));
            QCOMPARE(readAll(env.live), walBytes);
            QCOMPARE(dumpBesidesLog(env.db()), sys);
            QCOMPARE(auditRows(env.db()).last(), QStringLiteral("003|ACC_IMPORT|失败"));
        }

        // A sound backup set, its data file in WAL mode and left as it is, goes in: the books come
        // back with a rollback journal.
        QVERIFY(import(env.db(), env.lst).done());
        QCOMPARE(filesIn(env.backup), (QStringList{"kddata.BA_", "KdErpAct.Lst", "KdErpAct.sum"}));
        QCOMPARE(filesIn(env.folder), QStringList{"KdData.mdb"});
        QCOMPARE(Database(env.live).scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    }

    void merge_aFailureAnywhereLeavesBooksAndRowsAsTheyWere()
    {
        Env env;
        const QString acc = QStringLiteral("003");
        // A transfer table without a column that the merge reads.
        const QString changed = caseDir(env, QStringLiteral("changed"));
        {
            Database f(changed + QStringLiteral("/kddata.BA_"));
            f.execute(QStringLiteral("CREATE TABLE p AS SELECT cAcc_Id,iYear,iId,dBegin FROM SM_Period_Ex"));
            f.execute(QStringLiteral("DROP TABLE SM_Period_Ex"));
            f.execute(QStringLiteral("ALTER TABLE p RENAME TO SM_Period_Ex"));
        }
        seal(changed);
        // Over the existing set and as a new set: the books and rows are those from before.
        for (bool existing : {true, false}) {
            if (!existing) {
                QVERIFY(AccountDeletion::DelAccFiles(env.db(), acc));
                QVERIFY(AccountDeletion::DelDbInfo(env.db(), acc));
                QVERIFY(QDir().mkpath(env.folder));
            }
            const QByteArray liveBytes = readAll(env.live);
            const QStringList sys = dumpBesidesLog(env.db());
            QStringList logged = auditRows(env.db());
            // A table in the middle of the merge refuses its rows, or the merge misses a column.
            for (const QString& why : {QStringLiteral("injected"), QStringLiteral("dEnd")}) {
                const bool injected = why == QLatin1String("injected");
                if (injected)
                    env.db().execute(QStringLiteral("CREATE TRIGGER injected BEFORE INSERT ON SM_HoldAuth "
                                                    "BEGIN SELECT RAISE(ABORT,'injected'); END"));
                const AccountImporter::Result r = import(env.db(), injected ? env.lst : changed + QStringLiteral("/KdErpAct.Lst"));
                if (injected)
                    env.db().execute(QStringLiteral("DROP TRIGGER injected"));
                QCOMPARE(r.status, AccountImporter::Result::Status::Failed);
                QVERIFY2(r.notice.text.startsWith(QStringLiteral("帐套[003]引入失败：")) && r.notice.text.contains(why),
                         qPrintable(r.notice.text));
                QCOMPARE(readAll(env.live), liveBytes);
                // Rolled back whole: the import's own row says it failed, and nothing else is written.
                QCOMPARE(dumpBesidesLog(env.db()), sys);
                logged << QStringLiteral("003|ACC_IMPORT|失败");
                QCOMPARE(auditRows(env.db()), logged);
                QCOMPARE(filesIn(env.folder), existing ? QStringList{QStringLiteral("KdData.mdb")} : QStringList{});
                QVERIFY(!QFileInfo::exists(env.pending()));
            }
        }
    }

    void recovery_aCrashAtEachStepLeavesTheOldSetOrTheNewOne()
    {
        Env env;
        const QByteArray oldBooks = readAll(env.live);
        // The checked copy as the import leaves it before its merge, and the books it becomes
        // once the merge has committed.
        const QString work = env.root() + QStringLiteral("/work");
        QVERIFY(QDir().mkpath(work));
        writeFile(work + QStringLiteral("/copy"), readAll(env.backup + QStringLiteral("/kddata.BA_")));
        Database(work + QStringLiteral("/copy")).execute(QStringLiteral("CREATE TABLE KdImportPending (cAcc_Id TEXT)"));
        const QByteArray copy = readAll(work + QStringLiteral("/copy"));
        {
            Database merged(work + QStringLiteral("/copy"));
            merged.execute(QStringLiteral("DROP TABLE SM_Account_Ex"));
            merged.execute(QStringLiteral("DROP TABLE KdImportPending"));
        }
        const QByteArray committed = readAll(work + QStringLiteral("/copy"));
        const QString books = env.folder + QStringLiteral("/KdData.mdb");
        const QString aside = env.folder + QLatin1Char('/') + kAside;
        const QString temp = env.folder + QLatin1Char('/') + kCopy;

        struct Step {
            const char* name;
            QByteArray books, aside, temp;  // null: no such file
            QByteArray expected;            // the books after recovery; null: none
        };
        const QList<Step> steps = {
            {"copying", oldBooks, {}, copy.left(copy.size() / 2), oldBooks},
            {"copied and checked", oldBooks, {}, copy, oldBooks},
            {"old books moved aside", {}, oldBooks, copy, oldBooks},
            {"copy in place, merge not committed", copy, oldBooks, {}, oldBooks},
            {"merge committed", committed, oldBooks, {}, committed},
            {"old books removed", committed, {}, {}, committed},
            {"a new set's copy in place, not committed", copy, {}, {}, {}},
        };
        for (const Step& s : steps) {
            for (const auto& [path, bytes] : {std::pair{books, s.books}, std::pair{aside, s.aside}, std::pair{temp, s.temp}}) {
                QFile::remove(path);
                if (!bytes.isNull())
                    writeFile(path, bytes);
            }
            writeFile(env.pending(), QDir(env.folder).absolutePath().toUtf8());
            QString why;
            QVERIFY2(AccountImporter::recover(env.db(), &why), qPrintable(QLatin1String(s.name) + QStringLiteral(": ") + why));
            QVERIFY2(readAll(books) == s.expected, s.name);
            QCOMPARE(filesIn(env.folder), s.expected.isNull() ? QStringList{} : QStringList{QStringLiteral("KdData.mdb")});
            QVERIFY2(!QFileInfo::exists(env.pending()), s.name);
        }

        // Copies that imports of earlier versions left in a listed set's year folder, and a crash
        // settled by the next import rather than the next start.
        writeFile(books, oldBooks);
        writeFile(env.folder + QStringLiteral("/.kddata.mdb.4242.import"), copy);
        QVERIFY(AccountImporter::recover(env.db()));
        QCOMPARE(filesIn(env.folder), QStringList{QStringLiteral("KdData.mdb")});
        QFile::remove(books);
        writeFile(aside, oldBooks);
        writeFile(temp, copy);
        writeFile(env.pending(), QDir(env.folder).absolutePath().toUtf8());
        QVERIFY(import(env.db(), env.lst).done());
        QCOMPARE(filesIn(env.folder), QStringList{QStringLiteral("KdData.mdb")});
        QVERIFY(!QFileInfo::exists(env.pending()));
    }
};

QObject* newImportTests()
{
    return new tst_core_import;
}

#include "tst_core_import.moc"
