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
#include <QtTest>

using namespace Module1;

namespace {
const QString kAcc = QStringLiteral("001");
const QString kTooEarly = QStringLiteral("系统启用会计期间必须大于等于账套启用会计期间！");
const QString kNoLedgerRow = QStringLiteral("系统未能启用：账套库中没有总账启用日期一项（dGLStartDate），总账未启用。");
const QString kHeading = QStringLiteral("[001]华东'分公司 账套启用会计期间 2024年3月");

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

// The set's SM_Account_sub rows as "cSub_Id iYear dSubSysUsed", sorted, comma-separated.
QString subs(TestEnv& env)
{
    return env.db().scalar(QStringLiteral("select group_concat(r) from (select cSub_Id||' '||iYear||' '||coalesce(dSubSysUsed,'-') r "
                                          "from SM_Account_sub where cAcc_Id='001' order by cSub_Id,iYear)")).toString();
}

// The dialog as the console opens it; each date dialog takes the next day of `picks`
// (an invalid date presses "取消").
struct Dialog {
    MsgBoxScript msgs;
    ModalScript modals;
    QList<QDate> picks;
    int datesShown = 0;
    frmSysStart f;

    // On the session's set, as the console opens it.
    Dialog(const Session& session, const QString& books)
        : f(session, session.account.id)
    {
        modals.on(QStringLiteral("frmCnDate"), [this](QDialog& d) {
            auto& c = static_cast<frmCnDate&>(d);
            ++datesShown;
            const QDate day = picks.isEmpty() ? QDate() : picks.takeFirst();
            if (day.isValid())
                c.Calendar1->setSelectedDate(day);
            (day.isValid() ? c.cmdOk : c.cmdExit)->click();
            return d.result();
        });
        f.accDbPath = books;
        f.Form_Load();
    }
    QString period(int row) const { return f.MSFlexGrid1->TextMatrix(row, 2); }
    bool ticked(int box) const { return f.chkID[box]->isChecked(); }
    // The box's tick and period, as "on 2024-03" or "off ".
    QString state(int box) const { return (ticked(box) ? QStringLiteral("on ") : QStringLiteral("off ")) + period(box); }
    // Boxes 1 to 4, as "on 2024-03,off ,...".
    QString states() const { return QStringList({state(1), state(2), state(3), state(4)}).join(QLatin1Char(',')); }
    void tick(int box, const QDate& day)
    {
        picks << day;
        f.chkID[box]->click();
    }
    // Double-clicks the module's name as the window system delivers it, as a person re-picks a date.
    void doubleClick(int row, const QDate& day)
    {
        picks << day;
        if (!f.isVisible()) {
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
        }
        const QPoint at = f.MSFlexGrid1->visualItemRect(f.MSFlexGrid1->item(row - 1, 1)).center();
        QTest::mouseClick(f.MSFlexGrid1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(f.MSFlexGrid1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(f.MSFlexGrid1->viewport(), Qt::LeftButton, {}, at);
    }
};
} // namespace

class tst_sysstart : public QObject {
    Q_OBJECT
private slots:
    void load_headingNamesAndOtherCodes()
    {
        TestEnv env;
        const QString books = makeSet(env);
        // Rows that other programs of the suite write: AP and IA show in box 4, the 9999 rows not at all.
        env.db().execute(QStringLiteral("insert into SM_Account_sub values ('001',2024,'AP',5,'2024-06-01'),('001',9999,'AP',0,'2024-06-01'),"
                                        "('001',2024,'IA',6,'2024-07-01')"));
        Dialog d(env.session, books);
        QCOMPARE(d.f.Label1->text(), kHeading);
        QCOMPARE(column(d.f.MSFlexGrid1, 1).mid(0, 4), (QStringList{"固定资产核算", "账务处理", "工资核算", "应收应付核算"}));
        for (int box = 1; box <= 12; ++box)
            QCOMPARE(d.f.chkID[box]->isHidden(), box > 4);
        QCOMPARE(d.f.chkID[4]->text(), QStringLiteral("GX"));
        QVERIFY(d.ticked(4) && !d.ticked(1) && !d.ticked(2) && !d.ticked(3) && !d.ticked(5));
        QVERIFY(d.period(4) == QStringLiteral("2024-06") || d.period(4) == QStringLiteral("2024-07"));
        QVERIFY(d.period(3).isEmpty() && d.period(5).isEmpty());
        QVERIFY(d.msgs.calls.isEmpty());

        // Two rows landed on one box: the very next click must still be a real click.
        d.tick(1, QDate(2024, 3, 1));
        QCOMPARE(d.datesShown, 1);
        QVERIFY(d.ticked(1));

        // A set without its row: the heading names no period (its refusal: tst_core_setup's period rules).
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("042"), QStringLiteral("x"), QStringLiteral("2024"));
        QCOMPARE(Dialog(env.session, QString()).f.Label1->text(), QStringLiteral("账套启用会计期间"));
    }

