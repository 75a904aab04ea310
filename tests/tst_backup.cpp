// The export through its four windows and the deletion of an account set, as a person sees them;
// the work itself is tested in tests/core/tst_core_backup.
#include "Scripts.h"
#include "TestEnv.h"

#include <AccountDb.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>
#include <FrmDelAcc.h>
#include <Module1.h>
#include <TaskRegistry.h>
#include <frmAccExport.h>
#include <frmMain.h>
#include <frmWait.h>
#include <frmwaiting.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace Module1;

namespace {
// An account set as the list and the export read it: its row, its CreateAcc entry and, unless
// told otherwise, the template copied into its year folder.
void makeSet(Database& db, const QString& acc, const QString& name, const QString& path, int year, bool withFile = true)
{
    db.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear) values (?,?,?,?,?)"), {acc.toInt() + 100, acc, name, path, year});
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS CreateAcc (cAcc_Id TEXT COLLATE NOCASE, cAcc_Name TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("insert into CreateAcc (cAcc_Id,cAcc_Name) values (?,?)"), {acc, name});
    if (withFile) {
        QVERIFY(CiFile::mkpath(AccountDb::yearFolder(path, acc, year)));
        QVERIFY(QFile::copy(TestEnv::templatePath(), AccountDb::databasePath(path, acc, year)));
    }
}

bool hasSet(Database& db, const QString& acc)
{
    return db.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {acc}).toInt() > 0;
}

// The export as a person runs it: the three windows after 确认 are played by their scripts.
struct ExportRun {
    MsgBoxScript msgs;
    ModalScript modals;
    QString target;            // the folder picked in frmAccExport; none: 放弃 instead of 确认
    std::function<void()> beforeOk;

    explicit ExportRun(const QString& folder = QString())
        : target(folder)
    {
        if (!target.isEmpty())
            QDir().mkpath(target);
        // The bar of frmwaiting fills in three ticks; the fourth opens frmWait.
        modals.on(QStringLiteral("frmwaiting"), [](QDialog& d) {
            for (int tick = 0; tick < 4; ++tick)
                static_cast<frmwaiting&>(d).Timer1_Timer();
            return d.result();
        });
        modals.on(QStringLiteral("frmWait"), [](QDialog& d) {
            static_cast<frmWait&>(d).Timer1_Timer();
            return d.result();
        });
        modals.on(QStringLiteral("frmAccExport"), [this](QDialog& d) {
            auto& f = static_cast<frmAccExport&>(d);
            f.Dir1->setCurrentIndex(f.dirModel->index(target));
            if (beforeOk)
                beforeOk();
            (target.isEmpty() ? f.cmdExit : f.cmdOK)->click();
            return d.result();
        });
    }
};

void choose(FrmDelAcc& f, const QString& item)
{
    const int i = f.ComboAcc->findText(item);
    QVERIFY2(i >= 0, qPrintable(item));
    f.ComboAcc->setCurrentIndex(i);
}

// 确认 runs after the click has been handled, as the queued connection has it.
void press(QPushButton* b)
{
    b->click();
    QCoreApplication::processEvents();
}
} // namespace

