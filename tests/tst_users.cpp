// Operators, roles and the password change, driven as the administrator would.
#include "Scripts.h"
#include "TestEnv.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <frmAddRole.h>
#include <frmAddUser.h>
#include <frmEditRole.h>
#include <frmEditUser.h>
#include <frmLogin.h>
#include <frmMain.h>
#include <frmPassword.h>
#include <frmrole.h>
#include <frmuser.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

using namespace Module1;

namespace {
// Presses a toolbar button as a click does: its handler runs once the click is over.
void press(QToolBar* bar, const char* key)
{
    auto* button = bar->findChild<QAction*>(QString::fromLatin1(key));
    QVERIFY2(button, key);
    button->trigger();
    QCoreApplication::processEvents();
}

QTreeWidgetItem* listItem(QTreeWidget* list, const QString& id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == id)
            return list->topLevelItem(i);
    return nullptr;
}

void tick(QTreeWidget* list, const QString& id, bool on = true)
{
    QTreeWidgetItem* it = listItem(list, id);
    QVERIFY2(it, qPrintable(id));
    it->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

QStringList ticked(QTreeWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->checkState(0) == Qt::Checked)
            out << list->topLevelItem(i)->text(0);
    return out;
}

// A dialog's reaction that may stop at a failed check; the dialog's result is returned either way.
ModalScript::Reaction act(std::function<void(QDialog&)> body)
{
    return [body](QDialog& d) {
        body(d);
        return d.result();
    };
}

QStringList column(const FlexGrid* g, int col)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out << g->TextMatrix(r, col);
    return out;
}

int gridRow(const FlexGrid* g, const QString& id)
{
    return int(column(g, 0).indexOf(id)) + 1;
}

int count(Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

void addUser(frmAddUser& f, const QString& id, const QString& name, const QString& password = QString())
{
    f.txtID->setText(id);
    f.txtName->setText(name);
    f.txtPassword->setText(password);
    f.txtAffirmPassword->setText(password);
    f.cmdAdd->click();
}

// A remark of 200 characters: Chinese, quotes, something that looks like SQL, leading blanks.
QString longText()
{
    QString t = QStringLiteral("  备注 it's \"quoted\"; drop table SM_Group; --");
    while (t.size() < 200)
        t += QChar(0x5907);
    return t;
}
const QString kLong = longText();
} // namespace

class tst_users : public QObject {
    Q_OBJECT
private slots:
    void console_opensBothManagersForTheAdministrator()
    {
        TestEnv env;
        MsgBoxScript msgs;
        ModalScript modals;
        frmMain main;
        QVERIFY(main.Form_Load());
        modals.on(QStringLiteral("frmLogin"), [&](QDialog& d) {
            auto& f = static_cast<frmLogin&>(d);
            f.TxtUser->setText(QStringLiteral("admin"));
            f.TxtUser_LostFocus();
            f.txtPassword->clear();
            f.cmdOK->click();
            return d.result();
        });
        main.mnuSysReg_Click();
        QVERIFY(main.mnuPopUser->isEnabled() && main.mnuPopG->isEnabled());
        QStringList seen;
        modals.on(QStringLiteral("frmuser"), [&](QDialog& d) {
            auto& f = static_cast<frmuser&>(d);
            seen << f.windowTitle() << QString::number(f.MSFlexGrid1->Rows()) << f.parentWidget()->objectName();
            return int(QDialog::Rejected);
        });
        modals.on(QStringLiteral("frmrole"), [&](QDialog& d) {
            auto& f = static_cast<frmrole&>(d);
            seen << f.windowTitle() << QString::number(f.MSFlexGrid1->Rows());
            return int(QDialog::Rejected);
        });
        main.mnuPopUser->trigger();
        main.mnuPopG->trigger();
        QTRY_COMPARE(seen, (QStringList{QStringLiteral("操作员管理"), QStringLiteral("7"), QStringLiteral("frmMain"),
                                        QStringLiteral("角色管理"), QStringLiteral("6")}));
        QVERIFY(msgs.calls.isEmpty());
    }