    void enable_periodRulesAndCancel()
    {
        TestEnv env;
        const QString books = makeSet(env);
        // Books without the ledger's start-date row: the work fails, said as such.
        Database(books).execute(QStringLiteral("delete from AccInformation where cSysID='GL' and cName='dGLStartDate'"));
        Dialog d(env.session, books);
        // The start month itself is accepted; one month earlier is refused with its message (the
        // period rules: tst_core_setup), as is what the work refuses, and cancelling the date dialog
        // abandons quietly: box and cell stay as they were, and nothing is written.
        const struct {
            int box;
            QDate day;
            QString message;
            QString state;
        } cases[] = {
            {1, QDate(2024, 3, 15), QString(), QStringLiteral("on 2024-03")},
            {2, QDate(2024, 2, 29), kTooEarly, QStringLiteral("off ")},
            {2, QDate(2024, 4, 1), kNoLedgerRow, QStringLiteral("off ")},
            {4, QDate(), QString(), QStringLiteral("off ")},
        };
        for (const auto& c : cases) {
            d.msgs.clear();
            d.tick(c.box, c.day);
            QCOMPARE(d.msgs.calls.isEmpty() ? QString() : seen(d.msgs.last()),
                     c.message.isEmpty() ? QString() : seen(c.message, QStringLiteral("提示信息"), vb::vbOKOnly | vb::vbExclamation));
            QCOMPARE(d.state(c.box), c.state);
        }
        QCOMPARE(d.datesShown, 4);
        QCOMPARE(subs(env), QStringLiteral("FA 2024 2024-03-01,FA 9999 2024-03-01"));
    }

    void enable_eachModuleReopeningAndDisabling()
    {
        TestEnv env;
        const QString books = makeSet(env);
        {
            Dialog d(env.session, books);
            // FA and WA: the work records WA's month apart (each module's rows: tst_core_setup).
            d.tick(1, QDate(2024, 5, 20));
            d.tick(3, QDate(2024, 5, 20));
            QVERIFY(d.msgs.calls.isEmpty());
            QCOMPARE(d.states(), QStringLiteral("on 2024-05,off ,on 2024-05,off "));
        }
        // Reopened: WA keeps its month, FA shows the period its row records.
        Dialog again(env.session, books);
        QCOMPARE(again.states(), QStringLiteral("on 2024-01,off ,on 2024-05,off "));

        // Clearing a box asks first: No keeps the module, Yes disables it; neither is an enabling.
        again.msgs.answer(vb::vbNo);
        again.f.chkID[1]->click();
        QCOMPARE(seen(again.msgs.calls.value(0)), seen(QStringLiteral("确实要注销当前系统吗？"), QStringLiteral("提示信息"), vb::vbYesNo | vb::vbQuestion));
        QCOMPARE(again.msgs.calls.size(), 1);
        QCOMPARE(again.state(1), QStringLiteral("on 2024-01"));
        QCOMPARE(subs(env).count(QStringLiteral("FA ")), 2);
        again.msgs.answer(vb::vbYes);
        again.f.chkID[1]->click();
        QCOMPARE(again.state(1), QStringLiteral("off "));
        QCOMPARE(subs(env).count(QStringLiteral("FA ")), 0);
        QCOMPARE(again.datesShown, 0);
    }

    void repick_replacesTheDateOrKeepsIt()
    {
        TestEnv env;
        const QString books = makeSet(env);
        Dialog d(env.session, books);
        d.tick(2, QDate(2024, 3, 1));
        d.doubleClick(2, QDate(2024, 8, 8));
        QCOMPARE(d.datesShown, 2);
        QVERIFY(d.msgs.calls.isEmpty());
        QCOMPARE(d.state(2), QStringLiteral("on 2024-08"));
        QCOMPARE(Database(books).scalar(QStringLiteral("select cValue from AccInformation where cName='dGLStartDate'")).toString(),
                 QStringLiteral("2024-08-08"));

        // A refused re-pick keeps the module enabled as it was (a cancelled one takes the same way back).
        d.doubleClick(2, QDate(2024, 1, 31));
        QCOMPARE(d.msgs.texts(), QStringList{kTooEarly});
        QCOMPARE(d.state(2), QStringLiteral("on 2024-08"));
        QCOMPARE(subs(env), QStringLiteral("GL 2024 2024-08-01,GL 9999 2024-08-01"));

        // A module that is not enabled has nothing to re-pick.
        d.doubleClick(1, QDate(2024, 5, 5));
        QCOMPARE(d.datesShown, 3);
        QVERIFY(!d.ticked(1));
    }

    void console_opensItForTheCurrentSet()
    {
        TestEnv env;
        MsgBoxScript msgs;
        ModalScript modals;
        QString seenBooks, seenHeading;
        modals.on(QStringLiteral("frmSysStart"), [&](QDialog& d) {
            auto& f = static_cast<frmSysStart&>(d);
            seenBooks = f.accDbPath;
            seenHeading = f.Label1->text();
            f.cmdTool[2]->click();
            return d.result();
        });
        frmMain main(env.session);

        // No row for the set, then a row but no books: a message naming what is missing, no dialog.
        auto refused = [&](const QString& named) {
            msgs.clear();
            main.mnuAccUse_Click();
            QCOMPARE(msgs.calls.size(), 1);
            QVERIFY(msgs.last().text.contains(named));
            QVERIFY(modals.shown.isEmpty());
        };
        env.loginSupervisor(QStringLiteral("demo"), kAcc, QStringLiteral("x"), QStringLiteral("2024"));
        refused(QStringLiteral("[001]"));
        const QString books = makeSet(env, false);
        refused(QStringLiteral("KdData.mdb"));

        CiFile::mkpath(AccountDb::yearFolder(env.root() + QStringLiteral("/books/"), kAcc, 2024));
        QVERIFY(CiFile::copy(TestEnv::templatePath(), books));
        msgs.clear();
        main.mnuAccUse_Click();
        QVERIFY(msgs.calls.isEmpty());
        QCOMPARE(modals.shown, QStringList{QStringLiteral("frmSysStart")});
        QCOMPARE(seenBooks, books);
        QCOMPARE(seenHeading, kHeading);
    }
};

QTEST_MAIN(tst_sysstart)
#include "tst_sysstart.moc"
