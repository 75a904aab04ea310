// An import stays inside its set, its year and its installation: it places books only in the set's
// own year folder when that folder is free or holds this installation's books of that set and year,
// never where a descriptor's folder points at other books; and it merges only the set's rows of that
// year, whatever else a changed and resealed backup set carries.
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <BackupSet.h>
#include <Database.h>

#include <QDir>
#include <QFileInfo>
#include <QtTest>

namespace {
constexpr int kYear = 2026;

// The installation's rows that an import of another set must leave as they are (the supervisors'
// role's right in set 001 of 2009 and the roles' industries are what every import sets).
QStringList othersRows(Database& db)
{
    QStringList out;
    out << rows(db, QStringLiteral("select cAcc_Id,iYear,cAcc_Path,cAcc_Name from SM_Account where cAcc_Id<>'003' order by 1,2"));
    out << rows(db, QStringLiteral("select * from SM_Period where cAcc_Id<>'003' order by 1,2,3"));
    out << rows(db, QStringLiteral("select * from SM_HoldAuth where cAcc_Id<>'003' and not (cUser_Id='DATA-MANAGER' and cAcc_Id='001' "
                                   "and iYear=2009) order by 1,2,3,4"));
    out << rows(db, QStringLiteral("select * from SM_Account_sub where cAcc_Id<>'003' order by 1,2,3"));
    out << rows(db, QStringLiteral("select cGroup_Id,cGroup_Name,cMemo from SM_Group order by 1"));
    out << rows(db, QStringLiteral("select * from SM_Role order by 1,2"));
    return out;
}

// The descriptor's line 5 replaced by raw bytes.
void setFolderLine(const QString& lst, const QByteArray& folder)
{
    QList<QByteArray> lines = readAll(lst).split('\n');
    lines[BackupSet::LineAccFolder - 1] = "cacc_path=" + folder + '\r';
    writeFile(lst, lines.join('\n'));
}
} // namespace

class tst_core_import_scope : public QObject {
    Q_OBJECT
private slots:
    void placement_anotherSetsBooksAreNeverReplaced()
    {
        // Sets 002 and 003 of one installation; 003's backup set points at 002's folder.
        BackupRoot env(QStringLiteral("003"), kYear);
        env.make(QStringLiteral("002"), kYear, env.root() + QStringLiteral("/out002"));
        const QString books002 = AccountDb::databasePath(env.books, QStringLiteral("002"), kYear);
        const QByteArray before002 = readAll(books002);
        const QStringList sys = dumpBesidesLog(env.db());
        const QString path002 = env.db().scalar(QStringLiteral("select cAcc_Path from SM_Account where cAcc_Id='002'")).toString();
        QVERIFY(BackupSet::rewriteFolder(env.lst, env.books + QStringLiteral("/zt002/")));

        // Kept, chosen or handed straight to the restore: never into zt002.
        AccountImporter importer(env.db());
        QVERIFY(importer.load(env.lst).isEmpty());
        const Notice kept = importer.keepFolder(true);
        QVERIFY2(kept.text.contains(QStringLiteral("zt003")), qPrintable(kept.text));
        ImportPlan plan = importer.plan();
        plan.targetDir = AccountDb::yearFolder(env.books, QStringLiteral("002"), kYear);
        plan.accFolder = AccountDb::accountFolder(env.books, QStringLiteral("002"));
        QCOMPARE(AccountImporter::restore(env.db(), plan).status, AccountImporter::Result::Status::Failed);
        // A folder of the right shape whose books another set of this installation uses.
        env.db().execute(QStringLiteral("update SM_Account set cAcc_Path=? where cAcc_Id='002'"), {env.root() + QStringLiteral("/elsewhere/")});
        QVERIFY(QDir().mkpath(env.root() + QStringLiteral("/elsewhere/zt002")));
        QVERIFY(QFile::rename(AccountDb::yearFolder(env.books, QStringLiteral("002"), kYear), env.root() + QStringLiteral("/elsewhere/zt002/2026")));
        QVERIFY(QDir().mkpath(env.root() + QStringLiteral("/elsewhere/zt003")));
        QVERIFY(QFile::link(env.root() + QStringLiteral("/elsewhere/zt002/2026"), env.root() + QStringLiteral("/elsewhere/zt003/2026")));
        const Notice linked = importer.placeIn(env.root() + QStringLiteral("/elsewhere"));
        QVERIFY2(linked.text.startsWith(QStringLiteral("帐套目录中已有本系统帐套[002]")), qPrintable(linked.text));
        QCOMPARE(readAll(env.root() + QStringLiteral("/elsewhere/zt002/2026/KdData.mdb")), before002);
        env.db().execute(QStringLiteral("update SM_Account set cAcc_Path=? where cAcc_Id='002'"), {path002});
        QVERIFY(QFile::remove(env.root() + QStringLiteral("/elsewhere/zt003/2026")));
        QVERIFY(QFile::rename(env.root() + QStringLiteral("/elsewhere/zt002/2026"), AccountDb::yearFolder(env.books, QStringLiteral("002"), kYear)));
        QCOMPARE(dumpBesidesLog(env.db()), sys);
        QCOMPARE(readAll(books002), before002);

        // Its own folder, which holds its own books: replaced after the question, as always.
        QVERIFY(importer.placeIn(env.books).isEmpty());
        QVERIFY(AccountImporter::restore(env.db(), importer.plan()).done());
        QCOMPARE(readAll(books002), before002);
        QVERIFY(QFileInfo(env.live).isFile());
    }

