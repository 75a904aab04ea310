// The 年度账 menu as a supervisor uses it: which items a login makes usable, and what each item
// asks and does through the console's windows.
#include "ScriptedConsole.h"

#include <AccountDb.h>
#include <AccountExporter.h>
#include <AccountImporter.h>
#include <AccountSetCreator.h>
#include <NewYear.h>
#include <frmAccExport.h>
#include <frmCarryForward.h>
#include <frmInput.h>
#include <frmWait.h>
#include <frmYearClear.h>

#include <FlexGrid.h>

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>

using namespace Module1;

namespace {
const int kYear = QDate::currentDate().year();

int years(Database& db, const QString& acc)
{
    return db.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {acc}).toInt();
}

// Set 007 supervised by demo, made for `first` and every year up to `last` by 建立.
void makeSet(TestEnv& env, int first, int last)
{
    const AccountSetOutcome made = AccountSetCreator(env.db()).create(TestRoot::setInput(QStringLiteral("7"), env.root(), QString::number(first)));
    QVERIFY2(made.done(), qPrintable(made.error));
    for (int y = first; y < last; ++y) {
        NewYear work(env.db());
        QVERIFY(work.make(work.plan(QStringLiteral("007"), QStringLiteral("demo"))).done());
    }
}

struct Console : ScriptedConsole {
    using ScriptedConsole::ScriptedConsole;
    void loginDemo() { login(QStringLiteral("demo")); }
    bool usable(QAction* a) const { return a->isEnabled() && main.mnuYear->menuAction()->isEnabled(); }
};
} // namespace

class tst_years : public QObject {
    Q_OBJECT
private slots:
    // 结转 is usable when the year logged into has one before it (the other items, and 结转's
    // absence in a set's first year: tst_app's supervisor); nothing of the menu after the logout.
    void menuFollowsTheLogin()
    {
        TestEnv env;
        makeSet(env, kYear - 1, kYear);
        Console c(env);
        c.loginDemo();
        QCOMPARE(env.session.account.year, QString::number(kYear));
        QVERIFY(c.usable(c.main.mnuAccT1) && c.main.mnuAccT->menuAction()->isEnabled());
        c.main.mnuSysU_Click();
        QVERIFY(!c.main.mnuYear->menuAction()->isEnabled());
    }

    // 建立 names the set and both years first; No writes nothing, Yes makes the next year.
    void createAsksThenMakesTheNextYear()
    {
        TestEnv env;
        makeSet(env, kYear, kYear);
        Console c(env);
        c.loginDemo();
        c.msgs.answer(vb::vbNo);
        c.main.mnuYearCreate_Click();
        QCOMPARE(c.msgs.calls.size(), 1);
        QVERIFY(c.msgs.last().text.contains(QString::number(kYear + 1)));
        QCOMPARE(c.msgs.last().buttonSet(), int(vb::vbYesNo));
        QCOMPARE(years(env.db(), QStringLiteral("007")), 1);
        c.msgs.answer(vb::vbYes);
        c.main.mnuYearCreate_Click();
        QCOMPARE(years(env.db(), QStringLiteral("007")), 2);
        QCOMPARE(c.msgs.calls.size(), 3);
    }

