// The account-set wizard, creation and modification, driven as a person would.
#include "Scripts.h"
#include "TestEnv.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <CiFile.h>
#include <Database.h>
#include <Installation.h>
#include <Module1.h>
#include <Paths.h>
#include <frmAccPath.h>
#include <frmAccount.h>
#include <frmMain.h>
#include <frmMenology.h>

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

AccountSetInput input(const QString& acc, const QString& path, const QString& year, const QString& month = QStringLiteral("1"))
{
    AccountSetInput in;
    in.accId = acc;
    in.accName = QStringLiteral("账套") + acc;
    in.accPath = path;
    in.year = year;
    in.month = month;
    in.unitName = QStringLiteral("青木");
    in.master = QStringLiteral("[demo]demo");
    return in;
}

QStringList column(Database& db, const QString& sql, const QVariantList& params = {})
{
    QStringList out;
    for (Recordset rs = db.query(sql, params); !rs.Eof(); rs.MoveNext())
        out << rs.Fields(0).toString();
    return out;
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
        QCOMPARE(f.page(), 1);
        QCOMPARE(f.pages->currentWidget(), f.Picture2);
        QCOMPARE(f.lblTitle[0]->text(), QStringLiteral("账套信息"));
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

    void create_fromTheConsoleWritesTheWholeSet()
    {
        TestEnv env;
        env.loginAdmin();
        MsgBoxScript msgs;
        ModalScript modals;
        frmMain console;
        const QString path = env.root() + QStringLiteral("/财务 数据/深层/账套");   // blanks, Chinese, missing levels
        int wizardResult = -1;
        modals.on(QStringLiteral("frmAccount"), [&](QDialog& d) {
            auto& f = static_cast<frmAccount&>(d);
            f.txtAccID->setText(QStringLiteral("7"));
            fillWizard(f, QStringLiteral("O'Neil 账套"), path, QStringLiteral("2024"), QStringLiteral("3"));
            click(f.cmdOK);
            wizardResult = d.result();
            return d.result();
        });
        msgs.answer(vb::vbYes);   // 可以创建账套了么？
        msgs.answer(vb::vbOK);    // success
        msgs.answer(vb::vbYes);   // 是否立即启用账套
        console.mnuAccCreate_Click();
        QCOMPARE(gAccMode, qint16(1));
        QCOMPARE(wizardResult, int(QDialog::Accepted));
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("可以创建账套了么？"), QStringLiteral("创建账套{O'Neil 账套:[007]}成功。"),
                                            QStringLiteral("是否立即启用账套")}));
        QCOMPARE(msgs.calls[0].title, QStringLiteral("创建账套"));
        QCOMPARE(msgs.calls[0].buttonSet(), int(vb::vbYesNo));
        QCOMPARE(msgs.calls[0].icon(), int(vb::vbQuestion));
        QCOMPARE(msgs.calls[1].icon(), int(vb::vbExclamation));
        QCOMPARE(modals.shown, (QStringList{QStringLiteral("frmAccount"), QStringLiteral("frmGradeDef"),
                                            QStringLiteral("frmDate"), QStringLiteral("frmSysStart")}));
        QCOMPARE(gAccId, QStringLiteral("007"));
        QCOMPARE(gAccName, QStringLiteral("O'Neil 账套"));
        QCOMPARE(gAccPath, path);

        Database& db = env.db();
        Recordset acc = db.query(QStringLiteral("select * from SM_Account where cAcc_Id='007'"));
        QCOMPARE(acc.RecordCount(), 1);
        QCOMPARE(acc.text(QStringLiteral("cAcc_Path")), path);
        QCOMPARE(acc.Fields(QStringLiteral("iYear")).toInt(), 2024);
        QCOMPARE(acc.Fields(QStringLiteral("iMonth")).toInt(), 3);
        QCOMPARE(acc.text(QStringLiteral("cAcc_Master")), QStringLiteral("demo"));
        QCOMPARE(acc.text(QStringLiteral("cUnitTel")), QStringLiteral("021-5555 0101"));
        QCOMPARE(acc.text(QStringLiteral("cFinType")), QStringLiteral("O'Brien \"分部\""));
        QVERIFY(acc.isNull(QStringLiteral("cUnitAbbre")) && acc.isNull(QStringLiteral("cUnitEMail")) && acc.isNull(QStringLiteral("cFinKind")));
        QCOMPARE(acc.text(QStringLiteral("cEntType")), QStringLiteral("工业"));
        QCOMPARE(acc.text(QStringLiteral("cTradeKind")), QStringLiteral("2007年新会计准则"));
        QVERIFY(!acc.isNull(QStringLiteral("iSysID")));

        // Twelve calendar months of the start year; February of a leap year has 29 days.
        QCOMPARE(column(db, QStringLiteral("select dBegin || '..' || dEnd from SM_Period where cAcc_Id='007' and iYear=2024 order by iId")),
                 (QStringList{"2024-01-01..2024-01-31", "2024-02-01..2024-02-29", "2024-03-01..2024-03-31",
                              "2024-04-01..2024-04-30", "2024-05-01..2024-05-31", "2024-06-01..2024-06-30",
                              "2024-07-01..2024-07-31", "2024-08-01..2024-08-31", "2024-09-01..2024-09-30",
                              "2024-10-01..2024-10-31", "2024-11-01..2024-11-30", "2024-12-01..2024-12-31"}));
        QCOMPARE(column(db, QStringLiteral("select cUser_Id || '/' || cAuth_Id from SM_HoldAuth where cAcc_Id='007' and iYear=2024")),
                 QStringList{QStringLiteral("demo/admin")});
        QCOMPARE(column(db, QStringLiteral("select cGroup_Id from SM_Role where cUser_Id='demo'")), QStringList{QStringLiteral("DATA-MANAGER")});
        QCOMPARE(column(db, QStringLiteral("select cAcc_Id || cAcc_Name from CreateAcc")), QStringList{QStringLiteral("007O'Neil 账套")});

        // The account database: folders made level by level, options, coding rule, preset chart.
        const QString file = path + QStringLiteral("/zt007/2024/KdData.mdb");
        QVERIFY(CiFile::isFile(file));
        Database books(file);
        QCOMPARE(column(books, QStringLiteral("select cCaption || '=' || cValue from AccInformation where cSysID='AA' and cID='AA' "
                                              "and cName like 'b%' order by cName")),
                 (QStringList{QStringLiteral("客户是否分类=True"), QStringLiteral("有无外币核算=False"),
                              QStringLiteral("存货是否分类=False"), QStringLiteral("供应商是否分类=False")}));
        QCOMPARE(books.scalar(QStringLiteral("select CODINGRULE from GradeDef where keyword='code'")).toString(), QStringLiteral("422"));
        const int preset = db.scalar(QStringLiteral("select count(*) from GL_DPrecode where itrade_id=1")).toInt();
        QVERIFY(preset > 100);
        Recordset code = books.query(QStringLiteral("select * from code order by i_id"));
        QCOMPARE(code.RecordCount(), preset);
        QCOMPARE(code.text(QStringLiteral("ccode")), QStringLiteral("1001"));
        QCOMPARE(code.text(QStringLiteral("ccode_name")), QStringLiteral("库存现金"));
        for (int i = 1; !code.Eof(); code.MoveNext(), ++i) {
            QCOMPARE(code.Fields(QStringLiteral("i_id")).toInt(), i);
            QCOMPARE(code.text(QStringLiteral("cbook_type")), QStringLiteral("金额式"));
            QCOMPARE(code.text(QStringLiteral("cbook_type_engl")), QStringLiteral("JES"));
            QCOMPARE(code.Fields(QStringLiteral("iviewItem")).toInt(), 0);
        }
        QCOMPARE(books.scalar(QStringLiteral("select count(*) from code where igrade=3")).toInt(),
                 db.scalar(QStringLiteral("select count(*) from GL_DPrecode where itrade_id=1 and igrade=3")).toInt());
    }

    void create_periodsFoldersAndExistingBooks()
    {
        TestEnv env;
        env.openSysDb();
        MsgBoxScript msgs;
        AccountSetCreator creator(*gSysDb);

        // A set starting in July of a common year still has the periods 1 to 12 of that year.
        const QString books = env.root() + QStringLiteral("/books");
        QCOMPARE(creator.create(input(QStringLiteral("1"), books + QStringLiteral("/"), QStringLiteral("2023"), QStringLiteral("7"))).status,
                 AccountSetCreator::Status::Done);
        Database& db = env.db();
        QCOMPARE(db.scalar(QStringLiteral("select iMonth from SM_Account where cAcc_Id='001'")).toInt(), 7);
        QCOMPARE(column(db, QStringLiteral("select iId from SM_Period where cAcc_Id='001' and iYear=2023 order by iId")).size(), 12);
        QCOMPARE(db.scalar(QStringLiteral("select dEnd from SM_Period where cAcc_Id='001' and iId=2")).toString(), QStringLiteral("2023-02-28"));

        // With and without a trailing separator: the same folder of sets; a second set of the
        // same supervisor keeps the one DATA-MANAGER membership.
        QCOMPARE(creator.create(input(QStringLiteral("002"), books, QStringLiteral("2023"))).status, AccountSetCreator::Status::Done);
        QCOMPARE(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot), (QStringList{QStringLiteral("zt001"), QStringLiteral("zt002")}));
        QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Role where cUser_Id='demo'")).toInt(), 1);

        // An account database already in the year folder is used as it is: its chart stays when
        // the preset box is clear, and the options are written into it.
        const QString year = books + QStringLiteral("/zt003/2023");
        QVERIFY(QDir().mkpath(year));
        QVERIFY(CiFile::copy(TestEnv::templatePath(), year + QStringLiteral("/kddata.mdb")));
        {
            Database own(year + QStringLiteral("/kddata.mdb"));
            own.execute(QStringLiteral("insert into code (i_id,ccode,ccode_name) values (1,'9999','自有科目')"));
        }
        AccountSetInput in = input(QStringLiteral("003"), books, QStringLiteral("2023"));
        in.presetChart = false;
        in.frgnCurrencyAcc = true;
        QCOMPARE(creator.create(in).status, AccountSetCreator::Status::Done);
        QCOMPARE(QDir(year).entryList(QDir::Files), QStringList{QStringLiteral("kddata.mdb")});
        Database own(year + QStringLiteral("/KdData.mdb"));
        QCOMPARE(column(own, QStringLiteral("select ccode from code")), QStringList{QStringLiteral("9999")});
        QCOMPARE(own.scalar(QStringLiteral("select cValue from AccInformation where cCaption='有无外币核算'")).toString(), QStringLiteral("True"));
        QVERIFY(msgs.calls.isEmpty());
    }

    void create_failuresLeaveNoHalfSet()
    {
        TestEnv env;
        env.openSysDb();
        MsgBoxScript msgs;
        AccountSetCreator creator(*gSysDb);
        Database& db = env.db();
        auto nothingWritten = [&](const QString& acc) {
            QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Account where cAcc_Id=?"), {acc}).toInt(), 0);
            QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Period where cAcc_Id=?"), {acc}).toInt(), 0);
            QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_HoldAuth where cAcc_Id=?"), {acc}).toInt(), 0);
            QCOMPARE(db.scalar(QStringLiteral("select count(*) from SM_Role")).toInt(), 0);
        };

        // Template missing: the message, and neither rows nor the folders made for the set remain.
        const QString path = env.root() + QStringLiteral("/新 目录/a/b");
        AccountSetInput in = input(QStringLiteral("001"), path, QStringLiteral("2024"));
        in.templatePath = env.root() + QStringLiteral("/none/KdData.mdb");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^4 .*\\[ExtractKdDataZip\\]$")));
        AccountSetOutcome out = creator.create(in);
        QCOMPARE(out.status, AccountSetCreator::Status::Failed);
        QCOMPARE(out.notice.text, QStringLiteral("生成账套时出现异常，创建失败！"));
        QCOMPARE(out.notice.title, QStringLiteral("提示"));
        QCOMPARE(out.notice.icon, Notice::Icon::Information);
        nothingWritten(QStringLiteral("001"));
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/新 目录")));
        QVERIFY(gAccId.isEmpty());

        // An engine error after the books were copied: a clear message, logged, nothing kept.
        msgs.clear();
        db.execute(QStringLiteral("drop table GL_DPrecode"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^4 .*GL_DPrecode.*\\[cmdOK_Click\\]$")));
        out = creator.create(input(QStringLiteral("001"), path, QStringLiteral("2024")));
        QCOMPARE(out.status, AccountSetCreator::Status::Failed);
        QVERIFY(out.notice.text.startsWith(QStringLiteral("创建账套失败：")));
        nothingWritten(QStringLiteral("001"));
        QVERIFY(!QFileInfo::exists(env.root() + QStringLiteral("/新 目录")));

        // A system database locked by another program.
        msgs.clear();
        Database other(env.sysDbPath());
        other.execute(QStringLiteral("BEGIN EXCLUSIVE"));
        out = creator.create(input(QStringLiteral("002"), path, QStringLiteral("2024")));
        QCOMPARE(out.status, AccountSetCreator::Status::Failed);
        QVERIFY(out.notice.text.contains(QStringLiteral("锁定")));
        other.execute(QStringLiteral("ROLLBACK"));
        nothingWritten(QStringLiteral("002"));

        // The same number and year twice.
        msgs.clear();
        addSet(db, QStringLiteral("003"), QStringLiteral("旧"));
        out = creator.create(input(QStringLiteral("3"), path, QStringLiteral("2026")));
        QCOMPARE(out.status, AccountSetCreator::Status::Failed);
        QVERIFY(!out.notice.isEmpty());
        QCOMPARE(db.scalar(QStringLiteral("select cAcc_Name from SM_Account where cAcc_Id='003'")).toString(), QStringLiteral("旧"));
    }

    void create_templateMissingKeepsTheWizardOpen()
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
        QCOMPARE(f.result(), 0);   // still open
        QVERIFY(modals.shown.isEmpty());
        QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Account")).toInt(), 0);
        // No to the confirmation writes nothing either.
        msgs.clear();
        msgs.answer(vb::vbNo);
        f.txtAccPath->setText(env.root());
        click(f.cmdOK);
        QCOMPARE(msgs.calls.size(), 1);
        QCOMPARE(env.db().scalar(QStringLiteral("select count(*) from SM_Account")).toInt(), 0);
    }

    void create_shadowAndMirror()
    {
        TestEnv env;
        const QString mirror = env.makeMirror();
        const QString shadow = Paths::join(GetSysDir(), QStringLiteral("deZaduzi不执行/DeZaduzi.mdb"));
        Installation::createSystemDatabase(shadow);
        env.openSysDb();
        MsgBoxScript msgs;
        AccountSetCreator creator(*gSysDb);
        QCOMPARE(creator.create(input(QStringLiteral("009"), env.root(), QStringLiteral("2025"))).status, AccountSetCreator::Status::Done);
        Database m(mirror);
        QCOMPARE(column(m, QStringLiteral("select cAcc_Id from CreateAcc")), QStringList{QStringLiteral("009")});
        QCOMPARE(m.scalar(QStringLiteral("select count(*) from SM_Account")).toInt(), 0);
        Database s(shadow);
        QCOMPARE(s.scalar(QStringLiteral("select cAcc_Name from SM_Account where cAcc_Id='009' and iYear=2025")).toString(), QStringLiteral("账套009"));
        QCOMPARE(s.scalar(QStringLiteral("select count(*) from SM_Period where cAcc_Id='009'")).toInt(), 12);
        QCOMPARE(s.scalar(QStringLiteral("select count(*) from SM_HoldAuth where cAcc_Id='009'")).toInt(), 1);
        QCOMPARE(s.scalar(QStringLiteral("select count(*) from SM_Role")).toInt(), 0);
        QVERIFY(msgs.calls.isEmpty());
    }

    void modify_rewritesEditableColumnsAndOptions()
    {
        TestEnv env;
        env.openSysDb();
        AccountSetInput in = input(QStringLiteral("004"), env.root(), QStringLiteral("2024"), QStringLiteral("5"));
        in.unitAbbre = QStringLiteral("青");
        in.goodClass = true;
        {
            MsgBoxScript quiet;
            QCOMPARE(AccountSetCreator(*gSysDb).create(in).status, AccountSetCreator::Status::Done);
        }
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("004"), QStringLiteral("账套004"), QStringLiteral("2024"));
        MsgBoxScript msgs;
        ModalScript modals;
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
        QCOMPARE(modals.shown, (QStringList{QStringLiteral("frmAccount"), QStringLiteral("frmGradeDef"), QStringLiteral("frmDate")}));

        Recordset acc = env.db().query(QStringLiteral("select * from SM_Account where cAcc_Id='004'"));
        QCOMPARE(acc.text(QStringLiteral("cAcc_Name")), QStringLiteral("新名称"));
        QVERIFY(acc.isNull(QStringLiteral("cUnitAbbre")));
        QCOMPARE(acc.text(QStringLiteral("cUnitFax")), QStringLiteral("021-1"));
        QCOMPARE(acc.text(QStringLiteral("cTradeKind")), QStringLiteral("企业会计制度"));
        QCOMPARE(acc.Fields(QStringLiteral("iMonth")).toInt(), 5);
        QCOMPARE(acc.text(QStringLiteral("cAcc_Master")), QStringLiteral("demo"));
        Database books(AccountDb::databasePath(env.root(), QStringLiteral("004"), 2024));
        QCOMPARE(column(books, QStringLiteral("select cValue from AccInformation where cCaption in ('存货是否分类','供应商是否分类') order by cName")),
                 (QStringList{QStringLiteral("False"), QStringLiteral("True")}));
    }

    void modify_missingBooksAndMissingSet()
    {
        TestEnv env;
        env.openSysDb();
        {
            MsgBoxScript quiet;
            QCOMPARE(AccountSetCreator(*gSysDb).create(input(QStringLiteral("004"), env.root(), QStringLiteral("2024"))).status,
                     AccountSetCreator::Status::Done);
        }
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
