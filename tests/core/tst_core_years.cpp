// The year menu's configuration work, run directly: 建立 (the next year of a set, made from its
// latest year) and 结转上年数据 (the year before's chart, coding scheme and precision carried
// into the year logged into). Run once per engine (TestRoot): on a server the books are schemas.
#include "BackupFixture.h"
#include "TestEngine.h"
#include "TestFiles.h"
#include "TestRoot.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <CarryForward.h>
#include <CiFile.h>
#include <Database.h>
#include <NewYear.h>
#include <SubsystemEnabler.h>

#include <QDir>
#include <QtTest>

#include <functional>

namespace {
// The rows of a query on the books of set 001 and `year`.
QStringList books(Database& sysDb, int year, const QString& sql)
{
    return rows(*AccountDb::open(sysDb, QStringLiteral("001"), year), sql);
}

void write(Database& sysDb, int year, const QString& sql)
{
    AccountDb::open(sysDb, QStringLiteral("001"), year)->execute(sql);
}

// The books' three tables, as a year's configuration compares: the marks 建立 leaves are its own.
QStringList configuration(Database& sysDb, int year)
{
    return books(sysDb, year, QStringLiteral("select cSysID,cID,cName,cCaption,cType,cValue,cDefault from AccInformation "
                                             "where cID<>'NewYear' order by cSysID,cName"))
        + books(sysDb, year, QStringLiteral("select * from GradeDef order by keyword"))
        + books(sysDb, year, QStringLiteral("select * from code order by ccode"));
}

// Set 001 of 2024 supervised by demo, with a second operator's grant, GL and WA enabled, and its
// own options, scheme, precision and one account of its own (so a copy of the template would show).
void makeSet(TestRoot& env, int year = 2024)
{
    Database& db = env.db();
    QVERIFY(AccountSetCreator(db).create(TestRoot::setInput(QStringLiteral("001"), env.root(), QString::number(year))).done());
    db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',?,'op2','GL0101')"), {year});
    SubsystemEnabler subs(db);
    subs.enable({QStringLiteral("001"), QStringLiteral("GL"), QDate(year, 3, 15), AccountDb::location(db, QStringLiteral("001"), year)});
    subs.enable({QStringLiteral("001"), QStringLiteral("WA"), QDate(year, 5, 1), QString()});
    write(db, year, QStringLiteral("update GradeDef set CODINGRULE='4322' where keyword='code'"));
    write(db, year, QStringLiteral("update AccInformation set cValue='4' where cName='iStrsPriDecDgt'"));
    write(db, year, QStringLiteral("insert into code (i_id,ccode,ccode_name,igrade,bproperty,bend) values (900,'109901','工行',2,1,1)"));
}

AccountSetOutcome makeYear(Database& db, const QString& who = QStringLiteral("demo"))
{
    NewYear work(db);
    return work.make(work.plan(QStringLiteral("001"), who));
}

// Rows of every table the year's system rows live in, and whether its books are there.
QString traces(Database& db, const QString& root, int year)
{
    const QString next = TestRoot::onServer() ? AccountDb::booksSchema(QStringLiteral("001"), year)
                                              : AccountDb::databasePath(root, QStringLiteral("001"), year);
    const bool made = TestRoot::onServer() ? db.schemaExists(next) : CiFile::isFile(next) || CiFile::isFile(next + QStringLiteral(".new"));
    return rows(db, QStringLiteral("select (select count(*) from SM_Account where iYear=?)+(select count(*) from SM_Period where iYear=?)+"
                                   "(select count(*) from SM_HoldAuth where iYear=?)+(select count(*) from SM_Account_sub where iYear=?)"),
                {year, year, year, year})
               .value(0)
        + (made ? QStringLiteral("+books") : QString());
}

QStringList logged(Database& db, const QString& action)
{
    return rows(db, QStringLiteral("select iYear,cResult from SM_Log where cAction=? order by rowid"), {action});
}
} // namespace

