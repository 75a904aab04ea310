// Importing a backup set from the console as a person sees it: the file dialog, the questions in
// their order, the folder chooser, frmInput and the messages. The restore and the merge themselves
// are tested in tests/core/tst_core_backup.
#include "Scripts.h"
#include "TestEnv.h"
#include "TestFiles.h"
#include "BackupFixture.h"

#include <AccountDb.h>
#include <AccountDeletion.h>
#include <AccountSetCreator.h>
#include <BackupSet.h>
#include <Database.h>
#include <Module1.h>
#include <AccountExporter.h>
#include <Manifest.h>
#include <TaskRegistry.h>
#include <frmAccExport.h>
#include <frmAccPath.h>
#include <frmInput.h>
#include <frmMain.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Module1;

namespace {
const QString kTitle = QStringLiteral("管理软件【系统管理】");

// Logged in as the administrator, set 003 of 2008 as the wizard leaves it (its books under
// ROOT/books), exported into the folder `backupName` of the root.
struct Exported : TestEnv {
    const QString books = root() + QStringLiteral("/books");
    const QString backup, lst;
    const QString live = AccountDb::databasePath(books, QStringLiteral("003"), 2008);

    explicit Exported(const QString& backupName)
        : backup(root() + QLatin1Char('/') + backupName)
        , lst(backup + QStringLiteral("/KdErpAct.Lst"))
    {
        loginAdmin();
        AccountSetInput in = setInput(QStringLiteral("003"), books, QStringLiteral("2008"));
        in.accName = in.unitName = QStringLiteral("远航 O'Brien 账套");
        QCOMPARE(AccountSetCreator(*session.sysDb).create(in).status, AccountSetCreator::Status::Done);
        QVERIFY(exportTo(*session.sysDb, QStringLiteral("003"), backup));
    }
};

QString firstQuestion(const QString& acc, const QString& folder)
{
    return QStringLiteral("引入文件中，[") + acc + QStringLiteral("]帐套的默认路径：\r\n") + folder
        + QStringLiteral("\r\n重新指定帐套路径吗？\r\n\r\n说明：\r\n1、重指路径时，系统自动调整LST文件，为防止该文件意外损坏，请做附件。\r\n"
                         "2、数据恢复时如有格式539等错误，请安装IE6（安装盘）。");
}

// The console's 引入 as a person runs it: the file dialog, the folder chooser and frmInput are
// played by scripts; the questions are answered from msgs.
struct ImportRun {
    MsgBoxScript msgs;
    ModalScript modals;
    QString fileFilter, inputCaption, inputLabel;

    explicit ImportRun(const QString& lst, const QString& newFolder = QString())
    {
        modals.on(QStringLiteral("dlgImportFile"), [this, lst](QDialog& d) {
            auto& f = static_cast<QFileDialog&>(d);
            fileFilter = f.nameFilters().join(QLatin1Char(';'));
            if (lst.isEmpty()) {
                f.reject();   // closed without a file
            } else {
                f.selectFile(lst);
                f.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open)->click();
            }
            return d.result();
        });
        modals.on(QStringLiteral("frmAccPath"), [newFolder](QDialog& d) {
            auto& f = static_cast<frmAccPath&>(d);
            if (!newFolder.isEmpty())
                f.setPath(newFolder);
            (newFolder.isEmpty() ? f.cmdCancel : f.cmdOK)->click();
            return d.result();
        });
        modals.on(QStringLiteral("frmInput"), [this](QDialog& d) {
            auto& f = static_cast<frmInput&>(d);
            inputCaption = f.windowTitle();
            inputLabel = f.Label1->text();
            f.Timer1_Timer();
            // The restore runs in its own thread; the window reports when it has finished.
            if (!QTest::qWaitFor([&f] { return !f.working(); }, 600000))
                QTest::qFail("the restore did not finish", __FILE__, __LINE__);
            return d.result();
        });
    }
};
} // namespace

