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
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {
using Status = AccountSetOutcome::Status;

AccountSetInput input(const QString& acc, const QString& path, const QString& year, const QString& month = QStringLiteral("1"))
{
    AccountSetInput in;
    in.accId = acc;
    in.accName = QStringLiteral("账套") + acc;
    in.accPath = path;
    in.year = year;
    in.month = month;
    in.unitName = QStringLiteral("青木");
    in.master = QStringLiteral("[demo]demo");
    in.templatePath = TestRoot::templatePath();
    return in;
}

QStringList column(Database& db, const QString& sql, const QVariantList& params = {})
{
    QStringList out;
    for (Recordset rs = db.query(sql, params); !rs.Eof(); rs.MoveNext())
        out << rs.Fields(0).toString();
    return out;
}

int count(Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

// A copy of the template whose chart of accounts refuses every row: creation fails after the
// books were copied and the system rows written.
QString brokenTemplate(const QString& folder)
{
    const QString file = folder + QStringLiteral("/broken.mdb");
    if (!QFile::copy(TestRoot::templatePath(), file))
        return QString();
    Database db(file);
    db.execute(QStringLiteral("create trigger refuse_code before insert on code begin select raise(abort,'注入的故障'); end"));
    return file;
}

void compareNotice(const Notice& n, const QString& text, const QString& title, Notice::Icon icon)
{
    QCOMPARE(n.text, text);
    QCOMPARE(n.title, title);
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
        AccountSetInput in = input(QStringLiteral("7"), path, QStringLiteral("2024"), QStringLiteral("3"));
        in.accName = QStringLiteral(" O'Neil 账套 ");
        in.unitTel = QStringLiteral("021-5555 0101");
        in.finType = QStringLiteral("O'Brien \"分部\"");
        in.unitEMail = QStringLiteral("  ");
        in.custClass = true;
        const AccountSetOutcome out = AccountSetCreator(db).create(in);
        QCOMPARE(out.status, Status::Done);
        QVERIFY(out.notice.isEmpty());
        compareNotice(out.success, QStringLiteral("创建账套{O'Neil 账套:[007]}成功。"), QStringLiteral("创建账套"), Notice::Icon::Exclamation);
        QCOMPARE(out.accId, QStringLiteral("007"));
        QCOMPARE(out.accName, QStringLiteral("O'Neil 账套"));
        QCOMPARE(out.accPath, path);
        const QString file = path + QStringLiteral("/zt007/2024/KdData.mdb");
        QCOMPARE(out.accountDbPath, file);

        // Empty optional fields are Null; a quote is just a character.
        QCOMPARE(column(db, QStringLiteral("select cAcc_Name||'|'||cAcc_Path||'|'||iYear||'|'||iMonth||'|'||cAcc_Master||'|'||cUnitTel||'|'||"
                                           "cFinType||'|'||cEntType||'|'||cTradeKind||'|'||coalesce(cUnitAbbre,cUnitEMail,cFinKind,'Null')||'|'||"
                                           "(iSysID is not null) from SM_Account where cAcc_Id='007'")),
                 QStringList{QStringLiteral("O'Neil 账套|%1|2024|3|demo|021-5555 0101|O'Brien \"分部\"|工业|2007年新会计准则|Null|1").arg(path)});

        // Twelve calendar months of the start year; February of a leap year has 29 days.
        QCOMPARE(column(db, QStringLiteral("select iId||':'||dBegin||'..'||dEnd from SM_Period where cAcc_Id='007' and iYear=2024 and iId in (1,2,4,12)")),
                 (QStringList{"1:2024-01-01..2024-01-31", "2:2024-02-01..2024-02-29", "4:2024-04-01..2024-04-30", "12:2024-12-01..2024-12-31"}));
        QCOMPARE(count(db, QStringLiteral("select count(distinct iId) from SM_Period where cAcc_Id='007' and iYear=2024")), 12);
        QCOMPARE(column(db, QStringLiteral("select cUser_Id || '/' || cAuth_Id from SM_HoldAuth where cAcc_Id='007' and iYear=2024")),
                 QStringList{QStringLiteral("demo/admin")});
        QCOMPARE(column(db, QStringLiteral("select cGroup_Id from SM_Role where cUser_Id='demo'")), QStringList{QStringLiteral("DATA-MANAGER")});
        QCOMPARE(column(db, QStringLiteral("select cAcc_Id || cAcc_Name from CreateAcc")), QStringList{QStringLiteral("007O'Neil 账套")});

        // The books: options, coding rule and the industry's preset chart in order.
        Database books(file);
        QCOMPARE(column(books, QStringLiteral("select cCaption || '=' || cValue from AccInformation where cSysID='AA' and cID='AA' "
                                              "and cName like 'b%' order by cName")),
                 (QStringList{QStringLiteral("客户是否分类=True"), QStringLiteral("有无外币核算=False"),
                              QStringLiteral("存货是否分类=False"), QStringLiteral("供应商是否分类=False")}));
        QCOMPARE(books.scalar(QStringLiteral("select CODINGRULE from GradeDef where keyword='code'")).toString(), QStringLiteral("422"));
        const int preset = count(db, QStringLiteral("select count(*) from GL_DPrecode where itrade_id=1"));
        QVERIFY(preset > 100);
        Recordset code = books.query(QStringLiteral("select * from code order by i_id"));
        QCOMPARE(code.RecordCount(), preset);
        QCOMPARE(code.text(QStringLiteral("ccode")), QStringLiteral("1001"));
        QCOMPARE(code.text(QStringLiteral("ccode_name")), QStringLiteral("库存现金"));
        for (int i = 1; !code.Eof(); code.MoveNext(), ++i) {
            QCOMPARE(code.Fields(QStringLiteral("i_id")).toInt(), i);
            QCOMPARE(code.text(QStringLiteral("cbook_type")), QStringLiteral("金额式"));
            QCOMPARE(code.text(QStringLiteral("cbook_type_engl")), QStringLiteral("JES"));
        }
        QCOMPARE(count(books, QStringLiteral("select count(*) from code where igrade=3")),
                 count(db, QStringLiteral("select count(*) from GL_DPrecode where itrade_id=1 and igrade=3")));
    }

    void create_periodsFoldersAndExistingBooks()
    {
        TestRoot env;
        Database& db = env.db();
        AccountSetCreator creator(db);

        // A set starting in July of a common year still has the periods 1 to 12 of that year.
        const QString books = env.root() + QStringLiteral("/books");
        QCOMPARE(creator.create(input(QStringLiteral("1"), books + QStringLiteral("/"), QStringLiteral("2023"), QStringLiteral("7"))).status,
                 Status::Done);
        QCOMPARE(count(db, QStringLiteral("select iMonth from SM_Account where cAcc_Id='001'")), 7);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Period where cAcc_Id='001' and iYear=2023")), 12);
        QCOMPARE(db.scalar(QStringLiteral("select dEnd from SM_Period where cAcc_Id='001' and iId=2")).toString(), QStringLiteral("2023-02-28"));

        // With and without a trailing separator: the same folder of sets; a second set of the
        // same supervisor keeps the one DATA-MANAGER membership.
        QCOMPARE(creator.create(input(QStringLiteral("002"), books, QStringLiteral("2023"))).status, Status::Done);
        QCOMPARE(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{QStringLiteral("zt001"), QStringLiteral("zt002")}));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cUser_Id='demo'")), 1);

        // An account database already in the year folder is used as it is: its chart stays when
        // the preset box is clear, and the options are written into it.
        const QString year = books + QStringLiteral("/zt003/2023");
        QVERIFY(QDir().mkpath(year));
        QVERIFY(CiFile::copy(TestRoot::templatePath(), year + QStringLiteral("/kddata.mdb")));
        {
            Database own(year + QStringLiteral("/kddata.mdb"));
            own.execute(QStringLiteral("insert into code (i_id,ccode,ccode_name) values (1,'9999','自有科目')"));
        }
        AccountSetInput in = input(QStringLiteral("003"), books, QStringLiteral("2023"));
        in.presetChart = false;
        in.frgnCurrencyAcc = true;
        const AccountSetOutcome out = creator.create(in);
        QCOMPARE(out.status, Status::Done);
        QCOMPARE(out.accountDbPath, year + QStringLiteral("/kddata.mdb"));
        QCOMPARE(QDir(year).entryList(QDir::Files), QStringList{QStringLiteral("kddata.mdb")});
        Database own(out.accountDbPath);
        QCOMPARE(column(own, QStringLiteral("select ccode from code")), QStringList{QStringLiteral("9999")});
        QCOMPARE(own.scalar(QStringLiteral("select cValue from AccInformation where cCaption='有无外币核算'")).toString(), QStringLiteral("True"));
    }

    void create_failureLeavesNothingBehind()
    {
        TestRoot env;
        Database& db = env.db();
        AccountSetCreator creator(db);
        const QString kept = env.root() + QStringLiteral("/已有");
        QVERIFY(QDir().mkpath(kept));
        const QString path = kept + QStringLiteral("/新 目录/a");
        auto nothingLeft = [&](const QString& acc) {
            for (const char* table : {"SM_Account", "SM_Period", "SM_HoldAuth"})
                QCOMPARE(count(db, QStringLiteral("select count(*) from %1 where cAcc_Id=?").arg(QLatin1String(table)), {acc}), 0);
            QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role")), 0);
            QVERIFY(!db.tables().contains(QStringLiteral("CreateAcc"), Qt::CaseInsensitive));
            // The folders made for the set go again; the one that was there stays.
            QVERIFY(!QFileInfo::exists(kept + QStringLiteral("/新 目录")));
            QVERIFY(QFileInfo(kept).isDir());
        };

        // The books refuse the chart after they were copied and the system rows written.
        AccountSetInput in = input(QStringLiteral("001"), path, QStringLiteral("2024"));
        in.templatePath = brokenTemplate(env.root());
        QVERIFY(!in.templatePath.isEmpty());
        AccountSetOutcome out = creator.create(in);
        QCOMPARE(out.status, Status::Failed);
        compareNotice(out.notice, QStringLiteral("创建账套失败：注入的故障"), QStringLiteral("创建账套"), Notice::Icon::Exclamation);
        QVERIFY(out.success.isEmpty());
        nothingLeft(QStringLiteral("001"));

        // The template missing.
        in.templatePath = env.root() + QStringLiteral("/none/KdData.mdb");
        out = creator.create(in);
        QCOMPARE(out.status, Status::Failed);
        compareNotice(out.notice, QStringLiteral("生成账套时出现异常，创建失败！"), QStringLiteral("提示"), Notice::Icon::Information);
        nothingLeft(QStringLiteral("001"));

        // A file where a folder of the path must go.
        QFile blocker(kept + QStringLiteral("/新 目录"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        out = creator.create(input(QStringLiteral("001"), path + QStringLiteral("/b"), QStringLiteral("2024")));
        QCOMPARE(out.status, Status::Failed);
        QVERIFY(out.notice.text.startsWith(QStringLiteral("创建账套失败：无法创建文件夹")));
        QVERIFY(blocker.remove());
        nothingLeft(QStringLiteral("001"));

        // A system database locked by another program: said as such.
        {
            Database other(env.sysDbPath());
            other.execute(QStringLiteral("BEGIN EXCLUSIVE"));
            out = creator.create(input(QStringLiteral("002"), path, QStringLiteral("2024")));
            QCOMPARE(out.status, Status::Failed);
            QVERIFY(out.notice.text.contains(QStringLiteral("锁定")));
            other.execute(QStringLiteral("ROLLBACK"));
        }
        nothingLeft(QStringLiteral("002"));

        // Books that were there before are never removed by a failure.
        const QString year = AccountDb::yearFolder(path, QStringLiteral("003"), 2024);
        QVERIFY(QDir().mkpath(year));
        QVERIFY(QFile::copy(brokenTemplate(env.root() + QStringLiteral("/已有")), year + QStringLiteral("/KdData.mdb")));
        in = input(QStringLiteral("003"), path, QStringLiteral("2024"));
        in.frgnCurrencyAcc = true;
        QCOMPARE(creator.create(in).status, Status::Failed);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Account")), 0);
        {
            Database own(year + QStringLiteral("/KdData.mdb"));   // still there, its options as they were
            QCOMPARE(own.scalar(QStringLiteral("select cValue from AccInformation where cCaption='有无外币核算'")).toString(), QStringLiteral("False"));
        }

        // The same number and year twice: refused, the old set untouched.
        db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values ('004','旧','/tmp/',2026,1)"));
        out = creator.create(input(QStringLiteral("4"), path, QStringLiteral("2026")));
        QCOMPARE(out.status, Status::Failed);
        compareNotice(out.notice, QStringLiteral("账套[004]的2026年度已经存在，不能重复创建。"), QStringLiteral("创建账套"), Notice::Icon::Exclamation);
        QCOMPARE(column(db, QStringLiteral("select cAcc_Name from SM_Account")), QStringList{QStringLiteral("旧")});
    }

    void validation_refusesBeforeWriting()
    {
        TestRoot env;
        AccountSetCreator creator(env.db());
        const struct {
            QString field;
            QString value;
            QString refusal;
        } cases[] = {
            {QStringLiteral("id"), QStringLiteral("12a"), QStringLiteral("账套号必须是001到999之间的数字。")},
            {QStringLiteral("id"), QStringLiteral("1000"), QStringLiteral("账套号必须是001到999之间的数字。")},
            {QStringLiteral("id"), QStringLiteral("000"), QStringLiteral("账套号必须是001到999之间的数字。")},
            {QStringLiteral("name"), QStringLiteral("  "), QStringLiteral("账套名称不能为空。")},
            {QStringLiteral("path"), QString(), QStringLiteral("账套路径不能为空。")},
            {QStringLiteral("year"), QStringLiteral("0"), QStringLiteral("启用会计期的年度不正确。")},
            {QStringLiteral("month"), QStringLiteral("3月"), QStringLiteral("启用会计期的月份不正确。")},
            {QStringLiteral("master"), QStringLiteral("[]"), QStringLiteral("请选择账套主管。")},
        };
        for (const auto& c : cases) {
            AccountSetInput in = input(QStringLiteral("001"), env.root(), QStringLiteral("2024"));
            QString& field = c.field == QLatin1String("id") ? in.accId : c.field == QLatin1String("name") ? in.accName
                : c.field == QLatin1String("path") ? in.accPath : c.field == QLatin1String("year") ? in.year
                : c.field == QLatin1String("month") ? in.month : in.master;
            field = c.value;
            const AccountSetOutcome out = creator.create(in);
            QCOMPARE(out.status, Status::Failed);
            compareNotice(out.notice, c.refusal, QStringLiteral("创建账套"), Notice::Icon::Exclamation);
        }
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account")), 0);
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/zt001")));

        // Modification says so under its own title.
        AccountSetInput in = input(QStringLiteral("001"), env.root(), QStringLiteral("2024"));
        in.accName.clear();
        compareNotice(creator.modify(in).notice, QStringLiteral("账套名称不能为空。"), QStringLiteral("修改帐套"), Notice::Icon::Exclamation);
    }

    void create_shadowAndMirror()
    {
        TestRoot env;
        const QString mirror = env.makeMirror();
        const QString shadow = Paths::join(SysInfo::systemDirectory(), QStringLiteral("deZaduzi不执行/DeZaduzi.mdb"));
        Installation::createSystemDatabase(shadow);
        QCOMPARE(AccountSetCreator(env.db()).create(input(QStringLiteral("009"), env.root(), QStringLiteral("2025"))).status, Status::Done);
        Database m(mirror);
        QCOMPARE(column(m, QStringLiteral("select cAcc_Id from CreateAcc")), QStringList{QStringLiteral("009")});
        QCOMPARE(count(m, QStringLiteral("select count(*) from SM_Account")), 0);
        Database s(shadow);
        QCOMPARE(s.scalar(QStringLiteral("select cAcc_Name from SM_Account where cAcc_Id='009' and iYear=2025")).toString(), QStringLiteral("账套009"));
        QCOMPARE(count(s, QStringLiteral("select count(*) from SM_Period where cAcc_Id='009'")), 12);
        QCOMPARE(count(s, QStringLiteral("select count(*) from SM_HoldAuth where cAcc_Id='009'")), 1);
        QCOMPARE(count(s, QStringLiteral("select count(*) from SM_Role")), 0);
    }

    void modify_rewritesEveryYearAndTheOptions()
    {
        TestRoot env;
        Database& db = env.db();
        AccountSetCreator creator(db);
        AccountSetInput in = input(QStringLiteral("004"), env.root(), QStringLiteral("2024"), QStringLiteral("5"));
        in.unitAbbre = QStringLiteral("青");
        in.goodClass = true;
        QCOMPARE(creator.create(in).status, Status::Done);
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
        compareNotice(out.success, QStringLiteral("修改账套{新名称:[004]}成功。"), QStringLiteral("修改账套"), Notice::Icon::Exclamation);
        QCOMPARE(out.accountDbPath, AccountDb::databasePath(env.root(), QStringLiteral("004"), 2024));
        QCOMPARE(column(db, QStringLiteral("select cAcc_Name || '|' || coalesce(cUnitAbbre,'-') || '|' || cUnitFax || '|' || cTradeKind "
                                           "from SM_Account where cAcc_Id='004' order by iYear")),
                 (QStringList{QStringLiteral("新名称|-|021-1|企业会计制度"), QStringLiteral("新名称|-|021-1|企业会计制度")}));
        // Start month and supervisor are not editable.
        QCOMPARE(column(db, QStringLiteral("select iMonth || cAcc_Master from SM_Account where cAcc_Id='004' order by iYear")),
                 (QStringList{QStringLiteral("5demo"), QStringLiteral("1demo")}));
        Database books(out.accountDbPath);
        QCOMPARE(column(books, QStringLiteral("select cValue from AccInformation where cCaption in ('存货是否分类','供应商是否分类') order by cName")),
                 (QStringList{QStringLiteral("False"), QStringLiteral("True")}));

        // Books missing: the wizard is abandoned with the message.
        QVERIFY(CiFile::remove(out.accountDbPath));
        in.accName = QStringLiteral("改名");
        AccountSetOutcome gone = creator.modify(in);
        QCOMPARE(gone.status, Status::Abandoned);
        compareNotice(gone.notice, QStringLiteral("账套出现异常，修改失败！"), QStringLiteral("提示"), Notice::Icon::Information);
        QVERIFY(!CiFile::exists(out.accountDbPath));

        // A set that is not there.
        in.accId = QStringLiteral("404");
        gone = creator.modify(in);
        QCOMPARE(gone.status, Status::Failed);
        compareNotice(gone.notice, QStringLiteral("修改账套失败：账套[404]不存在。"), QStringLiteral("修改帐套"), Notice::Icon::Exclamation);
    }
};

QTEST_GUILESS_MAIN(tst_core_accounts)
#include "tst_core_accounts.moc"
