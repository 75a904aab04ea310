// Start-up, the console, the login and the password change, driven as a person would.
#include "ScriptedConsole.h"
#include "BackupFixture.h"

#include <Database.h>
#include <Installation.h>
#include <TestEngine.h>
#include <UsedServers.h>
#include <frmWeb.h>
#include <FlexGrid.h>
#include <Launcher.h>
#include <LoginCheck.h>
#include <PasswordHash.h>
#include <Startup.h>
#include <StatusBar1.h>
#include <AuditTableModel.h>
#include <frmLog.h>
#include <frmAddUser.h>
#include <frmEditUser.h>
#include <frmPassword.h>

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QDirIterator>

using namespace Module1;

namespace {
// The console's menu items a person can reach: enabled, under enabled menus.
QStringList usable(frmMain& m)
{
    QStringList out;
    for (QAction* a : m.findChildren<QAction*>()) {
        bool on = !a->menu() && !a->isSeparator() && a->isEnabled();
        for (auto* menu = qobject_cast<QMenu*>(a->parent()); on && menu; menu = qobject_cast<QMenu*>(menu->parent()))
            on = menu->menuAction()->isEnabled();
        if (on)
            out << a->objectName();
    }
    out.sort();
    return out;
}
// `items` and those always usable (help, exit), in the order usable() gives.
QStringList menus(QStringList items)
{
    items << "mnuHelpAbort" << "mnuHelpI" << "mnuHelpWeb" << "mnuSysExit";
    items.sort();
    return items;
}

QString password(Database& db, const QString& user)
{
    return db.scalar(QStringLiteral("select cPassword from SM_User where cUser_Id=?"), {user}).toString();
}

using Console = ScriptedConsole;

void choose(frmLogin& f, const QString& user)
{
    ScriptedConsole::choose(f, user);
}
} // namespace

class tst_app : public QObject {
    Q_OBJECT
private slots:
    void startup_rootFromCommandLineAndAMissingSystemDatabaseEndsTheProgram()
    {
        const QPair<QString, QString> cases[] = {{"   ", ""}, {"/opt/acc,extra,x", "/opt/acc"}, {"/opt/my acc", "/opt/my acc"}};
        for (const auto& [line, root] : cases)
            QCOMPARE(Startup::rootFromCommandLine(line), root);
        Session session;
        session.setRoot(QStringLiteral("/opt/acc\\"));
        QCOMPARE(session.systemFolder(), QStringLiteral("/opt/acc/DeZaduzi/"));

        // A root without its system database ends the program, said why.
        TestEnv env(false);
        Console c(env, false);
        QVERIFY(!c.main.Form_Load());
        QCOMPARE(c.msgs.calls.size(), 1);
        QCOMPARE(seen(c.msgs.last()), seen(QStringLiteral("系统库不存在，无法启动系统管理！"), QStringLiteral("登录"), vb::vbExclamation));
        QCOMPARE(c.ended, 0);
        QVERIFY(!env.session.sysDb);
    }

