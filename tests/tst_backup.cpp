// Backup sets, the export through its four windows, and the deletion of an account set.
#include "Scripts.h"
#include "TestEnv.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountExporter.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>
#include <FrmDelAcc.h>
#include <Module1.h>
#include <Paths.h>
#include <frmAccExport.h>
#include <frmMain.h>
#include <frmWait.h>
#include <frmwaiting.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

using namespace Module1;

namespace {
int count(Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

QStringList column(Database& db, const QString& sql)
{
    QStringList out;
    for (Recordset rs = db.query(sql); !rs.Eof(); rs.MoveNext())
        out << rs.Fields(0).toString();
    return out;
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
    if (!db.hasTable(QStringLiteral("CreateAcc")))
        db.execute(QStringLiteral("CREATE TABLE CreateAcc (cAcc_Id TEXT COLLATE NOCASE, cAcc_Name TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("insert into CreateAcc (cAcc_Id,cAcc_Name) values (?,?)"), {acc, name});
    if (withFile) {
        QVERIFY(CiFile::mkpath(AccountDb::yearFolder(path, acc, year)));
        QVERIFY(QFile::copy(TestEnv::templatePath(), AccountDb::databasePath(path, acc, year)));
    }
}

// The system rows that belong to set 001, and some of set 002 that must stay out of its backup.
void addSystemRows(Database& db)
{
    const char* holdings[][4] = {
        {"001", "2024", "DATA-MANAGER", "admin"}, {"001", "2024", "chenl", "GL0101"},
        {"001", "2025", "lijg", "GL"},            {"001", "2024", "admin", "admin"},
        {"002", "2024", "MANAGER-FA", "FA"},      {"002", "2024", "wangxy", "FA"},
    };
    for (auto& h : holdings)
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,?)"),
                   {h[0], QString::fromLatin1(h[1]).toInt(), h[2], h[3]});
    for (auto& r : {std::pair{"DATA-MANAGER", "demo"}, {"DATA-MANAGER", "chenl"}, {"MANAGER-FA", "zhaozg"}})
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values (?,?)"), {r.first, r.second});
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

// The export as a person runs it: the three windows after 确认 are played by their scripts.
struct ExportRun {
    MsgBoxScript msgs;
    ModalScript modals;
    QString target;            // the folder picked in frmAccExport
    bool cancel = false;       // 放弃 instead of 确认
    QList<int> waitingBar;     // frmwaiting's bar before and after each tick
    int waitBar = -1;          // frmWait's bar when it loads
    QStringList captions;
    std::function<void()> beforeOk;

    ExportRun()
    {
        modals.on(QStringLiteral("frmwaiting"), [this](QDialog& d) {
            auto& f = static_cast<frmwaiting&>(d);
            captions << f.windowTitle();
            waitingBar << f.ProgressBar1->value();
            for (int tick = 0; tick < 4; ++tick) {
                f.Timer1_Timer();
                waitingBar << f.ProgressBar1->value();
            }
            return d.result();
        });
        modals.on(QStringLiteral("frmWait"), [this](QDialog& d) {
            auto& f = static_cast<frmWait&>(d);
            captions << f.windowTitle();
            waitBar = f.ProgressBar1->value();
            f.Timer1_Timer();
            return d.result();
        });
        modals.on(QStringLiteral("frmAccExport"), [this](QDialog& d) {
            auto& f = static_cast<frmAccExport&>(d);
            captions << f.windowTitle();
            if (cancel) {
                f.cmdExit->click();
                return d.result();
            }
            f.Dir1->setCurrentIndex(f.dirModel->index(target));
            if (beforeOk)
                beforeOk();
            f.cmdOK->click();
            return d.result();
        });
    }
};

void choose(FrmDelAcc& f, const QString& item)
{
    const int i = f.ComboAcc->findText(item);
    QVERIFY2(i >= 0, qPrintable(item));
    f.ComboAcc->setCurrentIndex(i);
}

// 确认 runs after the click has been handled, as the queued connection has it.
void press(QPushButton* b)
{
    b->click();
    QCoreApplication::processEvents();
}
} // namespace

class tst_backup : public QObject {
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
        const QByteArray before = readAll(lst);
        QVERIFY(BackupSet::rewriteFolder(lst, QStringLiteral("/新账套/zt007/")));
        const QList<QByteArray> oldLines = before.split('\n');
        const QList<QByteArray> newLines = readAll(lst).split('\n');
        QCOMPARE(newLines.size(), oldLines.size() + 1);   // every line now ends with CR LF
        for (int i = 0; i < oldLines.size(); ++i) {
            if (i == 4)
                QCOMPARE(QString::fromUtf8(newLines[i]), QStringLiteral("cacc_path=/新账套/zt007/\r"));
            else
                QCOMPARE(newLines[i].chopped(newLines[i].endsWith('\r') ? 1 : 0), oldLines[i].chopped(oldLines[i].endsWith('\r') ? 1 : 0));
        }
        QCOMPARE(BackupSet::readDescriptor(lst).accFolder, QStringLiteral("/新账套/zt007/"));
    }

    void export_writesBackupSetThroughItsWindows()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books + QStringLiteral("/"), 2024);
        makeSet(env.db(), QStringLiteral("003"), QStringLiteral("旧账套"), books, 2010);
        const QString target = env.root() + QStringLiteral("/备份");
        QVERIFY(QDir().mkpath(target));

