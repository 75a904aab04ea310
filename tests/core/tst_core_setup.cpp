// What completes an account set, run directly: the books' place, the accounting calendar, the
// options table and enabling a module (its rows and the ledger's start date). Run once per engine
// (TestRoot): on a server the books are a schema beside the system database's.
#include "TestEngine.h"
#include "TestRoot.h"

#include <AccInformation.h>
#include <AccountDb.h>
#include <AccountTemplate.h>
#include <AuditEvents.h>
#include <AuditLog.h>
#include <CiFile.h>
#include <Database.h>
#include <Paths.h>
#include <Periods.h>
#include <SubsystemEnabler.h>

#include <QDir>
#include <QtTest>

namespace {
const QString kAcc = QStringLiteral("001");
const QString kTooEarly = QStringLiteral("系统启用会计期间必须大于等于账套启用会计期间！");
const QString kNoPeriod = QStringLiteral("无法找到对应的会计启用年和月！");
const QString kLedgerRow = QStringLiteral("AccInformation where cSysID='GL' and cName='dGLStartDate'");

// The template's books for set 001 and 2024 under ROOT/books (on a server: their schema), as
// creation leaves them; where they are, as AccountDb::location gives it.
QString copyBooks(TestRoot& env)
{
    if (TestRoot::onServer()) {
        Database books;
        books.openServer(env.db().conninfo(), AccountDb::booksSchema(kAcc, 2024));
        AccountTemplate::fill(books);
        return books.schema();
    }
    const QString books = AccountDb::databasePath(env.root() + QStringLiteral("/books"), kAcc, 2024);
    if (!CiFile::mkpath(Paths::parentDir(books)) || !CiFile::copy(TestRoot::templatePath(), books))
        return QString();
    return books;
}

// An installation with those books, and the enabler on its system database.
struct Fixture {
    TestRoot env;
    const QString books = copyBooks(env);
    Database& db = env.db();
    SubsystemEnabler enabler{db};
};

QString ledgerStart(Database& db, const QString& books)
{
    return AccountDb::openAt(db, books)->scalar(QStringLiteral("select cValue from ") + kLedgerRow).toString();
}

// "cSub_Id iYear iModiPeri dSubSysUsed" per row of set 001, sorted.
QStringList rows(Database& db)
{
    QStringList out;
    for (Recordset rs = db.query(QStringLiteral("select * from SM_Account_sub where cAcc_Id=? order by cSub_Id,iYear"), {kAcc}); !rs.Eof(); rs.MoveNext())
        out << QStringLiteral("%1 %2 %3 %4").arg(rs.text("cSub_Id"), rs.text("iYear"), rs.text("iModiPeri"),
                                                  rs.isNull("dSubSysUsed") ? QStringLiteral("-") : rs.text("dSubSysUsed"));
    return out;
}
} // namespace

class tst_core_setup : public QObject {
    Q_OBJECT
private slots:
    void accountDb_folderRuleAndOpening()
    {
        TestRoot env;
        const QString books = Paths::join(env.root(), QStringLiteral("books"));
        const QString expected = books + QStringLiteral("/zt001");
        for (const QString& stored : {books, books + QStringLiteral("/"), books + QStringLiteral("\\")})
            QCOMPARE(AccountDb::accountFolder(stored, kAcc), expected);
        QCOMPARE(AccountDb::databasePath(books + QStringLiteral("\\"), kAcc, 2024), expected + QStringLiteral("/2024/KdData.mdb"));
        // Two fiscal years: two year folders under the one account-set folder.
        QCOMPARE(AccountDb::yearFolder(books, kAcc, 2025), expected + QStringLiteral("/2025"));

        SKIP_ON_SERVER("the rest is about the books' files");
        // A file written as "kddata.mdb" is the set's account database; a stored path with "\" finds it.
        const QString file = expected + QStringLiteral("/2024/kddata.mdb");
        QVERIFY(CiFile::mkpath(Paths::parentDir(file)) && CiFile::copy(TestRoot::templatePath(), file));
        QCOMPARE(AccountDb::databasePath(books, kAcc, 2024), file);
        env.db().execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values ('001','总部',?,2024,1)"),
                         {QDir::toNativeSeparators(books) + QStringLiteral("\\")});
        QCOMPARE(AccountDb::open(env.db(), kAcc)->scalar(QStringLiteral("select count(*) from GradeDef")).toInt(), 10);

