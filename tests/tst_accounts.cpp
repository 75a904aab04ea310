// The account-set wizard driven as a person would: its pages, the messages and dialogs of 完成
// in their order, and what the pages hand to creation and modification (the work itself is
// tested in tests/core/tst_core_accounts).
#include "BackupFixture.h"
#include "Scripts.h"
#include "TestEnv.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <CiFile.h>
#include <Database.h>
#include <Module1.h>
#include <frmAccPath.h>
#include <frmAccount.h>
#include <frmDate.h>
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
const QString kThisMonth = QString::number(QDate::currentDate().month());

void addSet(Database& db, const QString& acc, const QString& name)
{
    db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (?,?,'/tmp/',2026,1)"), {acc, name});
}

// An installation with the message boxes and modal dialogs scripted.
struct Fixture {
    TestEnv env;
    MsgBoxScript msgs;
    ModalScript modals;
};

void click(QAbstractButton* b)
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
    f.txtUnitName->setText(QStringLiteral("上海青木商贸有限公司"));
    f.txtUnitTel->setText(QStringLiteral("021-5555 0101"));
    f.txtFinType->setText(QStringLiteral("O'Brien \"分部\""));
    click(f.cmdNext);
    click(f.cmdNext);
    f.chkbCustClass->setChecked(true);
    click(f.cmdNext);
    QCOMPARE(f.page(), 5);
}

// A set made by the work directly (004, 2024, from May) and its supervisor logged in, as the
// modification tests start from.
void createSet(TestEnv& env)
{
    env.openSysDb();
    env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("004"), QStringLiteral("账套004"), QStringLiteral("2024"));
    QVERIFY(AccountSetCreator(*env.session.sysDb).create({.accId = QStringLiteral("004"), .accName = QStringLiteral("账套004"), .accPath = env.root(),
                                               .year = QStringLiteral("2024"), .month = QStringLiteral("5"), .unitName = QStringLiteral("青木"),
                                               .unitAbbre = QStringLiteral("青"), .master = QStringLiteral("[demo]demo"), .goodClass = true}).done());
}