class tst_core_years : public QObject {
    Q_OBJECT
private slots:
    void newYear_copiesTheLatestYear()
    {
        TestRoot env;
        Database& db = env.db();
        makeSet(env);
        NewYear work(db);
        const NewYear::Plan plan = work.plan(QStringLiteral("001"), QStringLiteral("demo"));
        QVERIFY(plan.ok());
        QCOMPARE(QList<int>({plan.fromYear, plan.newYear}), QList<int>({2024, 2025}));
        QCOMPARE(plan.question.text, QStringLiteral("为账套[001]账套001建立2025年度吗？新年度沿用2024年度的选项、编码方案、数据精度、"
                                                    "会计科目、权限和已启用的子系统。"));
        const AccountSetOutcome out = work.make(plan);
        QVERIFY2(out.done(), qPrintable(out.notice.text));
        QCOMPARE(out.success.text, QStringLiteral("账套[001]账套001的2025年度已建立。"));

        // The row is the latest year's under the new year, from its first month.
        const QString account = QStringLiteral("select iSysID,cAcc_Name,cAcc_Path,cAcc_Master,cCurCode,cUnitName,cEntType,cTradeKind,"
                                               "iMonth from SM_Account where iYear=?");
        QCOMPARE(rows(db, account, {2025}), rows(db, account, {2024}));
        QCOMPARE(rows(db, QStringLiteral("select iMonth from SM_Account where iYear=2025")), QStringList{"1"});
        // Twelve calendar months of the new year (their days: tst_core_setup's period rules).
        QCOMPARE(rows(db, QStringLiteral("select count(distinct iId),min(iId),max(iId),count(distinct dBegin),min(dBegin),max(dEnd) "
                                         "from SM_Period where iYear=2025")),
                 QStringList{"12|1|12|12|2025-01-01|2025-12-31"});
        QCOMPARE(rows(db, QStringLiteral("select cUser_Id,cAuth_Id from SM_HoldAuth where iYear=2025 order by cUser_Id")),
                 (QStringList{"demo|admin", "op2|GL0101"}));
        // The modules run on from the new year's first period; their first enabling (9999) stays.
        QCOMPARE(rows(db, QStringLiteral("select iYear,cSub_Id,iModiPeri,dSubSysUsed from SM_Account_sub order by iYear,cSub_Id")),
                 (QStringList{"2024|GL|0|2024-03-01", "2024|WA|4|<null>", "2025|GL|0|2025-01-01", "2025|WA|0|<null>", "9999|GL|0|2024-03-01",
                              "9999|WA|0|2024-05-01"}));

        // The books hold the latest year's three tables and nothing else (no temporary file beside them).
        QCOMPARE(configuration(db, 2025), configuration(db, 2024));
        QCOMPARE(books(db, 2025, QStringLiteral("select count(*) from AccInformation where cID='NewYear'")), QStringList{"2"});
        QCOMPARE(AccountDb::open(db, QStringLiteral("001"), 2025)->tables().size(), 3);
        QCOMPARE(out.accountDbPath, AccountDb::location(db, QStringLiteral("001"), 2025));
        if (!TestRoot::onServer())
            QCOMPARE(QDir(AccountDb::yearFolder(env.root(), QStringLiteral("001"), 2025)).entryList(QDir::Files), QStringList{"KdData.mdb"});
        QCOMPARE(logged(db, QStringLiteral("YEAR_CREATE")), QStringList{"2025|成功"});
    }

