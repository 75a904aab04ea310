// Importing a backup set from the console: the questions, the folders, the restored books and the
// rows merged into the system database, and the backup sets that are refused.
#include "Scripts.h"
#include "TestEnv.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <AccountExporter.h>
#include <AccountImporter.h>
#include <AccountSetCreator.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>
#include <Module1.h>
#include <PermissionGrant.h>
#include <SubsystemEnabler.h>
#include <frmAccPath.h>
#include <frmInput.h>
#include <frmMain.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Module1;

namespace {
const QString kTitle = QStringLiteral("管理软件【系统管理】");

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

// Every row of every table, to show that a refused import wrote nothing.
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

// A set as the wizard, the grant dialogs and subsystem enabling leave it, with a few rows that
// the suite's modules add; exported into `backupDir`.
void buildAndExport(const QString& acc, const QString& books, int year, const QString& backupDir)
{
    AccountSetCreator creator(*gSysDb);
    AccountSetInput in;
    in.accId = acc;
    in.accName = QStringLiteral("远航 O'Brien 账套");
    in.accPath = books;
    in.year = QString::number(year);
    in.month = QStringLiteral("1");
    in.unitName = QStringLiteral("远航贸易有限公司");
    in.master = QStringLiteral("[demo]demo");
    in.templatePath = TestEnv::templatePath();
    const AccountSetOutcome made = creator.create(in);
    QCOMPARE(made.status, AccountSetCreator::Status::Done);

    Database& db = *gSysDb;
    db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('AUDIT','审计')"));
    db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('AUDIT','lijg'),('AUDIT','wangxy')"));
    db.execute(QStringLiteral("insert or ignore into SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) "
                              "values ('RE9001','本账套报表','RE',1,'RE',?)"), {acc});
    PermissionGrant::save(db, {acc, year, QStringLiteral("chenl"), {QStringLiteral("GL01"), QStringLiteral("GL0101")}});
    PermissionGrant::save(db, {acc, year, QStringLiteral("zhoum"), {QStringLiteral("FA01"), QStringLiteral("RE9001")}});
    PermissionGrant::save(db, {acc, year, QStringLiteral("AUDIT"), {QStringLiteral("GL0102")}});
    SubsystemEnabler(db).enable({acc, QStringLiteral("GL"), QDate(year, 1, 1), made.accountDbPath});
    db.execute(QStringLiteral("insert into SM_Log (iLog_Id,cAcc_Id,iYear,cSub_Id,cUser_Id,cContent) values (7,?,?,'GL','chenl','记账')"), {acc, year});
    db.execute(QStringLiteral("insert into SM_FlowItems (cAccId,cFlow_Id,iItem_Id,cItem_Name,iOrder) values (?,'F1',1,'填制',1)"), {acc});
    db.execute(QStringLiteral("insert into SM_Identity (cAcc_Id,cTable,iFatherId,iChildId) values (?,'GL_accvouch',10,NULL)"), {acc});

    QVERIFY(QDir().mkpath(backupDir));
    AccountExporter exporter(db, acc);
    QVERIFY(exporter.prepare());
    QVERIFY(exporter.writeBackupSet(backupDir, true));
}

QString firstQuestion(const QString& acc, const QString& folder)
{
    return QStringLiteral("引入文件中，[") + acc + QStringLiteral("]帐套的默认路径：\r\n") + folder
        + QStringLiteral("\r\n重新指定帐套路径吗？\r\n\r\n说明：\r\n1、重指路径时，系统自动调整LST文件，为防止该文件意外损坏，请做附件。\r\n"
                         "2、数据恢复时如有格式539等错误，请安装IE6（安装盘）。");
}

// The console's 引入 as a person runs it: the file dialog, the folder chooser and frmInput are
// played by scripts; the questions are answered from msgs.
struct ImportRun {
    MsgBoxScript msgs;
    ModalScript modals;
    QString fileTitle, fileFilter, chooserCaller, inputCaption, inputLabel;