class tst_import : public QObject {
    Q_OBJECT
private slots:
    // An encrypted backup through the console: 输出 with 加密备份 wants the passphrase twice, the
    // same; 引入 asks for it, says "口令不正确" for each wrong one and, after the third or on
    // cancel, changes nothing; the right one restores the set.
    void encrypted_passphraseTwiceOnExportThreeTriesOnImport()
    {
        TestEnv env;
        env.loginAdmin();
        const QString books = env.root() + QStringLiteral("/books");
        const QString out = env.root() + QStringLiteral("/u盘");
        QVERIFY(QDir().mkpath(out));
        AccountSetInput in = TestEnv::setInput(QStringLiteral("003"), books, QStringLiteral("2026"));
        QCOMPARE(AccountSetCreator(env.db()).create(in).status, AccountSetCreator::Status::Done);
        {
            MsgBoxScript msgs;
            AccountExporter prepared(env.db(), QStringLiteral("003"));
            QVERIFY(prepared.prepare());
            frmAccExport f(env.session, QStringLiteral("003"), &prepared, false);
            f.setPath(out);
            f.chkEncrypt->setChecked(true);
            f.chkCompress->setChecked(true);
            QCOMPARE(f.txtPassphrase->echoMode(), QLineEdit::Password);
            QTest::keyClicks(f.txtPassphrase, QStringLiteral("richtig"));
            QTest::keyClicks(f.txtPassphrase2, QStringLiteral("richtiG"));
            f.cmdOK->click();
            QCOMPARE(msgs.texts(), QStringList{"两次输入的口令不一致，请重新输入。"});
            QCOMPARE(filesIn(out), QStringList());
            QTest::keyClicks(f.txtPassphrase2, QStringLiteral("richtig"));
            f.cmdOK->click();
            QCOMPARE(msgs.texts().last(), QStringLiteral("输出账套成功！"));
        }
        const auto m = BackupSet::readManifest(out + QStringLiteral("/KdErpAct.sum"));
        QVERIFY(m && m->seal.encrypted && m->seal.compressed);
        const QStringList before = dumpBesidesLog(env.db());
        frmMain main(env.session);
        const auto importWith = [&](const QStringList& typed, const QList<int>& answers) {
            auto run = std::make_unique<ImportRun>(out + QStringLiteral("/KdErpAct.Lst"));
            for (int a : answers)
                run->msgs.answer(a);
            auto left = std::make_shared<QStringList>(typed);
            run->modals.on(QStringLiteral("PassphraseDialog"), [left](QDialog& d) {
                auto& ask = static_cast<QInputDialog&>(d);
                if (left->isEmpty())
                    return int(QDialog::Rejected);
                ask.setTextValue(left->takeFirst());
                return int(QDialog::Accepted);
            });
            main.mnuAccInput_Click();
            return run;
        };
        auto wrong = importWith({"falsch", "nein", "auch nicht"}, {});
        QCOMPARE(wrong->msgs.texts(), (QStringList{"口令不正确", "口令不正确", "口令不正确"}));
        QCOMPARE(wrong->modals.shown, (QStringList{"dlgImportFile", "PassphraseDialog", "PassphraseDialog", "PassphraseDialog"}));
        auto cancelled = importWith({}, {});
        QCOMPARE(cancelled->msgs.texts(), QStringList());
        QCOMPARE(dumpBesidesLog(env.db()), before);
        // The notice of the wrong one is answered first, then the questions.
        auto right = importWith({"falsch", "richtig"}, {vb::vbOK, vb::vbNo, vb::vbYes});
        QCOMPARE(right->msgs.texts().first(), QStringLiteral("口令不正确"));
        QCOMPARE(right->msgs.texts().last(), QStringLiteral("帐套[003]引入成功！"));
        QCOMPARE(right->modals.shown.last(), QStringLiteral("frmInput"));
    }

