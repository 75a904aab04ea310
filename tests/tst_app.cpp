// Start-up, the console and the login, driven as a person would.
#include "Scripts.h"
#include "TestEnv.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <Startup.h>
#include <StatusBar1.h>
#include <Twips.h>
#include <frmLogin.h>
#include <frmMain.h>
#include <frmPassword.h>

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace Module1;

namespace {
// An account set with a holding for `user`, as the wizard and the grant dialogs leave them.
void addAccountSet(Database& db, const QString& acc, const QString& name, const QString& user)
{
    db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (?,?,?,2026,1)"),
               {acc, name, QStringLiteral("/tmp/")});
    db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,2026,?,'admin')"), {acc, user});
}

struct Console {
    frmMain main;
    MsgBoxScript msgs;
    ModalScript modals;
    int ended = -1;
    Console() { setEndProgramHandler([this](int code) { ended = code; }); }
    ~Console() { setEndProgramHandler({}); }
};

// Opens the login form from the console and lets `fill` act on it as the person would.
void login(Console& c, const std::function<void(frmLogin&)>& fill)
{
    c.modals.on(QStringLiteral("frmLogin"), [&](QDialog& d) {
        auto& f = static_cast<frmLogin&>(d);
        fill(f);
        return d.result();
    });
    c.main.mnuSysReg_Click();
}
} // namespace

class tst_app : public QObject {
    Q_OBJECT
private slots:
    void startup_rootFromCommandLine()
    {
        QCOMPARE(Startup::rootFromCommandLine(QString()), QString());
        QCOMPARE(Startup::rootFromCommandLine(QStringLiteral("   ")), QString());
        QCOMPARE(Startup::rootFromCommandLine(QStringLiteral("/opt/acc,extra,x")), QStringLiteral("/opt/acc"));
        QCOMPARE(Startup::rootFromCommandLine(QStringLiteral("/opt/my acc")), QStringLiteral("/opt/my acc"));
        setRoot(QStringLiteral("/opt/acc"));
        const QString without = gSysPath;
        setRoot(QStringLiteral("/opt/acc/"));
        QCOMPARE(gSysPath, without);
        setRoot(QStringLiteral("/opt/acc\\"));
        QCOMPARE(gSysPath, without);
        QCOMPARE(without, QStringLiteral("/opt/acc/DeZaduzi/"));
    }

    void console_missingSystemDatabaseEndsTheProgram()
    {
        TestEnv env(false);
        Console c;
        QVERIFY(!c.main.Form_Load());
        QCOMPARE(c.msgs.texts(), QStringList{QStringLiteral("系统库不存在，无法启动系统管理！")});
        QCOMPARE(c.msgs.last().title, QStringLiteral("登录"));
        QCOMPARE(c.msgs.last().icon(), int(vb::vbExclamation));
        QCOMPARE(c.ended, 0);
        QVERIFY(!gSysDb);
    }

