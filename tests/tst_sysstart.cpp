// Subsystem enabling as a person sees it: ticking, the date dialog, the refusals, re-picking and
// the console's menu entry (the rows and the ledger's date are tested in tests/core/tst_core_setup).
#include "Scripts.h"
#include "TestEnv.h"

#include <AccountDb.h>
#include <CiFile.h>
#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <frmCnDate.h>
#include <frmMain.h>
#include <frmSysStart.h>

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QFileInfo>
#include <QtTest>

using namespace Module1;

namespace {
const QString kAcc = QStringLiteral("001");
const QString kTooEarly = QStringLiteral("系统启用会计期间必须大于等于账套启用会计期间！");
const QString kNoPeriod = QStringLiteral("无法找到对应的会计启用年和月！");
const QString kDisable = QStringLiteral("确实要注销当前系统吗？");

// An account set starting in March 2024 with its books, as creation leaves it; returns the books' path.
QString makeSet(TestEnv& env, bool withBooks = true)
{
    const QString accPath = env.root() + QStringLiteral("/books/");
    env.db().execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (?,?,?,2024,3)"),
                     {kAcc, QStringLiteral("华东'分公司"), accPath});
    const QString books = AccountDb::databasePath(accPath, kAcc, 2024);
    if (withBooks) {
        CiFile::mkpath(AccountDb::yearFolder(accPath, kAcc, 2024));
        CiFile::copy(TestEnv::templatePath(), books);
    }
    env.loginSupervisor(QStringLiteral("demo"), kAcc, QStringLiteral("华东'分公司"), QStringLiteral("2024"));
    return books;
}

QString ledgerStart(const QString& books)
{
    Database acc(books);
    return acc.scalar(QStringLiteral("select cValue from AccInformation where cSysID='GL' and cName='dGLStartDate'")).toString();
}

// "cSub_Id iYear iModiPeri dSubSysUsed" per row, sorted.
QStringList rows(TestEnv& env)
{
    QStringList out;
    Recordset rs = env.db().query(QStringLiteral("select * from SM_Account_sub where cAcc_Id=? order by cSub_Id,iYear"), {kAcc});
    for (; !rs.Eof(); rs.MoveNext())
        out << QStringLiteral("%1 %2 %3 %4").arg(rs.text("cSub_Id"), rs.text("iYear"), rs.text("iModiPeri"),
                                                  rs.isNull("dSubSysUsed") ? QStringLiteral("-") : rs.text("dSubSysUsed"));
    return out;
}

// The dialog as the console opens it; each date dialog takes the next day of `picks`
// (an invalid date presses "取消").
struct Dialog {
    MsgBoxScript msgs;
    ModalScript modals;
    QList<QDate> picks;
    int datesShown = 0;
    frmSysStart f;