    void roundTrip_questionsWindowsAndMessagesInOrder()
    {
        Exported env(QStringLiteral("备份 盘"));
        QVERIFY(AccountDeletion::DelAccFiles(*env.session.sysDb, QStringLiteral("003")));
        QVERIFY(AccountDeletion::DelDbInfo(*env.session.sysDb, QStringLiteral("003")));
        frmMain main(env.session);
        const QString folder = env.books + QStringLiteral("/zt003/");
        const QString asked = seen(firstQuestion("003", folder), kTitle, vb::vbYesNoCancel | vb::vbQuestion);
        const QString imported = seen(QStringLiteral("帐套[003]引入成功！"), kTitle, vb::vbQuestion);
        {
            ImportRun run(env.lst);
            run.msgs.answer(vb::vbNo);
            main.mnuAccInput_Click();
            QCOMPARE(run.fileFilter, QStringLiteral("帐套数据备份文件(KdErpAct.*)"));
            QCOMPARE(run.modals.shown, (QStringList{"dlgImportFile", "frmInput"}));
            QCOMPARE(run.msgs.seenAll(), (QStringList{asked, imported}));
            QCOMPARE(run.msgs.calls[0].buttons, int(vb::vbYesNoCancel | vb::vbQuestion | vb::vbDefaultButton2));
            QCOMPARE(run.inputCaption, QStringLiteral("帐套引入"));
            QCOMPARE(run.inputLabel, QStringLiteral("正在引入[003]的2008年度帐套，请等待..."));
        }
        QCOMPARE(AccountDb::open(env.db(), QStringLiteral("003"))->path(), folder + QStringLiteral("2008/KdData.mdb"));

        // The same backup again over the restored set: asked before it is overwritten.
        ImportRun again(env.lst);
        again.msgs.answer(vb::vbNo);
        again.msgs.answer(vb::vbYes);
        main.mnuAccInput_Click();
        const QString overwriting = seen(QStringLiteral("此项操作将覆盖[003]帐套当前的所有信息，继续吗？"), kTitle, vb::vbYesNo);
        QCOMPARE(again.msgs.seenAll(), (QStringList{asked, overwriting, imported}));
        QCOMPARE(again.inputCaption, QStringLiteral("恢复进程"));
        QCOMPARE(again.inputLabel, QStringLiteral("文件恢复，解压缩至：") + folder + QStringLiteral("kddata.bak"));
    }

    void no_anotherInstallationsBooksStayAndAnotherFolderIsAsked()
    {
        // A backup restored into a scratch installation to test it: the descriptor's folder holds
        // the live books of the installation it came from.
        BackupRoot origin(QStringLiteral("003"), 2008);
        TestEnv env;
        env.loginAdmin();
        frmMain main(env.session);
        const QString chosen = env.root() + QStringLiteral("/试用");
        QVERIFY(QDir().mkpath(chosen));
        ImportRun run(origin.lst, chosen);
        run.msgs.answer(vb::vbNo);
        main.mnuAccInput_Click();
        QCOMPARE(run.modals.shown, (QStringList{"dlgImportFile", "frmAccPath", "frmInput"}));
        QCOMPARE(run.msgs.calls.size(), 3);
        QCOMPARE(run.msgs.calls[1].text, QStringLiteral("帐套目录中已有不属于本系统帐套[003]2008年度的帐套数据，引入不能覆盖：") + origin.folder
                                             + QStringLiteral("\r\n请重新指定帐套路径。"));
        QCOMPARE(run.msgs.calls[1].buttons, int(vb::vbExclamation | vb::vbOKOnly));
        QCOMPARE(run.msgs.last().text, QStringLiteral("帐套[003]引入成功！"));
        QCOMPARE(AccountDb::open(env.db(), QStringLiteral("003"))->path(), chosen + QStringLiteral("/zt003/2008/KdData.mdb"));
    }

