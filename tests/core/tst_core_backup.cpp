// Backup sets without windows: the descriptor, the export's transfer tables and copies, the
// deletion of a set, and the import's checks and restore.
#include "TestFiles.h"
#include "TestRoot.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <AccountExporter.h>
#include <AccountImporter.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {
int count(Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

QStringList rows(Database& db, const QString& sql, const QVariantList& params = {})
{
    QStringList out;
    for (Recordset rs = db.query(sql, params); !rs.Eof(); rs.MoveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.FieldCount(); ++i)
            cells << (rs.Fields(i).isNull() ? QStringLiteral("<null>") : rs.Fields(i).toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// Every row of every table, to show that a refused or stopped import wrote nothing.
QStringList dump(Database& db)
{
    QStringList out;
    for (const QString& t : db.tables()) {
        QStringList r = rows(db, QStringLiteral("select * from \"%1\"").arg(t));
        r.sort();
        out << t << r;
    }
    return out;
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

// An account set as creation leaves it: its row, twelve periods, its CreateAcc entry and,
// unless told otherwise, the template copied into its year folder.
void makeSet(Database& db, const QString& acc, const QString& name, const QString& path, int year, bool withFile = true)
{
    db.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master) values (?,?,?,?,?,1,'demo')"),
               {acc.toInt() + 100, acc, name, path, year});
    for (int m = 1; m <= 12; ++m) {
        const QDate first(year, m, 1);
        db.execute(QStringLiteral("insert into SM_Period (cAcc_Id,iYear,iId,dBegin,dEnd) values (?,?,?,?,?)"),
                   {acc, year, m, first, first.addMonths(1).addDays(-1)});
    }
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CreateAcc (cAcc_Id TEXT COLLATE NOCASE, cAcc_Name TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("insert into CreateAcc (cAcc_Id,cAcc_Name) values (?,?)"), {acc, name});
    if (withFile) {
        QVERIFY(CiFile::mkpath(AccountDb::yearFolder(path, acc, year)));
        QVERIFY(QFile::copy(TestRoot::templatePath(), AccountDb::databasePath(path, acc, year)));
    }
}

// The system rows that belong to set 001, and some of set 002 that must stay out of its backup.
void addSystemRows(Database& db)
{
    db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2024,'DATA-MANAGER','admin'),"
                              "('001',2024,'chenl','GL0101'),('001',2025,'lijg','GL'),('001',2024,'admin','admin'),"
                              "('002',2024,'MANAGER-FA','FA'),('002',2024,'wangxy','FA')"));
    db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('DATA-MANAGER','demo'),('DATA-MANAGER','chenl'),('MANAGER-FA','zhaozg')"));
    db.execute(QStringLiteral("insert into SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) values "
                              "('RE9001','本账套报表','RE',1,'RE','001'),('RE9002','他账套报表','RE',1,'RE','002'),"
                              "('RE9003','共用报表','RE',1,'RE','')"));
    db.execute(QStringLiteral("insert into SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) values "
                              "('001',2024,'GL',1,'2024-01-01'),('001',9999,'GL',1,'2024-01-01'),('002',2024,'FA',1,'2024-01-01')"));
    db.execute(QStringLiteral("insert into SM_Log (iLog_Id,cAcc_Id,iYear,cSub_Id,cUser_Id,cContent) values "
                              "(1,'001',2024,'GL','chenl','记账'),(2,'001',2024,'GL','lijg','结账'),(3,'002',2024,'FA','wangxy','折旧')"));
    db.execute(QStringLiteral("insert into SM_FlowItems (cAccId,cFlow_Id,iItem_Id,cItem_Name,iOrder) values ('001','F1',1,'填制',1),('002','F1',1,'填制',1)"));
    db.execute(QStringLiteral("insert into SM_FlowLines (cAccId,cFlow_Id,iFrom_Item,iTo_Item) values ('001','F1',1,2),('002','F1',1,2)"));
    db.execute(QStringLiteral("insert into SM_Identity (cAcc_Id,cTable,iFatherId,iChildId) values ('001','GL_accvouch',10,20),('002','GL_accvouch',1,2)"));
}

void exportTo(Database& db, const QString& acc, const QString& dir)
{
    QVERIFY(QDir().mkpath(dir));
    AccountExporter exporter(db, acc);
    QVERIFY(exporter.prepare());
    QVERIFY(exporter.writeBackupSet(dir, true));
}