    explicit Dialog(const QString& books)
    {
        modals.on(QStringLiteral("frmCnDate"), [this](QDialog& d) {
            auto& c = static_cast<frmCnDate&>(d);
            ++datesShown;
            const QDate day = picks.isEmpty() ? QDate() : picks.takeFirst();
            if (!day.isValid()) {
                c.cmdExit->click();
            } else {
                c.Calendar1->setSelectedDate(day);
                c.cmdOk->click();
            }
            return d.result();
        });
        f.accDbPath = books;
        f.Form_Load();
    }
    QString period(int row) const { return f.MSFlexGrid1->TextMatrix(row, 2); }
    bool ticked(int box) const { return f.chkID[box]->isChecked(); }
    void tick(int box, const QDate& day)
    {
        picks << day;
        f.chkID[box]->click();
    }
    // Double-clicks the module's name, as a person re-picks a date.
    void doubleClick(int row, const QDate& day)
    {
        picks << day;
        if (!f.isVisible()) {
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
        }
        QTableWidgetItem* it = f.MSFlexGrid1->item(row - 1, 1);
        const QPoint at = f.MSFlexGrid1->visualItemRect(it).center();
        // A double-click as the window system delivers it: press, release, double-click, release.
        QTest::mouseClick(f.MSFlexGrid1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(f.MSFlexGrid1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(f.MSFlexGrid1->viewport(), Qt::LeftButton, {}, at);
    }
};
} // namespace

class tst_sysstart : public QObject {
    Q_OBJECT
private slots:
    void dateDialog_labelFollowsTheCalendar()
    {
        frmCnDate d;
        d.Calendar1->setSelectedDate(QDate(2024, 3, 9));
        d.Form_Load();
        QCOMPARE(d.Label1->text(), QStringLiteral("2024-03-09"));
        d.Calendar1->setSelectedDate(QDate(2024, 12, 31));
        QCOMPARE(d.Label1->text(), QStringLiteral("2024-12-31"));
        QVERIFY(!d.confirmed);
        d.cmdOk->click();
        QVERIFY(d.confirmed);
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void load_headingNamesAndOtherCodes()
    {
        TestEnv env;
        const QString books = makeSet(env);
        // Rows that other programs of the suite write: AP and IA show in box 4, the 9999 rows not at all.
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',2024,'AP',5,'2024-06-01')"));
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',9999,'AP',0,'2024-06-01')"));
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',2024,'IA',6,'2024-07-01')"));
        Dialog d(books);
        QCOMPARE(d.f.windowTitle(), QStringLiteral("系统启用"));
        QCOMPARE(d.f.Label1->text(), QStringLiteral("[001]华东'分公司 账套启用会计期间 2024年3月"));
        const QStringList names = {QStringLiteral("固定资产核算"), QStringLiteral("账务处理"), QStringLiteral("工资核算"), QStringLiteral("应收应付核算")};
        for (int i = 1; i <= 4; ++i) {
            QCOMPARE(d.f.MSFlexGrid1->TextMatrix(i, 1), names[i - 1]);
            QVERIFY(!d.f.chkID[i]->isHidden());
        }
        QCOMPARE(d.f.chkID[4]->text(), QStringLiteral("GX"));
        QVERIFY(d.f.chkID[5]->isHidden() && d.f.chkID[12]->isHidden());
        QVERIFY(d.ticked(4));
        QVERIFY(!d.ticked(1) && !d.ticked(2) && !d.ticked(3) && !d.ticked(5));
        QVERIFY(d.period(4) == QStringLiteral("2024-06") || d.period(4) == QStringLiteral("2024-07"));
        QVERIFY(d.period(3).isEmpty() && d.period(5).isEmpty());
        QVERIFY(d.msgs.calls.isEmpty());

        // Two rows landed on one box: the very next click must still be a real click.
        d.tick(1, QDate(2024, 3, 1));
        QCOMPARE(d.datesShown, 1);
        QVERIFY(d.ticked(1));
    }

    void enable_periodRulesAndCancel()
    {
        TestEnv env;
        const QString books = makeSet(env);
        Dialog d(books);

        // The start month itself is accepted.
        d.tick(1, QDate(2024, 3, 15));
        QVERIFY(d.msgs.calls.isEmpty());
        QVERIFY(d.ticked(1));
        QCOMPARE(d.period(1), QStringLiteral("2024-03"));

        // One month earlier: refused, box and cell as before, nothing written.
        d.tick(2, QDate(2024, 2, 29));
        QCOMPARE(d.msgs.texts(), QStringList{kTooEarly});
        QCOMPARE(d.msgs.last().title, QStringLiteral("提示信息"));
        QCOMPARE(d.msgs.last().buttons, int(vb::vbOKOnly | vb::vbExclamation));
        QVERIFY(!d.ticked(2));
        QVERIFY(d.period(2).isEmpty());

        // A later year: refused with the other message.
        d.msgs.clear();
        d.tick(3, QDate(2025, 6, 1));
        QCOMPARE(d.msgs.texts(), QStringList{kNoPeriod});
        QVERIFY(!d.ticked(3));
        QVERIFY(d.period(3).isEmpty());

        // Cancelling the date dialog abandons the enabling quietly.
        d.msgs.clear();
        d.tick(4, QDate());
        QVERIFY(d.msgs.calls.isEmpty());
        QVERIFY(!d.ticked(4));
        QVERIFY(d.period(4).isEmpty());

        QCOMPARE(rows(env), (QStringList{QStringLiteral("FA 2024 0 2024-03-01"), QStringLiteral("FA 9999 0 2024-03-01")}));
        QCOMPARE(ledgerStart(books), QString());
        QCOMPARE(d.datesShown, 4);
    }

    void enable_rowsOfEachModuleAndReopening()
    {
        TestEnv env;
        const QString books = makeSet(env);
        {
            Dialog d(books);
            d.tick(1, QDate(2024, 5, 20));
            d.tick(3, QDate(2024, 5, 20));
            d.tick(2, QDate(2024, 4, 17));
            d.tick(4, QDate(2024, 12, 31));
            QVERIFY(d.msgs.calls.isEmpty());
            QCOMPARE(d.period(1), QStringLiteral("2024-05"));
            QCOMPARE(d.period(2), QStringLiteral("2024-04"));
        }
        QCOMPARE(rows(env), (QStringList{
            QStringLiteral("FA 2024 0 2024-05-01"), QStringLiteral("FA 9999 0 2024-05-01"),
            QStringLiteral("GL 2024 0 2024-04-01"), QStringLiteral("GL 9999 0 2024-04-01"),
            QStringLiteral("GX 2024 0 2024-12-01"), QStringLiteral("GX 9999 0 2024-12-01"),
            QStringLiteral("WA 2024 4 -"), QStringLiteral("WA 9999 0 2024-05-01")}));
        // The ledger gets the very day chosen, not only its month.
        QCOMPARE(ledgerStart(books), QStringLiteral("2024-04-17"));

        // Reopened: WA keeps its month, the others show the period their rows record.
        Dialog again(books);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(again.ticked(i));
        QCOMPARE(again.period(1), QStringLiteral("2024-01"));
        QCOMPARE(again.period(2), QStringLiteral("2024-01"));
        QCOMPARE(again.period(3), QStringLiteral("2024-05"));
        QCOMPARE(again.period(4), QStringLiteral("2024-01"));
        QCOMPARE(again.datesShown, 0);
    }

    void disable_noKeepsYesDeletesEveryYear()
    {
        TestEnv env;
        const QString books = makeSet(env);
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',2024,'FA',0,'2024-03-01')"));
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',9999,'FA',0,'2024-03-01')"));
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',2025,'FA',0,'2025-01-01')"));
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',2024,'WA',2,NULL)"));
        Dialog d(books);
        QVERIFY(d.ticked(1));

        d.msgs.answer(vb::vbNo);
        d.f.chkID[1]->click();
        QCOMPARE(d.msgs.texts(), QStringList{kDisable});
        QCOMPARE(d.msgs.last().title, QStringLiteral("提示信息"));
        QCOMPARE(d.msgs.last().buttons, int(vb::vbYesNo | vb::vbQuestion));
        QVERIFY(d.ticked(1));
        QCOMPARE(d.datesShown, 0);   // ticking it back is not an enabling
        QCOMPARE(rows(env).size(), 4);

        d.msgs.clear();
        d.msgs.answer(vb::vbYes);
        d.f.chkID[1]->click();
        QVERIFY(!d.ticked(1));
        QVERIFY(d.period(1).isEmpty());
        QCOMPARE(rows(env), QStringList{QStringLiteral("WA 2024 2 -")});
        QCOMPARE(d.datesShown, 0);
    }

    void repick_replacesTheRowsOrKeepsThem()
    {
        TestEnv env;
        const QString books = makeSet(env);
        Dialog d(books);
        d.tick(2, QDate(2024, 3, 1));
        QCOMPARE(ledgerStart(books), QStringLiteral("2024-03-01"));

        d.doubleClick(2, QDate(2024, 8, 8));
        QCOMPARE(d.datesShown, 2);
        QVERIFY(d.msgs.calls.isEmpty());
        QVERIFY(d.ticked(2));
        QCOMPARE(d.period(2), QStringLiteral("2024-08"));
        QCOMPARE(rows(env), (QStringList{QStringLiteral("GL 2024 0 2024-08-01"), QStringLiteral("GL 9999 0 2024-08-01")}));
        QCOMPARE(ledgerStart(books), QStringLiteral("2024-08-08"));

        // A refused re-pick keeps the module enabled as it was.
        d.doubleClick(2, QDate(2024, 1, 31));
        QCOMPARE(d.msgs.texts(), QStringList{kTooEarly});
        QVERIFY(d.ticked(2));
        QCOMPARE(d.period(2), QStringLiteral("2024-08"));
        // So does a cancelled one.
        d.doubleClick(2, QDate());
        QVERIFY(d.ticked(2));
        QCOMPARE(d.period(2), QStringLiteral("2024-08"));
        QCOMPARE(rows(env).size(), 2);
        QCOMPARE(ledgerStart(books), QStringLiteral("2024-08-08"));

        // A module that is not enabled has nothing to re-pick.
        d.doubleClick(1, QDate(2024, 5, 5));
        QCOMPARE(d.datesShown, 4);
        QVERIFY(!d.ticked(1));
    }

    void ledger_failureLeavesTheBoxClear()
    {
        TestEnv env;
        const QString books = makeSet(env);
        {
            Database acc(books);
            acc.execute(QStringLiteral("delete from AccInformation where cSysID='GL' and cName='dGLStartDate'"));
        }
        Dialog d(books);
        d.tick(2, QDate(2024, 4, 1));
        QCOMPARE(d.msgs.calls.size(), 1);
        QVERIFY(d.msgs.last().text.startsWith(QStringLiteral("系统未能启用")));
        QVERIFY(!d.ticked(2));
        QVERIFY(d.period(2).isEmpty());
        QVERIFY(rows(env).isEmpty());
    }

    void setWithoutItsRow_refusesEveryDate()
    {
        TestEnv env;
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("042"), QStringLiteral("x"), QStringLiteral("2024"));
        Dialog d{QString()};
        QCOMPARE(d.f.Label1->text(), QStringLiteral("账套启用会计期间"));
        d.tick(1, QDate(2024, 3, 1));
        QCOMPARE(d.msgs.texts(), QStringList{kNoPeriod});
        QVERIFY(!d.ticked(1));
        QVERIFY(env.db().scalar(QStringLiteral("select count(*) from SM_Account_sub")).toInt() == 0);
    }

