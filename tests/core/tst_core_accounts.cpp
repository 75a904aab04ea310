// Creating and modifying an account set, run directly: the rows, folders and books it leaves,
// the messages it returns, and nothing left behind when it fails half-way.
#include "TestRoot.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <CiFile.h>
#include <Database.h>
#include <Installation.h>
#include <Paths.h>
#include <SysInfo.h>

#include <QDir>
#include <QtTest>

#include <functional>

namespace {
using Status = AccountSetOutcome::Status;
using Icon = Notice::Icon;

// Each row of the query as its columns joined by "|" (Null written "-").
QStringList rows(Database& db, const QString& sql, const QVariantList& params = {})
{
    QStringList out;
    for (Recordset rs = db.query(sql, params); !rs.Eof(); rs.MoveNext()) {
        QStringList cols;
        for (int i = 0; i < rs.FieldCount(); ++i)
            cols << (rs.Fields(i).isNull() ? QStringLiteral("-") : rs.Fields(i).toString());
        out << cols.join(QLatin1Char('|'));
    }
    return out;
}

QStringList rows(const QString& file, const QString& sql)
{
    Database db(file);
    return rows(db, sql);
}

QStringList options(const QString& books, const QString& captions)
{
    return rows(books, QStringLiteral("select cValue from AccInformation where cCaption in (%1) order by cName").arg(captions));
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
        const QString mirror = env.makeMirror();
        const QString shadow = Paths::join(SysInfo::systemDirectory(), QStringLiteral("deZaduzi不执行/DeZaduzi.mdb"));
        Installation::createSystemDatabase(shadow);
        const AccountSetOutcome out = AccountSetCreator(db).create(in);
        QCOMPARE(out.status, Status::Done);
        QVERIFY(out.notice.isEmpty());
        compareNotice(out.success, QStringLiteral("创建账套{O'Neil 账套:[007]}成功。"), QStringLiteral("创建账套"), Icon::Exclamation);
        const QString file = path + QStringLiteral("/zt007/2024/KdData.mdb");
        QCOMPARE(QStringList({out.accId, out.accName, out.accPath, out.accountDbPath}), QStringList({"007", "O'Neil 账套", path, file}));

        // Empty optional fields are Null; a quote is just a character.
        QCOMPARE(rows(db, QStringLiteral("select cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master,cUnitTel,cFinType,cEntType,cTradeKind,"
                                         "cUnitAbbre,cUnitEMail,cFinKind,iSysID is not null from SM_Account")),
                 QStringList{QStringLiteral("O'Neil 账套|%1|2024|3|demo|021-5555 0101|O'Brien \"分部\"|工业|2007年新会计准则|-|-|-|1").arg(path)});

        // Twelve calendar months of the start year; February of a leap year has 29 days.
        QStringList periods;
        for (int m = 1; m <= 12; ++m)
            periods << QStringLiteral("%1|%2|%3").arg(m).arg(QDate(2024, m, 1).toString(Qt::ISODate),
                                                             QDate(2024, m, 1).addMonths(1).addDays(-1).toString(Qt::ISODate));
        QCOMPARE(rows(db, QStringLiteral("select iId,dBegin,dEnd from SM_Period where cAcc_Id='007' and iYear=2024 order by iId")), periods);
        QCOMPARE(rows(db, QStringLiteral("select cUser_Id,cAuth_Id,iYear from SM_HoldAuth where cAcc_Id='007'")), QStringList{"demo|admin|2024"});
        QCOMPARE(rows(db, QStringLiteral("select cUser_Id,cGroup_Id from SM_Role")), QStringList{"demo|DATA-MANAGER"});
        QCOMPARE(rows(db, QStringLiteral("select * from CreateAcc")), QStringList{"007|O'Neil 账套"});

        // The books: options, coding rule and the industry's preset chart numbered in order.
        QCOMPARE(rows(file, QStringLiteral("select cCaption,cValue from AccInformation where cSysID='AA' and cID='AA' and cName like 'b%' order by cName")),
                 (QStringList{"客户是否分类|True", "有无外币核算|False", "存货是否分类|False", "供应商是否分类|False"}));
        QCOMPARE(rows(file, QStringLiteral("select CODINGRULE from GradeDef where keyword='code'")), QStringList{"422"});
        const QStringList preset = rows(db, QStringLiteral("select count(*),sum(igrade=3) from GL_DPrecode where itrade_id=1")).value(0).split('|');
        QVERIFY(preset.value(0).toInt() > 100);
        QCOMPARE(rows(file, QStringLiteral("select count(*),min(i_id),max(i_id),count(distinct i_id),sum(igrade=3),"
                                           "(select ccode||ccode_name from code where i_id=1),"
                                           "(select group_concat(distinct cbook_type||'/'||cbook_type_engl) from code) from code")),
                 QStringList{QStringLiteral("%1|1|%1|%1|%2|1001库存现金|金额式/JES").arg(preset.value(0), preset.value(1))});

        // The mirror learns of the new set only; the shadow gets the set's rows but no membership.
        QCOMPARE(rows(mirror, QStringLiteral("select (select group_concat(cAcc_Id) from CreateAcc),(select count(*) from SM_Account)")),
                 QStringList{"007|0"});
        QCOMPARE(rows(shadow, QStringLiteral("select cAcc_Name,(select count(*) from SM_Period),(select count(*) from SM_HoldAuth),"
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
        QCOMPARE(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{"zt001", "zt002"}));
        QCOMPARE(rows(db, QStringLiteral("select count(*) from SM_Role where cUser_Id='demo'")), QStringList{"1"});

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
        QCOMPARE(rows(out.accountDbPath, QStringLiteral("select ccode from code")), QStringList{"9999"});
        QCOMPARE(options(out.accountDbPath, QStringLiteral("'有无外币核算'")), QStringList{"True"});
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
        const struct {
            std::function<void(AccountSetInput&)> arrange;
            QString text, title;
            Icon icon;
        } cases[] = {
            // The books refuse the chart after they were copied and the system rows written.
            {[&](AccountSetInput& in) { in.templatePath = brokenTemplate(env.root()); },
             QStringLiteral("创建账套失败：注入的故障"), exclamation, Icon::Exclamation},
            {[&](AccountSetInput& in) { in.templatePath = env.root() + QStringLiteral("/none/KdData.mdb"); },
             QStringLiteral("生成账套时出现异常，创建失败！"), QStringLiteral("提示"), Icon::Information},
            // A file where a folder of the path must go.
            {[&](AccountSetInput&) { QFile blocker(made); QVERIFY(blocker.open(QIODevice::WriteOnly)); },
             QStringLiteral("创建账套失败：无法创建文件夹：%1").arg(AccountDb::yearFolder(path, QStringLiteral("001"), 2024)), exclamation, Icon::Exclamation},
            // A system database locked by another program: said as such.
            {[&](AccountSetInput&) { locker = std::make_unique<Database>(env.sysDbPath()); locker->execute(QStringLiteral("BEGIN EXCLUSIVE")); },
             QStringLiteral("创建账套失败：数据库已被其他程序锁定（database is locked），请稍后再试。"), exclamation, Icon::Exclamation},
        };
        for (const auto& c : cases) {
            AccountSetInput in = TestRoot::setInput(QStringLiteral("001"), path, QStringLiteral("2024"));
            c.arrange(in);
            const AccountSetOutcome out = creator.create(in);
            locker.reset();
            QFile::remove(made);
            QCOMPARE(out.status, Status::Failed);
            compareNotice(out.notice, c.text, c.title, c.icon);
            QVERIFY(out.success.isEmpty());
            // No row of any table; the folders made for the set go again, the one that was there stays.
            QCOMPARE(rows(db, QStringLiteral("select (select count(*) from SM_Account)+(select count(*) from SM_Period)+"
                                             "(select count(*) from SM_HoldAuth)+(select count(*) from SM_Role)")), QStringList{"0"});
            QVERIFY(!db.tables().contains(QStringLiteral("CreateAcc"), Qt::CaseInsensitive));
            QVERIFY(!QFileInfo::exists(made) && QFileInfo(kept).isDir());
        }

        // Books that were there before are never removed by a failure, nor their options changed.
        const QString year = AccountDb::yearFolder(path, QStringLiteral("003"), 2024);
        QVERIFY(QDir().mkpath(year) && QFile::copy(brokenTemplate(kept), year + QStringLiteral("/KdData.mdb")));
        AccountSetInput in = TestRoot::setInput(QStringLiteral("003"), path, QStringLiteral("2024"));
        in.frgnCurrencyAcc = true;
        QCOMPARE(creator.create(in).status, Status::Failed);
        QCOMPARE(rows(db, QStringLiteral("select count(*) from SM_Account")), QStringList{"0"});
        QCOMPARE(options(year + QStringLiteral("/KdData.mdb"), QStringLiteral("'有无外币核算'")), QStringList{"False"});

        // The same number and year twice: refused, the old set untouched.
        db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values ('004','旧','/tmp/',2026,1)"));
        const AccountSetOutcome out = creator.create(TestRoot::setInput(QStringLiteral("4"), path, QStringLiteral("2026")));
        QCOMPARE(out.status, Status::Failed);
        compareNotice(out.notice, QStringLiteral("账套[004]的2026年度已经存在，不能重复创建。"), exclamation, Icon::Exclamation);
        QCOMPARE(rows(db, QStringLiteral("select cAcc_Name from SM_Account")), QStringList{"旧"});
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
        QCOMPARE(out.accountDbPath, AccountDb::databasePath(env.root(), QStringLiteral("004"), 2024));
        // Every year rewritten; start month and supervisor are not editable.
        QCOMPARE(rows(db, QStringLiteral("select cAcc_Name,cUnitAbbre,cUnitFax,cTradeKind,iMonth,cAcc_Master from SM_Account order by iYear")),
                 (QStringList{"新名称|-|021-1|企业会计制度|5|demo", "新名称|-|021-1|企业会计制度|1|demo"}));
        QCOMPARE(options(out.accountDbPath, QStringLiteral("'存货是否分类','供应商是否分类'")), (QStringList{"False", "True"}));

        // Books missing: the wizard is abandoned with the message, and no file is made.
        QVERIFY(CiFile::remove(out.accountDbPath));
        in.accName = QStringLiteral("改名");
        AccountSetOutcome gone = creator.modify(in);
        QCOMPARE(gone.status, Status::Abandoned);
        compareNotice(gone.notice, QStringLiteral("账套出现异常，修改失败！"), QStringLiteral("提示"), Icon::Information);
        QVERIFY(!CiFile::exists(out.accountDbPath));
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