    void console_loadsLoggedOut()
    {
        TestEnv env;
        Console c;
        QVERIFY(c.main.Form_Load());
        QCOMPARE(c.main.windowTitle(), QStringLiteral("revozi〖系统管理〗"));
        QCOMPARE(c.main.MSFlexGrid1->TextMatrix(0, 3), QStringLiteral("注册时间"));
        QCOMPARE(c.main.MSFlexGrid1->RowHeight(1), 0);
        QCOMPARE(c.main.statusBar1->panelText(5), QStringLiteral("〖系统管理〗"));
        QVERIFY(c.main.statusBar1->panelText(3).startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        QVERIFY(c.main.mnuSysReg->isEnabled());
        QVERIFY(!c.main.mnuSysU->isEnabled());
        QVERIFY(!c.main.mnuAcc->menuAction()->isEnabled());
        QVERIFY(!c.main.mnuPop->menuAction()->isEnabled());
        QVERIFY(!c.main.mnuViewLog->isEnabled());
        QCOMPARE(c.main.mnuSysReg->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QCOMPARE(c.main.mnuViewRef->shortcut(), QKeySequence(Qt::Key_F5));
    }

    void login_administratorSetsUpTheConsole()
    {
        TestEnv env;
        Console c;
        QVERIFY(c.main.Form_Load());
        login(c, [](frmLogin& f) {
            QCOMPARE(f.windowTitle(), QStringLiteral("注册〖控制台〗"));
            f.TxtUser->setText(QStringLiteral("admin"));
            f.TxtUser_LostFocus();
            QVERIFY(f.cboAcc->isHidden());
            f.txtPassword->clear();
            f.cmdOK->click();
        });
        QVERIFY(c.msgs.calls.isEmpty());
        QVERIFY(gSysDb);
        QVERIFY(gIsAdmin);
        QCOMPARE(gUserId, QStringLiteral("admin"));
        frmMain& m = c.main;
        QCOMPARE(m.statusBar1->panelText(1), QStringLiteral("操作员[") + gUserName + QStringLiteral("]"));
        QCOMPARE(m.statusBar1->panelText(2), QStringLiteral("服务器[") + gComputerName + QStringLiteral("]"));
        QCOMPARE(m.statusBar1->panelText(4), QString());
        QCOMPARE(m.MSFlexGrid1->Rows(), 2);
        QCOMPARE(m.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("控制台"));
        QCOMPARE(m.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("正常(0)"));
        QVERIFY(m.MSFlexGrid1->RowHeight(1) > 0);
        QCOMPARE(m.MSFlexGrid2->TextMatrix(0, 3), QStringLiteral("执行功能"));
        QVERIFY(!m.mnuSysReg->isEnabled());
        QVERIFY(m.mnuSysU->isEnabled());
        QVERIFY(m.mnuAcc->menuAction()->isEnabled());
        QVERIFY(m.mnuAccCreate->isEnabled() && m.mnuAccInput->isEnabled() && m.mnuAccExport->isEnabled());
        QVERIFY(!m.mnuAccEdit->isEnabled() && !m.mnuAccUse->isEnabled());
        QVERIFY(m.mnuPopUser->isEnabled() && m.mnuPopG->isEnabled());
        QVERIFY(!m.mnuYear->menuAction()->isEnabled());
        QVERIFY(m.mnuSysLogin->isEnabled() && m.mnuViewLog->isEnabled());
        QVERIFY(!m.mnuViewRef->isEnabled() && !m.mnuViewSys->isEnabled());
        QVERIFY(m.Timer2.isActive());

        // The status timer's one tick, then the logout.
        m.Timer2_Timer();
        QCOMPARE(m.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("正常(1)"));
        QVERIFY(!m.Timer2.isActive());
        m.mnuSysU_Click();
        QCOMPARE(m.MSFlexGrid1->Rows(), 1);
        QCOMPARE(m.statusBar1->panelText(1), QStringLiteral("操作员[]"));
        QCOMPARE(m.statusBar1->panelText(2), QStringLiteral("服务器[]"));
        QVERIFY(m.mnuSysReg->isEnabled() && !m.mnuSysU->isEnabled());
        QVERIFY(!m.mnuAcc->menuAction()->isEnabled() && !m.mnuPop->menuAction()->isEnabled());
        QVERIFY(m.mnuViewRef->isEnabled() && m.mnuViewSys->isEnabled());
        QCOMPARE(gUserId, QStringLiteral("admin"));   // kept to preselect the operator
    }

    void login_supervisorWithAccountSetAndCurrentYear()
    {
        TestEnv env;
        addAccountSet(env.db(), QStringLiteral("007"), QStringLiteral("华东分公司"), QStringLiteral("demo"));
        Console c;
        QVERIFY(c.main.Form_Load());
        login(c, [](frmLogin& f) {
            f.TxtUser->setText(QStringLiteral("DEMO"));
            f.TxtUser_LostFocus();
            QVERIFY(!f.cboAcc->isHidden());
            QCOMPARE(f.cboAcc->currentText(), QStringLiteral("[007]华东分公司"));
            QCOMPARE(f.cboYear->count(), 1);
            QCOMPARE(f.cboYear->currentText(), QString::number(QDate::currentDate().year()));
            f.cmdOK->click();
        });
        QVERIFY(c.msgs.calls.isEmpty());
        QVERIFY(!gIsAdmin);
        QCOMPARE(gAccId, QStringLiteral("007"));
        QCOMPARE(gAccName, QStringLiteral("华东分公司"));
        QCOMPARE(gYear, QString::number(QDate::currentDate().year()));
        frmMain& m = c.main;
        QCOMPARE(m.statusBar1->panelText(4), QStringLiteral("当前帐套：[007] 会计年度：[%1]").arg(gYear));
        QVERIFY(m.mnuAccEdit->isEnabled() && m.mnuAccUse->isEnabled() && m.mnuYear->menuAction()->isEnabled());
        QVERIFY(!m.mnuAccCreate->isEnabled() && !m.mnuAccInput->isEnabled() && !m.mnuAccExport->isEnabled());
        QVERIFY(!m.mnuPopUser->isEnabled() && !m.mnuPopG->isEnabled() && m.mnuPopJ->isEnabled());
        QVERIFY(!m.mnuSysLogin->isEnabled() && !m.mnuViewLog->isEnabled());

        // Logging out and in again: the operator is preselected and the status is back to 正常(0).
        m.Timer2_Timer();
        m.mnuSysU_Click();
        login(c, [](frmLogin& f) {
            QCOMPARE(f.cboUser->currentText(), ListEntry(gUserId, gUserName));
            QCOMPARE(gUserId, QStringLiteral("demo"));
            f.cmdOK->click();
        });
        QCOMPARE(m.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("正常(0)"));
    }

    void login_refusals()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set cPassword='Secret' where cUser_Id='admin'"));
        env.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('zz','asuser',0)"));
        Console c;
        QVERIFY(c.main.Form_Load());
        login(c, [&](frmLogin& f) {
            for (int i = 0; i < f.cboUser->count(); ++i)
                QVERIFY(!f.cboUser->itemText(i).endsWith(QStringLiteral("asuser")));
            // "ADMIN" is the administrator; the password comparison is exact.
            f.TxtUser->setText(QStringLiteral("ADMIN"));
            f.TxtUser_LostFocus();
            f.txtPassword->setText(QStringLiteral("secret"));
            f.cmdOK->click();
            QCOMPARE(c.msgs.texts(), QStringList{QStringLiteral("口令无效，请重新输入。")});
            QCOMPARE(c.msgs.last().title, QStringLiteral("注册〖控制台〗"));
            QCOMPARE(f.result(), int(QDialog::Rejected));
            // An identifier that matches nobody leaves the administrator selected.
            f.TxtUser->setText(QStringLiteral("nobody"));
            f.TxtUser_LostFocus();
            QCOMPARE(gUserId, QStringLiteral("ADMIN").toLower());
            // A non-administrator with no account set: refused by disabling the button, silently.
            f.TxtUser->setText(QStringLiteral("demo"));
            f.TxtUser_LostFocus();
            QVERIFY(f.cboAcc->currentText().isEmpty());
            f.txtPassword->clear();
            c.msgs.clear();
            f.cmdOK->click();
            QVERIFY(!f.cmdOK->isEnabled());
            QVERIFY(c.msgs.calls.isEmpty());
            // "admin" typed while a non-administrator stays selected: refused with a message, nothing set up.
            env.db().execute(QStringLiteral("update SM_User set cUser_Id='root' where cUser_Id='admin'"));
            f.TxtUser->setText(QStringLiteral("admin"));
            f.cmdOK->setEnabled(true);
            f.cmdOK->click();
            QCOMPARE(c.msgs.calls.size(), 1);
            QCOMPARE(f.result(), int(QDialog::Rejected));
        });
        QCOMPARE(c.main.statusBar1->panelText(1), QString());
        QVERIFY(c.main.mnuSysReg->isEnabled());
    }

    void login_nullPasswordAndEnterKeys()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set cPassword=NULL where cUser_Id='admin'"));
        Console c;
        QVERIFY(c.main.Form_Load());
        login(c, [](frmLogin& f) {
            f.show();
            f.TxtUser->setText(QStringLiteral("Admin"));
            QTest::keyClick(f.TxtUser, Qt::Key_Return);
            QTest::keyClick(f.txtPassword, Qt::Key_Return);
            f.hide();
        });
        QVERIFY(gIsAdmin);
        QVERIFY(!c.main.mnuSysReg->isEnabled());
    }