// A set with what the grant dialogs, enabling and the modules leave in the system database,
// exported into `backupDir`.
void buildAndExport(Database& db, const QString& acc, const QString& books, int year, const QString& backupDir)
{
    makeSet(db, acc, QStringLiteral("远航 O'Brien 账套"), books, year);
    const QVariantList ay{acc, year};
    db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('AUDIT','审计')"));
    db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('AUDIT','lijg'),('AUDIT','wangxy')"));
    db.execute(QStringLiteral("insert or ignore into SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) "
                              "values ('RE9001','本账套报表','RE',1,'RE',?)"), {acc});
    for (const char* h : {"demo|admin", "chenl|GL01", "chenl|GL0101", "zhoum|FA01", "zhoum|RE9001", "AUDIT|GL0102", "DATA-MANAGER|admin"}) {
        const QStringList uh = QString::fromLatin1(h).split(QLatin1Char('|'));
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,?)"), ay + QVariantList{uh[0], uh[1]});
    }
    db.execute(QStringLiteral("insert into SM_Account_sub (cAcc_Id,iYear,cSub_Id,iModiPeri,dSubSysUsed) values (?,?,'GL',1,'2008-01-01'),"
                              "(?,9999,'GL',1,'2008-01-01'),(?,9999,'PS',1,'2008-01-01')"), {acc, year, acc, acc});
    db.execute(QStringLiteral("insert into SM_Log (iLog_Id,cAcc_Id,iYear,cSub_Id,cUser_Id,cContent) values (7,?,?,'GL','chenl','记账')"), ay);
    db.execute(QStringLiteral("insert into SM_FlowItems (cAccId,cFlow_Id,iItem_Id,cItem_Name,iOrder) values (?,'F1',1,'填制',1)"), {acc});
    db.execute(QStringLiteral("insert into SM_Identity (cAcc_Id,cTable,iFatherId,iChildId) values (?,'GL_accvouch',10,NULL)"), {acc});
    Database(AccountDb::databasePath(books, acc, year)).execute(QStringLiteral("insert into code (ccode,ccode_name) values ('1001','库存现金')"));
    exportTo(db, acc, backupDir);
}

// An installation with set `acc` of `year` in ROOT/books, exported into ROOT/out.
struct ImportRoot : TestRoot {
    QString books = root() + QStringLiteral("/books");
    QString backup = root() + QStringLiteral("/out");
    QString lst = backup + QStringLiteral("/KdErpAct.Lst");
    QString live;
    explicit ImportRoot(const QString& acc = QStringLiteral("003"), int year = 2008)
        : live(AccountDb::databasePath(books, acc, year))
    {
        buildAndExport(db(), acc, books, year, backup);
    }
    QStringList yearFiles(const QString& year = QStringLiteral("2008")) { return filesIn(books + QStringLiteral("/zt003/") + year); }
};

// The rows that belong to a set, its folder aside.
QStringList setRows(Database& db, const QString& acc)
{
    QStringList out;
    const QList<std::pair<const char*, const char*>> tables = {
        {"SM_Account", "iSysID,cAcc_Id,cAcc_Name,iYear,iMonth,cAcc_Master,cCurName,cUnitName,cEntType,cTradeKind"},
        {"SM_Period", "*"}, {"SM_HoldAuth", "*"}, {"SM_Account_sub", "*"}, {"SM_Log", "*"}, {"SM_Identity", "*"}};
    for (const auto& [table, columns] : tables)
        out << QLatin1String(table)
            << rows(db, QStringLiteral("select %1 from %2 where cAcc_Id=? order by 1,2,3,4").arg(QLatin1String(columns), QLatin1String(table)), {acc});
    out << rows(db, QStringLiteral("select * from SM_FlowItems where cAccId=?"), {acc});
    out << rows(db, QStringLiteral("select cAuth_Id,cAuth_Name,cAcc_Id from SM_Auth where cSub_Id='RE' order by 1"));
    out << rows(db, QStringLiteral("select cGroup_Id,cGroup_Name from SM_Group order by 1"));
    out << rows(db, QStringLiteral("select * from SM_Role order by 1,2"));
    return out;
}

// load, the kept or a new folder, and the restore, as the console runs them after its questions.
AccountImporter::Result import(Database& sys, const QString& lst, const QString& newFolder = QString(), const WorkControl& control = {})
{
    AccountImporter importer(sys);
    Notice refusal = importer.load(lst);
    if (refusal.isEmpty())
        refusal = newFolder.isEmpty() ? importer.keepFolder() : importer.placeIn(newFolder);
    if (!refusal.isEmpty())
        return {AccountImporter::Result::Status::Failed, refusal};
    return AccountImporter::restore(sys, importer.plan(), control);
}
} // namespace