    void placement_anotherInstallationsBooksAreNeverReplaced()
    {
        // A backup taken from installation A, restored into a scratch installation B to test it.
        BackupRoot a(QStringLiteral("003"), kYear);
        const QByteArray liveA = readAll(a.live);
        TestRoot b;
        {
            AccountImporter importer(b.db());
            QVERIFY(importer.load(a.lst).isEmpty());
            const Notice refusal = importer.keepFolder(true);
            QVERIFY2(refusal.text.startsWith(QStringLiteral("帐套目录中已有不属于本系统帐套[003]2026年度的帐套数据")), qPrintable(refusal.text));
            QVERIFY(refusal.text.contains(a.folder));
        }
        // The command line stops and names the folder; with --folder it restores into B.
        const Run refused = run({b.root(), QStringLiteral("import"), a.backup}, {}, b.root());
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(a.folder) && refused.err.contains(QStringLiteral("--folder")), qPrintable(refused.err));
        QCOMPARE(readAll(a.live), liveA);
        QCOMPARE(count(b.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='003'")), 0);
        const Run placed = run({b.root(), QStringLiteral("import"), a.backup, QStringLiteral("--folder"), QStringLiteral("books")}, {}, b.root());
        QCOMPARE(placed.status, 0);
        QCOMPARE(b.db().scalar(QStringLiteral("select cAcc_Path from SM_Account where cAcc_Id='003'")).toString(), b.root() + QStringLiteral("/books/"));
        QVERIFY(QFileInfo(AccountDb::databasePath(b.root() + QStringLiteral("/books"), QStringLiteral("003"), kYear)).isFile());
        QCOMPARE(readAll(a.live), liveA);
        // Restored again, the books in B's folder are B's own now: kept, and nothing written, until
        // --yes replaces them.
        const QString booksB = AccountDb::databasePath(b.root() + QStringLiteral("/books"), QStringLiteral("003"), kYear);
        Database(booksB).execute(QStringLiteral("create table later_work (x integer)"));
        const QStringList before = dump(b.db());
        const QStringList again = {b.root(), QStringLiteral("import"), a.backup, QStringLiteral("--folder"), QStringLiteral("books")};
        const Run asked = run(again, {}, b.root());
        QVERIFY2(asked.status == 1 && asked.err.contains(QStringLiteral("[003]")) && asked.err.contains(QStringLiteral("--yes")),
                 qPrintable(asked.err));
        QCOMPARE(dump(b.db()), before);
        QVERIFY(Database(booksB).hasTable(QStringLiteral("later_work")));
        QCOMPARE(run(again + QStringList{QStringLiteral("--yes")}, {}, b.root()).status, 0);
        QVERIFY(!Database(booksB).hasTable(QStringLiteral("later_work")));
    }

    void placement_aRelativeOrUnreadableFolderIsNeverUsed()
    {
        BackupRoot env(QStringLiteral("003"), kYear);
        TestRoot other;
        const QString cwd = other.root() + QStringLiteral("/cwd");
        QVERIFY(QDir().mkpath(cwd));
        for (const QByteArray& line : {QByteArray("../x/zt003/"), QByteArray("zt003/"), QByteArray("/srv/\xff\xfe/zt003/")}) {
            const QString dir = other.root() + QStringLiteral("/case");
            QDir(dir).removeRecursively();
            copyBackup(env.backup, dir);
            setFolderLine(dir + QStringLiteral("/KdErpAct.Lst"), line);
            AccountImporter importer(other.db());
            QVERIFY(importer.load(dir + QStringLiteral("/KdErpAct.Lst")).isEmpty());
            QVERIFY2(importer.keepFolder(true).text.contains(QStringLiteral("不是可用的绝对路径")), line.constData());
            const Run r = run({other.root(), QStringLiteral("import"), dir}, {}, cwd);
            QCOMPARE(r.status, 1);
            QCOMPARE(QDir(cwd).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
            QVERIFY(!QFileInfo::exists(other.root() + QStringLiteral("/x")));
            QCOMPARE(count(other.db(), QStringLiteral("select count(*) from SM_Account")), 0);
        }
        // A folder typed relative to where the program runs is stored absolute, by the import and
        // by the making of a demonstration installation.
        QCOMPARE(run({QStringLiteral("rel-root"), QStringLiteral("--demo")}, {}, cwd, QStringLiteral("revozi-setup")).status, 0);
        {
            Database made(cwd + QStringLiteral("/rel-root/DeZaduzi/DeZaduzi.mdb"));
            QCOMPARE(made.scalar(QStringLiteral("select cAcc_Path from SM_Account")).toString(), cwd + QStringLiteral("/rel-root/"));
        }
        QVERIFY(QDir(cwd + QStringLiteral("/rel-root")).removeRecursively());
        const Run placed = run({other.root(), QStringLiteral("import"), env.backup, QStringLiteral("--folder"), QStringLiteral("../books")}, {}, cwd);
        QCOMPARE(placed.status, 0);
        QCOMPARE(other.db().scalar(QStringLiteral("select cAcc_Path from SM_Account")).toString(), other.root() + QStringLiteral("/books/"));
    }

    void merge_rowsOfOtherSetsYearsAndRolesStayOut_data() { TestEngine::addRows(); }
    void merge_rowsOfOtherSetsYearsAndRolesStayOut()
    {
        QFETCH(Engine, engine);
        SKIP_WITHOUT_SERVER(engine);
        // Set 003's backup set, changed and sealed again: it claims rows of set 002, of another
        // year of 003, and a role membership.
        BackupRoot files(QStringLiteral("003"), kYear);
        {
            Database data(files.backup + QStringLiteral("/kddata.BA_"));
            data.execute(QStringLiteral("insert into SM_HoldAuth_Ex (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('002',2026,'chenl','admin'),"
                                        "('003',2025,'chenl','admin'),('003',2026,'lijg','GL01')"));
            data.execute(QStringLiteral("insert into SM_Period_Ex (cAcc_Id,iYear,iId,dBegin,dEnd) values ('002',2026,1,'1999-01-01','1999-01-31')"));
            data.execute(QStringLiteral("insert into SM_Account_sub_Ex (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) values "
                                        "('002',2026,'GL',1,'2026-01-01'),('002',9999,'GL',1,'2026-01-01')"));
            data.execute(QStringLiteral("insert or ignore into SM_Account_Ex (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear) values (1,'003','前一年','/tmp/',2025)"));
            data.execute(QStringLiteral("insert or ignore into SM_Group_Ex (cGroup_Id,cGroup_Name) values ('DATA-MANAGER','账套主管'),('GHOST','幽灵')"));
            data.execute(QStringLiteral("insert or ignore into SM_Role_Ex (cGroup_Id,cUser_Id) values ('DATA-MANAGER','chenl'),('GHOST','chenl')"));
            data.execute(QStringLiteral("insert into SM_HoldAuth_Ex (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('003',2026,'GHOST','admin')"));
        }
        seal(files.backup);

        std::unique_ptr<ServerInstall> server;
        std::unique_ptr<TestRoot> plain;
        Database* sys = nullptr;
        if (engine == Engine::PostgreSQL) {
            server = std::make_unique<ServerInstall>();
            sys = server->sys;
        } else {
            plain = std::make_unique<TestRoot>();
            sys = &plain->db();
        }
        AccountSetInput in = TestRoot::setInput(QStringLiteral("002"), files.root() + QStringLiteral("/other"), QStringLiteral("2026"));
        QVERIFY(AccountSetCreator(*sys).create(in).done());
        const QStringList before = othersRows(*sys);
        const AccountImporter::Result r = import(*sys, files.lst, engine == Engine::SQLite ? plain->root() + QStringLiteral("/books") : QString());
        QVERIFY2(r.done(), qPrintable(r.notice.text));

        QCOMPARE(othersRows(*sys), before);
        QCOMPARE(rows(*sys, QStringLiteral("select iYear from SM_Account where cAcc_Id='003'")), QStringList{"2026"});
        QCOMPARE(rows(*sys, QStringLiteral("select cUser_Id,cAuth_Id from SM_HoldAuth where cAcc_Id='003' and cUser_Id<>'demo' order by 1")),
                 QStringList{"lijg|GL01"});
        QVERIFY2(r.notice.text.endsWith(QStringLiteral("本系统中没有角色GHOST，其在本帐套的权限未引入。")), qPrintable(r.notice.text));
        const QString logged = sys->scalar(QStringLiteral("select cContent from SM_Log where cAction='ACC_IMPORT' and cResult='成功'")).toString();
        for (const QString& counted : {QStringLiteral("SM_Account_Ex 1行"), QStringLiteral("SM_Period_Ex 1行"), QStringLiteral("SM_HoldAuth_Ex 2行"),
                                       QStringLiteral("SM_Account_sub_Ex 2行"), QStringLiteral("GHOST")})
            QVERIFY2(logged.contains(counted), qPrintable(logged));
    }
};

QObject* newImportScopeTests()
{
    return new tst_core_import_scope;
}

#include "tst_core_import_scope.moc"