        // A set without its file, and a set that does not exist: clear errors, and no file is made.
        QVERIFY(CiFile::remove(file));
        try {
            AccountDb::open(env.db(), kAcc);
            QFAIL("a missing account database opened");
        } catch (const DbError& e) {
            QVERIFY(e.text().contains(kAcc));
        }
        QVERIFY_THROWS_EXCEPTION(DbError, AccountDb::open(env.db(), QStringLiteral("002")));
        QVERIFY(!CiFile::exists(file));
    }

    void accInformation_missingRowIsAnError()
    {
        Fixture x;
        QVERIFY(!x.books.isEmpty());
        const std::unique_ptr<Database> books = AccountDb::openAt(x.db, x.books);
        Database& acc = *books;
        bool found = false;
        QCOMPARE(AccInformation::value(acc, QStringLiteral("存货数量小数位"), &found), QStringLiteral("2"));
        QVERIFY(found);

        // A missing row: no value, and writing to it throws naming the caption; the group before it is undone.
        acc.execute(QStringLiteral("delete from AccInformation where cCaption='换算率小数位数'"));
        QCOMPARE(AccInformation::value(acc, QStringLiteral("换算率小数位数"), &found), QString());
        QVERIFY(!found);
        try {
            Database::Transaction t(acc);
            AccInformation::setValue(acc, QStringLiteral("存货数量小数位"), QStringLiteral("6"));
            AccInformation::setValue(acc, QStringLiteral("换算率小数位数"), QStringLiteral("6"));
            t.commit();
            QFAIL("a missing row was written");
        } catch (const DbError& e) {
            QCOMPARE(e.text(), QStringLiteral("账套库的选项表（AccInformation）中缺少“换算率小数位数”一行，账套库可能已损坏。"));
        }
        QCOMPARE(AccInformation::value(acc, QStringLiteral("存货数量小数位")), QStringLiteral("2"));
    }

    void precision_savedWithItsLogRowOrNotAtAll()
    {
        // The books' option and the system database's log row commit together (the system
        // database attached to the books' connection): a refused row keeps the old value.
        Fixture x;
        const std::unique_ptr<Database> books = AccountDb::openAt(x.db, x.books);
        const QString caption = QStringLiteral("存货数量小数位");
        const auto save = [&](const QString& value) {
            AuditLog::Attached log(*books, x.db.location());
            Database::Transaction t(*books);
            AccInformation::setValue(*books, caption, value);
            log.write({}, Audit::precision(books.get(), kAcc, 2024, {caption}));
            t.commit();
        };
        save(QStringLiteral("3"));
        QCOMPARE(x.db.scalar(QStringLiteral("select count(*) from SM_Log where cAcc_Id=? and cResult='成功'"), {kAcc}).toInt(), 1);
        TestEngine::refuseInserts(x.db, QStringLiteral("SM_Log"), QStringLiteral("log full"));
        QVERIFY_THROWS_EXCEPTION(DbError, save(QStringLiteral("5")));
        QCOMPARE(AccInformation::value(*books, caption), QStringLiteral("3"));
    }

    void periodsAndEnablerRules()
    {
        // February has 29 days in every fourth year, 2100 included: the books' own rule.
        const QList<QPair<int, QString>> februaries{{2000, "2000-02-29"}, {2023, "2023-02-28"}, {2024, "2024-02-29"}, {2100, "2100-02-29"}};
        for (const auto& [year, end] : februaries)
            QCOMPARE(Periods::endDate(year, 2), end);
        QCOMPARE(Periods::beginDate(2005, 3) + ".." + Periods::endDate(2005, 4) + ".." + Periods::endDate(2005, 12),
                 QStringLiteral("2005-03-01..2005-04-30..2005-12-31"));

        // The set starts in March 2024: that month and later ones of 2024 only; a set without its
        // row refuses every period.
        const struct {
            QString startYear, startMonth;
            int year, month;
            QString refusal;
        } cases[] = {
            {"2024", "3", 2024, 3, QString()}, {"2024", "3", 2024, 12, QString()}, {"2024", "3", 2024, 2, kTooEarly},
            {"2024", "3", 2023, 12, kTooEarly}, {"2024", "3", 2025, 6, kNoPeriod}, {QString(), QString(), 2024, 3, kNoPeriod},
        };
        for (const auto& c : cases)
            QCOMPARE(SubsystemEnabler::checkPeriod(c.startYear, c.startMonth, c.year, c.month), c.refusal);
    }

    void enabler_rowsOfEachModuleReplacingAndDisabling()
    {
        Fixture x;
        auto& [env, books, db, enabler] = x;
        enabler.enable({kAcc, QStringLiteral("FA"), QDate(2024, 5, 20), QString()});
        enabler.enable({kAcc, QStringLiteral("WA"), QDate(2024, 5, 20), QString()});
        enabler.enable({kAcc, QStringLiteral("GL"), QDate(2024, 4, 17), books});
        enabler.enable({kAcc, QStringLiteral("GX"), QDate(2024, 12, 31), QString()});
        QCOMPARE(rows(db), (QStringList{
            QStringLiteral("FA 2024 0 2024-05-01"), QStringLiteral("FA 9999 0 2024-05-01"),
            QStringLiteral("GL 2024 0 2024-04-01"), QStringLiteral("GL 9999 0 2024-04-01"),
            QStringLiteral("GX 2024 0 2024-12-01"), QStringLiteral("GX 9999 0 2024-12-01"),
            QStringLiteral("WA 2024 4 -"), QStringLiteral("WA 9999 0 2024-05-01")}));
        // The ledger gets the very day chosen, not only its month.
        QCOMPARE(ledgerStart(db, books), QStringLiteral("2024-04-17"));

        // A new date moves an enabled module: its two rows are replaced, not doubled.
        enabler.enable({kAcc, QStringLiteral("GL"), QDate(2024, 8, 8), books});
        QCOMPARE(rows(db).filter(QStringLiteral("GL ")), (QStringList{QStringLiteral("GL 2024 0 2024-08-01"), QStringLiteral("GL 9999 0 2024-08-01")}));
        QCOMPARE(ledgerStart(db, books), QStringLiteral("2024-08-08"));

        // Disabling deletes the module's rows of every year and nothing else.
        db.execute(QStringLiteral("insert into SM_Account_sub values ('001',2025,'FA',0,'2025-01-01'),('002',2024,'FA',0,'2024-01-01')"));
        enabler.disable(kAcc, QStringLiteral("FA"));
        QVERIFY(rows(db).filter(QStringLiteral("FA ")).isEmpty());
        QCOMPARE(rows(db).size(), 6);
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Account_sub where cAcc_Id='002'")).toInt(), 1);
    }

    void enabler_ledgerAllOrNothing()
    {
        Fixture x;
        auto& [env, books, db, enabler] = x;
        AccountDb::openAt(db, books)->execute(QStringLiteral("delete from ") + kLedgerRow);
        // The books without the ledger's start-date row: nothing written to the system database.
        QVERIFY_THROWS_EXCEPTION(DbError, enabler.enable({kAcc, QStringLiteral("GL"), QDate(2024, 4, 1), books}));
        QVERIFY(rows(db).isEmpty());
        // Books missing, and no date chosen: refused, no file made.
        QVERIFY_THROWS_EXCEPTION(DbError, enabler.enable({kAcc, QStringLiteral("GL"), QDate(2024, 4, 1), books + QStringLiteral(".missing")}));
        QVERIFY(!CiFile::exists(books + QStringLiteral(".missing")));
        QVERIFY_THROWS_EXCEPTION(DbError, enabler.enable({kAcc, QStringLiteral("FA"), QDate(), QString()}));
        QVERIFY(rows(db).isEmpty());

        // The books repaired, the same handle enables the ledger; a replaced date that fails keeps the old one.
        AccountDb::openAt(db, books)->execute(QStringLiteral("insert into AccInformation (cSysID,cID,cName,cCaption) values ('GL','GL','dGLStartDate','总账启用日期')"));
        enabler.enable({kAcc, QStringLiteral("GL"), QDate(2024, 4, 2), books});
        QCOMPARE(ledgerStart(db, books), QStringLiteral("2024-04-02"));
        AccountDb::openAt(db, books)->execute(QStringLiteral("delete from ") + kLedgerRow);
        QVERIFY_THROWS_EXCEPTION(DbError, enabler.enable({kAcc, QStringLiteral("GL"), QDate(2024, 9, 1), books}));
        QCOMPARE(rows(db), (QStringList{QStringLiteral("GL 2024 0 2024-04-01"), QStringLiteral("GL 9999 0 2024-04-01")}));
    }
};

QTEST_GUILESS_MAIN(tst_core_setup)
#include "tst_core_setup.moc"
