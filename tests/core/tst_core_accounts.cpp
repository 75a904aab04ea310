// Creating and modifying an account set, run directly: the rows, folders and books it leaves,
// the messages it returns, and nothing left behind when it fails half-way. Run once per engine
// (TestRoot): on a server the books are a schema and no folder is made.
#include "BackupFixture.h"
#include "TestEngine.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <CiFile.h>
#include <Database.h>
#include <Installation.h>
#include <Paths.h>
#include <SysInfo.h>

#include <QDir>
#include <QThread>
#include <QtTest>

#include <functional>

namespace {
using Status = AccountSetOutcome::Status;
using Icon = Notice::Icon;

// The rows of a query on the books at `location` (a file, or on a server a schema).
QStringList rows(Database& sysDb, const QString& location, const QString& sql)
{
    return rows(*AccountDb::openAt(sysDb, location), sql);
}

QStringList options(Database& sysDb, const QString& books, const QString& captions)
{
    return rows(sysDb, books, QStringLiteral("select cValue from AccInformation where cCaption in (%1) order by cName").arg(captions));
}

// Where creation puts the books of a set and year made under `path`.
QString booksAt(const QString& path, const QString& acc, int year)
{
    return TestRoot::onServer() ? AccountDb::booksSchema(acc, year) : AccountDb::databasePath(path, acc, year);
}

// Whether books are at `location`: the file, or on a server the schema.
bool booksExist(Database& sysDb, const QString& location)
{
    return TestRoot::onServer() ? sysDb.schemaExists(location) : CiFile::isFile(location);
}

// A copy of the template whose chart of accounts refuses every row: creation fails after the
// books were copied and the system rows written.
QString brokenTemplate(const QString& folder)
{
    const QString file = folder + QStringLiteral("/broken.mdb");
    if (!QFile::copy(TestRoot::templatePath(), file))
        return QString();
    Database(file).execute(QStringLiteral("create trigger refuse_code before insert on code begin select raise(abort,'注入的故障'); end"));
    return file;
}

void compareNotice(const Notice& n, const QString& text, const QString& title, Icon icon)
{
    QCOMPARE(QStringList({n.text, n.title}), QStringList({text, title}));
    QCOMPARE(n.icon, icon);
}
} // namespace