    void console_opensItForTheCurrentSet()
    {
        TestEnv env;
        MsgBoxScript msgs;
        ModalScript modals;
        QString seenBooks;
        QString seenHeading;
        modals.on(QStringLiteral("frmSysStart"), [&](QDialog& d) {
            auto& f = static_cast<frmSysStart&>(d);
            seenBooks = f.accDbPath;
            seenHeading = f.Label1->text();
            f.cmdTool[2]->click();
            return d.result();
        });
        frmMain main;

        // No row for the set: a message, no dialog.
        env.loginSupervisor(QStringLiteral("demo"), kAcc, QStringLiteral("x"), QStringLiteral("2024"));
        main.mnuAccUse_Click();
        QCOMPARE(msgs.calls.size(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("[001]")));
        QVERIFY(modals.shown.isEmpty());

        // A row but no books: a message naming the missing file.
        const QString books = makeSet(env, false);
        msgs.clear();
        main.mnuAccUse_Click();
        QCOMPARE(msgs.calls.size(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("KdData.mdb")));
        QVERIFY(modals.shown.isEmpty());

        CiFile::mkpath(QFileInfo(books).path());
        QVERIFY(CiFile::copy(TestEnv::templatePath(), books));
        msgs.clear();
        main.mnuAccUse_Click();
        QVERIFY(msgs.calls.isEmpty());
        QCOMPARE(modals.shown, QStringList{QStringLiteral("frmSysStart")});
        QCOMPARE(seenBooks, books);
        QCOMPARE(seenHeading, QStringLiteral("[001]华东'分公司 账套启用会计期间 2024年3月"));
    }
};

QTEST_MAIN(tst_sysstart)
#include "tst_sysstart.moc"