    void operators_gridAndToolbar()
    {
        TestEnv env;
        env.loginAdmin();
        env.db().execute(QStringLiteral("update SM_User set nState=NULL, cPassword=NULL, cDept=NULL where cUser_Id='chenl'"));
        env.db().execute(QStringLiteral("update SM_User set nState=2, cPassword='Pw', cTkAccount='88' where cUser_Id='lijg'"));
        frmuser f;
        f.Form_Load();
        FlexGrid* g = f.MSFlexGrid1;
        QCOMPARE(f.windowTitle(), QStringLiteral("操作员管理"));
        QCOMPARE(g->Cols(), 7);
        QCOMPARE(g->TextMatrix(0, 0), QStringLiteral("操作员ID"));
        QCOMPARE(g->TextMatrix(0, 6), QStringLiteral("Tk通号"));
        QCOMPARE(g->ColWidth(5), 0);
        QVERIFY(qAbs(g->ColWidth(2) - 2000) < 30);
        // Administrators never appear.
        QCOMPARE(g->Rows(), 7);
        QVERIFY(!column(g, 0).contains(QStringLiteral("admin")));
        const int chenl = gridRow(g, QStringLiteral("chenl"));
        const int lijg = gridRow(g, QStringLiteral("lijg"));
        QCOMPARE(g->TextMatrix(chenl, 3), QStringLiteral("有效"));
        QCOMPARE(g->TextMatrix(chenl, 2), QString());
        QCOMPARE(g->TextMatrix(lijg, 3), QStringLiteral("注销"));
        QCOMPARE(g->TextMatrix(lijg, 4), QStringLiteral("******"));
        QCOMPARE(g->TextMatrix(lijg, 5), QStringLiteral("Pw"));
        QCOMPARE(g->TextMatrix(lijg, 6), QStringLiteral("88"));

        QStringList keys, captions, tips;
        for (QAction* a : f.Toolbar1->actions()) {
            keys << a->objectName();
            captions << a->text();
            tips << a->toolTip();
        }
        QCOMPARE(keys, (QStringList{"Add", "delete", "edit", "refresh", "help", "exit"}));
        QCOMPARE(captions, (QStringList{"增加", "删除", "修改", "刷新", "帮助", "退出"}));
        QCOMPARE(tips.first(), QStringLiteral("增加操作员"));
        QCOMPARE(tips.last(), QStringLiteral("退出操作员管理"));

        // Refresh shows rows written by others; help does nothing; exit closes.
        env.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('zz','新人',0)"));
        press(f.Toolbar1, "help");
        QCOMPARE(g->Rows(), 7);
        press(f.Toolbar1, "refresh");
        QCOMPARE(g->Rows(), 8);
        f.show();
        press(f.Toolbar1, "exit");
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Rejected));
    }

    void operators_addChecksWholeIdentifiersAndStoresTextsExactly()
    {
        TestEnv env;
        env.loginAdmin();
        env.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin,nState) values ('010','十',0,0)"));
        MsgBoxScript msgs;
        ModalScript modals;
        frmuser f;
        f.Form_Load();
        modals.on(QStringLiteral("frmAddUser"), act([&](QDialog& d) {
            auto& a = static_cast<frmAddUser&>(d);
            QCOMPARE(a.windowTitle(), QStringLiteral("增加操作员"));
            QCOMPARE(a.IdList.count(QLatin1Char(',')), 8);
            QCOMPARE(a.txtPassword->echoMode(), QLineEdit::Password);
            QCOMPARE(a.txtID->maxLength(), 20);

            // The role list follows the identifier between empty and not.
            QCOMPARE(a.ListView1->topLevelItemCount(), 0);
            a.txtID->setText(QStringLiteral("0"));
            QCOMPARE(a.ListView1->topLevelItemCount(), 5);
            QCOMPARE(listItem(a.ListView1, QStringLiteral("MANAGER-GL"))->text(1), QStringLiteral("总账会计"));
            a.txtID->setText(QStringLiteral("01"));
            QCOMPARE(a.ListView1->topLevelItemCount(), 5);
            a.txtID->clear();
            QCOMPARE(a.ListView1->topLevelItemCount(), 0);

            // Empty identifier or name: nothing, without a message.
            addUser(a, QStringLiteral("   "), QStringLiteral("x"));
            addUser(a, QStringLiteral("x"), QStringLiteral("  "));
            QVERIFY(msgs.calls.isEmpty());
            a.txtName->clear();

            // Password and confirmation differ.
            a.txtID->setText(QStringLiteral("01"));
            a.txtName->setText(QStringLiteral("一"));
            a.txtPassword->setText(QStringLiteral("Ab"));
            a.txtAffirmPassword->setText(QStringLiteral("ab"));
            a.cmdAdd->click();
            QCOMPARE(msgs.texts(), QStringList{QStringLiteral("口令必须一致!")});
            QCOMPARE(msgs.last().title, QStringLiteral(" 〖系统管理〗"));
            QCOMPARE(msgs.last().icon(), int(vb::vbCritical));
            QCOMPARE(a.txtName->text(), QStringLiteral("一"));

            // "01" beside "010" is new; the texts are kept as typed, with the ticked roles.
            a.txtAffirmPassword->setText(QStringLiteral("Ab"));
            a.txtDept->setText(QStringLiteral("  财务'部"));
            a.txtTk->setText(QStringLiteral("12345"));
            tick(a.ListView1, QStringLiteral("MANAGER-GL"));
            tick(a.ListView1, QStringLiteral("MANAGER-FA"));
            a.cmdAdd->click();
            QCOMPARE(msgs.calls.size(), 1);
            QCOMPARE(a.txtID->text(), QString());
            QCOMPARE(a.txtDept->text(), QString());
            QCOMPARE(a.ListView1->topLevelItemCount(), 0);

            // A second "01" in the same opening is refused: the list grew.
            addUser(a, QStringLiteral(" 01 "), QStringLiteral("again"));
            QCOMPARE(msgs.last().text, QStringLiteral("操作员:[01]已存在，不能增加!"));
            QCOMPARE(msgs.last().title, QStringLiteral("reredezozav【系统管理】"));
            QCOMPARE(msgs.last().icon(), int(vb::vbCritical));
            QCOMPARE(a.txtName->text(), QString());

            // An administrator is not in the grid: the engine refuses, the person is told, the text stays.
            msgs.clear();
            addUser(a, QStringLiteral("ADMIN"), QStringLiteral("冒名"));
            QCOMPARE(msgs.calls.size(), 1);
            QVERIFY(msgs.last().text.contains(QStringLiteral("[ADMIN]")));
            QCOMPARE(a.txtID->text(), QStringLiteral("ADMIN"));

            // Quotes, Chinese, leading blanks: just data.
            msgs.clear();
            addUser(a, QStringLiteral(" o'k"), QStringLiteral("  王'五\"; drop table SM_User; --"), QStringLiteral(" p' "));
            QVERIFY(msgs.calls.isEmpty());
            a.cmdExit->click();
        }));
        press(f.Toolbar1, "Add");

        Database& db = env.db();
        Recordset rs = db.query(QStringLiteral("select * from SM_User where cUser_Id='01'"));
        QVERIFY(!rs.Eof());
        QCOMPARE(rs.text("cUser_Name"), QStringLiteral("一"));
        QCOMPARE(rs.text("cPassword"), QStringLiteral("Ab"));
        QCOMPARE(rs.text("cDept"), QStringLiteral("  财务'部"));
        QCOMPARE(rs.text("cTkAccount"), QStringLiteral("12345"));
        QCOMPARE(rs.Fields("iAdmin").toInt(), 0);
        QCOMPARE(rs.Fields("nState").toInt(), 0);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_User where cUser_Id like '01%'")), 2);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cUser_Id='01'")), 2);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cUser_Id='01' and cGroup_Id='MANAGER-GL'")), 1);
        QCOMPARE(db.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='admin'")).toString(), QStringLiteral("系统管理员"));
        QCOMPARE(db.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id=' o''k'")).toString(), QStringLiteral("  王'五\"; drop table SM_User; --"));
        QCOMPARE(db.scalar(QStringLiteral("select cPassword from SM_User where cUser_Id=' o''k'")).toString(), QStringLiteral(" p' "));
        // Leaving the dialog reloads the grid.
        QVERIFY(column(f.MSFlexGrid1, 0).contains(QStringLiteral("01")));
        QVERIFY(column(f.MSFlexGrid1, 0).contains(QStringLiteral(" o'k")));
    }

    void operators_addWritesTheMirrorWhenThereIsOne()
    {
        // Without a mirror: nothing is said about one.
        {
            TestEnv env;
            env.loginAdmin();
            MsgBoxScript msgs;
            frmAddUser a;
            a.IdList = QStringLiteral(",demo,");
            addUser(a, QStringLiteral("m1"), QStringLiteral("甲"));
            QVERIFY(msgs.calls.isEmpty());
            QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_User where cUser_Id='m1'")), 1);
        }
        TestEnv env;
        env.loginAdmin();
        const QString mirrorPath = env.makeMirror();
        Database mirror(mirrorPath);
        mirror.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('m2','已有',0)"));
        MsgBoxScript msgs;
        frmAddUser a;
        a.IdList = QStringLiteral(",demo,");
        a.txtTk->setText(QStringLiteral("77"));
        addUser(a, QStringLiteral("m1"), QStringLiteral("甲"), QStringLiteral("Pw"));
        QVERIFY(msgs.calls.isEmpty());
        Recordset rs = mirror.query(QStringLiteral("select * from SM_User where cUser_Id='m1'"));
        QVERIFY(!rs.Eof());
        QCOMPARE(rs.text("cUser_Name"), QStringLiteral("甲"));
        QCOMPARE(rs.text("cPassword"), QStringLiteral("Pw"));
        QVERIFY(rs.isNull("cTkAccount"));

        // A duplicate of the grid is still offered to the mirror.
        mirror.execute(QStringLiteral("delete from SM_User where cUser_Id='demo'"));
        addUser(a, QStringLiteral("demo"), QStringLiteral("镜像"));
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("操作员:[demo]已存在，不能增加!")});
        QCOMPARE(mirror.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='demo'")).toString(), QStringLiteral("镜像"));
        QCOMPARE(env.db().scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='demo'")).toString(), QStringLiteral("demo"));

        // A row the mirror already holds: the system database has the operator, the person is told.
        msgs.clear();
        addUser(a, QStringLiteral("m2"), QStringLiteral("乙"));
        QCOMPARE(msgs.calls.size(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("[m2]")));
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_User where cUser_Id='m2'")), 1);
        QCOMPARE(mirror.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='m2'")).toString(), QStringLiteral("已有"));
    }

    void operators_deleteRemovesHoldingsButNotMemberships()
    {
        TestEnv env;
        env.loginAdmin();
        Database& db = env.db();
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2025,'lijg','admin'),('002',2026,'lijg','GL01'),('001',2025,'chenl','GL01')"));
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-GL','lijg')"));
        MsgBoxScript msgs;
        frmuser f;
        f.Form_Load();
        f.MSFlexGrid1->setRow(gridRow(f.MSFlexGrid1, QStringLiteral("lijg")));

        msgs.answer(vb::vbNo);
        press(f.Toolbar1, "delete");
        QCOMPARE(msgs.last().text, QStringLiteral("确认删除操作员:[lijg]吗?"));
        QCOMPARE(msgs.last().title, QStringLiteral(" 〖系统管理〗"));
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbYesNo));
        QCOMPARE(msgs.last().icon(), int(vb::vbQuestion));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_User where cUser_Id='lijg'")), 1);

        press(f.Toolbar1, "delete");
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_User where cUser_Id='lijg'")), 0);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='lijg'")), 0);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='chenl'")), 1);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cUser_Id='lijg'")), 1);
        QCOMPARE(f.MSFlexGrid1->Rows(), 6);
        QVERIFY(!column(f.MSFlexGrid1, 0).contains(QStringLiteral("lijg")));
    }

    void operators_changeRoundTripsTheState()
    {
        TestEnv env;
        env.loginAdmin();
        Database& db = env.db();
        db.execute(QStringLiteral("update SM_User set nState=2, cPassword='Pw', cTkAccount='88' where cUser_Id='lijg'"));
        db.execute(QStringLiteral("update SM_User set nState=NULL where cUser_Id='chenl'"));
        MsgBoxScript msgs;
        ModalScript modals;
        frmuser f;
        f.Form_Load();

        // A cancelled operator (state 2) saved unchanged is written back as 1.
        modals.on(QStringLiteral("frmEditUser"), act([&](QDialog& d) {
            auto& e = static_cast<frmEditUser&>(d);
            QCOMPARE(e.windowTitle(), QStringLiteral("修改操作员信息"));
            QCOMPARE(e.txtID->text(), QStringLiteral("lijg"));
            QCOMPARE(e.txtPassword->text(), QStringLiteral("Pw"));
            QCOMPARE(e.txtAffirmPassword->text(), QStringLiteral("Pw"));
            QCOMPARE(e.txtPassword->displayText(), QStringLiteral("**"));
            QCOMPARE(e.txtTk->text(), QString());
            QVERIFY(e.Check1->isChecked());
            QCOMPARE(e.Check1->text(), QStringLiteral("启用当前操作员"));
            e.cmdEdit->click();
        }));
        f.MSFlexGrid1->setRow(gridRow(f.MSFlexGrid1, QStringLiteral("lijg")));
        press(f.Toolbar1, "edit");
        QCOMPARE(db.scalar(QStringLiteral("select nState from SM_User where cUser_Id='lijg'")).toInt(), 1);
        QCOMPARE(db.scalar(QStringLiteral("select cTkAccount from SM_User where cUser_Id='lijg'")).toString(), QStringLiteral("88"));

        // An active one (state Null) is cancelled by ticking; the caption follows the tick.
        modals.on(QStringLiteral("frmEditUser"), act([&](QDialog& d) {
            auto& e = static_cast<frmEditUser&>(d);
            QVERIFY(!e.Check1->isChecked());
            QCOMPARE(e.Check1->text(), QStringLiteral("注销当前操作员"));
            e.Check1->click();
            QCOMPARE(e.Check1->text(), QStringLiteral("注销当前操作员"));
            e.Check1->click();
            QCOMPARE(e.Check1->text(), QStringLiteral("启用当前操作员"));
            e.Check1->click();
            e.txtName->setText(QStringLiteral(" 陈'丽 "));
            e.txtDept->setText(QString());
            e.txtPassword->setText(QStringLiteral("New"));
            e.cmdEdit->click();   // the confirmation differs
            e.txtAffirmPassword->setText(QStringLiteral("New"));
            e.cmdEdit->click();
        }));
        f.MSFlexGrid1->setRow(gridRow(f.MSFlexGrid1, QStringLiteral("chenl")));
        press(f.Toolbar1, "edit");
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("口令必须一致!")});
        Recordset rs = db.query(QStringLiteral("select * from SM_User where cUser_Id='chenl'"));
        QCOMPARE(rs.Fields("nState").toInt(), 1);
        QCOMPARE(rs.text("cUser_Name"), QStringLiteral(" 陈'丽 "));
        QCOMPARE(rs.text("cPassword"), QStringLiteral("New"));
        QVERIFY(!rs.isNull("cDept"));
        QCOMPARE(rs.text("cDept"), QString());
        // Saving reloads the grid.
        const int row = gridRow(f.MSFlexGrid1, QStringLiteral("chenl"));
        QCOMPARE(f.MSFlexGrid1->TextMatrix(row, 3), QStringLiteral("注销"));
        QCOMPARE(f.MSFlexGrid1->TextMatrix(row, 1), QStringLiteral(" 陈'丽 "));

        // Re-enabling: untick and save; leaving without saving writes nothing.
        modals.on(QStringLiteral("frmEditUser"), act([&](QDialog& d) {
            auto& e = static_cast<frmEditUser&>(d);
            e.Check1->click();
            e.txtName->setText(QStringLiteral("不保存"));
            e.cmdExit->click();
        }));
        press(f.Toolbar1, "edit");
        QCOMPARE(db.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='chenl'")).toString(), QStringLiteral(" 陈'丽 "));
        modals.on(QStringLiteral("frmEditUser"), act([&](QDialog& d) {
            auto& e = static_cast<frmEditUser&>(d);
            e.Check1->click();
            e.cmdEdit->click();
        }));
        press(f.Toolbar1, "edit");
        QCOMPARE(db.scalar(QStringLiteral("select nState from SM_User where cUser_Id='chenl'")).toInt(), 0);
        QCOMPARE(f.MSFlexGrid1->TextMatrix(row, 3), QStringLiteral("有效"));
    }

    void roles_addWithMembersAndRefusals()
    {
        TestEnv env;
        env.loginAdmin();
        Database& db = env.db();
        MsgBoxScript msgs;
        ModalScript modals;
        frmrole f;
        f.Form_Load();
        FlexGrid* g = f.MSFlexGrid1;
        QCOMPARE(f.windowTitle(), QStringLiteral("角色管理"));
        QCOMPARE(g->TextMatrix(0, 2), QStringLiteral("备注"));
        QVERIFY(qAbs(g->ColWidth(2) - 5000) < 30);
        QCOMPARE(column(g, 0), (QStringList{"DATA-MANAGER", "MANAGER-FA", "MANAGER-GL", "MANAGER-GX", "MANAGER-WA"}));
        QCOMPARE(g->TextMatrix(1, 1), QStringLiteral("账套主管"));
        QCOMPARE(f.Toolbar1->actions().at(0)->objectName(), QStringLiteral("Add"));

        // Created by another program after the grid was loaded.
        db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('LATE','迟到')"));
        modals.on(QStringLiteral("frmAddRole"), act([&](QDialog& d) {
            auto& a = static_cast<frmAddRole&>(d);
            QCOMPARE(a.windowTitle(), QStringLiteral("增加角色"));
            QCOMPARE(a.txtBZ->maxLength(), 255);
            QCOMPARE(kLong.size(), 200);
            a.txtID->setText(QStringLiteral("R1"));
            // Only operators who are not administrators are offered.
            QCOMPARE(a.ListView1->topLevelItemCount(), 6);
            QVERIFY(!listItem(a.ListView1, QStringLiteral("admin")));
            a.cmdChkAll->click();
            QCOMPARE(ticked(a.ListView1).size(), 6);
            a.cmdChkC->click();
            QVERIFY(ticked(a.ListView1).isEmpty());
            tick(a.ListView1, QStringLiteral("demo"));
            tick(a.ListView1, QStringLiteral("zhoum"));
            a.txtName->setText(QStringLiteral("出纳 'A'"));
            a.txtBZ->setText(kLong);
            a.cmdAdd->click();
            QVERIFY(msgs.calls.isEmpty());
            QCOMPARE(a.txtBZ->text(), QString());
            QCOMPARE(a.ListView1->topLevelItemCount(), 0);

            // Again in this opening, and one of the grid: refused, nothing written, fields emptied.
            a.txtID->setText(QStringLiteral("R1"));
            a.txtName->setText(QStringLiteral("二"));
            a.cmdAdd->click();
            QCOMPARE(msgs.last().text, QStringLiteral("角色:[R1]已存在，不能增加!"));
            QCOMPARE(msgs.last().title, QStringLiteral("reredezozav【系统管理】"));
            QCOMPARE(msgs.last().icon(), int(vb::vbCritical));
            QCOMPARE(a.txtID->text(), QString());
            a.txtID->setText(QStringLiteral("MANAGER-GL"));
            a.txtName->setText(QStringLiteral("二"));
            a.cmdAdd->click();
            QCOMPARE(msgs.last().text, QStringLiteral("角色:[MANAGER-GL]已存在，不能增加!"));

            // In SM_Group but not in the grid: the engine refuses, the person is told, no member is written.
            msgs.clear();
            a.txtID->setText(QStringLiteral("LATE"));
            a.txtName->setText(QStringLiteral("再来"));
            tick(a.ListView1, QStringLiteral("demo"));
            a.cmdAdd->click();
            QCOMPARE(msgs.calls.size(), 1);
            QVERIFY(msgs.last().text.contains(QStringLiteral("[LATE]")));
            QCOMPARE(a.txtID->text(), QStringLiteral("LATE"));
            a.cmdExit->click();
        }));
        press(f.Toolbar1, "Add");

        Recordset rs = db.query(QStringLiteral("select * from SM_Group where cGroup_Id='R1'"));
        QCOMPARE(rs.text("cGroup_Name"), QStringLiteral("出纳 'A'"));
        QCOMPARE(rs.text("cMemo"), kLong);
        QCOMPARE(rs.text("cTradeKinds"), QStringLiteral("BZ"));
        QCOMPARE(rs.text("cTrade_Kinds"), QStringLiteral("BZ"));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cGroup_Id='R1'")), 2);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cGroup_Id='R1' and cUser_Id='zhoum'")), 1);
        QCOMPARE(db.scalar(QStringLiteral("select cGroup_Name from SM_Group where cGroup_Id='LATE'")).toString(), QStringLiteral("迟到"));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cGroup_Id='LATE'")), 0);
        // The grid shows the old content until it is refreshed.
        QCOMPARE(g->Rows(), 6);
        press(f.Toolbar1, "refresh");
        QCOMPARE(g->Rows(), 8);
        QCOMPARE(g->TextMatrix(gridRow(g, QStringLiteral("R1")), 2), kLong);
    }

    void roles_deleteOnlyWithoutMembers()
    {
        TestEnv env;
        env.loginAdmin();
        Database& db = env.db();
        db.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('EMPTY','空'),('ORPHAN','孤')"));
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('ORPHAN','gone')"));
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2026,'EMPTY','GL01')"));
        MsgBoxScript msgs;
        frmrole f;
        f.Form_Load();
        FlexGrid* g = f.MSFlexGrid1;

        // A member whose operator was deleted still counts.
        g->setRow(gridRow(g, QStringLiteral("ORPHAN")));
        press(f.Toolbar1, "delete");
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("角色：[ORPHAN]已经启用（定义所属用户），不能删除！")});
        QCOMPARE(msgs.last().title, QStringLiteral("【系统管理】"));
        QCOMPARE(msgs.last().icon(), 0);
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbOKOnly));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Group where cGroup_Id='ORPHAN'")), 1);

        msgs.clear();
        g->setRow(gridRow(g, QStringLiteral("EMPTY")));
        msgs.answer(vb::vbNo);
        press(f.Toolbar1, "delete");
        QCOMPARE(msgs.calls.size(), 1);
        QVERIFY(msgs.last().text.contains(QStringLiteral("EMPTY")));
        QCOMPARE(msgs.last().title, QStringLiteral(" 〖系统管理〗"));
        QCOMPARE(msgs.last().icon(), int(vb::vbQuestion));
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbYesNo));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Group where cGroup_Id='EMPTY'")), 1);

        press(f.Toolbar1, "delete");
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Group where cGroup_Id='EMPTY'")), 0);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='EMPTY'")), 1);
        QVERIFY(!column(g, 0).contains(QStringLiteral("EMPTY")));
    }

    void roles_changeWritesAndRemovesMemberships()
    {
        TestEnv env;
        env.loginAdmin();
        Database& db = env.db();
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-GL','demo'),('MANAGER-GL','CHENL'),('MANAGER-GL','admin'),('MANAGER-FA','lijg')"));
        MsgBoxScript msgs;
        ModalScript modals;
        frmrole f;
        f.Form_Load();
        FlexGrid* g = f.MSFlexGrid1;
        g->setRow(gridRow(g, QStringLiteral("MANAGER-GL")));
        modals.on(QStringLiteral("frmEditRole"), act([&](QDialog& d) {
            auto& e = static_cast<frmEditRole&>(d);
            QCOMPARE(e.windowTitle(), QStringLiteral("修改角色信息"));
            QCOMPARE(e.txtID->text(), QStringLiteral("MANAGER-GL"));
            QCOMPARE(e.txtName->text(), QStringLiteral("总账会计"));
            QCOMPARE(e.ListView1->topLevelItemCount(), 6);
            QCOMPARE(ticked(e.ListView1), (QStringList{"demo", "chenl"}));
            tick(e.ListView1, QStringLiteral("demo"), false);
            tick(e.ListView1, QStringLiteral("wangxy"));
            e.txtName->setText(QStringLiteral(" 总账 '会计' "));
            e.txtBZ->setText(QString());
            e.cmdEdit->click();
        }));
        press(f.Toolbar1, "edit");
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("修改成功！")});
        QCOMPARE(msgs.last().buttonSet(), int(vb::vbOKOnly));
        QCOMPARE(msgs.last().icon(), 0);
        QCOMPARE(msgs.last().title, QString());

        Recordset members = db.query(QStringLiteral("select cUser_Id from SM_Role where cGroup_Id='MANAGER-GL' order by cUser_Id"));
        QStringList ids;
        for (; !members.Eof(); members.MoveNext())
            ids << members.text("cUser_Id");
        // An administrator's membership is neither shown nor removed.
        QCOMPARE(ids, (QStringList{"admin", "CHENL", "wangxy"}));
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cGroup_Id='MANAGER-FA'")), 1);
        QCOMPARE(db.scalar(QStringLiteral("select cGroup_Name from SM_Group where cGroup_Id='MANAGER-GL'")).toString(), QStringLiteral(" 总账 '会计' "));
        QCOMPARE(db.scalar(QStringLiteral("select cMemo from SM_Group where cGroup_Id='MANAGER-GL'")).toString(), QString());
        // Not reloaded until refresh.
        QCOMPARE(g->TextMatrix(gridRow(g, QStringLiteral("MANAGER-GL")), 1), QStringLiteral("总账会计"));

        // Emptied name: nothing happens; leaving writes nothing.
        msgs.clear();
        modals.on(QStringLiteral("frmEditRole"), act([&](QDialog& d) {
            auto& e = static_cast<frmEditRole&>(d);
            e.cmdChkC->click();
            e.txtName->setText(QStringLiteral("  "));
            e.cmdEdit->click();
            e.cmdExit->click();
        }));
        press(f.Toolbar1, "edit");
        QVERIFY(msgs.calls.isEmpty());
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_Role where cGroup_Id='MANAGER-GL'")), 3);
    }

    void password_exactComparisonAndTheLoginKeepsTheOldOne()
    {
        TestEnv env;
        env.db().execute(QStringLiteral("update SM_User set cPassword='Pass' where cUser_Id='demo'"));
        MsgBoxScript msgs;
        ModalScript modals;
        frmMain main;
        QVERIFY(main.Form_Load());
        modals.on(QStringLiteral("frmLogin"), act([&](QDialog& d) {
            auto& f = static_cast<frmLogin&>(d);
            f.TxtUser->setText(QStringLiteral("demo"));
            f.TxtUser_LostFocus();
            modals.on(QStringLiteral("frmPassword"), act([&](QDialog& pd) {
                auto& p = static_cast<frmPassword&>(pd);
                QCOMPARE(p.windowTitle(), QStringLiteral("设置操作口令"));
                p.txtOldPassword->setText(QStringLiteral("ab"));
                QCOMPARE(p.txtOldPassword->displayText(), QStringLiteral("**"));
                p.txtNewPassword->setText(QStringLiteral("新'pw"));
                p.txtConfirmPassword->setText(QStringLiteral("新'pw"));
                p.txtOldPassword->setText(QStringLiteral("pass"));
                p.cmdOK->click();
                QCOMPARE(msgs.texts(), QStringList{QStringLiteral("输入的旧口令错误或此用户不存在！")});
                QCOMPARE(msgs.last().icon(), int(vb::vbInformation));
                p.txtOldPassword->setText(QStringLiteral("Pass "));
                p.cmdOK->click();
                QCOMPARE(msgs.calls.size(), 2);
                p.txtOldPassword->setText(QStringLiteral("Pass"));
                p.cmdOK->click();
            }));
            f.cmdEdit->click();
            QCoreApplication::processEvents();
            QCOMPARE(modals.shown.count(QStringLiteral("frmPassword")), 1);
            QCOMPARE(env.db().scalar(QStringLiteral("select cPassword from SM_User where cUser_Id='demo'")).toString(), QStringLiteral("新'pw"));

            // Until demo is chosen again, the login expects the old password.
            msgs.clear();
            f.txtPassword->setText(QStringLiteral("新'pw"));
            f.cmdOK_Click();
            QCOMPARE(msgs.texts(), QStringList{QStringLiteral("口令无效，请重新输入。")});
            msgs.clear();
            f.txtPassword->setText(QStringLiteral("Pass"));
            f.cmdOK_Click();
            QVERIFY(msgs.calls.isEmpty());

            f.TxtUser->setText(QStringLiteral("demo"));
            f.TxtUser_LostFocus();
            f.txtPassword->setText(QStringLiteral("Pass"));
            f.cmdOK_Click();
            QCOMPARE(msgs.texts(), QStringList{QStringLiteral("口令无效，请重新输入。")});
            msgs.clear();
            f.txtPassword->setText(QStringLiteral("新'pw"));
            f.cmdOK_Click();
            QVERIFY(msgs.calls.isEmpty());
            d.reject();
        }));
        main.mnuSysReg_Click();
        QCOMPARE(modals.shown.count(QStringLiteral("frmLogin")), 1);
    }

    void password_noOperatorChosenIsRefused()
    {
        TestEnv env;
        env.openSysDb();
        MsgBoxScript msgs;
        frmPassword p;
        p.cmdOK->click();   // every field empty, no operator
        QCOMPARE(msgs.texts(), QStringList{QStringLiteral("输入的旧口令错误或此用户不存在！")});
        QCOMPARE(p.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(tst_users)
#include "tst_users.moc"