class tst_core_accounts : public QObject {
    Q_OBJECT
private slots:
    void create_writesTheWholeSet()
    {
        TestRoot env;
        Database& db = env.db();
        const QString path = env.root() + QStringLiteral("/财务 数据/深层/账套");   // blanks, Chinese, missing levels
        AccountSetInput in = TestRoot::setInput(QStringLiteral("7"), path, QStringLiteral("2024"), QStringLiteral("3"));
        in.accName = QStringLiteral(" O'Neil 账套 ");
        in.unitTel = QStringLiteral("021-5555 0101");
        in.finType = QStringLiteral("O'Brien \"分部\"");
        in.unitEMail = QStringLiteral("  ");
        in.custClass = true;
        // A server installation has no mirror or shadow on the workstation.
        const QString mirror = TestRoot::onServer() ? QString() : env.makeMirror();
        const QString shadow = TestRoot::onServer() ? QString() : Paths::join(SysInfo::systemDirectory(), QStringLiteral("deZaduzi不执行/DeZaduzi.mdb"));
        if (!shadow.isEmpty())
            Installation::createSystemDatabase(shadow, true);
        const AccountSetOutcome out = AccountSetCreator(db).create(in);
        QCOMPARE(out.status, Status::Done);
        QVERIFY(out.notice.isEmpty());
        compareNotice(out.success, QStringLiteral("创建账套{O'Neil 账套:[007]}成功。"), QStringLiteral("创建账套"), Icon::Exclamation);
        const QString file = TestRoot::onServer() ? QStringLiteral("zt007_2024") : path + QStringLiteral("/zt007/2024/KdData.mdb");
        QCOMPARE(QStringList({out.accId, out.accName, out.accPath, out.accountDbPath}), QStringList({"007", "O'Neil 账套", path, file}));
        // On a server the path is the set's text only: nothing is made on the workstation.
        QCOMPARE(QFileInfo::exists(path), !TestRoot::onServer());

        // Empty optional fields are Null; a quote is just a character.
        QCOMPARE(rows(db, QStringLiteral("select cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master,cUnitTel,cFinType,cEntType,cTradeKind,"
                                         "cUnitAbbre,cUnitEMail,cFinKind,case when iSysID is not null then 1 end from SM_Account")),
                 QStringList{QStringLiteral("O'Neil 账套|%1|2024|3|demo|021-5555 0101|O'Brien \"分部\"|工业|2007年新会计准则|<null>|<null>|<null>|1").arg(path)});

        // Twelve calendar months of the start year (their days: tst_core_setup's period rules).
        QCOMPARE(rows(db, QStringLiteral("select count(distinct iId),min(iId),max(iId),count(distinct dBegin),min(dBegin),max(dEnd) "
                                         "from SM_Period where cAcc_Id='007' and iYear=2024")),
                 QStringList{"12|1|12|12|2024-01-01|2024-12-31"});
        QCOMPARE(rows(db, QStringLiteral("select cUser_Id,cAuth_Id,iYear from SM_HoldAuth where cAcc_Id='007'")), QStringList{"demo|admin|2024"});
        QCOMPARE(rows(db, QStringLiteral("select cUser_Id,cGroup_Id from SM_Role")), QStringList{"demo|DATA-MANAGER"});
        QCOMPARE(rows(db, QStringLiteral("select * from CreateAcc")), QStringList{"007|O'Neil 账套"});

        // The books: options, coding rule and the industry's preset chart numbered in order.
        QCOMPARE(rows(db, file, QStringLiteral("select cCaption,cValue from AccInformation where cSysID='AA' and cID='AA' "
                                               "and substr(cName,1,1)='b' order by cName")),
                 (QStringList{"客户是否分类|True", "有无外币核算|False", "存货是否分类|False", "供应商是否分类|False"}));
        QCOMPARE(rows(db, file, QStringLiteral("select CODINGRULE from GradeDef where keyword='code'")), QStringList{"422"});
        const QString third = QStringLiteral("sum(case when igrade=3 then 1 else 0 end)");
        const QStringList preset = rows(db, QStringLiteral("select count(*),%1 from GL_DPrecode where itrade_id=1").arg(third)).value(0).split('|');
        QVERIFY(preset.value(0).toInt() > 100);
        QCOMPARE(rows(db, file, QStringLiteral("select count(*),min(i_id),max(i_id),count(distinct i_id),%1,"
                                               "(select ccode||ccode_name from code where i_id=1),"
                                               "(select count(distinct cbook_type||'/'||cbook_type_engl) from code),"
                                               "(select min(cbook_type||'/'||cbook_type_engl) from code) from code").arg(third)),
                 QStringList{QStringLiteral("%1|1|%1|%1|%2|1001库存现金|1|金额式/JES").arg(preset.value(0), preset.value(1))});

        if (TestRoot::onServer())
            return;
        // The mirror learns of the new set only; the shadow gets the set's rows but no membership.
        Database mirrorDb(mirror), shadowDb(shadow);
        QCOMPARE(rows(mirrorDb, QStringLiteral("select (select group_concat(cAcc_Id) from CreateAcc),(select count(*) from SM_Account)")),
                 QStringList{"007|0"});
        QCOMPARE(rows(shadowDb, QStringLiteral("select cAcc_Name,(select count(*) from SM_Period),(select count(*) from SM_HoldAuth),"
                                             "(select count(*) from SM_Role) from SM_Account where cAcc_Id='007' and iYear=2024")),
                 QStringList{"O'Neil 账套|12|1|0"});
    }