class tst_core_backup : public QObject {
    Q_OBJECT
private slots:
    void descriptor_readingRules()
    {
        QTemporaryDir dir;
        const QString lst = dir.filePath(QStringLiteral("KdErpAct.Lst"));
        writeFile(lst, "[BackRetInfo]\r\nType=Account\r\ncAcc_Id=007\r\niSysId=107\r\n/books/zt007/\r\nVersion=1.00\r\n"
                       "VersionEx=V8.520\r\nDate=x\r\nYCount=1\r\nYYear=10\r\nBackup=true");
        const BackupSet::Descriptor d = BackupSet::readDescriptor(lst);
        QCOMPARE(d.accId, QStringLiteral("007"));
        QCOMPARE(d.sysId, QStringLiteral("107"));
        QCOMPARE(d.accFolder, QStringLiteral("/books/zt007/"));   // no "=": the whole line
        QCOMPARE(d.year, QStringLiteral("1910"));
        QCOMPARE(BackupSet::fourDigitYear(QStringLiteral("05")), QStringLiteral("2005"));
        QCOMPARE(BackupSet::lineValue(QStringLiteral("cacc_path=/a=b/")), QStringLiteral("/a=b/"));
        QCOMPARE(BackupSet::readLine(lst, 19), QString());
        QCOMPARE(BackupSet::readLine(dir.filePath(QStringLiteral("missing.lst")), 1), QString());
        // Fewer than ten lines: no year digits, which expand to "19".
        const QString shortLst = dir.filePath(QStringLiteral("short.lst"));
        writeFile(shortLst, "[BackRetInfo]\r\nType=Account\r\ncAcc_Id=007");
        QCOMPARE(BackupSet::readDescriptor(shortLst).year, QStringLiteral("19"));
        // The data file lies beside the descriptor, whatever the case of its name.
        writeFile(dir.filePath(QStringLiteral("KDDATA.BA_")), "x");
        QCOMPARE(BackupSet::dataFilePath(lst), dir.filePath(QStringLiteral("KDDATA.BA_")));

        // A new folder replaces line 5 only.
        const QList<QByteArray> oldLines = readAll(lst).split('\n');
        QVERIFY(BackupSet::rewriteFolder(lst, QStringLiteral("/新账套/zt007/")));
        QList<QByteArray> expected = oldLines;   // every line now ends with CR LF
        expected[4] = QStringLiteral("cacc_path=/新账套/zt007/\r").toUtf8();
        expected.last() += '\r';
        expected << QByteArray();
        QCOMPARE(readAll(lst).split('\n'), expected);
    }

    void export_writesTheBackupSetOrKeepsWhatWasThere()
    {
        TestRoot env;
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books + QStringLiteral("/"), 2024);
        makeSet(env.db(), QStringLiteral("003"), QStringLiteral("旧账套"), books, 2010);
        makeSet(env.db(), QStringLiteral("004"), QStringLiteral("无目录"), books, 2024, false);
        const QString target = env.root() + QStringLiteral("/备份");
        for (const QString& acc : {QStringLiteral("001"), QStringLiteral("003")}) {
            exportTo(env.db(), acc, target);
            const QString year = acc == QLatin1String("001") ? QStringLiteral("2024") : QStringLiteral("2010");
            const QString accFolder = books + QStringLiteral("/zt") + acc + QStringLiteral("/");
            const QString yearFolder = accFolder + year + QStringLiteral("/");
            const QByteArray raw = readAll(target + QStringLiteral("/KdErpAct.Lst"));
            const QStringList lines = QString::fromUtf8(raw).split(QStringLiteral("\r\n"));
            const qint64 bytes = QFileInfo(target + QStringLiteral("/kddata.BA_")).size();
            const QString date = lines.value(7).mid(5);
            QVERIFY(bytes > 0 && lines.value(7).startsWith(QStringLiteral("Date=")) && !date.isEmpty());
            const QStringList expected = {
                QStringLiteral("[BackRetInfo]"), QStringLiteral("Type=Account"), QStringLiteral("cAcc_Id=") + acc,
                QStringLiteral("iSysId=") + QString::number(acc.toInt() + 100), QStringLiteral("cacc_path=") + accFolder,
                QStringLiteral("Version=1.00"), QStringLiteral("VersionEx=V8.520"), lines[7], QStringLiteral("YCount=1"),
                QStringLiteral("YYear=") + year.mid(2), QStringLiteral("Backup=true"), QStringLiteral("Disks=0"),
                QStringLiteral("Bytes=%1").arg(bytes), QStringLiteral("[FileInfo]"), QStringLiteral("Count=1"),
                QStringLiteral("File1=") + yearFolder + QStringLiteral("KDDATA.BAK"), QStringLiteral("[Files]"),
                QStringLiteral("File1=1,,KDDATA.BA_,KDDATA.BAK,") + accFolder + QStringLiteral(",,,") + date + QStringLiteral(",%1").arg(bytes),
            };
            QCOMPARE(lines, expected);   // 18 lines, none after the last
            // The prepared copy was moved on, the work copy is gone, and the live books keep
            // only the four transfer tables that the next export drops first.
            QCOMPARE(filesIn(yearFolder), QStringList{QStringLiteral("KdData.mdb")});
            QStringList left = Database(yearFolder + QStringLiteral("KdData.mdb")).tables().filter(QRegularExpression(QStringLiteral("_Ex$")));
            QCOMPARE(left, (QStringList{QStringLiteral("SM_Auth_Ex"), QStringLiteral("SM_FlowItems_Ex"),
                                        QStringLiteral("SM_FlowLines_Ex"), QStringLiteral("SM_Identity_Ex")}));
        }
        QCOMPARE(BackupSet::readDescriptor(target + QStringLiteral("/kderpact.lst")).year, QStringLiteral("1910"));