    // 结转: the accounts the year before gained are listed; 放弃 writes nothing, 确定 adds them.
    void carryListsBeforeWriting()
    {
        TestEnv env;
        makeSet(env, kYear - 1, kYear);
        {
            std::unique_ptr<Database> before = AccountDb::open(env.db(), QStringLiteral("007"), kYear - 1);
            before->execute(QStringLiteral("insert into code (i_id,ccode,ccode_name,igrade,bproperty,bend) values (9999,'1001099','新现金',2,1,1)"));
        }
        Console c(env);
        c.loginDemo();
        QStringList listed;
        bool accept = false;
        c.modals.on(QStringLiteral("frmCarryForward"), [&](QDialog& d) {
            auto& f = static_cast<frmCarryForward&>(d);
            listed = column(f.MSFlexGrid1, 0);
            (accept ? f.cmdOK : f.cmdCancel)->click();
            return d.result();
        });
        const auto carried = [&] {
            std::unique_ptr<Database> now = AccountDb::open(env.db(), QStringLiteral("007"), kYear);
            return now->scalar(QStringLiteral("select count(*) from code where ccode='1001099'")).toInt();
        };
        c.main.mnuAccT1_Click();
        QCOMPARE(listed, QStringList{QStringLiteral("1001099")});
        QCOMPARE(carried(), 0);
        accept = true;
        c.main.mnuAccT1_Click();
        QCOMPARE(carried(), 1);
        c.msgs.clear();
        c.main.mnuAccT1_Click();
        QCOMPARE(c.modals.shown.count(QStringLiteral("frmCarryForward")), 2);
        QCOMPARE(c.msgs.calls.size(), 1);   // nothing left to carry: said, no window
    }

    // Another workstation importing the year: 结转 says who, before anything is listed or written.
    void waitsForAnotherWorkstation()
    {
        TestEnv env;
        makeSet(env, kYear - 1, kYear);
        Workstation other(env, QStringLiteral("会计室-2"));
        QVERIFY(other.task.claim(QStringLiteral("007"), kYear, Tasks::Function::Import).granted());
        Console c(env);
        c.loginDemo();
        c.msgs.clear();
        c.main.mnuAccT1_Click();
        QVERIFY(!c.modals.shown.contains(QStringLiteral("frmCarryForward")));
        QCOMPARE(c.msgs.calls.size(), 1);
        QVERIFY2(c.msgs.last().text.contains(QStringLiteral("会计室-2")), qPrintable(c.msgs.last().text));
    }