    void newYear_refusals()
    {
        TestRoot env;
        Database& db = env.db();
        makeSet(env);
        QVERIFY(makeYear(db).done());
        const struct {
            std::function<void()> arrange;
            QString accId, operatorId, refusal;
        } cases[] = {
            {[] {}, QStringLiteral("404"), QStringLiteral("demo"), QStringLiteral("账套[404]不存在。")},
            {[] {}, QStringLiteral("001"), QStringLiteral("op2"), QStringLiteral("操作员[op2]不是账套[001]的账套主管，不能建立年度账。")},
            {[&] { db.execute(QStringLiteral("update SM_Account set iYear=2050 where iYear=2025")); }, QStringLiteral("001"),
             QStringLiteral("admin"), QStringLiteral("账套[001]不能建立2051年度：年度最晚为2050年。")},
            {[&] {
                 db.execute(QStringLiteral("update SM_Account set iYear=2025 where iYear=2050"));
                 if (TestRoot::onServer())
                     db.execute(QStringLiteral("drop schema zt001_2025 cascade"));
                 else
                     QVERIFY(CiFile::remove(AccountDb::databasePath(env.root(), QStringLiteral("001"), 2025)));
             },
             QStringLiteral("001"), QStringLiteral("demo"),
             QStringLiteral("找不到账套[001]2025年度的账套库：%1").arg(TestRoot::onServer() ? QStringLiteral("zt001_2025")
                                                                  : AccountDb::databasePath(env.root(), QStringLiteral("001"), 2025))},
        };
        for (const auto& c : cases) {
            c.arrange();
            const NewYear::Plan plan = NewYear(db).plan(c.accId, c.operatorId);
            QCOMPARE(plan.refusal.text, c.refusal);
            QVERIFY(plan.question.isEmpty());
            QCOMPARE(NewYear(db).make(plan).notice.text, c.refusal);
        }
        QCOMPARE(rows(db, QStringLiteral("select max(iYear) from SM_Account")), QStringList{"2025"});

        // One plan made twice (two windows, two sessions): the second is told the year exists.
        TestRoot other;
        makeSet(other);
        NewYear work(other.db());
        const NewYear::Plan plan = work.plan(QStringLiteral("001"), QStringLiteral("op2"));
        QVERIFY(!plan.ok());
        other.db().execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2024,'op2','admin')"));
        const NewYear::Plan granted = work.plan(QStringLiteral("001"), QStringLiteral("op2"));
        QVERIFY(work.make(granted).done());
        const AccountSetOutcome again = work.make(granted);
        QCOMPARE(again.notice.text, QStringLiteral("账套[001]的2025年度已经存在，不能重复建立。"));
        QCOMPARE(logged(other.db(), QStringLiteral("YEAR_CREATE")), (QStringList{"2025|成功", "2025|失败"}));
    }

    void newYear_failureLeavesNothing()
    {
        TestRoot env;
        Database& db = env.db();
        makeSet(env);
        const QString folder = AccountDb::yearFolder(env.root(), QStringLiteral("001"), 2025);
        const QString latest = AccountDb::databasePath(env.root(), QStringLiteral("001"), 2024);
        const QByteArray kept = TestRoot::onServer() ? QByteArray() : readAll(latest);
        const struct {
            bool files;
            QString table;   // refuses inserts; empty: none
            std::function<void()> arrange;
            QString text;
        } cases[] = {
            // Before the books: the grants refused half-way through the system rows.
            {false, QStringLiteral("SM_HoldAuth"), [] {}, QStringLiteral("建立年度账失败：注入的故障")},
            // After the books were filled and renamed into place: the log row refused.
            {false, QStringLiteral("SM_Log"), [] {}, QStringLiteral("建立年度账失败：注入的故障")},
            // Damaged books of the latest year: the new books fail half-filled.
            {true, QString(), [&] { writeFile(latest, "not a database"); }, QStringLiteral("建立年度账失败：")},
            // A file where the year's folder goes.
            {true, QString(), [&] { QFile f(folder); QVERIFY(f.open(QIODevice::WriteOnly)); },
             QStringLiteral("建立年度账失败：无法创建文件夹：%1").arg(folder)},
        };
        for (const auto& c : cases) {
            if (c.files && TestRoot::onServer())
                continue;
            if (!c.table.isEmpty())
                TestEngine::refuseInserts(db, c.table, QStringLiteral("注入的故障"));
            c.arrange();
            const AccountSetOutcome out = makeYear(db);
            if (!c.table.isEmpty())
                TestEngine::allowInserts(db, c.table);
            QFile::remove(folder);
            if (c.files)
                writeFile(latest, kept);
            QVERIFY(!out.done());
            QVERIFY2(out.notice.text.startsWith(c.text), qPrintable(out.notice.text));
            QCOMPARE(traces(db, env.root(), 2025), QStringLiteral("0"));
            QVERIFY(!QFileInfo::exists(folder));
            QVERIFY(!logged(db, QStringLiteral("YEAR_CREATE")).contains(QStringLiteral("2025|成功")));
        }
        QVERIFY(makeYear(db).done());
        QCOMPARE(traces(db, env.root(), 2025), QStringLiteral("17+books"));
    }

    void carryForward_addsChangesAndFollows()
    {
        TestRoot env;
        Database& db = env.db();
        makeSet(env);
        QVERIFY(makeYear(db).done());
        write(db, 2024, QStringLiteral("insert into code (i_id,ccode,ccode_name,igrade,bproperty,bend) values (901,'109902','建行',2,1,1)"));
        write(db, 2024, QStringLiteral("update code set ccode_name='现金',bproperty=0 where ccode='1001'"));
        write(db, 2024, QStringLiteral("update GradeDef set CODINGRULE='4333' where keyword='code'"));
        write(db, 2024, QStringLiteral("update AccInformation set cValue='4333' where cName='code'"));
        write(db, 2024, QStringLiteral("update AccInformation set cValue='3' where cName='iStrsPriDecDgt'"));
        write(db, 2025, QStringLiteral("insert into code (i_id,ccode,ccode_name) values (999,'8888','本年自有')"));
        write(db, 2025, QStringLiteral("update AccInformation set cValue='5' where cName='iStrsPriDecDgt'"));

        CarryForward work(db);
        const CarryForward::Plan plan = work.plan(QStringLiteral("001"), 2025);
        QVERIFY2(plan.ok(), qPrintable(plan.refusal.text));
        QCOMPARE(plan.added, QStringList{"109902"});
        QCOMPARE(plan.changed, QStringList{"1001"});
        QCOMPARE(QList<bool>({plan.scheme, plan.precision}), QList<bool>({true, false}));
        QCOMPARE(plan.lines.size(), 2);
        QCOMPARE(plan.lines[0].change, QStringLiteral("修改：科目名称 库存现金→现金；余额方向 1→0"));
        QCOMPARE(plan.summary, QStringLiteral("账套[001]从2024年度结转到2025年度：新增科目1个；修改科目1个；编码方案沿用2024年度的。"
                                              "本年度的数据精度已修改，保留不变。"));

        // A refused write leaves the year as it was.
        {
            std::unique_ptr<Database> year = AccountDb::open(db, QStringLiteral("001"), 2025);
            TestEngine::refuseInserts(*year, QStringLiteral("code"), QStringLiteral("注入的故障"));
            QCOMPARE(work.apply(plan).notice.text, QStringLiteral("结转上年数据失败：注入的故障"));
            TestEngine::allowInserts(*year, QStringLiteral("code"));
        }
        QCOMPARE(work.plan(QStringLiteral("001"), 2025).lines.size(), 2);

        QVERIFY(work.apply(plan).done);
        QCOMPARE(books(db, 2025, QStringLiteral("select ccode,ccode_name,bproperty from code where ccode in ('1001','109902','8888') order by ccode")),
                 (QStringList{"1001|现金|0", "109902|建行|1", "8888|本年自有|<null>"}));
        QCOMPARE(books(db, 2025, QStringLiteral("select (select CODINGRULE from GradeDef where keyword='code'),cValue from AccInformation "
                                                "where cName in ('code','iStrsPriDecDgt') order by cName")),
                 (QStringList{"4333|4333", "4333|5"}));
        QCOMPARE(logged(db, QStringLiteral("YEAR_CARRY")), (QStringList{"2025|失败", "2025|成功"}));

        // Carried again, the scheme still follows; the precision changed here never does.
        QVERIFY(work.plan(QStringLiteral("001"), 2025).nothing());
        QCOMPARE(work.apply(work.plan(QStringLiteral("001"), 2025)).notice.text, QStringLiteral("没有需要结转的数据。本年度的数据精度已修改，保留不变。"));
        write(db, 2024, QStringLiteral("update GradeDef set CODINGRULE='4222' where keyword='code'"));
        QVERIFY(work.plan(QStringLiteral("001"), 2025).scheme);
        write(db, 2025, QStringLiteral("update GradeDef set CODINGRULE='42' where keyword='code'"));
        QVERIFY(!work.plan(QStringLiteral("001"), 2025).scheme);

        // The first year has nothing before it.
        const CarryForward::Plan first = work.plan(QStringLiteral("001"), 2024);
        QCOMPARE(first.refusal.text, QStringLiteral("账套[001]没有2023年度，无法结转上年数据。"));
        QCOMPARE(work.apply(first).done, false);
    }
};

QTEST_GUILESS_MAIN(tst_core_years)
#include "tst_core_years.moc"