// Runs a console menu entry with the wizard driven by `drive` and the later dialogs closed; returns
// the dialogs ("<frmDate>", "<frmDate modify>" when it shows the stored values, the enabling one with
// its books) and the messages in the order they came.
QStringList consoleFlow(Fixture& x, void (frmMain::*entry)(), const std::function<void(frmAccount&)>& drive)
{
    QList<std::pair<qsizetype, QString>> opened;   // after how many messages, which dialog
    for (const QString name : {"frmAccount", "frmGradeDef", "frmDate", "frmSysStart"}) {
        x.modals.on(name, [&x, &opened, &drive, name](QDialog& d) {
            const auto* enabling = qobject_cast<frmSysStart*>(&d);
            const auto* precision = qobject_cast<frmDate*>(&d);
            const QString extra = enabling ? " " + enabling->accDbPath : precision && precision->Modifying ? QStringLiteral(" modify") : QString();
            opened << std::pair{x.msgs.calls.size(), QStringLiteral("<%1%2>").arg(name, extra)};
            if (auto* f = qobject_cast<frmAccount*>(&d))
                drive(*f);
            else
                d.reject();
            return d.result();
        });
    }
    frmMain console(x.env.session);
    (console.*entry)();
    QStringList out;
    for (const MsgBoxCall& c : x.msgs.calls)
        out << seen(c);
    for (qsizetype i = 0; i < opened.size(); ++i)
        out.insert(opened[i].first + i, opened[i].second);   // after its messages and the i dialogs before it
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
            env.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('zz9','Demo',0)"));
            env.loginAdmin();
            frmAccount f(env.session, frmAccount::Mode::Create);
            f.Form_Load();
            QCOMPARE(f.txtAccID->text(), c.proposed);
            QCOMPARE(f.cboAccount->count(), c.existing.size());
            if (!c.existing.isEmpty())
                QCOMPARE(f.cboAccount->currentText(), QStringLiteral("[%1]公司%1").arg(c.existing.first()));
            QCOMPARE(QStringList({f.txtAccPath->text(), f.txtYear->text(), f.txtMonth->text()}), QStringList({env.session.root, kThisYear, kThisMonth}));
            QCOMPARE(f.cboAcc_Master->currentText(), QStringLiteral("[zz9]Demo"));   // the last "demo" wins
            QVERIFY(f.cboAcc_Master->findText(QStringLiteral("[admin]系统管理员")) < 0);
            QVERIFY(!f.cmdPre->isEnabled() && f.cmdNext->isEnabled() && !f.cmdOK->isEnabled());
        }
    }

    void wizard_keysPagesCalendarAndChoosers()
    {
        Fixture x;
        auto& [env, msgs, modals] = x;
        addSet(env.db(), QStringLiteral("005"), QStringLiteral("华东"));
        env.loginAdmin();
        frmAccount f(env.session, frmAccount::Mode::Create);
        f.Form_Load();

        // Only digits reach the number, year and month; Backspace does nothing, Delete works.
        f.txtAccID->clear();
        QTest::keyClicks(f.txtAccID, QStringLiteral("a 5-x"));
        QTest::keyClick(f.txtAccID, Qt::Key_Backspace);
        QCOMPARE(f.txtAccID->text(), QStringLiteral("5"));
        QTest::keyClick(f.txtAccID, Qt::Key_Home);
        QTest::keyClick(f.txtAccID, Qt::Key_Delete);
        QCOMPARE(f.txtAccID->text(), QString());
        QTest::keyClicks(f.txtAccID, QStringLiteral("5"));
        f.txtMonth->clear();
        QTest::keyClicks(f.txtMonth, QStringLiteral("1a3"));
        QCOMPARE(f.txtMonth->text(), QStringLiteral("13"));
        // The name takes no blanks (Chinese typed one character at a time).
        for (QChar ch : QStringLiteral("华 东"))
            QTest::sendKeyEvent(QTest::Click, f.txtAccName, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QCOMPARE(f.txtAccName->text(), QStringLiteral("华东"));

        // Each page refuses silently until its boxes are right: the number and name of an existing
        // set (typed without zeros), a blank path, no unit name, no currency name. Month 13 passes.
        const struct {
            std::function<void()> set;
            int page;
        } steps[] = {
            {[] {}, 1},
            {[&] { f.txtAccName->setText(QStringLiteral("华北")); f.txtAccPath->setText(QStringLiteral("   ")); }, 1},
            {[&] { f.txtAccPath->setText(env.root()); }, 2},
            {[] {}, 2},
            {[&] { f.txtUnitName->setText(QStringLiteral("华北公司")); }, 3},
            {[&] { f.txtCurName->clear(); }, 3},
            {[&] { f.txtCurName->setText(QStringLiteral("人民币")); }, 4},
        };
        for (const auto& s : steps) {
            s.set();
            click(f.cmdNext);
            QCOMPARE(f.page(), s.page);
        }
        QCOMPARE(f.txtAccID->text(), QStringLiteral("005"));   // written with three digits
        QCOMPARE(f.lblNote[3]->text(), QStringLiteral("此页面设置您的005账套%1年度账基础信息。").arg(kThisYear));
        QVERIFY(f.cmdPre->isEnabled() && f.cmdNext->isEnabled() && !f.cmdOK->isEnabled());
        click(f.cmdNext);
        QCOMPARE(f.pages->currentWidget(), f.Picture6);
        QVERIFY(!f.cmdNext->isEnabled() && f.cmdOK->isEnabled());
        QVERIFY(msgs.calls.isEmpty());

        // The optimised flows only show a notice.
        click(f.optxyh);
        click(f.optyh);
        QCOMPARE(msgs.texts(), (QStringList{QStringLiteral("提示：采用优化流程后，发货单保存系统自动生成销售发票及销售出库单。"),
                                            QStringLiteral("提示：采用优化流程后，采购入库单保存将自动生成发票并结算，\n发票只能查看，运费发票将不可用。")}));

        click(f.cmdPre);
        QVERIFY(f.page() == 4 && f.cmdNext->isEnabled() && !f.cmdOK->isEnabled());
        for (int i = 0; i < 3; ++i)
            click(f.cmdPre);
        QVERIFY(f.page() == 1 && !f.cmdPre->isEnabled());

        // Back on page 1: out-of-range year and month are replaced before the calendar opens; its choice comes
        // back; 2050 stays; cancelling leaves the boxes alone.
        QString seen;
        auto calendar = [&](bool pick) {
            return act<frmMenology>([&seen, pick](frmMenology& m) {
                seen = m.txtYear->text() + "/" + m.txtMonth->text();
                m.setYearMonth(QStringLiteral("2031"), QStringLiteral("7"));
                (pick ? m.cmdOK : m.cmdCancel)->click();
            });
        };
        f.txtYear->setText(QStringLiteral("1989"));
        f.txtMonth->setText(QStringLiteral("13"));
        modals.on(QStringLiteral("frmMenology"), calendar(true));
        click(f.cmdYM);
        QCOMPARE(seen, kThisYear + "/" + kThisMonth);
        QCOMPARE(f.txtYear->text() + "/" + f.txtMonth->text(), QStringLiteral("2031/7"));
        f.txtYear->setText(QStringLiteral("2050"));
        modals.on(QStringLiteral("frmMenology"), calendar(false));
        click(f.cmdYM);
        QCOMPARE(seen, QStringLiteral("2050/7"));
        QCOMPARE(f.txtYear->text() + "/" + f.txtMonth->text(), QStringLiteral("2050/7"));

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
        QString opened;
        modals.on(QStringLiteral("frmAccPath"), act<frmAccPath>([&](frmAccPath& c) {
            opened = c.Caller + ":" + c.Path();
            c.setPath(other);
            c.cmdOK->click();
        }));
        f.txtAccPath->setText(env.root());
        click(f.CmdPath);
        QCOMPARE(opened, QStringLiteral("AddAcc:") + env.root());
        QCOMPARE(f.txtAccPath->text(), other);
        QCOMPARE(msgs.calls.size(), 2);   // the two notices above, nothing since

        // 放弃 writes nothing.
        click(f.cmdCancel);
        QCOMPARE(f.result(), int(QDialog::Rejected));
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account")), 1);
    }

    void create_fromTheConsole()
    {
        Fixture x;
        x.env.loginAdmin();
        const QString path = x.env.root() + QStringLiteral("/财务 数据/深层/账套");
        const QString books = path + QStringLiteral("/zt007/2024/KdData.mdb");
        x.msgs.answer(vb::vbYes);   // 可以创建账套了么？
        x.msgs.answer(vb::vbOK);    // success
        x.msgs.answer(vb::vbYes);   // 是否立即启用账套
        QStringList created;
        const QStringList flow = consoleFlow(x, &frmMain::mnuAccCreate_Click, [&](frmAccount& f) {
            QCOMPARE(f.mode(), frmAccount::Mode::Create);
            f.txtAccID->setText(QStringLiteral("7"));
            fillWizard(f, QStringLiteral("O'Neil 账套"), path, QStringLiteral("2024"), QStringLiteral("3"));
            click(f.cmdOK);
            QCOMPARE(f.result(), int(QDialog::Accepted));
            QVERIFY(f.Created);
            created = {f.Created->accId, f.Created->accName, f.Created->accPath};
        });
        // The coding scheme and the precision come between the confirmation and the success.
        const QString title = QStringLiteral("创建账套");
        QCOMPARE(flow, (QStringList{"<frmAccount>", seen("可以创建账套了么？", title, vb::vbYesNo | vb::vbQuestion), "<frmGradeDef>", "<frmDate>",
                                    seen("创建账套{O'Neil 账套:[007]}成功。", title, vb::vbOKOnly | vb::vbExclamation),
                                    seen("是否立即启用账套", title, vb::vbYesNo | vb::vbQuestion), "<frmSysStart " + books + ">"}));
        // The set made, handed back to the console, which makes it the current set.
        const QStringList made{QStringLiteral("007"), QStringLiteral("O'Neil 账套"), path};
        QCOMPARE(created, made);
        QCOMPARE(QStringList({x.env.session.account.id, x.env.session.account.name}), made.mid(0, 2));

        // What the pages held reached the set and its books.
        QCOMPARE(x.env.db().scalar(QStringLiteral("select cAcc_Path||'|'||iYear||iMonth||'|'||cAcc_Master||'|'||cUnitName||'|'||cUnitTel||'|'||"
                                                  "cFinType||'|'||cTradeKind from SM_Account where cAcc_Id='007'")).toString(),
                 QStringLiteral("%1|20243|demo|上海青木商贸有限公司|021-5555 0101|O'Brien \"分部\"|2007年新会计准则").arg(path));
        QCOMPARE(Database(books).scalar(QStringLiteral("select cValue from AccInformation where cCaption='客户是否分类'")).toString(), QStringLiteral("True"));
    }

    void create_failureKeepsTheWizardOpen()
    {
        Fixture x;
        auto& [env, msgs, modals] = x;
        env.loginAdmin();
        frmAccount f(env.session, frmAccount::Mode::Create);
        f.Form_Load();
        // A relative path is refused with a message, and the page stays.
        f.txtAccName->setText(QStringLiteral("测试"));
        f.txtAccPath->setText(QStringLiteral("books/acc"));
        click(f.cmdNext);
        QCOMPARE(f.page(), 1);
        QCOMPARE(msgs.texts(), QStringList{"账套路径必须是完整的绝对路径（以“/”开头），不能是相对路径：books/acc"});
        msgs.clear();
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
        QVERIFY(env.session.account.id.isEmpty());
        // No to the confirmation writes nothing either.
        msgs.clear();
        msgs.answer(vb::vbNo);
        f.txtAccPath->setText(env.root());
        click(f.cmdOK);
        QCOMPARE(msgs.calls.size(), 1);
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_Account")), 0);
    }

    void modify_fromTheConsole()
    {
        Fixture x;
        createSet(x.env);
        const QStringList flow = consoleFlow(x, &frmMain::mnuAccEdit_Click, [&](frmAccount& f) {
            QCOMPARE(f.mode(), frmAccount::Mode::Modify);
            QCOMPARE(QStringList({f.txtAccID->text(), f.txtMonth->text(), f.txtUnitAbbre->text(), f.cboAcc_Master->currentText()}),
                     QStringList({QStringLiteral("004"), QStringLiteral("5"), QStringLiteral("青"), QStringLiteral("demo")}));
            QVERIFY(!f.txtAccID->isEnabled() && !f.txtAccPath->isEnabled() && !f.txtYear->isEnabled() && f.txtAccName->isEnabled());
            QVERIFY(!f.txtCurCode->isEnabled() && !f.cboEntType->isEnabled() && !f.cboAcc_Master->isEnabled() && !f.Check1->isEnabled());
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
            f.chkbGoodClass->setChecked(false);
            f.chkbProvClass->setChecked(true);
            click(f.cmdOK);
            QVERIFY(!f.Created);
        });
        QCOMPARE(flow, (QStringList{"<frmAccount>", seen("可以修改帐套了么？", "修改帐套", vb::vbYesNo | vb::vbQuestion), "<frmGradeDef>", "<frmDate modify>",
                                    seen("修改账套{新名称:[004]}成功。", "修改账套", vb::vbOKOnly | vb::vbExclamation)}));

        // What the pages held reached the set and its books.
        QCOMPARE(x.env.db().scalar(QStringLiteral("select cAcc_Name||'|'||coalesce(cUnitAbbre,'-')||'|'||cUnitFax||'|'||cTradeKind "
                                                  "from SM_Account where cAcc_Id='004'")).toString(),
                 QStringLiteral("新名称|-|021-1|企业会计制度"));
        QCOMPARE(Database(AccountDb::databasePath(x.env.root(), QStringLiteral("004"), 2024))
                     .scalar(QStringLiteral("select group_concat(cValue) from (select cValue from AccInformation "
                                            "where cCaption in ('存货是否分类','供应商是否分类') order by cName)")).toString(),
                 QStringLiteral("False,True"));
    }

    void modify_missingBooksAndMissingSet()
    {
        Fixture x;
        auto& [env, msgs, modals] = x;
        createSet(env);
        QVERIFY(CiFile::remove(AccountDb::databasePath(env.root(), QStringLiteral("004"), 2024)));
        {
            frmAccount f(env.session, frmAccount::Mode::Modify);
            f.Form_Load();   // the options cannot be read: the pages open with the rest
            QCOMPARE(f.txtAccName->text(), QStringLiteral("账套004"));
            for (int i = 0; i < 3; ++i)
                click(f.cmdNext);
            msgs.answer(vb::vbYes);
            click(f.cmdOK);
            QCOMPARE(seen(msgs.last()), seen(QStringLiteral("账套出现异常，修改失败！"), QStringLiteral("提示"), vb::vbInformation));
            QCOMPARE(f.result(), int(QDialog::Rejected));
            QVERIFY(modals.shown.isEmpty());
        }
        msgs.clear();
        env.session.account.id = QStringLiteral("404");
        frmAccount f(env.session, frmAccount::Mode::Modify);
        f.Form_Load();
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("帐套不存在！")});
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbOKOnly));
    }
};

QTEST_MAIN(tst_accounts)
#include "tst_accounts.moc"