    void create_periodsFoldersAndExistingBooks()
    {
        TestRoot env;
        Database& db = env.db();
        AccountSetCreator creator(db);

        // A set starting in July of a common year still has the periods 1 to 12 of that year.
        const QString books = env.root() + QStringLiteral("/books");
        QVERIFY(creator.create(TestRoot::setInput(QStringLiteral("1"), books + QStringLiteral("/"), QStringLiteral("2023"), QStringLiteral("7"))).done());
        QCOMPARE(rows(db, QStringLiteral("select iMonth,(select count(*) from SM_Period where cAcc_Id='001' and iYear=2023),"
                                         "(select dEnd from SM_Period where cAcc_Id='001' and iId=2) from SM_Account where cAcc_Id='001'")),
                 QStringList{"7|12|2023-02-28"});

        // With and without a trailing separator: the same folder of sets; a second set of the
        // same supervisor keeps the one DATA-MANAGER membership.
        QVERIFY(creator.create(TestRoot::setInput(QStringLiteral("002"), books, QStringLiteral("2023"))).done());
        QCOMPARE(rows(db, QStringLiteral("select count(*) from SM_Role where cUser_Id='demo'")), QStringList{"1"});
        SKIP_ON_SERVER("the rest is about the folders of the sets");
        QCOMPARE(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"zt001", "zt002"}));

        // An account database already in the year folder is used as it is: its chart stays when
        // the preset box is clear, and the options are written into it.
        const QString year = books + QStringLiteral("/zt003/2023");
        QVERIFY(QDir().mkpath(year) && CiFile::copy(TestRoot::templatePath(), year + QStringLiteral("/kddata.mdb")));
        Database(year + QStringLiteral("/kddata.mdb")).execute(QStringLiteral("insert into code (i_id,ccode,ccode_name) values (1,'9999','自有科目')"));
        AccountSetInput in = TestRoot::setInput(QStringLiteral("003"), books, QStringLiteral("2023"));
        in.presetChart = false;
        in.frgnCurrencyAcc = true;
        const AccountSetOutcome out = creator.create(in);
        QCOMPARE(out.status, Status::Done);
        QCOMPARE(out.accountDbPath, year + QStringLiteral("/kddata.mdb"));
        QCOMPARE(QDir(year).entryList(QDir::Files), QStringList{"kddata.mdb"});
        QCOMPARE(rows(db, out.accountDbPath, QStringLiteral("select ccode from code")), QStringList{"9999"});
        QCOMPARE(options(db, out.accountDbPath, QStringLiteral("'有无外币核算'")), QStringList{"True"});
    }

    void create_failureLeavesNothingBehind()
    {
        TestRoot env;
        Database& db = env.db();
        AccountSetCreator creator(db);
        const QString kept = env.root() + QStringLiteral("/已有");
        const QString made = kept + QStringLiteral("/新 目录");
        const QString path = made + QStringLiteral("/a");
        QVERIFY(QDir().mkpath(kept));
        std::unique_ptr<Database> locker;
        const QString exclamation = QStringLiteral("创建账套");
        const bool server = TestRoot::onServer();
        const struct {
            bool files;   // about the workstation's files: SQLite only
            std::function<void(AccountSetInput&)> arrange;
            QString text, title;
            Icon icon;
        } cases[] = {
            // The last statement of creation, its log row, is refused: everything before it goes.
            {false, [&](AccountSetInput&) { TestEngine::refuseInserts(db, QStringLiteral("SM_Log"), QStringLiteral("注入的故障")); },
             QStringLiteral("创建账套失败：注入的故障"), exclamation, Icon::Exclamation},
            // The books refuse the chart after they were copied and the system rows written.
            {true, [&](AccountSetInput& in) { in.templatePath = brokenTemplate(env.root()); },
             QStringLiteral("创建账套失败：注入的故障"), exclamation, Icon::Exclamation},
            {true, [&](AccountSetInput& in) { in.templatePath = env.root() + QStringLiteral("/none/KdData.mdb"); },
             QStringLiteral("生成账套时出现异常，创建失败！"), QStringLiteral("提示"), Icon::Information},
            // A file where a folder of the path must go.
            {true, [&](AccountSetInput&) { QFile blocker(made); QVERIFY(blocker.open(QIODevice::WriteOnly)); },
             QStringLiteral("创建账套失败：无法创建文件夹：%1").arg(AccountDb::yearFolder(path, QStringLiteral("001"), 2024)), exclamation, Icon::Exclamation},
            // A system database locked by another program: said as such.
            {true, [&](AccountSetInput&) { locker = std::make_unique<Database>(env.sysDbPath()); locker->execute(QStringLiteral("BEGIN EXCLUSIVE")); },
             QStringLiteral("创建账套失败：数据库已被其他程序锁定，请稍后再试。"), exclamation, Icon::Exclamation},
        };
        for (const auto& c : cases) {
            if (server && c.files)
                continue;
            AccountSetInput in = TestRoot::setInput(QStringLiteral("001"), path, QStringLiteral("2024"));
            c.arrange(in);
            const AccountSetOutcome out = creator.create(in);
            locker.reset();
            QFile::remove(made);
            if (!c.files)
                TestEngine::allowInserts(db, QStringLiteral("SM_Log"));
            QCOMPARE(out.status, Status::Failed);
            compareNotice(out.notice, c.text, c.title, c.icon);
            QVERIFY(out.success.isEmpty());
            // No row of any table; the folders made for the set go again, the one that was there stays.
            QCOMPARE(rows(db, QStringLiteral("select (select count(*) from SM_Account)+(select count(*) from SM_Period)+"
                                             "(select count(*) from SM_HoldAuth)+(select count(*) from SM_Role)")), QStringList{"0"});
            QVERIFY(!db.tables().contains(QStringLiteral("CreateAcc"), Qt::CaseInsensitive));
            QVERIFY(!QFileInfo::exists(made) && QFileInfo(kept).isDir());
            QVERIFY(!booksExist(db, booksAt(path, QStringLiteral("001"), 2024)));
        }

        // The same number and year twice: refused, the old set untouched.
        db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values ('004','旧','/tmp/',2026,1)"));
        const AccountSetOutcome out = creator.create(TestRoot::setInput(QStringLiteral("4"), path, QStringLiteral("2026")));
        QCOMPARE(out.status, Status::Failed);
        compareNotice(out.notice, QStringLiteral("账套[004]的2026年度已经存在，不能重复创建。"), exclamation, Icon::Exclamation);
        QCOMPARE(rows(db, QStringLiteral("select cAcc_Name from SM_Account")), QStringList{"旧"});

        SKIP_ON_SERVER("books on a server are made with the set, not found in a folder");
        // Books that were there before are never removed by a failure, nor their options changed.
        const QString year = AccountDb::yearFolder(path, QStringLiteral("003"), 2024);
        QVERIFY(QDir().mkpath(year) && QFile::copy(brokenTemplate(kept), year + QStringLiteral("/KdData.mdb")));
        AccountSetInput in = TestRoot::setInput(QStringLiteral("003"), path, QStringLiteral("2024"));
        in.frgnCurrencyAcc = true;
        QCOMPARE(creator.create(in).status, Status::Failed);
        QCOMPARE(rows(db, QStringLiteral("select count(*) from SM_Account where cAcc_Id='003'")), QStringList{"0"});
        QCOMPARE(options(db, year + QStringLiteral("/KdData.mdb"), QStringLiteral("'有无外币核算'")), QStringList{"False"});
    }

    void create_sameSetFromTwoSessionsAtOnce()
    {
        // Two administrators create set 005 of 2026 at once, each on a connection of their own. A
        // third session holds the log, so the first creation waits at its last statement with all
        // else written; the second then meets it inside its own transaction. One set is made whole,
        // the other is told it exists, and nothing of the loser stays.
        TestRoot env;
        Database& db = env.db();
        const bool server = TestRoot::onServer();
        Database holder;
        holder.openLike(db);
        holder.execute(server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN EXCLUSIVE"));
        if (server)
            holder.execute(QStringLiteral("LOCK TABLE SM_Log IN EXCLUSIVE MODE"));
        // The sessions of this database waiting for a lock (on SQLite: a moment for both to start).
        const auto waiting = [&](int n) {
            if (!server) {
                QThread::msleep(300);
                return true;
            }
            for (int i = 0; i < 500; ++i) {
                if (db.scalar(QStringLiteral("select count(*) from pg_stat_activity where datname=current_database() "
                                             "and wait_event_type='Lock'")).toInt() >= n)
                    return true;
                QThread::msleep(10);
            }
            return false;
        };
        AccountSetOutcome outs[2];
        const QString books = env.root() + QStringLiteral("/books");
        const auto session = [&](AccountSetOutcome* out) {
            return QThread::create([&db, out, books] {
                Database own;
                own.openLike(db);
                *out = AccountSetCreator(own).create(TestRoot::setInput(QStringLiteral("005"), books, QStringLiteral("2026")));
            });
        };
        std::unique_ptr<QThread> first(session(&outs[0])), second(session(&outs[1]));
        first->start();
        QVERIFY(waiting(1));
        second->start();
        QVERIFY(waiting(2));
        holder.execute(QStringLiteral("ROLLBACK"));
        QVERIFY(first->wait(30000) && second->wait(30000));

        QCOMPARE(int(outs[0].done()) + int(outs[1].done()), 1);
        const AccountSetOutcome& lost = outs[0].done() ? outs[1] : outs[0];
        compareNotice(lost.notice, QStringLiteral("账套[005]的2026年度已经存在，不能重复创建。"), QStringLiteral("创建账套"), Icon::Exclamation);
        QCOMPARE(rows(db, QStringLiteral("select (select count(*) from SM_Account),(select count(*) from SM_Period),"
                                         "(select count(*) from SM_HoldAuth),(select count(*) from SM_Role),(select count(*) from CreateAcc)")),
                 QStringList{"1|12|1|1|1"});
        const QString chart = rows(db, QStringLiteral("select count(*) from GL_DPrecode where itrade_id=1")).value(0);
        QCOMPARE(rows(db, booksAt(books, QStringLiteral("005"), 2026), QStringLiteral("select count(*),count(distinct ccode) from code")),
                 QStringList{chart + QLatin1Char('|') + chart});
    }

    void validation_refusesBeforeWriting()
    {
        TestRoot env;
        AccountSetCreator creator(env.db());
        const QString badId = QStringLiteral("账套号必须是001到999之间的数字。");
        const struct {
            QString AccountSetInput::*field;
            QString value;
            QString refusal;
        } cases[] = {
            {&AccountSetInput::accId, QStringLiteral("12a"), badId},
            {&AccountSetInput::accId, QStringLiteral("1000"), badId},
            {&AccountSetInput::accId, QStringLiteral("000"), badId},
            {&AccountSetInput::accName, QStringLiteral("  "), QStringLiteral("账套名称不能为空。")},
            {&AccountSetInput::accPath, QString(), QStringLiteral("账套路径不能为空。")},
            {&AccountSetInput::year, QStringLiteral("0"), QStringLiteral("启用会计期的年度不正确。")},
            {&AccountSetInput::month, QStringLiteral("3月"), QStringLiteral("启用会计期的月份不正确。")},
            {&AccountSetInput::master, QStringLiteral("[]"), QStringLiteral("请选择账套主管。")},
        };
        for (const auto& c : cases) {
            AccountSetInput in = TestRoot::setInput(QStringLiteral("001"), env.root(), QStringLiteral("2024"));
            in.*c.field = c.value;
            const AccountSetOutcome out = creator.create(in);
            QCOMPARE(out.status, Status::Failed);
            compareNotice(out.notice, c.refusal, QStringLiteral("创建账套"), Icon::Exclamation);
        }
        QCOMPARE(rows(env.db(), QStringLiteral("select count(*) from SM_Account")), QStringList{"0"});
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/zt001")));

        // Modification says so under its own title.
        AccountSetInput in = TestRoot::setInput(QStringLiteral("001"), env.root(), QStringLiteral("2024"));
        in.accName.clear();
        compareNotice(creator.modify(in).notice, QStringLiteral("账套名称不能为空。"), QStringLiteral("修改帐套"), Icon::Exclamation);
    }

    void modify_rewritesEveryYearAndTheOptions()
    {
        TestRoot env;
        Database& db = env.db();
        AccountSetCreator creator(db);
        AccountSetInput in = TestRoot::setInput(QStringLiteral("004"), env.root(), QStringLiteral("2024"), QStringLiteral("5"));
        in.unitAbbre = QStringLiteral("青");
        in.goodClass = true;
        QVERIFY(creator.create(in).done());
        db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master) values ('004','账套004',?,2025,1,'demo')"),
                   {env.root()});

        in.accName = QStringLiteral("新名称");
        in.unitAbbre.clear();
        in.unitFax = QStringLiteral("021-1");
        in.tradeKind = QStringLiteral("企业会计制度");
        in.month = QStringLiteral("9");
        in.master = QStringLiteral("admin");
        in.goodClass = false;
        in.provClass = true;
        const AccountSetOutcome out = creator.modify(in);
        QCOMPARE(out.status, Status::Done);
        compareNotice(out.success, QStringLiteral("修改账套{新名称:[004]}成功。"), QStringLiteral("修改账套"), Icon::Exclamation);
        QCOMPARE(out.accountDbPath, booksAt(env.root(), QStringLiteral("004"), 2024));
        // Every year rewritten; start month and supervisor are not editable.
        QCOMPARE(rows(db, QStringLiteral("select cAcc_Name,cUnitAbbre,cUnitFax,cTradeKind,iMonth,cAcc_Master from SM_Account order by iYear")),
                 (QStringList{"新名称|<null>|021-1|企业会计制度|5|demo", "新名称|<null>|021-1|企业会计制度|1|demo"}));
        QCOMPARE(options(db, out.accountDbPath, QStringLiteral("'存货是否分类','供应商是否分类'")), (QStringList{"False", "True"}));

        // Books missing: the wizard is abandoned with the message, and no file is made.
        if (TestRoot::onServer())
            db.execute(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(out.accountDbPath));
        else
            QVERIFY(CiFile::remove(out.accountDbPath));
        in.accName = QStringLiteral("改名");
        AccountSetOutcome gone = creator.modify(in);
        QCOMPARE(gone.status, Status::Abandoned);
        compareNotice(gone.notice, QStringLiteral("账套出现异常，修改失败！"), QStringLiteral("提示"), Icon::Information);
        QVERIFY(!booksExist(db, out.accountDbPath));
        QCOMPARE(rows(db, QStringLiteral("select distinct cAcc_Name from SM_Account")), QStringList{"改名"});

        // A set that is not there.
        in.accId = QStringLiteral("404");
        gone = creator.modify(in);
        QCOMPARE(gone.status, Status::Failed);
        compareNotice(gone.notice, QStringLiteral("修改账套失败：账套[404]不存在。"), QStringLiteral("修改帐套"), Icon::Exclamation);
    }
};

QTEST_GUILESS_MAIN(tst_core_accounts)
#include "tst_core_accounts.moc"