    explicit ImportRun(const QString& lst, const QString& newFolder = QString())
    {
        modals.on(QStringLiteral("dlgImportFile"), [this, lst](QDialog& d) {
            auto& f = static_cast<QFileDialog&>(d);
            fileTitle = f.windowTitle();
            fileFilter = f.nameFilters().join(QLatin1Char(';'));
            if (lst.isEmpty()) {
                f.reject();   // closed without a file
                return d.result();
            }
            f.selectFile(lst);
            QPushButton* open = f.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open);
            if (!open || !open->isEnabled())
                qWarning("the file dialog's Open button is not available");
            else
                open->click();
            return d.result();
        });
        modals.on(QStringLiteral("frmAccPath"), [this, newFolder](QDialog& d) {
            auto& f = static_cast<frmAccPath&>(d);
            chooserCaller = f.Caller;
            if (newFolder.isEmpty()) {
                f.cmdCancel->click();
            } else {
                f.setPath(newFolder);
                f.cmdOK->click();
            }
            return d.result();
        });
        modals.on(QStringLiteral("frmInput"), [this](QDialog& d) {
            auto& f = static_cast<frmInput&>(d);
            inputCaption = f.windowTitle();
            inputLabel = f.Label1->text();
            f.Timer1_Timer();
            return d.result();
        });
    }
};
} // namespace