    // 清空: No leaves the year; Yes writes it as a backup set into the folder offered (under the
    // person's ~/revozi-backups) and only then empties every table but the three kept.
    void clearWritesTheBackupFirst()
    {
        TestEnv env;
        qputenv("HOME", env.root().toUtf8());
        makeSet(env, kYear, kYear);
        const auto vouchers = [&] {
            std::unique_ptr<Database> books = AccountDb::open(env.db(), QStringLiteral("007"), kYear);
            if (!books->hasTable(QStringLiteral("GL_accvouch"))) {
                books->execute(QStringLiteral("create table GL_accvouch (i_id INTEGER, cdigest TEXT)"));
                books->execute(QStringLiteral("insert into GL_accvouch values (1,'摘要')"));
            }
            return books->scalar(QStringLiteral("select count(*) from GL_accvouch")).toInt();
        };
        QCOMPARE(vouchers(), 1);
        Console c(env);
        c.loginDemo();
        QString folder;
        c.modals.on(QStringLiteral("dlgYearBackupFolder"), [&](QDialog& d) {
            folder = static_cast<QFileDialog&>(d).selectedFiles().value(0);
            d.accept();
            return d.result();
        });
        c.modals.on(QStringLiteral("frmYearClear"), [](QDialog& d) {
            auto& f = static_cast<frmYearClear&>(d);
            f.start();
            if (!QTest::qWaitFor([&f] { return !f.working(); }, 600000))
                QTest::qFail("the clearing did not finish", __FILE__, __LINE__);
            return d.result();
        });
        c.modals.shown.clear();
        c.msgs.answer(vb::vbNo);
        c.main.mnuYearDel_Click();
        QVERIFY(c.modals.shown.isEmpty());
        QCOMPARE(vouchers(), 1);
        c.msgs.answer(vb::vbYes);
        c.main.mnuYearDel_Click();
        QCOMPARE(c.modals.shown, (QStringList{"dlgYearBackupFolder", "frmYearClear"}));
        QVERIFY2(folder.startsWith(QDir(env.root()).filePath(QStringLiteral("revozi-backups/007-%1/").arg(kYear))), qPrintable(folder));
        QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("KdErpAct.Lst"))));
        QCOMPARE(vouchers(), 0);
    }

    // 引入 takes a year of this set (its year replaced after the overwrite question) and refuses
    // another set's, naming both.
    void importTakesOnlyThisSet()
    {
        TestEnv env;
        makeSet(env, kYear, kYear);
        QVERIFY(AccountSetCreator(env.db()).create(TestRoot::setInput(QStringLiteral("8"), env.root(), QString::number(kYear))).done());
        const auto exported = [&](const QString& acc) {
            const QString dir = QDir(env.root()).filePath(QStringLiteral("out") + acc);
            QDir().mkpath(dir);
            AccountExporter e(env.db(), acc, kYear);
            e.prepare();
            QString error;
            if (!e.writeBackupSet(dir, true, &error))
                QTest::qFail(qPrintable(error), __FILE__, __LINE__);
            return QDir(dir).filePath(QStringLiteral("KdErpAct.Lst"));
        };
        const QString own = exported(QStringLiteral("007"));
        const QString other = exported(QStringLiteral("008"));
        {
            std::unique_ptr<Database> books = AccountDb::open(env.db(), QStringLiteral("007"), kYear);
            books->execute(QStringLiteral("delete from code"));
        }
        Console c(env);
        c.loginDemo();
        QString descriptor;
        c.modals.on(QStringLiteral("dlgImportFile"), [&](QDialog& d) {
            static_cast<QFileDialog&>(d).selectFile(descriptor);
            d.accept();
            return d.result();
        });
        c.modals.on(QStringLiteral("frmInput"), [](QDialog& d) {
            auto& f = static_cast<frmInput&>(d);
            f.Timer1_Timer();
            if (!QTest::qWaitFor([&f] { return !f.working(); }, 600000))
                QTest::qFail("the restore did not finish", __FILE__, __LINE__);
            return d.result();
        });
        c.msgs.clear();
        descriptor = other;
        c.main.mnuYearInput_Click();
        QCOMPARE(c.msgs.calls.size(), 1);
        QVERIFY2(c.msgs.last().text.contains(QStringLiteral("008")) && c.msgs.last().text.contains(QStringLiteral("007")), qPrintable(c.msgs.last().text));
        QVERIFY(!c.modals.shown.contains(QStringLiteral("frmInput")));

        c.msgs.clear();
        c.msgs.answer(vb::vbYes);
        descriptor = own;
        c.main.mnuYearInput_Click();
        QCOMPARE(c.msgs.calls.first().text, QStringLiteral("此项操作将覆盖[007]帐套当前的所有信息，继续吗？"));
        std::unique_ptr<Database> books = AccountDb::open(env.db(), QStringLiteral("007"), kYear);
        QVERIFY(books->scalar(QStringLiteral("select count(*) from code")).toInt() > 0);
        QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id='008'")).toInt(), 1);
    }

    // 输出 writes the year logged into, not the set's first.
    void exportWritesTheYearLoggedInto()
    {
        TestEnv env;
        makeSet(env, kYear - 1, kYear);
        const QString target = QDir(env.root()).filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(target));
        Console c(env);
        c.loginDemo();
        c.modals.on(QStringLiteral("frmWait"), [](QDialog& d) {
            static_cast<frmWait&>(d).Timer1_Timer();
            return d.result();
        });
        c.modals.on(QStringLiteral("frmAccExport"), [&](QDialog& d) {
            auto& f = static_cast<frmAccExport&>(d);
            f.setPath(target);
            f.cmdOK->click();
            return d.result();
        });
        c.main.mnuYearExport_Click();
        AccountImporter importer(env.db());
        QVERIFY(importer.load(QDir(target).filePath(QStringLiteral("KdErpAct.Lst"))).isEmpty());
        QCOMPARE(importer.plan().year, QString::number(kYear));
    }
};

QTEST_MAIN(tst_years)
#include "tst_years.moc"