    void console_loadsLoggedOutAndTheAdministratorSetsItUp()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set cPassword=NULL where cUser_Id='admin'"));
        Console c(env);
        frmMain& m = c.main;
        QCOMPARE(m.MSFlexGrid1->RowHeight(1), 0);
        QVERIFY(m.statusBar1->panelText(3).startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        const QStringList loggedOut = menus({"mnuSysReg", "mnuViewRef", "mnuViewSys"});
        QCOMPARE(usable(m), loggedOut);

        bool accountSetHidden = false;
        c.login([&](frmLogin& f) {
            // Enter after the identifier and after the (empty) password logs the administrator in.
            f.show();
            f.TxtUser->setText(QStringLiteral("Admin"));
            QTest::keyClick(f.TxtUser, Qt::Key_Return);
            accountSetHidden = f.cboAcc->isHidden();
            QTest::keyClick(f.txtPassword, Qt::Key_Return);
            f.hide();
        });
        QVERIFY(accountSetHidden);
        QVERIFY(c.msgs.calls.isEmpty());
        QVERIFY(env.session.sysDb && env.session.user.isAdmin);
        QCOMPARE(env.session.user.id, QStringLiteral("admin"));
        QCOMPARE(m.statusBar1->panelText(1), QStringLiteral("操作员[") + env.session.user.name + QStringLiteral("]"));
        QCOMPARE(m.statusBar1->panelText(2), QStringLiteral("服务器[") + env.session.computerName + QStringLiteral("]"));
        QCOMPARE(m.statusBar1->panelText(4), QString());
        QCOMPARE(m.MSFlexGrid1->Rows(), 2);
        QCOMPARE(m.MSFlexGrid1->TextMatrix(1, 0) + "|" + m.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("控制台|正常(0)"));
        QVERIFY(m.MSFlexGrid1->RowHeight(1) > 0);
        QCOMPARE(usable(m), menus({"mnuAccCreate", "mnuAccExport", "mnuAccInput", "mnuPopG", "mnuPopJ", "mnuPopUser", "mnuSysData",
                                     "mnuSysLogin", "mnuSysU", "mnuViewClear", "mnuViewLog", "mnuViewU"}));

        // The status timer's tick, then the logout.
        m.Timer2_Timer();
        QCOMPARE(m.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("正常(1)"));
        m.mnuSysU_Click();
        QCOMPARE(m.MSFlexGrid1->Rows(), 1);
        QCOMPARE(m.statusBar1->panelText(1) + m.statusBar1->panelText(2), QStringLiteral("操作员[]服务器[]"));
        QCOMPARE(usable(m), loggedOut);
        QCOMPARE(env.session.user.id, QStringLiteral("admin"));   // kept to preselect the operator
    }

    void login_supervisorWithAccountSetAndCurrentYear()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values ('007','华东分公司','/tmp/',2026,1)"));
        env.db().execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('007',2026,'demo','admin')"));
        Console c(env);
        const QString year = QString::number(QDate::currentDate().year());
        c.login([&](frmLogin& f) {
            choose(f, QStringLiteral("DEMO"));
            QVERIFY(!f.cboAcc->isHidden());
            QCOMPARE(f.cboAcc->currentText(), QStringLiteral("[007]华东分公司"));
            QCOMPARE(f.cboYear->count(), 1);
            QCOMPARE(f.cboYear->currentText(), year);
            f.cmdOK->click();
        });
        QVERIFY(c.msgs.calls.isEmpty());
        QVERIFY(!env.session.user.isAdmin);
        QCOMPARE(env.session.account.id + env.session.account.name + env.session.account.year, QStringLiteral("007华东分公司") + year);
        frmMain& m = c.main;
        QCOMPARE(m.statusBar1->panelText(4), QStringLiteral("当前帐套：[007] 会计年度：[%1]").arg(year));
        QCOMPARE(usable(m), menus({"mnuAccEdit", "mnuAccUse", "mnuPopJ", "mnuSysU", "mnuViewRef", "mnuViewSys", "mnuYearCreate", "mnuYearDel",
                                     "mnuYearExport", "mnuYearInput"}));
        // 系统日志 shows the supervisor's own set alone.
        AuditLog::record(env.db(), {}, Audit::subsystemDisabled(QStringLiteral("007"), 2026, QStringLiteral("FA")));
        AuditLog::record(env.db(), {}, Audit::subsystemDisabled(QStringLiteral("001"), 2026, QStringLiteral("FA")));
        QString seenLog;
        c.modals.on(QStringLiteral("frmLog"), [&](QDialog& d) {
            auto& v = static_cast<frmLog&>(d);
            v.checkChain();
            seenLog = QStringLiteral("%1 %2 %3 %4").arg(v.model->rowCount()).arg(v.model->rowAt(0).accId)
                          .arg(v.cboAcc->isEnabled()).arg(v.lblCheck->text().left(6));
            return int(QDialog::Rejected);
        });
        m.mnuViewSys_Click();
        QCOMPARE(seenLog, QStringLiteral("1 007 0 日志校验通过"));