class tst_backup : public QObject {
    Q_OBJECT
private slots:
    void export_throughItsWindowsOrSaysWhyNot()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books, 2024);
        makeSet(env.db(), QStringLiteral("003"), QStringLiteral("旧账套"), books, 2010);
        FrmDelAcc f(env.session);
        f.Form_Load();
        const QString exported = seen(QStringLiteral("输出账套成功！"), QStringLiteral("财务提示"), vb::vbInformation);
        QCOMPARE(f.ComboAcc->count(), 2);
        QCOMPARE(f.ComboAcc->currentText(), QString());
        {
            ExportRun run(env.root() + QStringLiteral("/备份"));
            choose(f, QStringLiteral("[003]旧账套"));
            press(f.CmdDel);
            QCOMPARE(run.modals.shown, (QStringList{"frmwaiting", "frmWait", "frmAccExport"}));
            QCOMPARE(run.msgs.seenAll(), QStringList{exported});
            QCOMPARE(BackupSet::readLine(run.target + QStringLiteral("/KdErpAct.Lst"), 11), QStringLiteral("Backup=true"));
            // The log row names the set and the year whose books went out.
            QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Id||'|'||iYear||'|'||cResult from SM_Log where cAction='ACC_EXPORT'")).toString(),
                     QStringLiteral("003|2010|成功"));
        }
        {
            // A typed text without brackets exports the set of the last choice again.
            ExportRun again(env.root() + QStringLiteral("/out"));
            QTest::keyClicks(f.ComboAcc->lineEdit(), QStringLiteral("abc"));
            press(f.CmdDel);
            QCOMPARE(again.msgs.seenAll(), QStringList{exported});
            QCOMPARE(BackupSet::readDescriptor(again.target + QStringLiteral("/KdErpAct.Lst")).accId, QStringLiteral("003"));
        }
        {
            // Nothing chosen: 确认 does nothing.
            ExportRun idle;
            f.ComboAcc->setEditText(QString());
            press(f.CmdDel);
            QVERIFY(idle.modals.shown.isEmpty() && idle.msgs.calls.isEmpty());
        }
        {
            // The chosen folder disappears before 确认.
            ExportRun run(env.root() + QStringLiteral("/usb"));
            run.beforeOk = [&] { QVERIFY(QDir(run.target).removeRecursively()); };
            choose(f, QStringLiteral("[001]演示账套"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.calls.size(), 1);
            QVERIFY(run.msgs.last().text.startsWith(QStringLiteral("输出账套失败！")));
            QCOMPARE(run.msgs.last().icon(), int(vb::vbExclamation));
        }
        {
            // 放弃 in the folder window: the prepared copy stays, and nothing is said.
            ExportRun run;
            choose(f, QStringLiteral("[001]演示账套"));
            press(f.CmdDel);
            QVERIFY(run.msgs.calls.isEmpty() && CiFile::isFile(books + QStringLiteral("/zt001/2024/kddata.BAK")));
        }
        {
            // A system table that cannot be copied: the rest is exported and the descriptor says so.
            env.db().execute(QStringLiteral("DROP TABLE SM_Log"));
            ExportRun run(env.root() + QStringLiteral("/empty"));
            choose(f, QStringLiteral("[001]演示账套"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.seenAll(), QStringList{exported});
            QCOMPARE(BackupSet::readLine(run.target + QStringLiteral("/KdErpAct.Lst"), 11), QStringLiteral("Backup=false"));
        }
        // A set with no SM_Account row (nor a name) is listed, and refused before any window opens.
        env.db().execute(QStringLiteral("insert into CreateAcc values ('009',NULL)"));
        f.LoadCreateAcc();
        ExportRun run;
        choose(f, QStringLiteral("[009]"));
        press(f.CmdDel);
        QVERIFY(run.modals.shown.isEmpty());
        QCOMPARE(run.msgs.texts(), QStringList{"账套[009]不存在，无法输出！"});
    }

    void delete_asksThenRemovesTheSetOrSaysWhyNot()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        makeSet(env.db(), QStringLiteral("002"), QStringLiteral("他账套"), books, 2024);
        const QString file = AccountDb::databasePath(books, QStringLiteral("001"), 2024);

        FrmDelAcc f(env.session);
        f.Form_Load();
        const QString asked = seen(QStringLiteral("真的删除该账套吗？"), QStringLiteral("删除提示"), vb::vbYesNo | vb::vbQuestion);
        f.chkAcc->setChecked(true);
        choose(f, QStringLiteral("[001]甲"));
        {
            // No: nothing happens.
            MsgBoxScript msgs;
            msgs.answer(vb::vbNo);
            press(f.CmdDel);
            QCOMPARE(msgs.seenAll(), QStringList{asked});
            QVERIFY(QFile::exists(file) && hasSet(env.db(), QStringLiteral("001")));
        }
        {
            MsgBoxScript msgs;
            ModalScript modals;
            press(f.CmdDel);
            const QString deleted = seen(QStringLiteral("删除账套[001]成功！"), QStringLiteral("财务提示"), vb::vbInformation);
            QCOMPARE(msgs.seenAll(), (QStringList{asked, deleted}));
            QVERIFY(modals.shown.isEmpty() && !QFile::exists(file) && !hasSet(env.db(), QStringLiteral("001")));
            QCOMPARE(f.ComboAcc->count(), 1);
            QCOMPARE(f.ComboAcc->itemText(0), QStringLiteral("[002]他账套"));
        }

        // Books that another program is writing: refused, and the set stays listed with its rows.
        const QString other = AccountDb::databasePath(books, QStringLiteral("002"), 2024);
        Database writer(other);
        writer.execute(QStringLiteral("BEGIN IMMEDIATE"));
        writer.execute(QStringLiteral("UPDATE AccInformation SET cValue=cValue"));
        choose(f, QStringLiteral("[002]他账套"));
        MsgBoxScript msgs;
        press(f.CmdDel);
        // The reason follows: the books are in use.
        QCOMPARE(msgs.calls.size(), 2);
        QCOMPARE(seen(msgs.calls.first()), asked);
        QVERIFY2(msgs.texts().last().startsWith(QStringLiteral("删除账套[002]失败！\n")) && msgs.texts().last().contains(QStringLiteral("锁定")),
                 qPrintable(msgs.texts().last()));
        QCOMPARE(seen(msgs.last()), seen(msgs.last().text, QStringLiteral("财务提示"), vb::vbExclamation));
        QVERIFY(QFile::exists(other) && hasSet(env.db(), QStringLiteral("002")));
        QCOMPARE(f.ComboAcc->count(), 1);
        writer.execute(QStringLiteral("ROLLBACK"));
    }

    // Another workstation on the set: the deletion is refused before its question, naming it; an
    // export is refused before any window beside an import (that it goes beside a login is the
    // claims' rule: tst_core_claims).
    void claims_anotherWorkstationsFunctionComesFirst()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        env.session.task = std::make_unique<TaskRegistry>(env.db(), TaskInfo{Tasks::kConsole, QStringLiteral("admin"), QStringLiteral("WS-A")});
        env.session.task->start();
        Workstation other(env, QStringLiteral("WS-B"), QStringLiteral("chenl"));
        const Claim login = other.task.claim(QStringLiteral("001"), 2024, Tasks::Function::Login);
        QVERIFY(login.granted());
        FrmDelAcc f(env.session);
        f.Form_Load();
        f.chkAcc->setChecked(true);
        choose(f, QStringLiteral("[001]甲"));
        {
            MsgBoxScript msgs;
            press(f.CmdDel);
            QCOMPARE(msgs.texts(), QStringList{"工作站[WS-B]上的操作员[chenl]正在账套[001] 2024年度执行“登录账套”，现在不能删除账套。"});
            QCOMPARE(msgs.last().icon(), int(vb::vbExclamation));
            QVERIFY(hasSet(env.db(), QStringLiteral("001")));
        }
        f.chkAcc->setChecked(false);
        other.task.release(login.token);
        QVERIFY(other.task.claim(QStringLiteral("001"), 0, Tasks::Function::Import).granted());
        ExportRun refused(env.root() + QStringLiteral("/again"));
        press(f.CmdDel);
        QVERIFY(refused.modals.shown.isEmpty());
        QCOMPARE(refused.msgs.texts(), QStringList{"工作站[WS-B]上的操作员[chenl]正在账套[001]执行“引入账套”，现在不能输出账套。"});
        // Nothing of this console's is left held once its windows closed.
        QCOMPARE(env.session.task->functions().size(), 1);
    }

    void console_exportMenuOpensTheDialog()
    {
        TestEnv env;
        env.loginAdmin();
        frmMain main(env.session);
        ModalScript modals;
        QStringList listed;
        modals.on(QStringLiteral("FrmDelAcc"), act<FrmDelAcc>([&](FrmDelAcc& f) {
            listed = items(f.ComboAcc);
            f.CmdCancel->click();
        }));
        // No set was created yet: CreateAcc does not exist and the list is empty.
        main.mnuAccExport_Click();
        QCOMPARE(modals.shown, QStringList{"FrmDelAcc"});
        QVERIFY(listed.isEmpty());

        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), env.root(), 2024, false);
        main.mnuAccExport_Click();
        QCOMPARE(listed, QStringList{"[001]甲"});
    }
};

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
