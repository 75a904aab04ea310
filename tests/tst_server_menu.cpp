// The system menu's server items through the console: 升级SQL Server数据 moves an installation of
// files onto a server of the run's cluster and logs in there; 设置SQL Server口令 on files says why
// not, and refuses two different new passwords before it reaches the server.
#include "ScriptedConsole.h"

#include <AccountSetCreator.h>
#include <ConnInfo.h>
#include <Installation.h>
#include <Migration.h>
#include <TestEngine.h>
#include <frmMigrate.h>
#include <frmServerPassword.h>
#include <frmWeb.h>

#include <QComboBox>

using namespace Module1;

namespace {
// A console with the administrator logged in.
struct Console : ScriptedConsole {
    explicit Console(TestEnv& env)
        : ScriptedConsole(env)
    {
        login(QStringLiteral("admin"));
    }
};
} // namespace

class tst_server_menu : public QObject {
    Q_OBJECT
private slots:
    // The server chosen, the question answered, the copy made: the console logs out and its login
    // opens on the server, which holds the set; the files know where they went.
    void movesTheFilesAndSwitches()
    {
        if (!TestEngine::serverMissing().isEmpty())
            QSKIP(qPrintable(TestEngine::serverMissing()));
        TestEnv env;
        QVERIFY(AccountSetCreator(env.db()).create(TestRoot::setInput(QStringLiteral("7"), env.root(), QStringLiteral("2026"))).done());
        ServerDatabase target;
        Console c(env);
        c.modals.on(QStringLiteral("frmWeb"), [&](QDialog& d) {
            auto& f = static_cast<frmWeb&>(d);
            f.txtServer->setText(target.conninfo());
            f.cmdOK->click();
            return d.result();
        });
        c.modals.on(QStringLiteral("frmMigrate"), [](QDialog& d) {
            auto& f = static_cast<frmMigrate&>(d);
            f.start();
            if (!QTest::qWaitFor([&f] { return !f.working(); }, 600000))
                QTest::qFail("the move did not finish", __FILE__, __LINE__);
            return d.result();
        });
        c.msgs.answer(vb::vbNo);
        c.main.mnuSysData_Click();
        QVERIFY(!c.modals.shown.contains(QStringLiteral("frmMigrate")));
        QVERIFY(Migration::movedTo(env.root()).isEmpty());

        QString loginServer;
        c.modals.on(QStringLiteral("frmLogin"), [&](QDialog& d) {
            loginServer = static_cast<frmLogin&>(d).cboServer->currentText();
            d.reject();
            return d.result();
        });
        c.msgs.answer(vb::vbYes);
        c.main.mnuSysData_Click();
        QVERIFY2(c.modals.shown.contains(QStringLiteral("frmMigrate")), qPrintable(c.msgs.texts().join('\n')));
        QVERIFY(!c.main.mnuSysU->isEnabled());
        QTRY_VERIFY(!loginServer.isEmpty());
        QCOMPARE(loginServer, ConnInfo(target.conninfo()).label());
        QVERIFY(!Migration::movedTo(env.root()).isEmpty());
        Database server;
        Installation::openServerSystem(server, ConnInfo(target.conninfo()));
        QCOMPARE(server.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id='007'")).toInt(), 1);
    }

    // On files there is no server password to set; two different new passwords never go out.
    void passwordNeedsAServerAndTwoEqualTypings()
    {
        TestEnv env;
        Console c(env);
        c.msgs.clear();
        c.main.mnuSysLogin_Click();
        QCOMPARE(c.msgs.calls.size(), 1);
        QVERIFY(c.msgs.last().text.contains(QStringLiteral("升级SQL Server数据")));
        QVERIFY(!c.modals.shown.contains(QStringLiteral("frmServerPassword")));

        frmServerPassword dlg(env.session);
        dlg.txtOld->setText(QStringLiteral("old"));
        dlg.txtNew->setText(QStringLiteral("new-1"));
        dlg.txtConfirm->setText(QStringLiteral("new-2"));
        c.msgs.clear();
        dlg.cmdOK->click();
        QCOMPARE(c.msgs.texts(), QStringList{QStringLiteral("两次输入的新口令不一致，请重新输入。")});
        QVERIFY(dlg.txtConfirm->text().isEmpty());
    }
};

QTEST_MAIN(tst_server_menu)
#include "tst_server_menu.moc"
