// Round trips of the forms a person waits for on a server installation (at 20 ms from the server
// each costs 20 ms): the login form's operators (the session's start, then the installation's
// upkeep question with the operators in one round trip), 登录 (the wrong passwords' read, the log
// row's two, the task's registration and both task grids), opening the permission browser and
// choosing an operator in it. Bounds at what the forms make today, so a statement per row fails
// here. Runs on the server only (ctest's tst_roundtrips_server).
#include "Scripts.h"
#include "TestEnv.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Installation.h>
#include <Module1.h>
#include <UsedServers.h>
#include <frmLogin.h>
#include <frmMain.h>
#include <frmUserPop.h>

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include <functional>

namespace {
qint64 tripsOf(const std::function<void()>& job)
{
    const qint64 before = Database::roundTrips();
    job();
    return Database::roundTrips() - before;
}
} // namespace

class tst_roundtrips : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!TestRoot::onServer() || !TestEngine::serverMissing().isEmpty())
            QSKIP("the round trips are a server's: run as tst_roundtrips_server");
    }

    void loginAndPermissionBrowser()
    {
        TestEnv env;
        MsgBoxScript msgs;
        ModalScript modals;
        int ended = -1;
        Module1::setEndProgramHandler([&](int code) { ended = code; });
        // Operators with holdings in a set, so that the browser's grid has rows to read.
        for (int i = 0; i < 20; ++i)
            env.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState) values (?,?,'',0,'财务部',0)"),
                             {QStringLiteral("op%1").arg(i), QStringLiteral("操作员%1").arg(i)});
        // Started on the server, as revozi-admin --server starts.
        env.session.installation = env.place();
        frmMain console(env.session);
        QVERIFY(console.Form_Load());
        UsedServers::remember(env.place().conn());
        frmLogin login(env.session, &console);
        // The session's start is the engine's; the form adds its upkeep question, with the operators.
        Database bare;
        const qint64 start = tripsOf([&] { bare.openServer(env.place().conn().connectString(), QString::fromLatin1(Installation::kSystemSchema), false); });
        const qint64 shown = tripsOf([&] { login.Form_Load(); });
        QVERIFY(login.cboUser->count() > 20);
        login.TxtUser->setText(QStringLiteral("admin"));
        login.TxtUser_LostFocus();
        const qint64 loggedIn = tripsOf([&] { login.cmdOK_Click(); });
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QVERIFY(env.session.sysDb && env.session.sysDb->engine() == Engine::PostgreSQL);

        frmUserPop browser(env.session);
        const qint64 opened = tripsOf([&] { browser.Form_Load(); });
        browser.show();
        QCoreApplication::processEvents();
        QVERIFY(browser.MSFlexGrid1->Rows() > 20);
        const qint64 chosen = tripsOf([&] { browser.MSFlexGrid1->setRow(browser.MSFlexGrid1->Row() == 5 ? 6 : 5); });
        QVERIFY2(msgs.calls.isEmpty(), qPrintable(msgs.texts().join(QLatin1Char('\n'))));
        QCOMPARE(modals.shown, QStringList());
        QCOMPARE(ended, -1);
        qInfo("round trips: session's start %lld, login form shown %lld, 登录 %lld, permission browser %lld, an operator chosen %lld", start, shown,
              loggedIn, opened, chosen);
        QVERIFY2(shown <= start + 1, qPrintable(QString::number(shown)));
        QVERIFY2(loggedIn <= 5, qPrintable(QString::number(loggedIn)));
        QVERIFY2(opened <= 2, qPrintable(QString::number(opened)));
        QVERIFY2(chosen <= 2, qPrintable(QString::number(chosen)));
        console.mnuSysU_Click();
        Module1::setEndProgramHandler({});
    }

    // A supervisor's 登录 also reads whether its year is there (the year menu) and claims its set
    // and year: the set's lock with the read of what stands in the way, then the claim's row with
    // the COMMIT.
    void supervisorLogin()
    {
        TestEnv env;
        MsgBoxScript msgs;
        ModalScript modals;
        Module1::setEndProgramHandler([](int) {});
        env.db().execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values ('007','华东分公司','/tmp/',2026,1)"));
        env.db().execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('007',2026,'demo','admin')"));
        env.session.installation = env.place();
        frmMain console(env.session);
        QVERIFY(console.Form_Load());
        UsedServers::remember(env.place().conn());
        frmLogin login(env.session, &console);
        login.Form_Load();
        login.TxtUser->setText(QStringLiteral("demo"));
        login.TxtUser_LostFocus();
        const qint64 loggedIn = tripsOf([&] { login.cmdOK_Click(); });
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QCOMPARE(env.session.account.id, QStringLiteral("007"));
        QVERIFY2(msgs.calls.isEmpty(), qPrintable(msgs.texts().join(QLatin1Char('\n'))));
        qInfo("round trips: a supervisor's 登录 %lld", loggedIn);
        QVERIFY2(loggedIn <= 8, qPrintable(QString::number(loggedIn)));
        console.mnuSysU_Click();
        Module1::setEndProgramHandler({});
    }
};

QTEST_MAIN(tst_roundtrips)
#include "tst_roundtrips.moc"