    void noCancelNoFileAndRefusals_changeNothing()
    {
        Exported env(QStringLiteral("good"));
        const QStringList sysRows = dumpBesidesLog(env.db());
        const QStringList logged = auditRows(env.db());
        frmMain main(env.session);
        // No to the folder and No to overwriting; Cancel at the first question; Yes, then 放弃 in the
        // folder chooser; no file chosen.
        const QPair<QList<int>, QStringList> stops[] = {
            {{vb::vbNo, vb::vbNo}, {"dlgImportFile"}},
            {{vb::vbCancel}, {"dlgImportFile"}},
            {{vb::vbYes}, {"dlgImportFile", "frmAccPath"}},
            {{}, {"dlgImportFile"}},
        };
        for (const auto& [answers, shown] : stops) {
            ImportRun run(answers.isEmpty() ? QString() : env.lst);
            for (int a : answers)
                run.msgs.answer(a);
            main.mnuAccInput_Click();
            QCOMPARE(run.modals.shown, shown);
            QCOMPARE(run.msgs.calls.size(), answers.size());
        }
        {
            // A refusal after the first question: the folder that the descriptor keeps is gone.
            QVERIFY(BackupSet::rewriteFolder(env.lst, env.root() + QStringLiteral("/gone/zt003/")));
            ImportRun run(env.lst);
            run.msgs.answer(vb::vbNo);
            main.mnuAccInput_Click();
            QCOMPARE(run.msgs.calls.size(), 2);
            QVERIFY(run.msgs.last().text.startsWith(QStringLiteral("帐套目录不存在：")));
            QCOMPARE(seen(run.msgs.last()), seen(run.msgs.last().text, kTitle, vb::vbExclamation));
            // The person is asked for another folder; 放弃 there stops the import.
            QCOMPARE(run.modals.shown, (QStringList{"dlgImportFile", "frmAccPath"}));
        }
        // The refusal left its row (拒绝) and nothing else.
        QCOMPARE(dumpBesidesLog(env.db()), sysRows);
        QCOMPARE(auditRows(env.db()), logged + QStringList{"003|ACC_IMPORT|拒绝"});
        // The data file goes missing between the command and frmInput's tick: told, and the window
        // closes (what the failed restore leaves is tst_core_import's "no data file").
        QVERIFY(QFile::remove(env.backup + QStringLiteral("/kddata.BA_")));
        ImportPlan plan;
        plan.accId = QStringLiteral("003");
        plan.sourceDir = env.backup + QStringLiteral("/");
        plan.targetDir = env.root() + QStringLiteral("/books/zt003/2008");
        frmInput w(env.session, plan);
        MsgBoxScript msgs;
        w.Timer1_Timer();
        QVERIFY(QTest::qWaitFor([&w] { return !w.working(); }, 600000));
        QCOMPARE(msgs.texts(), QStringList{"找不到要引入的文件！"});
        QVERIFY(w.result() == int(QDialog::Rejected) && !w.Succeeded);
    }

    // Another workstation on the set: refused as soon as the descriptor names it, before the first
    // question, so the restore (frmInput's) never starts; once it has let go the import goes. (A task left abnormal
    // blocks likewise until cleared: tst_core_tasks.)
    void claims_refusedBeforeTheFirstQuestion()
    {
        Exported env(QStringLiteral("backup"));
        env.session.task = std::make_unique<TaskRegistry>(env.db(), TaskInfo{Tasks::kConsole, QStringLiteral("admin"), QStringLiteral("WS-A")});
        env.session.task->start();
        Workstation other(env, QStringLiteral("WS-B"), QStringLiteral("chenl"));
        const Claim login = other.task.claim(QStringLiteral("003"), 2008, Tasks::Function::Login);
        QVERIFY(login.granted());
        frmMain main(env.session);
        {
            ImportRun run(env.lst);
            main.mnuAccInput_Click();
            QCOMPARE(run.msgs.texts(), QStringList{"工作站[WS-B]上的操作员[chenl]正在账套[003] 2008年度执行“登录账套”，现在不能引入账套。"});
            QCOMPARE(run.modals.shown, QStringList{"dlgImportFile"});
        }
        other.task.release(login.token);
        ImportRun run(env.lst);
        run.msgs.answer(vb::vbNo);
        run.msgs.answer(vb::vbYes);
        main.mnuAccInput_Click();
        QCOMPARE(run.msgs.texts().last(), QStringLiteral("帐套[003]引入成功！"));
        QCOMPARE(run.modals.shown.last(), QStringLiteral("frmInput"));
        // Held until the restore ended, released after it.
        QVERIFY(env.session.task->functions().isEmpty());
    }

    // Escape while the restore runs stops it before its commit: no message, the window closes.
    // That a stopped restore changes nothing is tst_core_import::refusals_eachLossIsRefusedBeforeAnythingChanges.
    void cancelled_escapeStopsTheRestore()
    {
        Exported env(QStringLiteral("backup"));
        AccountImporter importer(*env.session.sysDb);
        QVERIFY(importer.load(env.lst).isEmpty());
        QVERIFY(importer.keepFolder().isEmpty());
        frmInput w(env.session, importer.plan());
        MsgBoxScript msgs;
        w.Timer1_Timer();
        QVERIFY(w.working());
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([&w] { return !w.working(); }, 600000));
        QVERIFY(w.stopped() && !w.Succeeded && w.result() == int(QDialog::Rejected));
        QCOMPARE(msgs.texts(), QStringList());
    }
};

QTEST_MAIN(tst_import)
#include "tst_import.moc"
