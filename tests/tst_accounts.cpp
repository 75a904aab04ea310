// The account-set wizard driven as a person would: its pages, the messages and dialogs of 完成
// in their order, and what the pages hand to creation and modification (the work itself is
// tested in tests/core/tst_core_accounts).
#include "Scripts.h"
#include "TestEnv.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <CiFile.h>
#include <Database.h>
#include <Module1.h>
#include <frmAccPath.h>
#include <frmAccount.h>
#include <frmMain.h>
#include <frmMenology.h>
#include <frmSysStart.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QtTest>

using namespace Module1;

namespace {
const QString kThisYear = QString::number(QDate::currentDate().year());

void addSet(Database& db, const QString& acc, const QString& name)
{
    db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (?,?,'/tmp/',2026,1)"),
               {acc, name});
}

// Types text key by key; Chinese characters one at a time.
void type(QWidget* w, const QString& text)
{
    for (QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void click(QPushButton* b)
{
    b->click();
    QCoreApplication::processEvents();   // buttons that open dialogs run queued
}

// Fills every page as a person would and stops on the last one.
void fillWizard(frmAccount& f, const QString& name, const QString& path, const QString& year, const QString& month)
{
    f.txtAccName->setText(name);
    f.txtAccPath->setText(path);
    f.txtYear->setText(year);
    f.txtMonth->setText(month);
    click(f.cmdNext);
    QCOMPARE(f.page(), 2);
    f.txtUnitName->setText(QStringLiteral("上海青木商贸有限公司"));
    f.txtUnitTel->setText(QStringLiteral("021-5555 0101"));
    f.txtFinType->setText(QStringLiteral("O'Brien \"分部\""));
    click(f.cmdNext);
    QCOMPARE(f.page(), 3);
    click(f.cmdNext);
    QCOMPARE(f.page(), 4);
    f.chkbCustClass->setChecked(true);
    click(f.cmdNext);
}

// A set made by the work directly, as the modification tests start from.
void createSet(const QString& acc, const QString& path, bool goodClass = false)
{
    AccountSetInput in;
    in.accId = acc;
    in.accName = QStringLiteral("账套") + acc;
    in.accPath = path;
    in.year = QStringLiteral("2024");
    in.month = QStringLiteral("5");
    in.unitName = QStringLiteral("青木");
    in.unitAbbre = QStringLiteral("青");
    in.master = QStringLiteral("[demo]demo");
    in.goodClass = goodClass;
    QVERIFY(AccountSetCreator(*gSysDb).create(in).done());
}

// Records how many messages had been shown when a dialog opened, and closes it.
ModalScript::Reaction countMessages(const MsgBoxScript& msgs, QList<int>& seen)
{
    return [&msgs, &seen](QDialog& d) {
        seen << int(msgs.calls.size());
        d.reject();
        return d.result();
    };
}
} // namespace

class tst_accounts : public QObject {
    Q_OBJECT
private slots:
    void wizard_createDefaultsAndNextFreeNumber()
    {
        const struct {
            QStringList existing;
            QString proposed;
        } cases[] = {
            {{}, QStringLiteral("001")},
            {{QStringLiteral("001"), QStringLiteral("002"), QStringLiteral("004")}, QStringLiteral("003")},
            {{QStringLiteral("001"), QStringLiteral("002"), QStringLiteral("003")}, QStringLiteral("004")},
            {{QStringLiteral("002"), QStringLiteral("003")}, QStringLiteral("001")},
        };
        for (const auto& c : cases) {
            TestEnv env;
            for (const QString& acc : c.existing)
                addSet(env.db(), acc, QStringLiteral("公司") + acc);
            env.loginAdmin();
            gAccMode = 1;
            frmAccount f;
            f.Form_Load();
            QCOMPARE(f.txtAccID->text(), c.proposed);
            QCOMPARE(f.cboAccount->count(), c.existing.size());
            if (!c.existing.isEmpty())
                QCOMPARE(f.cboAccount->currentText(), QStringLiteral("[%1]公司%1").arg(c.existing.first()));
        }

        TestEnv env;
        env.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('zz9','Demo',0)"));
        env.loginAdmin();
        gAccMode = 1;
        frmAccount f;
        f.Form_Load();
        QCOMPARE(f.windowTitle(), QStringLiteral("创建账套"));
        QCOMPARE(f.txtAccPath->text(), gRootPath);
        QCOMPARE(f.txtYear->text(), kThisYear);
        QCOMPARE(f.txtMonth->text(), QString::number(QDate::currentDate().month()));
        QCOMPARE(f.cboEntType->currentText(), QStringLiteral("工业"));
        QCOMPARE(f.cboTradeKind->currentText(), QStringLiteral("2007年新会计准则"));
        QCOMPARE(f.cboTradeKind->count(), 3);
        QCOMPARE(f.cboAcc_Master->currentText(), QStringLiteral("[zz9]Demo"));   // the last "demo" wins
        QVERIFY(f.cboAcc_Master->findText(QStringLiteral("[admin]系统管理员")) < 0);
        QCOMPARE(f.txtCurCode->text(), QStringLiteral("RMB"));
        QCOMPARE(f.txtCurName->text(), QStringLiteral("人民币"));
        QVERIFY(f.Check1->isChecked());
        QVERIFY(f.optxbz->isChecked() && f.optbz->isChecked());
        QVERIFY(!f.cmdPre->isEnabled() && f.cmdNext->isEnabled() && !f.cmdOK->isEnabled());
    }

    void wizard_keysAndPageChecks()
    {
        TestEnv env;
        addSet(env.db(), QStringLiteral("005"), QStringLiteral("华东"));
        env.loginAdmin();
        gAccMode = 1;
        MsgBoxScript msgs;
        frmAccount f;
        f.Form_Load();

        // Only digits reach the number, year and month; Backspace does nothing, Delete works.
        f.txtAccID->clear();
        QTest::keyClicks(f.txtAccID, QStringLiteral("a 5-x"));
        QCOMPARE(f.txtAccID->text(), QStringLiteral("5"));
        QTest::keyClick(f.txtAccID, Qt::Key_Backspace);
        QCOMPARE(f.txtAccID->text(), QStringLiteral("5"));
        QTest::keyClick(f.txtAccID, Qt::Key_Home);
        QTest::keyClick(f.txtAccID, Qt::Key_Delete);
        QCOMPARE(f.txtAccID->text(), QString());
        QTest::keyClicks(f.txtAccID, QStringLiteral("5"));
        f.txtMonth->clear();
        QTest::keyClicks(f.txtMonth, QStringLiteral("1a3"));
        QCOMPARE(f.txtMonth->text(), QStringLiteral("13"));
        type(f.txtAccName, QStringLiteral("华 东"));
        QCOMPARE(f.txtAccName->text(), QStringLiteral("华东"));

        // The number and name of an existing set (typed without zeros) are refused silently.
        click(f.cmdNext);
        QCOMPARE(f.page(), 1);
        // Another name goes through; the number is written with three digits; month 13 passes.
        f.txtAccName->setText(QStringLiteral("华北"));
        f.txtAccPath->setText(QStringLiteral("   "));
        click(f.cmdNext);
        QCOMPARE(f.page(), 1);
        f.txtAccPath->setText(env.root());
        click(f.cmdNext);
        QCOMPARE(f.page(), 2);
        QCOMPARE(f.txtAccID->text(), QStringLiteral("005"));
        QVERIFY(f.cmdPre->isEnabled());

        click(f.cmdNext);   // no unit name
        QCOMPARE(f.page(), 2);
        f.txtUnitName->setText(QStringLiteral("华北公司"));
        click(f.cmdNext);
        QCOMPARE(f.page(), 3);
        f.txtCurName->clear();
        click(f.cmdNext);
        QCOMPARE(f.page(), 3);
        f.txtCurName->setText(QStringLiteral("人民币"));
        click(f.cmdNext);
        QCOMPARE(f.page(), 4);
        QCOMPARE(f.lblNote[3]->text(), QStringLiteral("此页面设置您的005账套%1年度账基础信息。").arg(kThisYear));
        QVERIFY(f.cmdNext->isEnabled() && !f.cmdOK->isEnabled());
        click(f.cmdNext);
        QCOMPARE(f.page(), 5);
        QCOMPARE(f.pages->currentWidget(), f.Picture6);
        QVERIFY(!f.cmdNext->isEnabled() && f.cmdOK->isEnabled());
        QVERIFY(msgs.calls.isEmpty());

        // The optimised flows only show a notice.
        f.optxyh->click();
        QCoreApplication::processEvents();
        f.optyh->click();
        QCoreApplication::processEvents();
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("提示：采用优化流程后，发货单保存系统自动生成销售发票及销售出库单。"),
                                            QStringLiteral("提示：采用优化流程后，采购入库单保存将自动生成发票并结算，\n发票只能查看，运费发票将不可用。")}));
        QCOMPARE(msgs.last().title, QStringLiteral("青木通【系统管理】"));
        QCOMPARE(msgs.last().icon(), int(vb::vbExclamation));

        click(f.cmdPre);
        QCOMPARE(f.page(), 4);
        QVERIFY(f.cmdNext->isEnabled() && !f.cmdOK->isEnabled());
        for (int i = 0; i < 3; ++i)
            click(f.cmdPre);
        QCOMPARE(f.page(), 1);
        QVERIFY(!f.cmdPre->isEnabled());

        // 放弃 writes nothing.
        click(f.cmdCancel);
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Account")).toInt(), 1);
    }

    void wizard_calendarPreviewAndFolderChooser()
    {
        TestEnv env;
        env.loginAdmin();
        gAccMode = 1;
        MsgBoxScript msgs;
        ModalScript modals;
        frmAccount f;
        f.Form_Load();

        // Out-of-range year and month are replaced before the calendar opens; its choice comes back.
        f.txtYear->setText(QStringLiteral("1989"));
        f.txtMonth->setText(QStringLiteral("13"));
        QString seenYear, seenMonth;
        modals.on(QStringLiteral("frmMenology"), [&](QDialog& d) {
            auto& m = static_cast<frmMenology&>(d);
            seenYear = m.txtYear->text();
            seenMonth = m.txtMonth->text();
            m.setYearMonth(QStringLiteral("2031"), QStringLiteral("7"));
            m.cmdOK->click();
            return d.result();
        });
        click(f.cmdYM);
        QCOMPARE(seenYear, kThisYear);
        QCOMPARE(seenMonth, QString::number(QDate::currentDate().month()));
        QCOMPARE(f.txtYear->text(), QStringLiteral("2031"));
        QCOMPARE(f.txtMonth->text(), QStringLiteral("7"));
        // 2050 stays; cancelling leaves the boxes alone.
        f.txtYear->setText(QStringLiteral("2050"));
        modals.on(QStringLiteral("frmMenology"), [&](QDialog& d) {
            seenYear = static_cast<frmMenology&>(d).txtYear->text();
            d.reject();
            return d.result();
        });
        click(f.cmdYM);
        QCOMPARE(seenYear, QStringLiteral("2050"));
        QCOMPARE(f.txtYear->text(), QStringLiteral("2050"));

        QString previewTitle;
        modals.on(QStringLiteral("frmkmbrowser"), [&](QDialog& d) {
            previewTitle = d.windowTitle();
            return int(QDialog::Accepted);
        });
        f.cboTradeKind->setCurrentIndex(f.cboTradeKind->findText(QStringLiteral("小企业会计准则")));
        click(f.cmdkm);
        QCOMPARE(previewTitle, QStringLiteral("会计科目浏览--小企业会计准则"));

        // The folder chooser opens at the typed folder; 确认 writes the chosen one back.
        const QString other = env.root() + QStringLiteral("/账套 数据");
        QVERIFY(QDir().mkpath(other));
        QString presetPath;
        QString caller;
        modals.on(QStringLiteral("frmAccPath"), [&](QDialog& d) {
            auto& c = static_cast<frmAccPath&>(d);
            presetPath = c.Path();
            caller = c.Caller;
            c.setPath(other);
            c.cmdOK->click();
            return d.result();
        });
        f.txtAccPath->setText(env.root());
        click(f.CmdPath);
        QCOMPARE(caller, QStringLiteral("AddAcc"));
        QCOMPARE(presetPath, env.root());
        QCOMPARE(f.txtAccPath->text(), other);
        QVERIFY(msgs.calls.isEmpty());

        // Under "Acc2" the choice is the chooser's own value; 放弃 empties it.
        frmAccPath chooser;
        chooser.Caller = QStringLiteral("Acc2");
        chooser.setPath(other);
        chooser.cmdOK->click();
        QCOMPARE(chooser.SelectedPath, other);
        chooser.cmdCancel->click();
        QCOMPARE(chooser.SelectedPath, QString());
    }

    void create_fromTheConsole()
    {
        TestEnv env;
        env.loginAdmin();
        MsgBoxScript msgs;
        ModalScript modals;
        frmMain console;
        const QString path = env.root() + QStringLiteral("/财务 数据/深层/账套");
        int wizardResult = -1;
        QList<int> seen;
        QString enablingBooks;
        modals.on(QStringLiteral("frmAccount"), [&](QDialog& d) {
            auto& f = static_cast<frmAccount&>(d);
            f.txtAccID->setText(QStringLiteral("7"));
            fillWizard(f, QStringLiteral("O'Neil 账套"), path, QStringLiteral("2024"), QStringLiteral("3"));
            click(f.cmdOK);
            wizardResult = d.result();
            return d.result();
        });
        modals.on(QStringLiteral("frmGradeDef"), countMessages(msgs, seen));
        modals.on(QStringLiteral("frmDate"), countMessages(msgs, seen));
        modals.on(QStringLiteral("frmSysStart"), [&](QDialog& d) {
            enablingBooks = static_cast<frmSysStart&>(d).accDbPath;
            return int(QDialog::Rejected);
        });
        msgs.answer(vb::vbYes);   // 可以创建账套了么？
        msgs.answer(vb::vbOK);    // success
        msgs.answer(vb::vbYes);   // 是否立即启用账套
        console.mnuAccCreate_Click();
        QCOMPARE(wizardResult, int(QDialog::Accepted));
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("可以创建账套了么？"), QStringLiteral("创建账套{O'Neil 账套:[007]}成功。"),
                                            QStringLiteral("是否立即启用账套")}));
        for (const MsgBoxCall& call : msgs.calls)
            QCOMPARE(call.title, QStringLiteral("创建账套"));
        QCOMPARE(msgs.calls[0].buttons, int(vb::vbYesNo | vb::vbQuestion));
        QCOMPARE(msgs.calls[1].buttons, int(vb::vbOKOnly | vb::vbExclamation));
        QCOMPARE(msgs.calls[2].buttons, int(vb::vbYesNo | vb::vbQuestion));
        // The coding scheme and the precision come between the confirmation and the success.
        QCOMPARE(modals.shown, (QStringList{QStringLiteral("frmAccount"), QStringLiteral("frmGradeDef"),
                                            QStringLiteral("frmDate"), QStringLiteral("frmSysStart")}));
        QCOMPARE(seen, (QList<int>{1, 1}));
        const QString books = path + QStringLiteral("/zt007/2024/KdData.mdb");
        QCOMPARE(enablingBooks, books);
        QCOMPARE(gAccMode, qint16(1));
        QCOMPARE(gAccId, QStringLiteral("007"));
        QCOMPARE(gAccName, QStringLiteral("O'Neil 账套"));
        QCOMPARE(gAccPath, path);

        // What the pages held reached the set and its books.
        Recordset acc = env.db().query(QStringLiteral("select * from SM_Account where cAcc_Id='007'"));
        QCOMPARE(acc.RecordCount(), 1);
        QCOMPARE(acc.text(QStringLiteral("cAcc_Path")), path);
        QCOMPARE(acc.Fields(QStringLiteral("iYear")).toInt() * 100 + acc.Fields(QStringLiteral("iMonth")).toInt(), 202403);
        QCOMPARE(acc.text(QStringLiteral("cAcc_Master")), QStringLiteral("demo"));
        QCOMPARE(acc.text(QStringLiteral("cUnitName")), QStringLiteral("上海青木商贸有限公司"));
        QCOMPARE(acc.text(QStringLiteral("cUnitTel")), QStringLiteral("021-5555 0101"));
        QCOMPARE(acc.text(QStringLiteral("cFinType")), QStringLiteral("O'Brien \"分部\""));
        QCOMPARE(acc.text(QStringLiteral("cTradeKind")), QStringLiteral("2007年新会计准则"));
        Database kd(books);
        QCOMPARE(kd.scalar(QStringLiteral("select cValue from AccInformation where cCaption='客户是否分类'")).toString(), QStringLiteral("True"));
        QCOMPARE(kd.scalar(QStringLiteral("select count(*) from code")).toInt(),
                 env.db().scalar(QStringLiteral("select count(*) from GL_DPrecode where itrade_id=1")).toInt());
    }

    void create_failureKeepsTheWizardOpen()
    {
        TestEnv env;
        env.loginAdmin();
        gAccMode = 1;
        MsgBoxScript msgs;
        ModalScript modals;
        frmAccount f;
        f.Form_Load();
        // A file where a folder of the path must go: the folders cannot be made.
        QFile blocker(env.root() + QStringLiteral("/blocked"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        fillWizard(f, QStringLiteral("测试"), env.root() + QStringLiteral("/blocked/sub"), QStringLiteral("2024"), QStringLiteral("1"));
        msgs.answer(vb::vbYes);
        click(f.cmdOK);
        QCOMPARE(msgs.calls.size(), 2);
        QVERIFY(msgs.last().text.startsWith(QStringLiteral("创建账套失败：")));
        QCOMPARE(msgs.last().buttons, int(vb::vbOKOnly | vb::vbExclamation));
        QCOMPARE(f.result(), 0);   // still open
        QVERIFY(modals.shown.isEmpty());
        QVERIFY(gAccId.isEmpty());
        QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Account")).toInt(), 0);
        // No to the confirmation writes nothing either.
        msgs.clear();
        msgs.answer(vb::vbNo);
        f.txtAccPath->setText(env.root());
        click(f.cmdOK);
        QCOMPARE(msgs.calls.size(), 1);
        QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Account")).toInt(), 0);
    }

    void modify_fromTheConsole()
    {
        TestEnv env;
        env.openSysDb();
        createSet(QStringLiteral("004"), env.root(), true);
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("004"), QStringLiteral("账套004"), QStringLiteral("2024"));
        MsgBoxScript msgs;
        ModalScript modals;
        QList<int> seen;
        modals.on(QStringLiteral("frmGradeDef"), countMessages(msgs, seen));
        modals.on(QStringLiteral("frmDate"), countMessages(msgs, seen));
        frmMain console;
        auto drive = [&](frmAccount& f) {
            QCOMPARE(f.windowTitle(), QStringLiteral("修改帐套"));
            QCOMPARE(f.txtAccID->text(), QStringLiteral("004"));
            QCOMPARE(f.txtMonth->text(), QStringLiteral("5"));
            QCOMPARE(f.txtUnitAbbre->text(), QStringLiteral("青"));
            QVERIFY(!f.txtAccID->isEnabled() && !f.txtAccPath->isEnabled() && !f.txtYear->isEnabled() && f.txtAccName->isEnabled());
            QVERIFY(!f.txtCurCode->isEnabled() && !f.cboEntType->isEnabled() && !f.cboAcc_Master->isEnabled() && !f.Check1->isEnabled());
            QCOMPARE(f.cboAcc_Master->currentText(), QStringLiteral("demo"));
            QVERIFY(f.chkbGoodClass->isChecked() && !f.chkbCustClass->isChecked());
            f.txtAccName->setText(QStringLiteral("新名称"));
            click(f.cmdNext);
            f.txtUnitAbbre->clear();
            f.txtUnitFax->setText(QStringLiteral("021-1"));
            click(f.cmdNext);
            f.cboTradeKind->setCurrentIndex(f.cboTradeKind->findText(QStringLiteral("企业会计制度")));
            click(f.cmdNext);
            QCOMPARE(f.page(), 4);   // the last page when modifying
            QVERIFY(!f.cmdNext->isEnabled() && f.cmdOK->isEnabled());
            click(f.cmdPre);
            QVERIFY(f.cmdNext->isEnabled() && !f.cmdOK->isEnabled());
            click(f.cmdNext);
            f.chkbGoodClass->setChecked(false);
            f.chkbProvClass->setChecked(true);
            click(f.cmdOK);
        };
        modals.on(QStringLiteral("frmAccount"), [&](QDialog& d) {
            drive(static_cast<frmAccount&>(d));
            return d.result();
        });
        console.mnuAccEdit_Click();
        QCOMPARE(gAccMode, qint16(2));
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("可以修改帐套了么？"), QStringLiteral("修改账套{新名称:[004]}成功。")}));
        QCOMPARE(msgs.calls[0].title, QStringLiteral("修改帐套"));
        QCOMPARE(msgs.calls[1].title, QStringLiteral("修改账套"));
        QCOMPARE(msgs.calls[1].buttons, int(vb::vbOKOnly | vb::vbExclamation));
        QCOMPARE(modals.shown, (QStringList{QStringLiteral("frmAccount"), QStringLiteral("frmGradeDef"), QStringLiteral("frmDate")}));
        QCOMPARE(seen, (QList<int>{1, 1}));

        Recordset acc = env.db().query(QStringLiteral("select * from SM_Account where cAcc_Id='004'"));
        QCOMPARE(acc.text(QStringLiteral("cAcc_Name")), QStringLiteral("新名称"));
        QVERIFY(acc.isNull(QStringLiteral("cUnitAbbre")));
        QCOMPARE(acc.text(QStringLiteral("cUnitFax")), QStringLiteral("021-1"));
        QCOMPARE(acc.text(QStringLiteral("cTradeKind")), QStringLiteral("企业会计制度"));
        Database books(AccountDb::databasePath(env.root(), QStringLiteral("004"), 2024));
        QCOMPARE(books.scalar(QStringLiteral("select group_concat(cValue) from (select cValue from AccInformation "
                                             "where cCaption in ('存货是否分类','供应商是否分类') order by cName)")).toString(),
                 QStringLiteral("False,True"));
    }

    void modify_missingBooksAndMissingSet()
    {
        TestEnv env;
        env.openSysDb();
        createSet(QStringLiteral("004"), env.root());
        QVERIFY(CiFile::remove(AccountDb::databasePath(env.root(), QStringLiteral("004"), 2024)));
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("004"), QStringLiteral("账套004"), QStringLiteral("2024"));
        gAccMode = 2;
        MsgBoxScript msgs;
        ModalScript modals;
        {
            frmAccount f;
            f.Form_Load();   // the options cannot be read: the pages open with the rest
            QCOMPARE(f.txtAccName->text(), QStringLiteral("账套004"));
            f.txtAccName->setText(QStringLiteral("改名"));
            for (int i = 0; i < 3; ++i)
                click(f.cmdNext);
            msgs.answer(vb::vbYes);
            click(f.cmdOK);
            QCOMPARE(msgs.last().text, QStringLiteral("账套出现异常，修改失败！"));
            QCOMPARE(msgs.last().title, QStringLiteral("提示"));
            QCOMPARE(msgs.last().icon(), int(vb::vbInformation));
            QCOMPARE(f.result(), int(QDialog::Rejected));
            QVERIFY(modals.shown.isEmpty());
            QCOMPARE(env.db().scalar(QStringLiteral("select cAcc_Name from SM_Account where cAcc_Id='004'")).toString(), QStringLiteral("改名"));
        }
        msgs.clear();
        gAccId = QStringLiteral("404");
        frmAccount f;
        f.Form_Load();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("帐套不存在！")});
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbOKOnly));
    }
};

QTEST_MAIN(tst_accounts)
#include "tst_accounts.moc"