        FrmDelAcc f;
        f.Form_Load();
        QCOMPARE(f.windowTitle(), QStringLiteral("账套备份"));
        QCOMPARE(f.ComboAcc->count(), 2);
        QCOMPARE(f.ComboAcc->itemText(0), QStringLiteral("[001]演示账套"));
        QCOMPARE(f.ComboAcc->currentText(), QString());

        struct Case {
            QString item, acc, year, yy;
        };
        for (const Case& c : {Case{QStringLiteral("[001]演示账套"), QStringLiteral("001"), QStringLiteral("2024"), QStringLiteral("24")},
                              Case{QStringLiteral("[003]旧账套"), QStringLiteral("003"), QStringLiteral("2010"), QStringLiteral("10")}}) {
            ExportRun run;
            run.target = target;
            choose(f, c.item);
            press(f.CmdDel);
            QCOMPARE(run.modals.shown, (QStringList{QStringLiteral("frmwaiting"), QStringLiteral("frmWait"), QStringLiteral("frmAccExport")}));
            QCOMPARE(run.captions, (QStringList{QStringLiteral("拷贝进程..."), QStringLiteral("压缩进程，请等待..."), QStringLiteral("选择备份目录")}));
            QCOMPARE(run.waitingBar, (QList<int>{10, 40, 70, 100, 100}));
            QCOMPARE(run.waitBar, 20);
            QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("输出账套成功！")});
            QCOMPARE(run.msgs.last().title, QStringLiteral("财务提示"));
            QCOMPARE(run.msgs.last().icon(), int(vb::vbInformation));

            const QString accFolder = books + QStringLiteral("/zt") + c.acc + QStringLiteral("/");
            const QString yearFolder = accFolder + c.year + QStringLiteral("/");
            QCOMPARE(gAccId, c.acc);
            QCOMPARE(gAccPath, yearFolder);

            const QByteArray raw = readAll(target + QStringLiteral("/KdErpAct.Lst"));
            QVERIFY(!raw.endsWith('\n'));
            QCOMPARE(raw.count('\n'), raw.count("\r\n"));
            const QStringList lines = QString::fromUtf8(raw).split(QStringLiteral("\r\n"));
            QCOMPARE(lines.size(), 18);
            const qint64 bytes = QFileInfo(target + QStringLiteral("/kddata.BA_")).size();
            QVERIFY(bytes > 0);
            const QString date = lines[7].mid(5);
            QVERIFY(lines[7].startsWith(QStringLiteral("Date=")) && !date.isEmpty());
            const QStringList expected = {
                QStringLiteral("[BackRetInfo]"), QStringLiteral("Type=Account"), QStringLiteral("cAcc_Id=") + c.acc,
                QStringLiteral("iSysId=") + QString::number(c.acc.toInt() + 100), QStringLiteral("cacc_path=") + accFolder,
                QStringLiteral("Version=1.00"), QStringLiteral("VersionEx=V8.520"), lines[7], QStringLiteral("YCount=1"),
                QStringLiteral("YYear=") + c.yy, QStringLiteral("Backup=true"), QStringLiteral("Disks=0"),
                QStringLiteral("Bytes=%1").arg(bytes), QStringLiteral("[FileInfo]"), QStringLiteral("Count=1"),
                QStringLiteral("File1=") + yearFolder + QStringLiteral("KDDATA.BAK"), QStringLiteral("[Files]"),
                QStringLiteral("File1=1,,KDDATA.BA_,KDDATA.BAK,") + accFolder + QStringLiteral(",,,") + date + QStringLiteral(",%1").arg(bytes),
            };
            QCOMPARE(lines, expected);

            // The prepared copy was moved on, the work copy is gone, and the live books keep
            // only the four transfer tables that the next export drops first.
            QVERIFY(!CiFile::exists(yearFolder + QStringLiteral("kddata.BAK")));
            QVERIFY(!CiFile::exists(yearFolder + c.acc + QStringLiteral("_kddata.mdb")));
            Database live(yearFolder + QStringLiteral("KdData.mdb"));
            QStringList left;
            for (const QString& t : live.tables())
                if (t.endsWith(QStringLiteral("_Ex")))
                    left << t;
            QCOMPARE(left, (QStringList{QStringLiteral("SM_Auth_Ex"), QStringLiteral("SM_FlowItems_Ex"),
                                        QStringLiteral("SM_FlowLines_Ex"), QStringLiteral("SM_Identity_Ex")}));
            QCOMPARE(BackupSet::readDescriptor(target + QStringLiteral("/kderpact.lst")).accId, c.acc);
        }
        QCOMPARE(BackupSet::readDescriptor(target + QStringLiteral("/KdErpAct.Lst")).year, QStringLiteral("1910"));
    }

    void export_transferTablesHoldTheSetsRows()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books, 2024);
        makeSet(env.db(), QStringLiteral("002"), QStringLiteral("他账套"), books, 2024);
        addSystemRows(env.db());
        const QString target = env.root() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(target));

        // Another program keeps the books open and has just written to them.
        Database other(AccountDb::databasePath(books, QStringLiteral("001"), 2024));
        other.execute(QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER, ccode TEXT, md REAL)"));
        other.execute(QStringLiteral("INSERT INTO GL_accvouch VALUES (1,'1001',100.5),(2,'1002',-3)"));

        FrmDelAcc f;
        f.Form_Load();
        auto exportOnce = [&] {
            ExportRun run;
            run.target = target;
            choose(f, QStringLiteral("[001]演示账套"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("输出账套成功！")});
        };
        exportOnce();

        {
            Database data(target + QStringLiteral("/kddata.BA_"));
            QCOMPARE(data.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
            for (const QString& t : AccountExporter::transferTables())
                QVERIFY2(data.hasTable(t), qPrintable(t));
            QVERIFY(data.hasTable(QStringLiteral("AccInformation")));
            QCOMPARE(count(data, QStringLiteral("select count(*) from GL_accvouch")), 2);

            QCOMPARE(column(data, QStringLiteral("select cAcc_Id from SM_Account_Ex")), QStringList{QStringLiteral("001")});
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Period_Ex where cAcc_Id='001'")), 12);
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Period_Ex")), 12);
            QCOMPARE(column(data, QStringLiteral("select cGroup_Id from SM_Group_Ex")), QStringList{QStringLiteral("DATA-MANAGER")});
            QCOMPARE(column(data, QStringLiteral("select cUser_Id from SM_Role_Ex order by cUser_Id")),
                     (QStringList{QStringLiteral("chenl"), QStringLiteral("demo")}));
            // Holders that are operators (not the administrator), then members of the copied roles, once each.
            QCOMPARE(column(data, QStringLiteral("select cUser_Id from SM_User_Ex order by cUser_Id")),
                     (QStringList{QStringLiteral("chenl"), QStringLiteral("demo"), QStringLiteral("lijg")}));
            QCOMPARE(column(data, QStringLiteral("select cAuth_Id from SM_Auth_Ex where cAuth_Id like 'RE9%' order by cAuth_Id")),
                     (QStringList{QStringLiteral("RE9001"), QStringLiteral("RE9003")}));
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Auth_Ex where cSub_Id<>'RE'")), 0);
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Auth_Ex where cAcc_Id is null")), 5);
            QCOMPARE(column(data, QStringLiteral("select iYear from SM_HoldAuth_Ex group by iYear order by iYear")),
                     (QStringList{QStringLiteral("2024"), QStringLiteral("2025")}));
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_HoldAuth_Ex")), 4);
            QCOMPARE(column(data, QStringLiteral("select iYear from SM_Account_sub_Ex order by iYear")),
                     (QStringList{QStringLiteral("2024"), QStringLiteral("9999")}));
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Log_Ex where cAcc_Id='001'")), 2);
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Log_Ex")), 2);
            for (const char* t : {"SM_FlowItems_Ex", "SM_FlowLines_Ex"})
                QCOMPARE(column(data, QStringLiteral("select cAccId from %1").arg(QLatin1String(t))), QStringList{QStringLiteral("001")});
            QCOMPARE(column(data, QStringLiteral("select iChildId from SM_Identity_Ex")), QStringList{QStringLiteral("20")});
            // The copies keep the source's layout: types and the case-blind comparison.
            QCOMPARE(count(data, QStringLiteral("select count(*) from SM_User_Ex where cUser_Id='CHENL'")), 1);
            QCOMPARE(data.scalar(QStringLiteral("select typeof(iYear) from SM_Account_Ex")).toString(), QStringLiteral("integer"));
        }

        // A second export after the rows changed: every table refreshed, none doubled.
        env.db().execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2024,'zhoum','GL')"));
        env.db().execute(QStringLiteral("delete from SM_Log where iLog_Id=2"));
        env.db().execute(QStringLiteral("update SM_Auth set cAuth_Name='本账套报表二' where cAuth_Id='RE9001'"));
        exportOnce();
        Database data(target + QStringLiteral("/kddata.BA_"));
        QCOMPARE(column(data, QStringLiteral("select cUser_Id from SM_User_Ex order by cUser_Id")),
                 (QStringList{QStringLiteral("chenl"), QStringLiteral("demo"), QStringLiteral("lijg"), QStringLiteral("zhoum")}));
        QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Log_Ex")), 1);
        QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Auth_Ex")), 7);
        QCOMPARE(data.scalar(QStringLiteral("select cAuth_Name from SM_Auth_Ex where cAuth_Id='RE9001'")).toString(), QStringLiteral("本账套报表二"));
        QCOMPARE(count(data, QStringLiteral("select count(*) from SM_FlowItems_Ex")), 1);
        QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Period_Ex")), 12);
    }

    void export_compactsBooksWithMuchFreeSpace()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books, 2024);
        const QString live = AccountDb::databasePath(books, QStringLiteral("001"), 2024);
        {
            Database acc(live);
            acc.execute(QStringLiteral("CREATE TABLE scratch (t TEXT)"));
            acc.execute(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c LIMIT 2000) "
                                       "INSERT INTO scratch SELECT hex(randomblob(500)) FROM c"));
            acc.execute(QStringLiteral("DROP TABLE scratch"));
        }
        const QString target = env.root() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(target));
        AccountExporter exporter(*gSysDb, QStringLiteral("001"));
        QList<int> progress;
        QVERIFY(exporter.prepare([&](int v) { progress << v; }));
        QCOMPARE(progress, (QList<int>{80, 100}));
        QVERIFY(exporter.writeBackupSet(target, true));
        Database data(target + QStringLiteral("/kddata.BA_"));
        QCOMPARE(data.scalar(QStringLiteral("PRAGMA freelist_count")).toInt(), 0);
        QCOMPARE(data.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        QVERIFY(QFileInfo(target + QStringLiteral("/kddata.BA_")).size() * 2 < QFileInfo(live).size());
    }

    void export_booksInWalModeKeepTheirLatestRows()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books, 2024);
        // Another program switched the books to WAL and keeps them open: its rows are not in the file yet.
        Database other(AccountDb::databasePath(books, QStringLiteral("001"), 2024));
        other.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        other.execute(QStringLiteral("CREATE TABLE GL_accvouch (i_id INTEGER, ccode TEXT)"));
        other.execute(QStringLiteral("INSERT INTO GL_accvouch VALUES (1,'1001')"));
        const QString target = env.root() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(target));
        AccountExporter exporter(*gSysDb, QStringLiteral("001"));
        QVERIFY(exporter.prepare());
        QVERIFY(exporter.writeBackupSet(target, true));
        Database data(target + QStringLiteral("/kddata.BA_"));
        QCOMPARE(count(data, QStringLiteral("select count(*) from GL_accvouch")), 1);
        QCOMPARE(count(data, QStringLiteral("select count(*) from SM_Account_Ex")), 1);
        QCOMPARE(data.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }

    void export_itemWithoutBracketsExportsThePreviousSet()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        makeSet(env.db(), QStringLiteral("002"), QStringLiteral("乙"), books, 2024);
        const QString target = env.root() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(target));
        gAccId = QStringLiteral("002");

        FrmDelAcc f;
        f.Form_Load();
        ExportRun run;
        run.target = target;
        QTest::keyClicks(f.ComboAcc->lineEdit(), QStringLiteral("abc"));
        press(f.CmdDel);
        QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("输出账套成功！")});
        QCOMPARE(gAccId, QStringLiteral("002"));
        QCOMPARE(BackupSet::readDescriptor(target + QStringLiteral("/KdErpAct.Lst")).accId, QStringLiteral("002"));

        // Nothing chosen: 确认 does nothing.
        ExportRun idle;
        f.ComboAcc->setEditText(QString());
        press(f.CmdDel);
        QVERIFY(idle.modals.shown.isEmpty());
        QVERIFY(idle.msgs.calls.isEmpty());
    }

    void export_failuresShowNoSuccess()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        makeSet(env.db(), QStringLiteral("004"), QStringLiteral("无目录"), books, 2024, false);
        const QString year001 = books + QStringLiteral("/zt001/2024/");
        FrmDelAcc f;
        f.Form_Load();

        // The chosen folder disappears before 确认: the prepared copy stays in the year folder.
        const QString gone = env.root() + QStringLiteral("/usb");
        QVERIFY(QDir().mkpath(gone));
        {
            ExportRun run;
            run.target = gone;
            run.beforeOk = [&] { QVERIFY(QDir(gone).removeRecursively()); };
            choose(f, QStringLiteral("[001]甲"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.calls.size(), 1);
            QVERIFY(run.msgs.last().text.startsWith(QStringLiteral("输出账套失败！")));
            QCOMPARE(run.msgs.last().icon(), int(vb::vbExclamation));
            QVERIFY(!QFileInfo::exists(gone));
            QVERIFY(CiFile::isFile(year001 + QStringLiteral("kddata.BAK")));
        }

        // The descriptor cannot be written: an earlier backup set there is left as it was.
        const QString target = env.root() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(target + QStringLiteral("/KdErpAct.Lst")));
        writeFile(target + QStringLiteral("/kddata.BA_"), "earlier backup");
        {
            ExportRun run;
            run.target = target;
            choose(f, QStringLiteral("[001]甲"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.calls.size(), 1);
            QVERIFY(run.msgs.last().text.startsWith(QStringLiteral("输出账套失败！")));
            QCOMPARE(readAll(target + QStringLiteral("/kddata.BA_")), QByteArray("earlier backup"));
            const QStringList names = QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            QCOMPARE(QSet<QString>(names.begin(), names.end()), (QSet<QString>{QStringLiteral("KdErpAct.Lst"), QStringLiteral("kddata.BA_")}));
            QVERIFY(CiFile::isFile(year001 + QStringLiteral("kddata.BAK")));
        }

        // 放弃 in the folder window: the prepared copy stays too.
        const QString empty = env.root() + QStringLiteral("/empty");
        QVERIFY(QDir().mkpath(empty));
        {
            ExportRun run;
            run.cancel = true;
            choose(f, QStringLiteral("[001]甲"));
            press(f.CmdDel);
            QVERIFY(run.msgs.calls.isEmpty());
            QVERIFY(CiFile::isFile(year001 + QStringLiteral("kddata.BAK")));
            QVERIFY(!CiFile::exists(year001 + QStringLiteral("001_kddata.mdb")));
        }

        // A set without its folders: nothing to copy, and no folder is made for it.
        {
            ExportRun run;
            run.target = empty;
            choose(f, QStringLiteral("[004]无目录"));
            press(f.CmdDel);
            QCOMPARE(run.modals.shown.size(), 3);
            QCOMPARE(run.msgs.calls.size(), 1);
            QVERIFY(run.msgs.last().text.startsWith(QStringLiteral("输出账套失败！")));
            QVERIFY(!CiFile::exists(books + QStringLiteral("/zt004")));
            QVERIFY(QDir(empty).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        }

        // A system table that cannot be copied: the rest is exported and the descriptor says so.
        env.db().execute(QStringLiteral("DROP TABLE SM_Log"));
        {
            ExportRun run;
            run.target = empty;
            choose(f, QStringLiteral("[001]甲"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("输出账套成功！")});
            QCOMPARE(BackupSet::readLine(empty + QStringLiteral("/KdErpAct.Lst"), 11), QStringLiteral("Backup=false"));
            Database data(empty + QStringLiteral("/kddata.BA_"));
            QVERIFY(!data.hasTable(QStringLiteral("SM_Log_Ex")));
            QVERIFY(data.hasTable(QStringLiteral("SM_HoldAuth_Ex")));
        }

        // A set with no SM_Account row is refused before any window opens.
        env.db().execute(QStringLiteral("insert into CreateAcc values ('009','孤儿')"));
        f.LoadCreateAcc();
        {
            ExportRun run;
            choose(f, QStringLiteral("[009]孤儿"));
            press(f.CmdDel);
            QVERIFY(run.modals.shown.isEmpty());
            QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("账套[009]不存在，无法输出！")});
        }
    }

    void delete_removesBooksAndRowsInBothDatabases()
    {
        TestEnv env;
        const QString mirrorPath = env.makeMirror();
        env.loginAdmin();
        Database mirror(mirrorPath);
        const QString books = env.root() + QStringLiteral("/books");
        for (Database* db : {&env.db(), &mirror}) {
            makeSet(*db, QStringLiteral("001"), QStringLiteral("甲"), books, 2024, db == &mirror ? false : true);
            makeSet(*db, QStringLiteral("002"), QStringLiteral("他账套"), books, 2024, db == &mirror ? false : true);
            addSystemRows(*db);
        }
        const QString file = AccountDb::databasePath(books, QStringLiteral("001"), 2024);

        FrmDelAcc f;
        f.Form_Load();
        f.chkAcc->setChecked(true);
        choose(f, QStringLiteral("[001]甲"));
        {
            // No: nothing happens.
            MsgBoxScript msgs;
            msgs.answer(vb::vbNo);
            press(f.CmdDel);
            QCOMPARE(msgs.texts(), QStringList{QStringLiteral("真的删除该账套吗？")});
            QCOMPARE(msgs.last().title, QStringLiteral("删除提示"));
            QCOMPARE(msgs.last().buttonSet(), int(vb::vbYesNo));
            QCOMPARE(msgs.last().icon(), int(vb::vbQuestion));
            QVERIFY(QFile::exists(file));
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='001'")), 1);
        }
        MsgBoxScript msgs;
        ModalScript modals;
        press(f.CmdDel);
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("真的删除该账套吗？"), QStringLiteral("删除账套[001]成功！")}));
        QCOMPARE(msgs.last().title, QStringLiteral("财务提示"));
        QCOMPARE(msgs.last().icon(), int(vb::vbInformation));
        QVERIFY(modals.shown.isEmpty());
        QVERIFY(!QFile::exists(file));
        QVERIFY(QFileInfo(books + QStringLiteral("/zt001/2024")).isDir());
        QCOMPARE(gAccId, QStringLiteral("001"));
        QCOMPARE(f.ComboAcc->count(), 1);
        QCOMPARE(f.ComboAcc->itemText(0), QStringLiteral("[002]他账套"));

        for (Database* db : {&env.db(), &mirror}) {
            for (const char* t : {"SM_HoldAuth", "CreateAcc", "SM_Period", "SM_Account_sub", "SM_Log", "SM_Account"}) {
                QCOMPARE(count(*db, QStringLiteral("select count(*) from %1 where cAcc_Id='001'").arg(QLatin1String(t))), 0);
                QVERIFY(count(*db, QStringLiteral("select count(*) from %1 where cAcc_Id='002'").arg(QLatin1String(t))) > 0);
            }
            // Flows, running numbers, the set's report permissions, roles and operators stay.
            QCOMPARE(count(*db, QStringLiteral("select count(*) from SM_FlowItems where cAccId='001'")), 1);
            QCOMPARE(count(*db, QStringLiteral("select count(*) from SM_Identity where cAcc_Id='001'")), 1);
            QCOMPARE(count(*db, QStringLiteral("select count(*) from SM_Auth where cAcc_Id='001'")), 1);
            QCOMPARE(count(*db, QStringLiteral("select count(*) from SM_Role")), 3);
        }
        QVERIFY(QFile::exists(AccountDb::databasePath(books, QStringLiteral("002"), 2024)));
    }

    void delete_setsWithoutBooksOrRow()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        makeSet(env.db(), QStringLiteral("002"), QStringLiteral("乙"), books, 2024);
        QVERIFY(QFile::remove(AccountDb::databasePath(books, QStringLiteral("001"), 2024)));
        env.db().execute(QStringLiteral("delete from SM_Account where cAcc_Id='002'"));

        FrmDelAcc f;
        f.Form_Load();
        f.chkAcc->setChecked(true);
        for (const QString acc : {QStringLiteral("001"), QStringLiteral("002")}) {
            MsgBoxScript msgs;
            choose(f, f.ComboAcc->itemText(0));
            press(f.CmdDel);
            QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("真的删除该账套吗？"), QStringLiteral("删除账套[%1]成功！").arg(acc)}));
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from CreateAcc where cAcc_Id=?"), {acc}), 0);
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Period where cAcc_Id=?"), {acc}), 0);
        }
        QCOMPARE(f.ComboAcc->count(), 0);
        // The book file of set 002 was not touched: the set had no row to find it by.
        QVERIFY(QFile::exists(AccountDb::databasePath(books, QStringLiteral("002"), 2024)));
    }

    void delete_booksInUseStopBeforeAnyRowGoes()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        const QString file = AccountDb::databasePath(books, QStringLiteral("001"), 2024);
        Database writer(file);
        writer.execute(QStringLiteral("BEGIN IMMEDIATE"));
        writer.execute(QStringLiteral("UPDATE AccInformation SET cValue=cValue"));

        FrmDelAcc f;
        f.Form_Load();
        f.chkAcc->setChecked(true);
        choose(f, QStringLiteral("[001]甲"));
        MsgBoxScript msgs;
        press(f.CmdDel);
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("真的删除该账套吗？"), QStringLiteral("删除账套[001]失败！")}));
        QCOMPARE(msgs.last().title, QStringLiteral("财务提示"));
        QCOMPARE(msgs.last().icon(), int(vb::vbExclamation));
        QVERIFY(QFile::exists(file));
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='001'")), 1);
        QCOMPARE(f.ComboAcc->count(), 1);
        writer.execute(QStringLiteral("ROLLBACK"));
    }

    void console_exportMenuOpensTheDialog()
    {
        TestEnv env;
        env.loginAdmin();
        frmMain main;
        ModalScript modals;
        QStringList listed;
        modals.on(QStringLiteral("FrmDelAcc"), [&](QDialog& d) {
            auto& f = static_cast<FrmDelAcc&>(d);
            for (int i = 0; i < f.ComboAcc->count(); ++i)
                listed << f.ComboAcc->itemText(i);
            f.CmdCancel->click();
            return d.result();
        });
        // No set was created yet: CreateAcc does not exist and the list is empty.
        main.mnuAccExport_Click();
        QCOMPARE(modals.shown, QStringList{QStringLiteral("FrmDelAcc")});
        QVERIFY(listed.isEmpty());

        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), env.root(), 2024, false);
        env.db().execute(QStringLiteral("insert into CreateAcc (cAcc_Id,cAcc_Name) values ('005',NULL)"));
        main.mnuAccExport_Click();
        QCOMPARE(listed, (QStringList{QStringLiteral("[001]甲"), QStringLiteral("[005]")}));
    }

    void timers_haveTheirIntervals()
    {
        frmwaiting waiting;
        frmWait wait;
        QCOMPARE(waiting.Timer1.interval(), 3000);
        QCOMPARE(wait.Timer1.interval(), 2000);
        // The timers run only while their window is shown.
        QVERIFY(!waiting.Timer1.isActive());
        QVERIFY(!wait.Timer1.isActive());
    }
};

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