        // Logging out and in again: the operator is preselected and the status is back to 正常(0).
        m.Timer2_Timer();
        m.mnuSysU_Click();
        // Logged out, 系统日志 asks for a log-in first.
        m.mnuViewSys_Click();
        QCOMPARE(c.msgs.last().text, QStringLiteral("请先注册（登录）到账套，再查看系统日志。"));
        c.login([&env](frmLogin& f) {
            QCOMPARE(f.cboUser->currentText(), ListEntry(QStringLiteral("demo"), env.session.user.name));
            f.cmdOK->click();
        });
        QCOMPARE(m.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("正常(0)"));
        QCOMPARE(rows(env.db(), QStringLiteral("select cUser_Id||' '||cAction||' '||cResult from SM_Log where cAcc_Id='' order by rowid")),
                 (QStringList{"demo LOGIN 成功", "demo LOGOUT 成功", "demo LOGIN 成功"}));
    }

    void login_refusals()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set cPassword='Secret' where cUser_Id='admin'"));
        env.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('zz','asuser',0)"));
        Console c(env);
        c.login([&](frmLogin& f) {
            QVERIFY(items(f.cboUser).filter(QStringLiteral("asuser")).isEmpty());
            // "ADMIN" is the administrator; the password comparison is exact.
            choose(f, QStringLiteral("ADMIN"));
            f.txtPassword->setText(QStringLiteral("secret"));
            f.cmdOK->click();
            QCOMPARE(c.msgs.calls.size(), 1);
            QCOMPARE(seen(c.msgs.last()), seen(QStringLiteral("口令无效，请重新输入。"), QStringLiteral("注册〖控制台〗"), vb::vbExclamation));
            QCOMPARE(f.result(), int(QDialog::Rejected));
            // An identifier that matches nobody leaves the administrator selected, but 登录 is refused
            // as typed and charged to nobody: six tries as "nobody" do not hold the administrator back.
            choose(f, QStringLiteral("nobody"));
            QCOMPARE(env.session.user.id, QStringLiteral("admin"));
            c.msgs.clear();
            for (int i = 0; i < LoginCheck::kFreeFailures + 1; ++i) {
                f.txtPassword->setText(QStringLiteral("Secret"));
                f.cmdOK->click();
            }
            QCOMPARE(c.msgs.texts(), QStringList(LoginCheck::kFreeFailures + 1, QStringLiteral("用户名[nobody]不存在，请重新输入。")));
            QCOMPARE(f.result(), int(QDialog::Rejected));
            QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Log where cAction='LOGIN' and cResult<>'成功' and cUser_Id='nobody'")).toInt(),
                     LoginCheck::kFreeFailures + 1);
            QCOMPARE(LoginCheck(env.db()).waitSeconds(QStringLiteral("admin")), 0);
            // A non-administrator with no account set: refused by disabling the button, silently.
            choose(f, QStringLiteral("demo"));
            QVERIFY(f.cboAcc->currentText().isEmpty());
            f.txtPassword->clear();
            c.msgs.clear();
            f.cmdOK->click();
            QVERIFY(!f.cmdOK->isEnabled());
            QVERIFY(c.msgs.calls.isEmpty());
        });
        // "admin" typed while a non-administrator stays selected, in an installation without an
        // operator admin: refused with a message, nothing set up.
        env.db().execute(QStringLiteral("update SM_User set cUser_Id='root' where cUser_Id='admin'"));
        c.msgs.clear();
        c.login([&](frmLogin& f) {
            choose(f, QStringLiteral("demo"));
            f.TxtUser->setText(QStringLiteral("admin"));
            f.cmdOK->setEnabled(true);
            f.cmdOK->click();
            QCOMPARE(c.msgs.texts(), QStringList{"用户名[admin]不存在，请重新输入。"});
            QCOMPARE(f.result(), int(QDialog::Rejected));
        });
        QCOMPARE(c.main.statusBar1->panelText(1), QString());
        QVERIFY(c.main.mnuSysReg->isEnabled());
    }

    void login_missingOrDamagedSystemDatabase()
    {
        TestEnv env;
        Console c(env);
        QFile::rename(env.sysDbPath(), env.sysDbPath() + QStringLiteral(".away"));
        // Missing, then not a database: said plainly as the login opens, no operator offered, 登录 refused.
        for (const QString& said : {QStringLiteral("系统库不存在"), QStringLiteral("无法打开系统库：")}) {
            c.msgs.clear();
            c.login([&](frmLogin& f) {
                QVERIFY2(c.msgs.calls.size() == 1 && c.msgs.last().text.startsWith(said), qPrintable(c.msgs.texts().join('|')));
                QCOMPARE(f.cboUser->count(), 0);
                f.TxtUser->setText(QStringLiteral("admin"));
                f.cmdOK->click();
                QCOMPARE(f.result(), int(QDialog::Rejected));
            });
            QVERIFY(c.main.mnuSysReg->isEnabled() && !env.session.sysDb);
            QFile junk(env.sysDbPath());
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write(QByteArray(2048, '\x07'));
        }
    }

    void password_exactAndTheLoginKeepsTheOldOneUntilChosenAgain()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set cPassword='Pass' where cUser_Id='demo'"));
        const QString fresh = QStringLiteral(" it's 新 ");
        Console c(env);
        c.login([&](frmLogin& f) {
            choose(f, QStringLiteral("demo"));
            QString shown;
            c.modals.on(QStringLiteral("frmPassword"), act<frmPassword>([&](frmPassword& p) {
                p.txtOldPassword->setText(QStringLiteral("Pass"));
                shown = p.windowTitle() + "|" + p.txtOldPassword->displayText();
                p.txtNewPassword->setText(fresh);
                p.txtConfirmPassword->setText(fresh.trimmed());
                p.cmdOK->click();   // the confirmation differs by a blank
                p.txtConfirmPassword->setText(fresh);
                p.cmdOK->click();
            }));
            f.cmdEdit->click();
            QCoreApplication::processEvents();
            QCOMPARE(shown, QStringLiteral("设置操作口令|****"));
            QCOMPARE(c.msgs.texts().first(), QStringLiteral("输入口令不一致，再试一次！"));
            QCOMPARE(seen(c.msgs.last()), seen(c.msgs.last().text, QStringLiteral("设置操作员口令"), vb::vbInformation));
            QVERIFY(PasswordHash::verify(fresh, password(env.db(), QStringLiteral("demo"))));

            // Until demo is chosen again, the login expects the old password.
            c.msgs.clear();
            // Each try: whether demo is chosen again first, the password typed, the messages so far.
            const std::tuple<bool, QString, int> tries[] = {{false, fresh, 1}, {false, "Pass", 1}, {true, "Pass", 2}, {false, fresh, 2}};
            for (const auto& [chooseAgain, typed, messages] : tries) {
                if (chooseAgain)
                    choose(f, QStringLiteral("demo"));
                f.txtPassword->setText(typed);
                f.cmdOK_Click();
                QCOMPARE(c.msgs.calls.size(), messages);
            }
            QCOMPARE(c.msgs.texts(), (QStringList{"口令无效，请重新输入。", "口令无效，请重新输入。"}));
            f.reject();
        });
    }

    void login_serverRowRemembersServersWithoutTheirPasswords()
    {
        TestEnv env;
        // Kept without any password, quoted or not; each server once, the last chosen first.
        UsedServers::remember(ConnInfo(QStringLiteral("host=/nowhere/a password=secret1 dbname=acc")));
        UsedServers::remember(ConnInfo(QStringLiteral("host=/nowhere/b password = 'it\\'s secret2' user=kd")));
        UsedServers::remember(ConnInfo(QStringLiteral("host=/nowhere/a dbname=acc password=secret3")));
        QCOMPARE(UsedServers::list(), (QStringList{"host=/nowhere/a dbname=acc", "host=/nowhere/b user=kd"}));
        QCOMPARE(UsedServers::last(), QStringLiteral("host=/nowhere/a dbname=acc"));
        for (QDirIterator it(env.root() + QStringLiteral("/config"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile f(it.next());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY2(!f.readAll().contains("secret"), qPrintable(f.fileName()));
        }

        // The login offers 本机 and those servers, the last chosen selected: it does not answer, so
        // the form says so and stays open; 本机 then opens the installation root's files.
        Console c(env);
        c.login([&](frmLogin& f) {
            QCOMPARE(items(f.cboServer), (QStringList{"(本机)", "/nowhere/a/acc", "/nowhere/b"}));
            QCOMPARE(f.cboServer->currentIndex(), 1);
            QCOMPARE(c.msgs.calls.size(), 1);
            QVERIFY2(c.msgs.last().text.startsWith(QStringLiteral("无法打开服务器 /nowhere/a/acc 上的系统库：无法连接数据库服务器")),
                     qPrintable(c.msgs.last().text));
            QCOMPARE(f.cboUser->count(), 0);
            f.cmdOK->click();
            QCOMPARE(c.msgs.calls.size(), 2);
            QCOMPARE(f.result(), int(QDialog::Rejected));
            f.cboServer->setCurrentIndex(0);
            f.cboServer_Click();
            QVERIFY(f.cboUser->count() > 0);
            choose(f, QStringLiteral("admin"));
            f.cmdOK->click();
        });
        QVERIFY(env.session.user.isAdmin && !env.session.onServer() && env.session.sysDb->engine() == Engine::SQLite);
        QCOMPARE(c.main.statusBar1->panelText(2), QStringLiteral("服务器[") + env.session.computerName + "]");
        QCOMPARE(UsedServers::last(), QString());
        QCOMPARE(UsedServers::list().size(), 2);

        // Next time 本机 is selected; the edition without the server row offers nothing else.
        c.main.mnuSysU_Click();
        c.msgs.clear();
        for (qint16 edition : {0, 1}) {
            env.session.edition = edition;
            c.login([&](frmLogin& f) {
                QCOMPARE(f.cboServer->currentIndex(), 0);
                QCOMPARE(f.cboServer->count(), edition == 1 ? 1 : 3);
                QCOMPARE(f.cboServer->isHidden(), edition == 1);
                f.reject();
            });
        }
        QVERIFY(c.msgs.calls.isEmpty());
    }

    void login_serverInstallationChosenAndADroppedConnectionLosesNothing()
    {
        SKIP_WITHOUT_SERVER(Engine::PostgreSQL);
        TestServer server;
        TestEnv env;
        Console c(env);
        const QString shown = ConnInfo(server.conninfo()).label();
        c.login([&](frmLogin& f) {
            QCOMPARE(f.cboServer->currentText(), QStringLiteral("(本机)"));
            // A database without an installation: tested, then chosen anyway; the login stays open.
            c.modals.on(QStringLiteral("frmWeb"), act<frmWeb>([&](frmWeb& w) {
                w.txtServer->setText(QStringLiteral("dbname=revozi_test"));
                w.cmdTest->click();
                w.cmdOK->click();
            }));
            f.cmdServer_Click();
            const QString none = QStringLiteral("这个服务器数据库中没有安装：localhost/revozi_test");
            QCOMPARE(c.msgs.texts(), (QStringList{QStringLiteral("无法使用服务器 localhost/revozi_test：\n") + none,
                                                  QStringLiteral("无法打开服务器 localhost/revozi_test 上的系统库：") + none}));
            QCOMPARE(f.cboUser->count(), 0);
            f.cmdOK->click();
            QCOMPARE(f.result(), int(QDialog::Rejected));

            // The installation, typed with a password (the server asks for none here).
            c.msgs.clear();
            c.modals.on(QStringLiteral("frmWeb"), act<frmWeb>([&](frmWeb& w) {
                w.txtServer->setText(server.conninfo() + QStringLiteral(" password=secret"));
                w.cmdTest->click();
                w.cmdOK->click();
            }));
            f.cmdServer_Click();
            QCOMPARE(c.msgs.texts(), QStringList{QStringLiteral("连接成功：服务器 %1 上有系统管理的安装，可以选择它。").arg(shown)});
            QCOMPARE(f.cboServer->currentText(), shown);
            choose(f, QStringLiteral("admin"));
            f.cmdOK->click();
        });
        QVERIFY(env.session.user.isAdmin && env.session.sysDb && env.session.sysDb->engine() == Engine::PostgreSQL);
        QCOMPARE(c.main.statusBar1->panelText(2), QStringLiteral("服务器[%1]").arg(shown));
        QCOMPARE(UsedServers::list(), QStringList{server.conninfo()});
        QCOMPARE(UsedServers::last(), server.conninfo());

        // The session dropped in the middle of adding an operator (a trigger ends it after the
        // row is written), then between two actions (ended from another session): each time the
        // action is refused with the reason, nothing of it stays, and the next one works.
        Database other;
        Installation::openServerSystem(other, ConnInfo(server.conninfo()), false);
        other.execute(QStringLiteral("CREATE FUNCTION drop_session() RETURNS trigger LANGUAGE plpgsql AS "
                                     "'BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NEW; END'"));
        other.execute(QStringLiteral("CREATE TRIGGER drop_session AFTER INSERT ON SM_User FOR EACH ROW EXECUTE FUNCTION drop_session()"));
        const QString lost = QStringLiteral("无法连接数据库服务器，或与服务器的连接已断开，请检查服务器和网络后再试。");
        const auto operators = [&] {
            return other.scalar(QStringLiteral("select string_agg(cUser_Id, ',' order by cUser_Id) from SM_User where cUser_Id in ('u1','u2')")).toString();
        };
        // Adds an operator, `meanwhile` run by the other session once the fields are filled; when
        // `refused`, the connection's loss is said and nothing of it is kept.
        frmAddUser add(env.session);
        const auto adding = [&](const QString& id, bool refused, const QString& kept, const QString& meanwhile = QString()) {
            c.msgs.clear();
            add.txtID->setText(id);
            add.txtName->setText(id);
            if (!meanwhile.isEmpty())
                other.execute(meanwhile);
            add.cmdAdd->click();
            QCOMPARE(c.msgs.calls.size(), refused ? 1 : 0);
            if (refused)
                QVERIFY2(c.msgs.last().text.endsWith(lost), qPrintable(c.msgs.last().text));
            QCOMPARE(operators(), kept);
        };
        adding(QStringLiteral("u1"), true, QString());
        adding(QStringLiteral("u1"), false, QStringLiteral("u1"), QStringLiteral("DROP TRIGGER drop_session ON SM_User"));
        adding(QStringLiteral("u2"), true, QStringLiteral("u1"),
               QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname=current_database() AND pid<>pg_backend_pid()"));
        adding(QStringLiteral("u2"), false, QStringLiteral("u1,u2"));
        env.session.sysDb.reset();
    }

    void login_maskOneLimitCancelledOperatorAndALockedSystemDatabase()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set nState=1 where cUser_Id='admin'"));
        Console c(env);
        // Every password box shows "*" and stops typing at the one limit.
        frmPassword change(env.session, QStringLiteral("admin"), QString());
        frmAddUser add(env.session);
        frmEditUser edit(env.session);
        c.login([&](frmLogin& f) {
            for (QLineEdit* box : {f.txtPassword, change.txtOldPassword, change.txtNewPassword, change.txtConfirmPassword,
                                   add.txtPassword, add.txtAffirmPassword, edit.txtPassword, edit.txtAffirmPassword}) {
                QTest::keyClicks(box, QString(PasswordHash::kMaxLength + 5, QLatin1Char('x')));
                QCOMPARE(box->text().size(), PasswordHash::kMaxLength);
                QCOMPARE(box->displayText(), QString(PasswordHash::kMaxLength, QLatin1Char('*')));
            }
            // A cancelled operator is refused, and told why.
            choose(f, QStringLiteral("admin"));
            f.txtPassword->clear();
            f.cmdOK->click();
            QCOMPARE(c.msgs.texts(), QStringList{"操作员[admin]已注销，不能登录。请系统管理员在操作员管理中启用后再登录。"});
            QCOMPARE(f.result(), int(QDialog::Rejected));
        });
        QVERIFY(c.main.mnuSysReg->isEnabled());

        // A system database that another program holds is reported as locked, at load and at 登录.
        c.msgs.clear();
        env.session.sysDb.reset();
        Database holder(env.sysDbPath());
        holder.execute(QStringLiteral("BEGIN EXCLUSIVE"));
        holder.execute(QStringLiteral("update SM_User set nState=0 where cUser_Id='admin'"));
        c.login([&](frmLogin& f) {
            f.TxtUser->setText(QStringLiteral("admin"));
            f.cmdOK->click();
        });
        const QString locked = QStringLiteral("无法打开系统库：数据库已被其他程序锁定，请稍后再试。");
        QCOMPARE(c.msgs.texts(), (QStringList{locked, locked}));
        holder.execute(QStringLiteral("COMMIT"));
        // Enabled again, the operator logs in.
        c.msgs.clear();
        c.login([&](frmLogin& f) { f.cmdOK->click(); });
        QVERIFY(c.msgs.calls.isEmpty());
        QVERIFY(env.session.user.isAdmin && !c.main.mnuSysReg->isEnabled());
    }

    void console_resizeSharesHeightAndKeepsTheDesignSize()
    {
        TestEnv env;
        Console c(env);
        frmMain& m = c.main;
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        // Larger than its design size: the extra height is shared equally, the lower grid follows
        // the upper one.
        QCoreApplication::processEvents();
        const int h1 = m.MSFlexGrid1->height();
        const int h2 = m.MSFlexGrid2->height();
        const int w = m.MSFlexGrid1->width();
        m.resize(m.width() + 300, m.height() + 300);
        QTRY_VERIFY(m.MSFlexGrid1->height() > h1);
        QVERIFY(qAbs((m.MSFlexGrid1->height() - h1) - (m.MSFlexGrid2->height() - h2)) <= 2);
        QCOMPARE(m.MSFlexGrid2->y(), m.MSFlexGrid1->y() + m.MSFlexGrid1->height());
        QVERIFY(m.MSFlexGrid1->width() > w);
        QCOMPARE(m.MSFlexGrid2->width(), m.MSFlexGrid1->width());

        // The panels show their whole text, a server's long label and the closing "]" included;
        // only a window too narrow for them cuts a text, which the tooltip then shows whole.
        const QString server = QStringLiteral("服务器[127.0.0.1:43141/revozi_test_0123456789]");
        m.statusBar1->setPanelText(2, server);
        m.statusBar1->setPanelText(4, QStringLiteral("当前帐套：[001] 会计年度：[2026]"));
        QCoreApplication::processEvents();
        for (int panel = 1; panel <= 5; ++panel)
            QVERIFY2(m.statusBar1->panelShowsWholeText(panel), qPrintable(m.statusBar1->panelText(panel)));
        auto* panel2 = m.statusBar1->findChild<QLabel*>(QStringLiteral("Panel_2"));
        QVERIFY(panel2->toolTip().isEmpty());
        m.resize(m.minimumSizeHint().width(), m.height());
        QTRY_VERIFY(!m.statusBar1->panelShowsWholeText(2));
        QCOMPARE(panel2->toolTip(), server);
        QCOMPARE(m.statusBar1->panelText(2), server);
    }

    // The menu's first start, in a box: declining makes nothing, OK makes the installation with
    // revozi-setup, and a setup that fails is said with its reason.
    void launcher_firstStartAsksThenMakesTheInstallation()
    {
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", "relative/share");
        QCOMPARE(Launcher::personalRoot(), QDir::homePath() + QStringLiteral("/.local/share/revozi"));
        qputenv("XDG_DATA_HOME", dir.path().toUtf8());
        const QString root = Launcher::personalRoot();
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(root, dir.path() + QStringLiteral("/revozi"));
        const QString setup = QCoreApplication::applicationDirPath() + QStringLiteral("/revozi-setup");

        MsgBoxScript msgs;
        msgs.answer(vb::vbCancel);
        QVERIFY(!Launcher::makeInstallation(root, setup, false));
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbOKCancel));
        QVERIFY(msgs.last().text.contains(root));
        QVERIFY(!QFile::exists(root));

        QVERIFY(Launcher::makeInstallation(root, setup, false));
        QVERIFY(Launcher::isInstallation(root));
        QCOMPARE(msgs.calls.size(), 2);

        // A file where the folder would go: revozi-setup refuses, and the person reads why.
        QFile blocker(dir.path() + QStringLiteral("/blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!Launcher::makeInstallation(blocker.fileName() + QStringLiteral("/revozi"), setup, false));
        QCOMPARE(msgs.last().icon(), int(vb::vbCritical));
        QVERIFY2(msgs.last().text.contains(QStringLiteral("revozi-setup: ")), qPrintable(msgs.last().text));
    }
};

QTEST_MAIN(tst_app)
#include "tst_app.moc"
