// The export through its four windows and the deletion of an account set, as a person sees them;
// the work itself is tested in tests/core/tst_core_backup.
#include "Scripts.h"
#include "TestEnv.h"
#include "TestFiles.h"

#include <AccountDb.h>
#include <BackupSet.h>
#include <CiFile.h>
#include <Database.h>
#include <FrmDelAcc.h>
#include <Module1.h>
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
int count(Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

// An account set as creation leaves it: its row, twelve periods, its CreateAcc entry and,
// unless told otherwise, the template copied into its year folder.
void makeSet(Database& db, const QString& acc, const QString& name, const QString& path, int year, bool withFile = true)
{
    db.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master) values (?,?,?,?,?,1,'demo')"),
               {acc.toInt() + 100, acc, name, path, year});
    for (int m = 1; m <= 12; ++m) {
        const QDate first(year, m, 1);
        db.execute(QStringLiteral("insert into SM_Period (cAcc_Id,iYear,iId,dBegin,dEnd) values (?,?,?,?,?)"),
                   {acc, year, m, first, first.addMonths(1).addDays(-1)});
    }
    if (!db.hasTable(QStringLiteral("CreateAcc")))
        db.execute(QStringLiteral("CREATE TABLE CreateAcc (cAcc_Id TEXT COLLATE NOCASE, cAcc_Name TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("insert into CreateAcc (cAcc_Id,cAcc_Name) values (?,?)"), {acc, name});
    if (withFile) {
        QVERIFY(CiFile::mkpath(AccountDb::yearFolder(path, acc, year)));
        QVERIFY(QFile::copy(TestEnv::templatePath(), AccountDb::databasePath(path, acc, year)));
    }
}

// The export as a person runs it: the three windows after 确认 are played by their scripts.
struct ExportRun {
    MsgBoxScript msgs;
    ModalScript modals;
    QString target;            // the folder picked in frmAccExport
    bool cancel = false;       // 放弃 instead of 确认
    QStringList captions;
    std::function<void()> beforeOk;

    ExportRun()
    {
        modals.on(QStringLiteral("frmwaiting"), [this](QDialog& d) {
            auto& f = static_cast<frmwaiting&>(d);
            captions << f.windowTitle();
            // The bar fills in three ticks; the fourth opens frmWait.
            for (int tick = 0; tick < 4; ++tick)
                f.Timer1_Timer();
            return d.result();
        });
        modals.on(QStringLiteral("frmWait"), [this](QDialog& d) {
            auto& f = static_cast<frmWait&>(d);
            captions << f.windowTitle();
            f.Timer1_Timer();
            return d.result();
        });
        modals.on(QStringLiteral("frmAccExport"), [this](QDialog& d) {
            auto& f = static_cast<frmAccExport&>(d);
            captions << f.windowTitle();
            if (cancel) {
                f.cmdExit->click();
                return d.result();
            }
            f.Dir1->setCurrentIndex(f.dirModel->index(target));
            if (beforeOk)
                beforeOk();
            f.cmdOK->click();
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
    void export_writesBackupSetThroughItsWindows()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("演示账套"), books + QStringLiteral("/"), 2024);
        makeSet(env.db(), QStringLiteral("003"), QStringLiteral("旧账套"), books, 2010);
        const QString target = env.root() + QStringLiteral("/备份");
        QVERIFY(QDir().mkpath(target));

        FrmDelAcc f;
        f.Form_Load();
        QCOMPARE(f.windowTitle(), QStringLiteral("账套备份"));
        QCOMPARE(f.ComboAcc->count(), 2);
        QCOMPARE(f.ComboAcc->itemText(0), QStringLiteral("[001]演示账套"));
        QCOMPARE(f.ComboAcc->currentText(), QString());
        ExportRun run;
        run.target = target;
        choose(f, QStringLiteral("[003]旧账套"));
        press(f.CmdDel);
        QCOMPARE(run.modals.shown, (QStringList{QStringLiteral("frmwaiting"), QStringLiteral("frmWait"), QStringLiteral("frmAccExport")}));
        QCOMPARE(run.captions, (QStringList{QStringLiteral("拷贝进程..."), QStringLiteral("压缩进程，请等待..."), QStringLiteral("选择备份目录")}));
        QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("输出账套成功！")});
        QCOMPARE(run.msgs.last().title, QStringLiteral("财务提示"));
        QCOMPARE(run.msgs.last().icon(), int(vb::vbInformation));
        QCOMPARE(gAccId, QStringLiteral("003"));
        QCOMPARE(gAccPath, books + QStringLiteral("/zt003/2010/"));
        QCOMPARE(BackupSet::readDescriptor(target + QStringLiteral("/KdErpAct.Lst")).accId, QStringLiteral("003"));
        QCOMPARE(BackupSet::readLine(target + QStringLiteral("/KdErpAct.Lst"), 11), QStringLiteral("Backup=true"));

        // A typed text without brackets exports the set of the last choice again.
        ExportRun again;
        again.target = env.root() + QStringLiteral("/out");
        QVERIFY(QDir().mkpath(again.target));
        QTest::keyClicks(f.ComboAcc->lineEdit(), QStringLiteral("abc"));
        press(f.CmdDel);
        QCOMPARE(again.msgs.texts(), QStringList{QStringLiteral("输出账套成功！")});
        QCOMPARE(gAccId, QStringLiteral("003"));
        QCOMPARE(BackupSet::readDescriptor(again.target + QStringLiteral("/KdErpAct.Lst")).accId, QStringLiteral("003"));
        // Nothing chosen: 确认 does nothing.
        ExportRun idle;
        f.ComboAcc->setEditText(QString());
        press(f.CmdDel);
        QVERIFY(idle.modals.shown.isEmpty());
        QVERIFY(idle.msgs.calls.isEmpty());
    }

    void export_failuresShowNoSuccess()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        const QString prepared = books + QStringLiteral("/zt001/2024/kddata.BAK");
        FrmDelAcc f;
        f.Form_Load();

        // The chosen folder disappears before 确认: the prepared copy stays in the year folder.
        const QString gone = env.root() + QStringLiteral("/usb");
        QVERIFY(QDir().mkpath(gone));
        {
            ExportRun run;
            run.target = gone;
            run.beforeOk = [&] { QVERIFY(QDir(gone).removeRecursively()); };
            choose(f, QStringLiteral("[001]甲"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.calls.size(), 1);
            QVERIFY(run.msgs.last().text.startsWith(QStringLiteral("输出账套失败！")));
            QCOMPARE(run.msgs.last().icon(), int(vb::vbExclamation));
            QVERIFY(!QFileInfo::exists(gone));
            QVERIFY(CiFile::isFile(prepared));
        }
        // 放弃 in the folder window: the prepared copy stays too, and nothing is said.
        {
            ExportRun run;
            run.cancel = true;
            choose(f, QStringLiteral("[001]甲"));
            press(f.CmdDel);
            QVERIFY(run.msgs.calls.isEmpty());
            QVERIFY(CiFile::isFile(prepared));
        }
        // A system table that cannot be copied: the rest is exported and the descriptor says so.
        env.db().execute(QStringLiteral("DROP TABLE SM_Log"));
        const QString empty = env.root() + QStringLiteral("/empty");
        QVERIFY(QDir().mkpath(empty));
        {
            ExportRun run;
            run.target = empty;
            choose(f, QStringLiteral("[001]甲"));
            press(f.CmdDel);
            QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("输出账套成功！")});
            QCOMPARE(BackupSet::readLine(empty + QStringLiteral("/KdErpAct.Lst"), 11), QStringLiteral("Backup=false"));
        }
        // A set with no SM_Account row is refused before any window opens.
        env.db().execute(QStringLiteral("insert into CreateAcc values ('009','孤儿')"));
        f.LoadCreateAcc();
        {
            ExportRun run;
            choose(f, QStringLiteral("[009]孤儿"));
            press(f.CmdDel);
            QVERIFY(run.modals.shown.isEmpty());
            QCOMPARE(run.msgs.texts(), QStringList{QStringLiteral("账套[009]不存在，无法输出！")});
        }
    }

    void delete_asksThenRemovesTheSetOrSaysWhyNot()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), books, 2024);
        makeSet(env.db(), QStringLiteral("002"), QStringLiteral("他账套"), books, 2024);
        const QString file = AccountDb::databasePath(books, QStringLiteral("001"), 2024);

        FrmDelAcc f;
        f.Form_Load();
        f.chkAcc->setChecked(true);
        choose(f, QStringLiteral("[001]甲"));
        {
            // No: nothing happens.
            MsgBoxScript msgs;
            msgs.answer(vb::vbNo);
            press(f.CmdDel);
            QCOMPARE(msgs.texts(), QStringList{QStringLiteral("真的删除该账套吗？")});
            QCOMPARE(msgs.last().title, QStringLiteral("删除提示"));
            QCOMPARE(msgs.last().buttonSet(), int(vb::vbYesNo));
            QCOMPARE(msgs.last().icon(), int(vb::vbQuestion));
            QVERIFY(QFile::exists(file));
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='001'")), 1);
        }
        {
            MsgBoxScript msgs;
            ModalScript modals;
            press(f.CmdDel);
            QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("真的删除该账套吗？"), QStringLiteral("删除账套[001]成功！")}));
            QCOMPARE(msgs.last().title, QStringLiteral("财务提示"));
            QCOMPARE(msgs.last().icon(), int(vb::vbInformation));
            QVERIFY(modals.shown.isEmpty());
            QVERIFY(!QFile::exists(file));
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='001'")), 0);
            QCOMPARE(gAccId, QStringLiteral("001"));
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
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("真的删除该账套吗？"), QStringLiteral("删除账套[002]失败！")}));
        QCOMPARE(msgs.last().title, QStringLiteral("财务提示"));
        QCOMPARE(msgs.last().icon(), int(vb::vbExclamation));
        QVERIFY(QFile::exists(other));
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account where cAcc_Id='002'")), 1);
        QCOMPARE(f.ComboAcc->count(), 1);
        writer.execute(QStringLiteral("ROLLBACK"));
    }

    void console_exportMenuOpensTheDialog()
    {
        TestEnv env;
        env.loginAdmin();
        frmMain main;
        ModalScript modals;
        QStringList listed;
        modals.on(QStringLiteral("FrmDelAcc"), [&](QDialog& d) {
            auto& f = static_cast<FrmDelAcc&>(d);
            for (int i = 0; i < f.ComboAcc->count(); ++i)
                listed << f.ComboAcc->itemText(i);
            f.CmdCancel->click();
            return d.result();
        });
        // No set was created yet: CreateAcc does not exist and the list is empty.
        main.mnuAccExport_Click();
        QCOMPARE(modals.shown, QStringList{QStringLiteral("FrmDelAcc")});
        QVERIFY(listed.isEmpty());

        makeSet(env.db(), QStringLiteral("001"), QStringLiteral("甲"), env.root(), 2024, false);
        env.db().execute(QStringLiteral("insert into CreateAcc (cAcc_Id,cAcc_Name) values ('005',NULL)"));
        main.mnuAccExport_Click();
        QCOMPARE(listed, (QStringList{QStringLiteral("[001]甲"), QStringLiteral("[005]")}));
    }

};

QTEST_MAIN(tst_backup)
#include "tst_backup.moc"