class tst_import : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_deletedSetComesBackAndReimportDoublesNothing()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        const QString backup = env.root() + QStringLiteral("/备份 盘");
        buildAndExport(QStringLiteral("003"), books, 2008, backup);
        const QStringList before = setRows(env.db(), QStringLiteral("003"));
        const QString sysId = env.db().scalar(QStringLiteral("select iSysID from SM_Account where cAcc_Id='003'")).toString();
        const QStringList chart = rows(*AccountDb::open(env.db(), QStringLiteral("003")), QStringLiteral("select ccode from code order by 1"));
        QVERIFY(chart.size() > 50);

        QVERIFY(AccountDeletion::DelAccFiles(*gSysDb, QStringLiteral("003")));
        QVERIFY(AccountDeletion::DelDbInfo(*gSysDb, QStringLiteral("003")));
        QVERIFY(!CiFile::exists(AccountDb::databasePath(books, QStringLiteral("003"), 2008)));

        frmMain main;
        const QString folder = books + QStringLiteral("/zt003/");
        {
            ImportRun run(backup + QStringLiteral("/KdErpAct.Lst"));
            run.msgs.answer(vb::vbNo);
            main.mnuAccInput_Click();
            QCOMPARE(run.fileTitle, QStringLiteral("引入帐套数据"));
            QCOMPARE(run.fileFilter, QStringLiteral("帐套数据备份文件(KdErpAct.*)"));
            QCOMPARE(run.msgs.texts(), (QStringList{firstQuestion(QStringLiteral("003"), folder), QStringLiteral("帐套[003]引入成功！")}));
            QCOMPARE(run.msgs.calls[0].buttons, int(vb::vbYesNoCancel | vb::vbQuestion | vb::vbDefaultButton2));
            QCOMPARE(run.msgs.calls[0].title, kTitle);
            QCOMPARE(run.msgs.last().buttons, int(vb::vbQuestion | vb::vbOKOnly));
            QCOMPARE(run.msgs.last().title, kTitle);
            QCOMPARE(run.inputCaption, QStringLiteral("帐套引入"));
            QCOMPARE(run.inputLabel, QStringLiteral("正在引入[003]的2008年度帐套，请等待..."));
        }
        QCOMPARE(setRows(env.db(), QStringLiteral("003")), before);
        QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Path from SM_Account where cAcc_Id='003'")).toString(), books + QStringLiteral("/"));
        QCOMPARE(rows(env.db(), QStringLiteral("select cAcc_Id from CreateAcc")), QStringList{QStringLiteral("003")});
        QCOMPARE(rows(env.db(), QStringLiteral("select cAcc_Id,iYear from SM_HoldAuth where cUser_Id='DATA-MANAGER'")),
                 QStringList{QStringLiteral("001|2009")});
        QCOMPARE(rows(env.db(), QStringLiteral("select cTradeKinds from SM_Group where cGroup_Id='AUDIT'")), QStringList{QStringLiteral("|BZ|")});
        {
            auto books003 = AccountDb::open(env.db(), QStringLiteral("003"));
            QCOMPARE(rows(*books003, QStringLiteral("select ccode from code order by 1")), chart);
            QStringList transfer;
            for (const QString& t : books003->tables())
                if (t.endsWith(QStringLiteral("_Ex")))
                    transfer << t;
            QCOMPARE(transfer, QStringList{QStringLiteral("SM_Auth_Ex")});
            QCOMPARE(rows(*books003, QStringLiteral("select cValue,cDefault from AccInformation where cID='AA' and cName='iSystemID'")),
                     QStringList{sysId + QLatin1Char('|') + sysId});
        }
        QCOMPARE(QDir(books + QStringLiteral("/zt003/2008")).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("KdData.mdb")});

        // The same backup again over the restored set: asked first, and nothing is doubled.
        const QStringList restored = dump(env.db());
        ImportRun again(backup + QStringLiteral("/KdErpAct.Lst"));
        again.msgs.answer(vb::vbNo);
        again.msgs.answer(vb::vbYes);
        main.mnuAccInput_Click();
        QCOMPARE(again.msgs.texts(), (QStringList{firstQuestion(QStringLiteral("003"), folder),
                                                  QStringLiteral("此项操作将覆盖[003]帐套当前的所有信息，继续吗？"),
                                                  QStringLiteral("帐套[003]引入成功！")}));
        QCOMPARE(again.msgs.calls[1].buttons, int(vb::vbYesNo));
        QCOMPARE(again.msgs.calls[1].title, kTitle);
        QCOMPARE(again.inputCaption, QStringLiteral("恢复进程"));
        QCOMPARE(again.inputLabel, QStringLiteral("文件恢复，解压缩至：") + folder + QStringLiteral("kddata.bak"));
        QCOMPARE(dump(env.db()), restored);
    }

    void newInstallation_newFolder_usableThere()
    {
        QTemporaryDir backupDir;
        const QString backup = backupDir.path() + QStringLiteral("/u盘");
        {
            TestEnv origin;
            origin.loginAdmin();
            buildAndExport(QStringLiteral("003"), origin.root() + QStringLiteral("/books"), 2008, backup);
        }
        const QString lst = backup + QStringLiteral("/KdErpAct.Lst");
        const QStringList lines = QString::fromUtf8(readAll(lst)).split(QStringLiteral("\r\n"));

        TestEnv env;
        env.loginAdmin();
        // This installation has no operator zhoum and no grade-two ledger permission GL0102.
        env.db().execute(QStringLiteral("delete from SM_User where cUser_Id='zhoum'"));
        env.db().execute(QStringLiteral("delete from SM_Auth where cAuth_Id='GL0102'"));
        env.db().execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('DATA-MANAGER','demo')"));
        const QStringList users = rows(env.db(), QStringLiteral("select * from SM_User order by 1"));
        frmMain main;
        {
            // 放弃 in the folder chooser stops the import.
            ImportRun run(lst);
            run.msgs.answer(vb::vbYes);
            main.mnuAccInput_Click();
            QCOMPARE(run.chooserCaller, QStringLiteral("Acc2"));
            QCOMPARE(run.msgs.calls.size(), 1);
            QCOMPARE(run.modals.shown, (QStringList{QStringLiteral("dlgImportFile"), QStringLiteral("frmAccPath")}));
        }
        const QString chosen = env.root() + QStringLiteral("/新 账套");
        QVERIFY(QDir().mkpath(chosen));
        ImportRun run(lst, chosen);
        run.msgs.answer(vb::vbYes);
        main.mnuAccInput_Click();
        QCOMPARE(run.msgs.texts().last(), QStringLiteral("帐套[003]引入成功！"));

        // Line 5 names the new folder; every other line is as it was.
        QStringList expected = lines;
        expected[4] = QStringLiteral("cacc_path=") + chosen + QStringLiteral("/zt003/");
        expected << QString();
        QCOMPARE(QString::fromUtf8(readAll(lst)).split(QStringLiteral("\r\n")), expected);
        QVERIFY(QFileInfo(chosen + QStringLiteral("/zt003/2008/KdData.mdb")).isFile());
        QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Path from SM_Account where cAcc_Id='003'")).toString(), chosen + QStringLiteral("/"));

        // Holdings come back for permissions this installation knows, roles and memberships once,
        // operators not at all.
        QCOMPARE(rows(env.db(), QStringLiteral("select cUser_Id,cAuth_Id from SM_HoldAuth where cAcc_Id='003' order by 1,2")),
                 (QStringList{QStringLiteral("chenl|GL01"), QStringLiteral("chenl|GL0101"), QStringLiteral("demo|admin"),
                              QStringLiteral("zhoum|FA01"), QStringLiteral("zhoum|RE9001")}));
        QCOMPARE(rows(env.db(), QStringLiteral("select cAcc_Id from SM_Auth where cAuth_Id='RE9001'")), QStringList{QStringLiteral("003")});
        QCOMPARE(rows(env.db(), QStringLiteral("select * from SM_Role order by 1,2")),
                 (QStringList{QStringLiteral("AUDIT|lijg"), QStringLiteral("AUDIT|wangxy"), QStringLiteral("DATA-MANAGER|demo")}));
        QCOMPARE(rows(env.db(), QStringLiteral("select count(*) from SM_Group where cGroup_Id in ('AUDIT','DATA-MANAGER')")), QStringList{QStringLiteral("2")});
        QCOMPARE(rows(env.db(), QStringLiteral("select * from SM_User order by 1")), users);
        QCOMPARE(rows(env.db(), QStringLiteral("select iYear from SM_Account_sub where cAcc_Id='003' and cSub_Id='GL' order by 1")),
                 (QStringList{QStringLiteral("2008"), QStringLiteral("9999")}));

        // The set works here: its books are found by the folder rule and the wizard modifies it.
        QVERIFY(AccountDb::open(env.db(), QStringLiteral("003")));
        AccountSetInput in;
        in.accId = QStringLiteral("003");
        in.accName = QStringLiteral("新址账套");
        in.accPath = chosen + QStringLiteral("/");
        in.year = QStringLiteral("2008");
        in.unitName = QStringLiteral("远航贸易有限公司");
        MsgBoxScript quiet;
        QCOMPARE(AccountSetCreator(*gSysDb).modify(in).status, AccountSetCreator::Status::Done);
        QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Name from SM_Account where cAcc_Id='003'")).toString(), in.accName);
    }

    void existingSet_noCancelOrNoFileChangeNothing()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        const QString backup = env.root() + QStringLiteral("/out");
        buildAndExport(QStringLiteral("003"), books, 2008, backup);
        const QString live = AccountDb::databasePath(books, QStringLiteral("003"), 2008);
        AccountDb::open(env.db(), QStringLiteral("003"))->execute(QStringLiteral("insert into code (ccode,ccode_name) values ('9901','导出后新增')"));
        const QByteArray liveBytes = readAll(live);
        const QStringList sys = dump(env.db());
        frmMain main;

        struct Case {
            QList<int> answers;
            QStringList shown;
            int messages;
        };
        const QStringList fileOnly{QStringLiteral("dlgImportFile")};
        for (const Case& c : {Case{{vb::vbNo, vb::vbNo}, fileOnly, 2}, Case{{vb::vbCancel}, fileOnly, 1}}) {
            ImportRun run(backup + QStringLiteral("/KdErpAct.Lst"));
            for (int a : c.answers)
                run.msgs.answer(a);
            main.mnuAccInput_Click();
            QCOMPARE(run.modals.shown, c.shown);
            QCOMPARE(run.msgs.calls.size(), c.messages);
        }
        {
            ImportRun closed{QString()};
            main.mnuAccInput_Click();
            QVERIFY(closed.msgs.calls.isEmpty());
        }
        QCOMPARE(readAll(live), liveBytes);
        QCOMPARE(dump(env.db()), sys);
    }

    void refusals_writeNothing()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        const QString good = env.root() + QStringLiteral("/good");
        buildAndExport(QStringLiteral("003"), books, 2008, good);
        const QString live = AccountDb::databasePath(books, QStringLiteral("003"), 2008);
        const QByteArray liveBytes = readAll(live);
        const QByteArray lst = readAll(good + QStringLiteral("/KdErpAct.Lst"));
        const QByteArray data = readAll(good + QStringLiteral("/kddata.BA_"));
        const int pageSize = Database(good + QStringLiteral("/kddata.BA_")).scalar(QStringLiteral("PRAGMA page_size")).toInt();
        const QStringList sys = dump(env.db());
        frmMain main;

        // Each case: a backup set made from the good one, the answers, and the message that ends it.
        struct Case {
            const char* name;
            std::function<void(const QString& dir)> spoil;
            QList<int> answers;
            QString message;
        };
        QByteArray damaged = data;
        for (qsizetype i = pageSize; i < damaged.size(); i += 7)
            damaged[i] = char(0xA5);
        QList<QByteArray> lines = lst.split('\n');
        const QList<Case> cases = {
            {"no data file", [](const QString&) {}, {}, QStringLiteral("找不到要引入的文件！")},
            {"nine lines", [&](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), lines.mid(0, 9).join('\n')); },
             {}, QStringLiteral("引入文件不完整（只有9行），无法引入！")},
            {"not a descriptor", [&](const QString& d) { writeFile(d + QStringLiteral("/KdErpAct.Lst"), "PK\x03\x04 zip"); },
             {}, QStringLiteral("所选文件不是帐套数据备份文件，无法引入！")},
            {"text as data", [&](const QString& d) {
                 QVERIFY(QFile::remove(d + QStringLiteral("/kddata.BA_")));
                 writeFile(d + QStringLiteral("/KDDATA.ba_"), "not a database");
             },
             {}, QStringLiteral("引入的数据文件不是帐套数据，无法引入！")},
            {"damaged data", [&](const QString& d) { writeFile(d + QStringLiteral("/kddata.BA_"), damaged); },
             {vb::vbNo, vb::vbYes}, QStringLiteral("引入的数据文件已损坏，无法引入！")},
            {"kept folder missing", [&](const QString& d) {
                 QVERIFY(BackupSet::rewriteFolder(d + QStringLiteral("/KdErpAct.Lst"), env.root() + QStringLiteral("/gone/zt003/")));
             }, {vb::vbNo}, QStringLiteral("帐套目录不存在：")},
        };
        for (const Case& c : cases) {
            const QString dir = env.root() + QStringLiteral("/case ") + QLatin1String(c.name);
            QVERIFY(QDir().mkpath(dir));
            writeFile(dir + QStringLiteral("/KdErpAct.Lst"), lst);
            if (qstrcmp(c.name, "no data file") != 0)
                writeFile(dir + QStringLiteral("/kddata.BA_"), data);
            c.spoil(dir);
            ImportRun run(dir + QStringLiteral("/KdErpAct.Lst"));
            for (int a : c.answers)
                run.msgs.answer(a);
            main.mnuAccInput_Click();
            QVERIFY2(run.msgs.last().text.startsWith(c.message), qPrintable(run.msgs.last().text));
            QCOMPARE(run.msgs.calls.size(), c.answers.size() + 1);
            QCOMPARE(readAll(live), liveBytes);
            QCOMPARE(dump(env.db()), sys);
            QCOMPARE(QDir(books + QStringLiteral("/zt003/2008")).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("KdData.mdb")});
        }
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/gone")));

        // The data file goes missing between the command and frmInput's tick.
        frmInput w;
        QCOMPARE(w.windowTitle(), QStringLiteral("帐套引入"));
        QCOMPARE(w.Timer1.interval(), 100);
        w.Plan.accId = QStringLiteral("003");
        w.Plan.sourceDir = env.root() + QStringLiteral("/case no data file/");
        w.Plan.targetDir = books + QStringLiteral("/zt003/2008");
        MsgBoxScript msgs;
        w.Timer1_Timer();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("找不到要引入的文件！")});
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbOKOnly));
        QVERIFY(!w.Timer1.isActive());
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(dump(env.db()), sys);
    }

    void walMode_backupLeftAloneAndBooksInUseNotReplaced()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        const QString backup = env.root() + QStringLiteral("/out");
        buildAndExport(QStringLiteral("003"), books, 2008, backup);
        Database(backup + QStringLiteral("/kddata.BA_")).execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        const QString lst = backup + QStringLiteral("/KdErpAct.Lst");
        const QString live = AccountDb::databasePath(books, QStringLiteral("003"), 2008);
        frmMain main;
        {
            // Another program reads the books through a write-ahead log.
            Database reader(live);
            reader.execute(QStringLiteral("PRAGMA journal_mode=WAL"));
            reader.scalar(QStringLiteral("select count(*) from code"));
            const QByteArray liveBytes = readAll(live);
            const QStringList sys = dump(env.db());
            ImportRun run(lst);
            run.msgs.answer(vb::vbNo);
            run.msgs.answer(vb::vbYes);
            main.mnuAccInput_Click();
            QVERIFY(run.msgs.last().text.startsWith(QStringLiteral("帐套[003]的账套库正在使用，无法覆盖：")));
            QCOMPARE(readAll(live), liveBytes);
            QCOMPARE(dump(env.db()), sys);
        }
        ImportRun run(lst);
        run.msgs.answer(vb::vbNo);
        run.msgs.answer(vb::vbYes);
        main.mnuAccInput_Click();
        QCOMPARE(run.msgs.texts().last(), QStringLiteral("帐套[003]引入成功！"));
        QCOMPARE(QDir(backup).entryList(QDir::Files | QDir::Hidden), (QStringList{QStringLiteral("kddata.BA_"), QStringLiteral("KdErpAct.Lst")}));
        QCOMPARE(QDir(books + QStringLiteral("/zt003/2008")).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("KdData.mdb")});
        QCOMPARE(Database(live).scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    }

    void yearDigits10_restoreIntoThe1910Folder()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        const QString backup = env.root() + QStringLiteral("/out");
        buildAndExport(QStringLiteral("004"), books, 2010, backup);
        QCOMPARE(BackupSet::readLine(backup + QStringLiteral("/KdErpAct.Lst"), 10), QStringLiteral("YYear=10"));
        // An export step that failed leaves its table out of the data file: the rest still comes back.
        Database(backup + QStringLiteral("/kddata.BA_")).execute(QStringLiteral("DROP TABLE SM_Log_Ex"));
        QVERIFY(AccountDeletion::DelAccFiles(*gSysDb, QStringLiteral("004")));
        QVERIFY(AccountDeletion::DelDbInfo(*gSysDb, QStringLiteral("004")));
        // The year folder 1910 is not made when the folder is kept, so it must be there already.
        QVERIFY(QDir().mkpath(books + QStringLiteral("/zt004/1910")));

        frmMain main;
        ImportRun run(backup + QStringLiteral("/KdErpAct.Lst"));
        run.msgs.answer(vb::vbNo);
        main.mnuAccInput_Click();
        QCOMPARE(run.inputLabel, QStringLiteral("正在引入[004]的1910年度帐套，请等待..."));
        QCOMPARE(run.msgs.texts().last(), QStringLiteral("帐套[004]引入成功！"));
        QVERIFY(QFileInfo(books + QStringLiteral("/zt004/1910/KdData.mdb")).isFile());
        QVERIFY(!QFileInfo::exists(books + QStringLiteral("/zt004/2010/KdData.mdb")));
        QCOMPARE(rows(env.db(), QStringLiteral("select iYear from SM_Account where cAcc_Id='004'")), QStringList{QStringLiteral("2010")});
        QCOMPARE(rows(env.db(), QStringLiteral("select count(*) from SM_Period where cAcc_Id='004'")), QStringList{QStringLiteral("12")});
        QCOMPARE(rows(env.db(), QStringLiteral("select count(*) from SM_Log where cAcc_Id='004'")), QStringList{QStringLiteral("0")});
    }
};

QTEST_MAIN(tst_import)
#include "tst_import.moc"