    void login_missingOrLockedSystemDatabase()
    {
        TestEnv env;
        Console c;
        QVERIFY(c.main.Form_Load());
        QFile::rename(env.sysDbPath(), env.sysDbPath() + QStringLiteral(".away"));
        login(c, [&](frmLogin& f) {
            QCOMPARE(c.msgs.texts(), QStringList{QStringLiteral("系统库不存在")});
            QCOMPARE(f.cboUser->count(), 0);
            f.TxtUser->setText(QStringLiteral("admin"));
            f.cmdOK->click();
            QCOMPARE(f.result(), int(QDialog::Rejected));
        });
        QVERIFY(c.main.mnuSysReg->isEnabled());
        QVERIFY(!gSysDb);

        // A file that is not a database: a clear message, not a crash.
        QFile junk(env.sysDbPath());
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(2048, '\x07'));
        junk.close();
        c.msgs.clear();
        login(c, [&](frmLogin& f) {
            QCOMPARE(c.msgs.calls.size(), 1);
            QVERIFY(c.msgs.last().text.startsWith(QStringLiteral("无法打开系统库")));
            QCOMPARE(f.cboUser->count(), 0);
        });
        QVERIFY(!gSysDb);
    }

    void password_changeChecksAndStoresExactly()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set cPassword=NULL where cUser_Id='demo'"));
        Console c;
        QVERIFY(c.main.Form_Load());
        login(c, [&](frmLogin& f) {
            f.TxtUser->setText(QStringLiteral("demo"));
            f.TxtUser_LostFocus();
            c.modals.on(QStringLiteral("frmPassword"), [&](QDialog& d) {
                auto& p = static_cast<frmPassword&>(d);
                p.txtNewPassword->setText(QStringLiteral(" it's 新 "));
                p.txtConfirmPassword->setText(QStringLiteral(" it's 新"));
                p.cmdOK->click();
                p.txtConfirmPassword->setText(QStringLiteral(" it's 新 "));
                p.txtOldPassword->setText(QStringLiteral("x"));
                p.cmdOK->click();
                p.txtOldPassword->clear();   // no password before: the empty old one matches
                p.cmdOK->click();
                return p.result();
            });
            f.cmdEdit_Click();
            QCOMPARE(c.msgs.texts(), (QStringList{QStringLiteral("输入口令不一致，再试一次！"), QStringLiteral("输入的旧口令错误或此用户不存在！")}));
            QCOMPARE(c.msgs.last().title, QStringLiteral("设置操作员口令"));
            // The form still expects the old password until the operator is chosen again.
            f.txtPassword->clear();
            f.cmdOK->setEnabled(true);
        });
        QCOMPARE(env.db().scalar(QStringLiteral("select cPassword from SM_User where cUser_Id='demo'")).toString(), QStringLiteral(" it's 新 "));
    }

    void console_resizeSharesHeightAndRestoresDesign()
    {
        TestEnv env;
        Console c;
        frmMain& m = c.main;
        QVERIFY(m.Form_Load());
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        // Smaller than the design: the design heights and widths, panel 4 at 1700 twips.
        m.resize(200, 150);
        QTRY_COMPARE(m.MSFlexGrid1->width(), Twips::toPxX(10500));
        const int h1 = m.MSFlexGrid1->height();
        const int h2 = m.MSFlexGrid2->height();
        QCOMPARE(h1, Twips::toPxY(1900));
        QCOMPARE(h2, Twips::toPxY(3500));
        QVERIFY(qAbs(m.statusBar1->panelWidth(4) - 1700) <= 15);
        // Larger: the extra height is shared equally, the lower grid follows the upper one.
        m.resize(m.width() + 300, m.height() + 300);
        QTRY_VERIFY(m.MSFlexGrid1->height() > h1);
        QVERIFY(qAbs((m.MSFlexGrid1->height() - h1) - (m.MSFlexGrid2->height() - h2)) <= 2);
        QCOMPARE(m.MSFlexGrid2->y(), m.MSFlexGrid1->y() + m.MSFlexGrid1->height());
        QVERIFY(m.MSFlexGrid1->width() > Twips::toPxX(10500));
        QCOMPARE(m.MSFlexGrid2->width(), m.MSFlexGrid1->width());
        QVERIFY(m.statusBar1->panelWidth(4) > 1700);
        m.hide();
    }

    void getTxtFileMatter_readsLines()
    {
        QTemporaryDir dir;
        QFile f(dir.path() + QStringLiteral("/KdErpAct.Lst"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("first\r\n账套=001\r\nlast");
        f.close();
        const QString p = dir.path() + QStringLiteral("/kderpact.lst");
        QCOMPARE(frmMain::GetTxtFileMatter(p, 1), QStringLiteral("first"));
        QCOMPARE(frmMain::GetTxtFileMatter(p, 2), QStringLiteral("账套=001"));
        QCOMPARE(frmMain::GetTxtFileMatter(p, 3), QStringLiteral("last"));
        QCOMPARE(frmMain::GetTxtFileMatter(p, 4), QString());
        QCOMPARE(frmMain::GetTxtFileMatter(p, 0), QString());
        QCOMPARE(frmMain::GetTxtFileMatter(dir.path() + QStringLiteral("/none"), 1), QString());
    }
};

QTEST_MAIN(tst_app)
#include "tst_app.moc"