        const QString prepared = books + QStringLiteral("/zt001/2024/kddata.BAK");
        AccountExporter exporter(env.db(), QStringLiteral("001"));
        QVERIFY(exporter.prepare());
        // The chosen folder is gone: the prepared copy stays in the year folder.
        QString error;
        QVERIFY(!exporter.writeBackupSet(env.root() + QStringLiteral("/usb"), true, &error));
        QVERIFY(!error.isEmpty() && CiFile::isFile(prepared));
        // The descriptor cannot be written: an earlier backup set there is left as it was.
        const QString out = env.root() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(out + QStringLiteral("/KdErpAct.Lst")));
        writeFile(out + QStringLiteral("/kddata.BA_"), "earlier backup");
        QVERIFY(!exporter.writeBackupSet(out, true));
        QCOMPARE(readAll(out + QStringLiteral("/kddata.BA_")), QByteArray("earlier backup"));
        QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{QStringLiteral("kddata.BA_"), QStringLiteral("KdErpAct.Lst")}));
        QVERIFY(CiFile::isFile(prepared));
        // A set without its folders: nothing to copy, and no folder is made for it.
        QVERIFY(!AccountExporter(env.db(), QStringLiteral("004")).prepare());
        QVERIFY(!CiFile::exists(books + QStringLiteral("/zt004")));
        QVERIFY(!AccountExporter(env.db(), QStringLiteral("009")).found());
    }

    void export_transferTablesHoldTheSetsRows()
    {
        TestRoot env;
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books, 2024);
        makeSet(env.db(), QStringLiteral("002"), QStringLiteral("他账套"), books, 2024);
        addSystemRows(env.db());
        const QString target = env.root() + QStringLiteral("/out");
        // Another program keeps the books open and has just written to them.
        Database other(AccountDb::databasePath(books, QStringLiteral("001"), 2024));
        other.execute(QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER, ccode TEXT, md REAL)"));
        other.execute(QStringLiteral("INSERT INTO GL_accvouch VALUES (1,'1001',100.5),(2,'1002',-3)"));
        exportTo(env.db(), QStringLiteral("001"), target);
        {
            Database data(target + QStringLiteral("/kddata.BA_"));
            QCOMPARE(data.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            for (const QString& t : AccountExporter::transferTables())
                QVERIFY2(data.hasTable(t), qPrintable(t));
            QCOMPARE(count(data, QStringLiteral("select count(*) from GL_accvouch")), 2);
            QCOMPARE(rows(data, QStringLiteral("select cAcc_Id from SM_Account_Ex")), QStringList{QStringLiteral("001")});
            QCOMPARE(rows(data, QStringLiteral("select cAcc_Id,count(*) from SM_Period_Ex group by 1")), QStringList{QStringLiteral("001|12")});
            QCOMPARE(rows(data, QStringLiteral("select cGroup_Id from SM_Group_Ex")), QStringList{QStringLiteral("DATA-MANAGER")});
            QCOMPARE(rows(data, QStringLiteral("select cUser_Id from SM_Role_Ex order by 1")), (QStringList{QStringLiteral("chenl"), QStringLiteral("demo")}));
            // Holders that are operators (not the administrator), then members of the copied roles, once each.
            QCOMPARE(rows(data, QStringLiteral("select cUser_Id from SM_User_Ex order by 1")),
                     (QStringList{QStringLiteral("chenl"), QStringLiteral("demo"), QStringLiteral("lijg")}));
            QCOMPARE(rows(data, QStringLiteral("select cAuth_Id from SM_Auth_Ex where cAuth_Id like 'RE9%' order by 1")),
                     (QStringList{QStringLiteral("RE9001"), QStringLiteral("RE9003")}));
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Auth_Ex where cSub_Id<>'RE'")), 0);
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Auth_Ex where cAcc_Id is null")), 5);
            QCOMPARE(rows(data, QStringLiteral("select iYear,count(*) from SM_HoldAuth_Ex group by iYear order by iYear")),
                     (QStringList{QStringLiteral("2024|3"), QStringLiteral("2025|1")}));
            QCOMPARE(rows(data, QStringLiteral("select iYear from SM_Account_sub_Ex order by iYear")), (QStringList{QStringLiteral("2024"), QStringLiteral("9999")}));
            QCOMPARE(rows(data, QStringLiteral("select cAcc_Id from SM_Log_Ex")), (QStringList{QStringLiteral("001"), QStringLiteral("001")}));
            for (const char* t : {"SM_FlowItems_Ex", "SM_FlowLines_Ex"})
                QCOMPARE(rows(data, QStringLiteral("select cAccId from %1").arg(QLatin1String(t))), QStringList{QStringLiteral("001")});
            QCOMPARE(rows(data, QStringLiteral("select iChildId from SM_Identity_Ex")), QStringList{QStringLiteral("20")});
            // The copies keep the source's layout: types and the case-blind comparison.
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_User_Ex where cUser_Id='CHENL'")), 1);
            QCOMPARE(data.scalar(QStringLiteral("select typeof(iYear) from SM_Account_Ex")).toString(), QStringLiteral("integer"));
        }
        // A second export after the rows changed: every table refreshed, none doubled.
        env.db().execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2024,'zhoum','GL')"));
        env.db().execute(QStringLiteral("delete from SM_Log where iLog_Id=2"));
        env.db().execute(QStringLiteral("update SM_Auth set cAuth_Name='本账套报表二' where cAuth_Id='RE9001'"));
        exportTo(env.db(), QStringLiteral("001"), target);
        Database data(target + QStringLiteral("/kddata.BA_"));
        QCOMPARE(rows(data, QStringLiteral("select cUser_Id from SM_User_Ex order by 1")),
                 (QStringList{QStringLiteral("chenl"), QStringLiteral("demo"), QStringLiteral("lijg"), QStringLiteral("zhoum")}));
        QCOMPARE(rows(data, QStringLiteral("select (select count(*) from SM_Log_Ex),(select count(*) from SM_Auth_Ex),"
                                           "(select count(*) from SM_FlowItems_Ex),(select count(*) from SM_Period_Ex)")),
                 QStringList{QStringLiteral("1|7|1|12")});
        QCOMPARE(data.scalar(QStringLiteral("select cAuth_Name from SM_Auth_Ex where cAuth_Id='RE9001'")).toString(), QStringLiteral("本账套报表二"));
    }

    void export_copiesOfCompactedAndWalBooks()
    {
        TestRoot env;
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books, 2024);
        makeSet(env.db(), QStringLiteral("002"), QStringLiteral("日志账套"), books, 2024);
        const QString live = AccountDb::databasePath(books, QStringLiteral("001"), 2024);
        {
            Database acc(live);
            acc.execute(QStringLiteral("CREATE TABLE scratch AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c LIMIT 2000) "
                                       "SELECT hex(randomblob(500)) AS t FROM c"));
            acc.execute(QStringLiteral("DROP TABLE scratch"));
        }
        // Another program switched the books of 002 to WAL and keeps them open: its rows are not in the file yet.
        Database other(AccountDb::databasePath(books, QStringLiteral("002"), 2024));
        other.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        other.execute(QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER, ccode TEXT)"));
        other.execute(QStringLiteral("INSERT INTO GL_accvouch VALUES (1,'1001')"));
        for (const QString& acc : {QStringLiteral("001"), QStringLiteral("002")}) {
            const QString target = env.root() + QStringLiteral("/out") + acc;
            exportTo(env.db(), acc, target);
            Database data(target + QStringLiteral("/kddata.BA_"));
            QCOMPARE(data.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Account_Ex")), 1);
            if (acc == QLatin1String("001")) {
                QCOMPARE(data.scalar(QStringLiteral("PRAGMA freelist_count")).toInt(), 0);
                QVERIFY(QFileInfo(target + QStringLiteral("/kddata.BA_")).size() * 2 < QFileInfo(live).size());
            } else {
                QCOMPARE(count(data, QStringLiteral("select count(*) from GL_accvouch")), 1);
            }
        }
        // A system table that cannot be copied: the rest is exported.
        env.db().execute(QStringLiteral("DROP TABLE SM_Log"));
        AccountExporter exporter(env.db(), QStringLiteral("001"));
        QVERIFY(!exporter.prepare());
        QVERIFY(exporter.writeBackupSet(env.root() + QStringLiteral("/out001"), false));
        QCOMPARE(BackupSet::readLine(env.root() + QStringLiteral("/out001/KdErpAct.Lst"), 11), QStringLiteral("Backup=false"));
        Database data(env.root() + QStringLiteral("/out001/kddata.BA_"));
        QVERIFY(!data.hasTable(QStringLiteral("SM_Log_Ex")) && data.hasTable(QStringLiteral("SM_HoldAuth_Ex")));
    }

    void delete_booksAndRowsInBothDatabasesUnlessInUse()
    {
        TestRoot env;
        Database mirror(env.makeMirror());
        const QString books = env.root() + QStringLiteral("/books");
        for (Database* db : {&env.db(), &mirror}) {
            for (const char* acc : {"001", "002", "003", "005"})
                makeSet(*db, QLatin1String(acc), QStringLiteral("甲"), books, 2024, db == &env.db());
            addSystemRows(*db);
        }
        QVERIFY(AccountDeletion::DelAccFiles(env.db(), QStringLiteral("001")));
        QVERIFY(AccountDeletion::DelDbInfo(env.db(), QStringLiteral("001")));
        QVERIFY(!QFile::exists(AccountDb::databasePath(books, QStringLiteral("001"), 2024)));
        QVERIFY(QFileInfo(books + QStringLiteral("/zt001/2024")).isDir());
        QVERIFY(QFile::exists(AccountDb::databasePath(books, QStringLiteral("002"), 2024)));
        for (Database* db : {&env.db(), &mirror}) {
            for (const char* t : {"SM_HoldAuth", "CreateAcc", "SM_Period", "SM_Account_sub", "SM_Log", "SM_Account"}) {
                QCOMPARE(count(*db, QStringLiteral("select count(*) from %1 where cAcc_Id='001'").arg(QLatin1String(t))), 0);
                QVERIFY(count(*db, QStringLiteral("select count(*) from %1 where cAcc_Id='002'").arg(QLatin1String(t))) > 0);
            }
            // Flows, running numbers, the set's report permissions, roles and operators stay.
            QCOMPARE(rows(*db, QStringLiteral("select (select count(*) from SM_FlowItems where cAccId='001'),(select count(*) from SM_Identity "
                                              "where cAcc_Id='001'),(select count(*) from SM_Auth where cAcc_Id='001'),(select count(*) from SM_Role)")),
                     QStringList{QStringLiteral("1|1|1|3")});
        }
        // A set without books, and one without its SM_Account row whose books are then not touched.
        QVERIFY(QFile::remove(AccountDb::databasePath(books, QStringLiteral("002"), 2024)));
        env.db().execute(QStringLiteral("delete from SM_Account where cAcc_Id='003'"));
        for (const QString acc : {QStringLiteral("002"), QStringLiteral("003")}) {
            QVERIFY(AccountDeletion::DelAccFiles(env.db(), acc));
            QVERIFY(AccountDeletion::DelDbInfo(env.db(), acc));
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from CreateAcc where cAcc_Id=?"), {acc}), 0);
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Period where cAcc_Id=?"), {acc}), 0);
        }
        QVERIFY(QFile::exists(AccountDb::databasePath(books, QStringLiteral("003"), 2024)));
        // Books that another program is writing stay.
        const QString file = AccountDb::databasePath(books, QStringLiteral("005"), 2024);
        Database writer(file);
        writer.execute(QStringLiteral("BEGIN IMMEDIATE"));
        writer.execute(QStringLiteral("UPDATE AccInformation SET cValue=cValue"));
        QVERIFY(!AccountDeletion::DelAccFiles(env.db(), QStringLiteral("005")));
        QVERIFY(QFile::exists(file));
        writer.execute(QStringLiteral("ROLLBACK"));
    }

    void import_roundTripRestoresTheSetAndReimportDoublesNothing()
    {
        ImportRoot env;
        const QStringList before = setRows(env.db(), QStringLiteral("003"));
        QVERIFY(AccountDeletion::DelAccFiles(env.db(), QStringLiteral("003")));
        QVERIFY(AccountDeletion::DelDbInfo(env.db(), QStringLiteral("003")));
        const AccountImporter::Result r = import(env.db(), env.lst);
        QVERIFY(r.done());
        QCOMPARE(r.notice.text, QStringLiteral("帐套[003]引入成功！"));
        QCOMPARE(r.notice.title, QStringLiteral("管理软件【系统管理】"));
        QCOMPARE(r.notice.icon, Notice::Icon::Question);
        QStringList expected = before;
        // The supervisors' role holds no right of an imported set; the cleared module's use date goes.
        expected.removeOne(QStringLiteral("003|2008|DATA-MANAGER|admin"));
        expected.replaceInStrings(QStringLiteral("003|9999|PS|1|2008-01-01"), QStringLiteral("003|9999|PS|1|<null>"));
        QCOMPARE(setRows(env.db(), QStringLiteral("003")), expected);
        QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Path from SM_Account where cAcc_Id='003'")).toString(), env.books + QStringLiteral("/"));
        QCOMPARE(rows(env.db(), QStringLiteral("select cAcc_Id from CreateAcc")), QStringList{QStringLiteral("003")});
        QCOMPARE(rows(env.db(), QStringLiteral("select cAcc_Id,iYear from SM_HoldAuth where cUser_Id='DATA-MANAGER'")), QStringList{QStringLiteral("001|2009")});
        QCOMPARE(rows(env.db(), QStringLiteral("select cTradeKinds from SM_Group where cGroup_Id='AUDIT'")), QStringList{QStringLiteral("|BZ|")});
        {
            auto books = AccountDb::open(env.db(), QStringLiteral("003"));
            QCOMPARE(rows(*books, QStringLiteral("select ccode from code")), QStringList{QStringLiteral("1001")});
            QCOMPARE(books->tables().filter(QRegularExpression(QStringLiteral("_Ex$"))), QStringList{QStringLiteral("SM_Auth_Ex")});
            QCOMPARE(rows(*books, QStringLiteral("select cValue,cDefault from AccInformation where cID='AA' and cName='iSystemID'")),
                     QStringList{QStringLiteral("103|103")});
        }
        QCOMPARE(env.yearFiles(), QStringList{QStringLiteral("KdData.mdb")});
        // The same backup again over the restored set: nothing is doubled.
        const QStringList restored = dump(env.db());
        QVERIFY(import(env.db(), env.lst).done());
        QCOMPARE(dump(env.db()), restored);
    }

    void import_intoANewFolderOfAnotherInstallation()
    {
        QTemporaryDir backupDir;
        const QString backup = backupDir.path() + QStringLiteral("/u盘");
        {
            TestRoot origin;
            buildAndExport(origin.db(), QStringLiteral("003"), origin.root() + QStringLiteral("/books"), 2008, backup);
        }
        const QString lst = backup + QStringLiteral("/KdErpAct.Lst");
        TestRoot env;
        // This installation has no operator zhoum and no grade-two ledger permission GL0102.
        env.db().execute(QStringLiteral("delete from SM_User where cUser_Id='zhoum'"));
        env.db().execute(QStringLiteral("delete from SM_Auth where cAuth_Id='GL0102'"));
        env.db().execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('DATA-MANAGER','demo')"));
        const QStringList users = rows(env.db(), QStringLiteral("select * from SM_User order by 1"));
        const QString chosen = env.root() + QStringLiteral("/新 账套");
        QVERIFY(QDir().mkpath(chosen));
        QVERIFY(import(env.db(), lst, chosen).done());
        QCOMPARE(BackupSet::readDescriptor(lst).accFolder, chosen + QStringLiteral("/zt003/"));
        QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Path from SM_Account where cAcc_Id='003'")).toString(), chosen + QStringLiteral("/"));
        QCOMPARE(AccountDb::open(env.db(), QStringLiteral("003"))->path(), chosen + QStringLiteral("/zt003/2008/KdData.mdb"));
        // Holdings come back for permissions this installation knows, roles and memberships once,
        // operators not at all.
        QCOMPARE(rows(env.db(), QStringLiteral("select cUser_Id,cAuth_Id from SM_HoldAuth where cAcc_Id='003' order by 1,2")),
                 (QStringList{QStringLiteral("chenl|GL01"), QStringLiteral("chenl|GL0101"), QStringLiteral("demo|admin"),
                              QStringLiteral("zhoum|FA01"), QStringLiteral("zhoum|RE9001")}));
        QCOMPARE(rows(env.db(), QStringLiteral("select cAcc_Id from SM_Auth where cAuth_Id='RE9001'")), QStringList{QStringLiteral("003")});
        QCOMPARE(rows(env.db(), QStringLiteral("select * from SM_Role order by 1,2")),
                 (QStringList{QStringLiteral("AUDIT|lijg"), QStringLiteral("AUDIT|wangxy"), QStringLiteral("DATA-MANAGER|demo")}));
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Group where cGroup_Id in ('AUDIT','DATA-MANAGER')")), 2);
        QCOMPARE(rows(env.db(), QStringLiteral("select * from SM_User order by 1")), users);
        QCOMPARE(rows(env.db(), QStringLiteral("select iYear from SM_Account_sub where cAcc_Id='003' and cSub_Id='GL' order by 1")),
                 (QStringList{QStringLiteral("2008"), QStringLiteral("9999")}));
    }

    void import_refusalsAndFailuresChangeNothing()
    {
        ImportRoot env;
        // Damage confined to a table the merge never reads: only the check can find it.
        Database(env.backup + QStringLiteral("/kddata.BA_")).execute(QStringLiteral("CREATE TABLE GL_accvouch AS WITH RECURSIVE c(x) AS "
            "(SELECT 1 UNION ALL SELECT x+1 FROM c LIMIT 3000) SELECT x, hex(randomblob(40)) AS t FROM c"));
        // The descriptor records the size of the data file it was written with.
        writeFile(env.lst, readAll(env.lst).replace("Bytes=" + QByteArray::number(BackupSet::readDescriptor(env.lst).bytes),
                                                    "Bytes=" + QByteArray::number(QFileInfo(env.backup + QStringLiteral("/kddata.BA_")).size())));
        const QByteArray liveBytes = readAll(env.live);
        const QByteArray lst = readAll(env.lst);
        const QByteArray data = readAll(env.backup + QStringLiteral("/kddata.BA_"));
        const int pageSize = Database(env.backup + QStringLiteral("/kddata.BA_")).scalar(QStringLiteral("PRAGMA page_size")).toInt();
        QByteArray damaged = data;
        damaged.replace(damaged.size() - 2 * pageSize, pageSize, QByteArray(pageSize, char(0xA5)));
        const QStringList sys = dump(env.db());
        auto unchanged = [&](const QStringList& rowsBefore) {
            QCOMPARE(readAll(env.live), liveBytes);
            QCOMPARE(dump(env.db()), rowsBefore);
            QCOMPARE(env.yearFiles(), QStringList{QStringLiteral("KdData.mdb")});
        };
        const QString warn = QStringLiteral("管理软件【系统管理】");
        const QList<std::tuple<const char*, std::function<void(const QString&)>, QString, QString>> cases = {
            {"no data file", [](const QString& d) { QVERIFY(QFile::remove(d + QStringLiteral("/kddata.BA_"))); },
             QStringLiteral("找不到要引入的文件！"), QString()},
            {"nine lines", [&](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), lst.split('\n').mid(0, 9).join('\n')); },
             QStringLiteral("引入文件不完整（只有9行），无法引入！"), warn},
            {"not a descriptor", [](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), "PK\x03\x04 zip"); },
             QStringLiteral("所选文件不是帐套数据备份文件，无法引入！"), warn},
            {"bad set number", [&](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), QByteArray(lst).replace("cAcc_Id=003", "cAcc_Id=3'x")); },
             QStringLiteral("引入文件中的帐套号[3'x]无效，无法引入！"), warn},
            {"text as data", [](const QString& d) {
                 QVERIFY(QFile::remove(d + QStringLiteral("/kddata.BA_")));
                 writeFile(d + QStringLiteral("/KDDATA.ba_"), "not a database");
             }, QStringLiteral("引入的数据文件不是帐套数据，无法引入！"), warn},
            {"damaged data", [&](const QString& d) { writeFile(d + QStringLiteral("/kddata.BA_"), damaged); },
             QStringLiteral("引入的数据文件已损坏，无法引入！"), warn},
            {"kept folder missing", [&](const QString& d) {
                 QVERIFY(BackupSet::rewriteFolder(d + QStringLiteral("/KdErpAct.Lst"), env.root() + QStringLiteral("/gone/zt003/")));
             }, QStringLiteral("帐套目录不存在："), warn},
        };
        for (const auto& [name, spoil, message, title] : cases) {
            const QString dir = env.root() + QStringLiteral("/case ") + QLatin1String(name);
            QVERIFY(QDir().mkpath(dir));
            writeFile(dir + QStringLiteral("/KdErpAct.Lst"), lst);
            writeFile(dir + QStringLiteral("/kddata.BA_"), data);
            spoil(dir);
            const AccountImporter::Result r = import(env.db(), dir + QStringLiteral("/KdErpAct.Lst"));
            QVERIFY2(r.notice.text.startsWith(message), qPrintable(r.notice.text));
            QCOMPARE(r.status, AccountImporter::Result::Status::Failed);
            QCOMPARE(r.notice.title, title);
            QCOMPARE(r.notice.icon, title.isEmpty() ? Notice::Icon::None : Notice::Icon::Exclamation);
            unchanged(sys);
        }
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/gone")));

        // The merge is all or nothing: a failure in one of its last tables undoes the set's rows
        // already merged.
        QVERIFY(AccountDeletion::DelDbInfo(env.db(), QStringLiteral("003")));
        const QStringList withoutSet = dump(env.db());
        env.db().execute(QStringLiteral("CREATE TRIGGER injected BEFORE INSERT ON SM_Log BEGIN SELECT RAISE(ABORT,'injected'); END"));
        const AccountImporter::Result r = import(env.db(), env.lst);
        QCOMPARE(r.status, AccountImporter::Result::Status::Failed);
        QVERIFY2(r.notice.text.startsWith(QStringLiteral("帐套[003]引入失败：")), qPrintable(r.notice.text));
        unchanged(withoutSet);
    }

    void import_cancelBeforeTheCommitLeavesNothing()
    {
        ImportRoot env;
        const QByteArray liveBytes = readAll(env.live);
        const QStringList sys = dump(env.db());
        int last = 0;
        // Stopped before the copy, after the checked copy, and with the merge done but not committed.
        for (int at : {-1, 60, 90}) {
            std::atomic<bool> cancel(at < 0);
            WorkControl control;
            control.cancel = &cancel;
            control.progress = [&](int p) {
                last = p;
                cancel = cancel || p == at;
            };
            const AccountImporter::Result r = import(env.db(), env.lst, QString(), control);
            QCOMPARE(r.status, AccountImporter::Result::Status::Cancelled);
            QVERIFY(r.notice.isEmpty());
            QCOMPARE(last, qMax(at, 0));
            QCOMPARE(readAll(env.live), liveBytes);
            QCOMPARE(dump(env.db()), sys);
            QCOMPARE(env.yearFiles(), QStringList{QStringLiteral("KdData.mdb")});
        }
    }

    void import_walBackupAndBooksInUse()
    {
        ImportRoot env;
        Database(env.backup + QStringLiteral("/kddata.BA_")).execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        {
            // Another program reads the books through a write-ahead log: they are not replaced.
            Database reader(env.live);
            reader.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
            reader.scalar(QStringLiteral("select count(*) from code"));
            const QByteArray liveBytes = readAll(env.live);
            const QStringList sys = dump(env.db());
            QVERIFY(import(env.db(), env.lst).notice.text.startsWith(QStringLiteral("帐套[003]的账套库正在使用，无法覆盖：")));
            QCOMPARE(readAll(env.live), liveBytes);
            QCOMPARE(dump(env.db()), sys);
        }
        // A data file in WAL mode is left as it is; the books come back with a rollback journal.
        QVERIFY(import(env.db(), env.lst).done());
        QCOMPARE(filesIn(env.backup), (QStringList{QStringLiteral("kddata.BA_"), QStringLiteral("KdErpAct.Lst")}));
        QCOMPARE(env.yearFiles(), QStringList{QStringLiteral("KdData.mdb")});
        QCOMPARE(Database(env.live).scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    }

    void import_aSetOf2010RestoresIntoItsYearFolder()
    {
        ImportRoot env(QStringLiteral("004"), 2010);
        // An export step that failed leaves its table out of the data file: the rest still comes back.
        Database(env.backup + QStringLiteral("/kddata.BA_")).execute(QStringLiteral("DROP TABLE SM_Log_Ex"));
        QVERIFY(AccountDeletion::DelAccFiles(env.db(), QStringLiteral("004")));
        QVERIFY(AccountDeletion::DelDbInfo(env.db(), QStringLiteral("004")));
        // The year folder is not made when the folder is kept, so it must be there already.
        QVERIFY(QDir().mkpath(env.books + QStringLiteral("/zt004/2010")));
        QVERIFY(import(env.db(), env.lst).done());
        QVERIFY(QFileInfo(env.live).isFile());
        QCOMPARE(rows(env.db(), QStringLiteral("select iYear,(select count(*) from SM_Period where cAcc_Id='004'),(select count(*) from SM_Log "
                                               "where cAcc_Id='004') from SM_Account where cAcc_Id='004'")), QStringList{QStringLiteral("2010|12|0")});
    }
};

QTEST_GUILESS_MAIN(tst_core_backup)
#include "tst_core_backup.moc"
