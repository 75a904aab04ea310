// Operators and roles, driven as the administrator would.
#include "Scripts.h"
#include "TestEnv.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <PasswordHash.h>
#include <frmAddRole.h>
#include <frmAddUser.h>
#include <frmEditRole.h>
#include <frmEditUser.h>
#include <frmMain.h>
#include <frmrole.h>
#include <frmuser.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <optional>

using namespace Module1;

namespace {
const QString kTitle = QStringLiteral(" 〖系统管理〗");
const QString kRefusedTitle = QStringLiteral("reredezozav【系统管理】");

// Presses a manager's toolbar button, on the row of `id` when one is given, as a click does:
// the handler runs once the click is over.
void press(ManagerForm& f, const char* key, const QString& id = QString())
{
    if (!id.isEmpty())
        f.MSFlexGrid1->setRow(rowOf(f.MSFlexGrid1, 0, id));
    auto* button = f.Toolbar1->findChild<QAction*>(QString::fromLatin1(key));
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

void addUser(frmAddUser& f, const QString& id, const QString& name, const QString& password = QString(),
             const std::optional<QString>& confirmation = {})
{
    f.txtID->setText(id);
    f.txtName->setText(name);
    f.txtPassword->setText(password);
    f.txtAffirmPassword->setText(confirmation.value_or(password));
    f.cmdAdd->click();
}

// One refused entry: what is typed, the message (none when empty) and the identifier left in the field.
struct Refusal {
    QString id, name, password, confirmation, message, title, idAfter;
};

// Logged in as the administrator, with recorded messages and scripted dialogs.
struct Admin {
    TestEnv env;
    MsgBoxScript msgs;
    ModalScript modals;
    Admin() { env.loginAdmin(); }
    Database& db() { return env.db(); }
    QString text(const QString& sql) { return db().scalar(sql).toString(); }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
};
} // namespace

class tst_users : public QObject {
    Q_OBJECT
private slots:
    void console_menusOpenBothManagers()
    {
        Admin a;
        frmMain main(a.env.session);
        // Each menu opens its form loaded, over the console: title, rows (administrators excluded), parent.
        QStringList seenHere;
        for (const char* form : {"frmuser", "frmrole", "frmUserPop"}) {
            a.modals.on(QString::fromLatin1(form), [&](QDialog& d) {
                seenHere << d.windowTitle() << QString::number(d.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"))->Rows())
                         << d.parentWidget()->objectName();
                return int(QDialog::Rejected);
            });
        }
        main.mnuPopUser->trigger();
        main.mnuPopG->trigger();
        main.mnuPopJ->trigger();
        QTRY_COMPARE(seenHere, (QStringList{"操作员管理", "7", "frmMain", "角色管理", "6", "frmMain", "操作员权限", "7", "frmMain"}));
        QVERIFY(a.msgs.calls.isEmpty());
    }

    void operators_gridChangeAndDelete()
    {
        Admin a;
        a.db().execute(QStringLiteral("update SM_User set nState=NULL, cPassword=NULL, cDept=NULL where cUser_Id='chenl'"));
        a.db().execute(QStringLiteral("update SM_User set nState=2, cPassword='Pw', cTkAccount='88' where cUser_Id='lijg'"));
        frmuser f(a.env.session);
        f.Form_Load();
        FlexGrid* g = f.MSFlexGrid1;
        // Administrators never appear.
        QVERIFY(!column(g, 0).contains(QStringLiteral("admin")));
        const int chenl = rowOf(g, 0, QStringLiteral("chenl"));
        const int lijg = rowOf(g, 0, QStringLiteral("lijg"));
        QCOMPARE(g->TextMatrix(chenl, 2) + "|" + g->TextMatrix(chenl, 3), QStringLiteral("|有效"));
        QCOMPARE(QStringList({g->TextMatrix(lijg, 3), g->TextMatrix(lijg, 4), g->TextMatrix(lijg, 5), g->TextMatrix(lijg, 6)}),
                 (QStringList{"注销", "******", "", "88"}));   // the hidden column carries no password

        // Refresh shows rows written by others; exit closes.
        a.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('zz','新人',0)"));
        press(f, "refresh");
        QCOMPARE(g->Rows(), 8);

        // A cancelled operator (state 2) saved unchanged is written back as 1.
        a.modals.on(QStringLiteral("frmEditUser"), act<frmEditUser>([&](frmEditUser& e) {
            QCOMPARE(e.txtID->text() + "|" + e.txtPassword->text() + "|" + e.txtAffirmPassword->text() + "|" + e.txtTk->text(), QStringLiteral("lijg|******|******|"));
            QVERIFY(e.Check1->isChecked());
            e.cmdEdit->click();
        }));
        press(f, "edit", QStringLiteral("lijg"));
        QCOMPARE(a.text(QStringLiteral("select nState||'|'||cTkAccount||'|'||cPassword from SM_User where cUser_Id='lijg'")),
                 QStringLiteral("1|88|Pw"));   // the mask left alone changes no password

        // An active one (state Null) is cancelled by ticking; the caption follows the tick.
        a.modals.on(QStringLiteral("frmEditUser"), act<frmEditUser>([&](frmEditUser& e) {
            QVERIFY(!e.Check1->isChecked());
            QCOMPARE(e.Check1->text(), QStringLiteral("注销当前操作员"));
            e.Check1->click();
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
        press(f, "edit", QStringLiteral("chenl"));
        QCOMPARE(a.msgs.calls.size(), 1);   // the differing confirmation was refused
        QCOMPARE(a.text(QStringLiteral("select nState||'|'||cUser_Name||'|'||cDept from SM_User where cUser_Id='chenl'")),
                 QStringLiteral("1| 陈'丽 |"));
        QVERIFY(PasswordHash::verify(QStringLiteral("New"), a.text(QStringLiteral("select cPassword from SM_User where cUser_Id='chenl'"))));
        // Saving reloads the grid.
        const int row = rowOf(g, 0, QStringLiteral("chenl"));
        QCOMPARE(g->TextMatrix(row, 3) + "|" + g->TextMatrix(row, 1), QStringLiteral("注销| 陈'丽 "));

        // Re-enabling: untick; leaving without saving writes nothing, saving does.
        for (bool save : {false, true}) {
            a.modals.on(QStringLiteral("frmEditUser"), act<frmEditUser>([&](frmEditUser& e) {
                e.Check1->click();
                if (!save)
                    e.txtName->setText(QStringLiteral("不保存"));
                (save ? e.cmdEdit : e.cmdExit)->click();
            }));
            press(f, "edit");
            QCOMPARE(a.text(QStringLiteral("select nState||'|'||cUser_Name from SM_User where cUser_Id='chenl'")),
                     save ? QStringLiteral("0| 陈'丽 ") : QStringLiteral("1| 陈'丽 "));
        }
        QCOMPARE(g->TextMatrix(row, 3), QStringLiteral("有效"));

        // Deleting asks first; the operator's holdings go with it, its role memberships stay.
        a.db().execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2025,'lijg','admin'),('002',2026,'lijg','GL01'),('001',2025,'chenl','GL01')"));
        a.db().execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-GL','lijg')"));
        a.msgs.answer(vb::vbNo);
        press(f, "delete", QStringLiteral("lijg"));
        QCOMPARE(seen(a.msgs.last()), seen(QStringLiteral("确认删除操作员:[lijg]吗?"), kTitle, vb::vbYesNo | vb::vbQuestion));
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_User where cUser_Id='lijg'")), 1);
        press(f, "delete");
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_User where cUser_Id='lijg'")), 0);
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='lijg'")), 0);
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='chenl'")), 1);
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_Role where cUser_Id='lijg'")), 1);
        QVERIFY(!column(g, 0).contains(QStringLiteral("lijg")));
        // Each change is in the log, cancelling as such; no password, old or new, is.
        QCOMPARE(a.text(QStringLiteral("select group_concat(cAction||':'||cResult, ' ') from (select * from SM_Log order by rowid)")),
                 QStringLiteral("USER_EDIT:成功 USER_CANCEL:成功 USER_EDIT:成功 USER_DELETE:成功"));
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_Log where cContent like '%New%' or cContent like '%Pw%'")), 0);

        f.show();
        press(f, "exit");
        QVERIFY(!f.isVisible());
    }

    void operators_addChecksWholeIdentifiersAndStoresTextsExactly()
    {
        Admin a;
        a.db().execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin,nState) values ('010','十',0,0)"));
        frmuser f(a.env.session);
        f.Form_Load();
        a.modals.on(QStringLiteral("frmAddUser"), act<frmAddUser>([&](frmAddUser& d) {
            // The role list follows the identifier between empty and not.
            QCOMPARE(d.ListView1->topLevelItemCount(), 0);
            d.txtID->setText(QStringLiteral("0"));
            QCOMPARE(d.ListView1->topLevelItemCount(), 5);
            QCOMPARE(listItem(d.ListView1, QStringLiteral("MANAGER-GL"))->text(1), QStringLiteral("总账会计"));
            d.txtID->clear();
            QCOMPARE(d.ListView1->topLevelItemCount(), 0);

            // "01" beside "010" is new; the texts are kept as typed, with the ticked roles.
            d.txtDept->setText(QStringLiteral("  财务'部"));
            d.txtTk->setText(QStringLiteral("12345"));
            d.txtID->setText(QStringLiteral("01"));
            tick(d.ListView1, QStringLiteral("MANAGER-GL"));
            tick(d.ListView1, QStringLiteral("MANAGER-FA"));
            addUser(d, QStringLiteral("01"), QStringLiteral("一"), QStringLiteral("Ab"));
            QVERIFY(a.msgs.calls.isEmpty());
            QCOMPARE(d.txtID->text() + d.txtDept->text(), QString());
            QCOMPARE(d.ListView1->topLevelItemCount(), 0);

            // Refused: an empty identifier or name silently; differing passwords, a second "01" in this
            // opening, and an administrator (not in the grid, refused by the engine) with a message.
            const Refusal refusals[] = {
                {"   ", "x", "", "", "", "", "   "},
                {"x", "  ", "", "", "", "", "x"},
                {"02", "二", "Ab", "ab", "口令必须一致!", kTitle, "02"},
                {" 01 ", "again", "", "", "操作员:[01]已存在，不能增加!", kRefusedTitle, ""},
                {"ADMIN", "冒名", "", "", "操作员:[ADMIN]已在系统库中，不能增加!", kRefusedTitle, "ADMIN"},
            };
            for (const Refusal& r : refusals) {
                a.msgs.clear();
                addUser(d, r.id, r.name, r.password, r.confirmation);
                QCOMPARE(a.msgs.texts(), r.message.isEmpty() ? QStringList() : QStringList{r.message});
                if (!r.message.isEmpty())
                    QCOMPARE(seen(a.msgs.last()), seen(r.message, r.title, vb::vbCritical));
                QCOMPARE(d.txtID->text(), r.idAfter);
            }

            // Quotes, Chinese, leading blanks: just data.
            a.msgs.clear();
            addUser(d, QStringLiteral(" o'k"), QStringLiteral("  王'五\"; drop table SM_User; --"), QStringLiteral(" p' "));
            QVERIFY(a.msgs.calls.isEmpty());
            d.cmdExit->click();
        }));
        press(f, "Add");

        Recordset rs = a.db().query(QStringLiteral("select * from SM_User where cUser_Id='01'"));
        QVERIFY(!rs.Eof());
        QCOMPARE(QStringList({rs.text("cUser_Name"), rs.text("cDept"), rs.text("cTkAccount"), rs.text("iAdmin"), rs.text("nState")}),
                 (QStringList{"一", "  财务'部", "12345", "0", "0"}));
        QVERIFY(PasswordHash::verify(QStringLiteral("Ab"), rs.text("cPassword")));
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_User where cUser_Id like '0%'")), 2);   // "010" and "01"; "02" was refused
        QCOMPARE(a.text(QStringLiteral("select group_concat(cGroup_Id) from (select cGroup_Id from SM_Role where cUser_Id='01' order by 1)")),
                 QStringLiteral("MANAGER-FA,MANAGER-GL"));
        QCOMPARE(a.text(QStringLiteral("select cUser_Name from SM_User where cUser_Id='admin'")), QStringLiteral("系统管理员"));
        QCOMPARE(a.text(QStringLiteral("select cUser_Name from SM_User where cUser_Id=' o''k'")),
                 QStringLiteral("  王'五\"; drop table SM_User; --"));
        QVERIFY(PasswordHash::verify(QStringLiteral(" p' "), a.text(QStringLiteral("select cPassword from SM_User where cUser_Id=' o''k'"))));
        // Leaving the dialog reloads the grid.
        QVERIFY(column(f.MSFlexGrid1, 0).contains(QStringLiteral("01")));
        QVERIFY(column(f.MSFlexGrid1, 0).contains(QStringLiteral(" o'k")));
    }

    // A failed add is told and leaves what was typed; that it wrote nothing is
    // tst_core_userwork::changes_commitWithTheirLogRowOrNotAtAll ("operator added").
    void operators_aLockedSystemDatabaseIsTold()
    {
        Admin a;
        // Another workstation's program holds the system database for writing.
        Database holder(a.env.sysDbPath());
        holder.execute(QStringLiteral("BEGIN IMMEDIATE"));
        frmAddUser f(a.env.session);
        addUser(f, QStringLiteral("zhangs"), QStringLiteral("张三"));
        holder.execute(QStringLiteral("ROLLBACK"));
        QCOMPARE(a.msgs.calls.size(), 1);
        QVERIFY2(a.msgs.last().text.contains(QStringLiteral("锁定")), qPrintable(a.msgs.last().text));
        QCOMPARE(f.txtID->text(), QStringLiteral("zhangs"));
    }

    void operators_addWritesTheMirrorWhenThereIsOne()
    {
        Admin a;
        Database mirror(a.env.makeMirror());
        mirror.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,iAdmin) values ('m2','已有',0)"));
        frmAddUser d(a.env.session);
        d.IdList = QStringLiteral(",demo,");
        d.txtTk->setText(QStringLiteral("77"));
        addUser(d, QStringLiteral("m1"), QStringLiteral("甲"), QStringLiteral("Pw"));
        QVERIFY(a.msgs.calls.isEmpty());
        Recordset rs = mirror.query(QStringLiteral("select * from SM_User where cUser_Id='m1'"));
        QVERIFY(!rs.Eof());
        QCOMPARE(rs.text("cUser_Name"), QStringLiteral("甲"));
        QVERIFY(PasswordHash::verify(QStringLiteral("Pw"), rs.text("cPassword")));
        QVERIFY(rs.isNull("cTkAccount"));

        // A duplicate of the grid is still offered to the mirror.
        mirror.execute(QStringLiteral("delete from SM_User where cUser_Id='demo'"));
        addUser(d, QStringLiteral("demo"), QStringLiteral("镜像"));
        QCOMPARE(a.msgs.calls.size(), 1);
        QCOMPARE(mirror.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='demo'")).toString(), QStringLiteral("镜像"));
        QCOMPARE(a.text(QStringLiteral("select cUser_Name from SM_User where cUser_Id='demo'")), QStringLiteral("demo"));

        // A row the mirror already holds: the system database has the operator, the person is told.
        a.msgs.clear();
        addUser(d, QStringLiteral("m2"), QStringLiteral("乙"));
        QCOMPARE(a.msgs.calls.size(), 1);
        QVERIFY(a.msgs.last().text.startsWith(QStringLiteral("操作员:[m2]已在镜像系统库")));
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_User where cUser_Id='m2'")), 1);
        QCOMPARE(mirror.scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='m2'")).toString(), QStringLiteral("已有"));
    }

    void roles_changeDeleteAndAdd()
    {
        Admin a;
        a.db().execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('EMPTY','空'),('ORPHAN','孤')"));
        a.db().execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-GL','demo'),('MANAGER-GL','CHENL'),"
                                      "('MANAGER-GL','admin'),('MANAGER-FA','lijg'),('ORPHAN','gone')"));
        a.db().execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values ('001',2026,'EMPTY','GL01')"));
        frmrole f(a.env.session);
        f.Form_Load();
        FlexGrid* g = f.MSFlexGrid1;
        QCOMPARE(column(g, 0), (QStringList{"DATA-MANAGER", "EMPTY", "MANAGER-FA", "MANAGER-GL", "MANAGER-GX", "MANAGER-WA", "ORPHAN"}));
        // Every identifier, name and note shows whole, and no column is narrower than its design width.
        const int designed[] = {1000, 2000, 5000};
        for (int c = 0; c < 3; ++c) {
            QVERIFY(g->ColWidth(c) >= designed[c] - 15);
            for (int r = 0; r < g->Rows(); ++r)
                // (a cell draws its text inside the focus margins and the grid line: 9 pixels here)
                QVERIFY2(g->fontMetrics().horizontalAdvance(g->TextMatrix(r, c)) + 9 <= g->columnWidth(c), qPrintable(g->TextMatrix(r, c)));
        }

        // Changing writes the name and the members offered; an administrator's membership is neither
        // shown nor removed.
        a.modals.on(QStringLiteral("frmEditRole"), act<frmEditRole>([&](frmEditRole& e) {
            QCOMPARE(e.txtID->text() + "|" + e.txtName->text(), QStringLiteral("MANAGER-GL|总账会计"));
            QCOMPARE(e.ListView1->topLevelItemCount(), 6);
            QCOMPARE(ticked(e.ListView1), (QStringList{"chenl", "demo"}));   // by identifier
            tick(e.ListView1, QStringLiteral("demo"), false);
            tick(e.ListView1, QStringLiteral("wangxy"));
            e.txtName->setText(QStringLiteral(" 总账 '会计' "));
            e.txtBZ->setText(QString());
            e.cmdEdit->click();
        }));
        press(f, "edit", QStringLiteral("MANAGER-GL"));
        QCOMPARE(a.msgs.seenAll(), QStringList{seen(QStringLiteral("修改成功！"), QString(), vb::vbOKOnly)});
        const QString glMembers = QStringLiteral("select group_concat(cUser_Id) from (select cUser_Id from SM_Role where cGroup_Id='MANAGER-GL' order by cUser_Id)");
        QCOMPARE(a.text(glMembers), QStringLiteral("admin,CHENL,wangxy"));
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_Role where cGroup_Id='MANAGER-FA'")), 1);
        QCOMPARE(a.text(QStringLiteral("select cGroup_Name||'|'||cMemo from SM_Group where cGroup_Id='MANAGER-GL'")), QStringLiteral(" 总账 '会计' |"));

        // Emptied name: nothing happens; leaving writes nothing.
        a.msgs.clear();
        a.modals.on(QStringLiteral("frmEditRole"), act<frmEditRole>([&](frmEditRole& e) {
            e.cmdChkC->click();
            e.txtName->setText(QStringLiteral("  "));
            e.cmdEdit->click();
            e.cmdExit->click();
        }));
        press(f, "edit");
        QVERIFY(a.msgs.calls.isEmpty());
        QCOMPARE(a.text(glMembers), QStringLiteral("admin,CHENL,wangxy"));

        // Deleting, answered No then Yes: a role with a member, even one whose operator was deleted,
        // is refused; otherwise the person is asked, and the role's holdings stay.
        const auto deleting = [&](const QString& id, const QString& message, const QString& title, int buttons) {
            a.msgs.clear();
            a.msgs.answer(vb::vbNo);
            press(f, "delete", id);
            QCOMPARE(a.msgs.calls.size(), 1);
            QCOMPARE(seen(a.msgs.last()), seen(message, title, buttons));
        };
        const QString left = QStringLiteral("select group_concat(cGroup_Id) from (select cGroup_Id from SM_Group where cGroup_Id in ('EMPTY','ORPHAN') order by 1)");
        deleting(QStringLiteral("ORPHAN"), QStringLiteral("角色：[ORPHAN]已经启用（定义所属用户），不能删除！"), QStringLiteral("【系统管理】"), vb::vbOKOnly);
        deleting(QStringLiteral("EMPTY"), QStringLiteral("确认删除角色:[EMPTY]吗?"), kTitle, vb::vbYesNo | vb::vbQuestion);
        QCOMPARE(a.text(left), QStringLiteral("EMPTY,ORPHAN"));
        press(f, "delete");
        QCOMPARE(a.text(left), QStringLiteral("ORPHAN"));
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='EMPTY'")), 1);
        QVERIFY(!column(g, 0).contains(QStringLiteral("EMPTY")));

        // Adding. A remark of 200 characters: Chinese, quotes, something that looks like SQL, leading blanks.
        QString remark = QStringLiteral("  备注 it's \"quoted\"; drop table SM_Group; --");
        remark += QString(200 - remark.size(), QChar(0x5907));
        // Created by another program after the grid was loaded.
        a.db().execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name) values ('LATE','迟到')"));
        a.msgs.clear();
        a.modals.on(QStringLiteral("frmAddRole"), act<frmAddRole>([&](frmAddRole& d) {
            d.txtID->setText(QStringLiteral("R1"));
            // Only operators who are not administrators are offered.
            QCOMPARE(d.ListView1->topLevelItemCount(), 6);
            QVERIFY(!listItem(d.ListView1, QStringLiteral("admin")));
            d.cmdChkAll->click();
            QCOMPARE(ticked(d.ListView1).size(), 6);
            d.cmdChkC->click();
            QVERIFY(ticked(d.ListView1).isEmpty());
            tick(d.ListView1, QStringLiteral("demo"));
            tick(d.ListView1, QStringLiteral("zhoum"));
            d.txtName->setText(QStringLiteral("出纳 'A'"));
            d.txtBZ->setText(remark);
            d.cmdAdd->click();
            QVERIFY(a.msgs.calls.isEmpty());
            QCOMPARE(d.txtBZ->text(), QString());
            QCOMPARE(d.ListView1->topLevelItemCount(), 0);

            // Again in this opening and one of the grid: refused, the fields emptied. In SM_Group but
            // not in the grid: the engine refuses, what was typed stays. No member is written.
            const Refusal refusals[] = {
                {"R1", "二", "", "", "角色:[R1]已存在，不能增加!", kRefusedTitle, ""},
                {"MANAGER-GL", "二", "", "", "角色:[MANAGER-GL]已存在，不能增加!", kRefusedTitle, ""},
                {"LATE", "再来", "", "", "角色:[LATE]已在系统库中，不能增加!", kRefusedTitle, "LATE"},
            };
            for (const Refusal& r : refusals) {
                a.msgs.clear();
                d.txtID->setText(r.id);
                d.txtName->setText(r.name);
                tick(d.ListView1, QStringLiteral("demo"));
                d.cmdAdd->click();
                QCOMPARE(a.msgs.calls.size(), 1);
                QCOMPARE(seen(a.msgs.last()), seen(r.message, r.title, vb::vbCritical));
                QCOMPARE(d.txtID->text(), r.idAfter);
            }
            d.cmdExit->click();
        }));
        press(f, "Add");

        Recordset rs = a.db().query(QStringLiteral("select * from SM_Group where cGroup_Id='R1'"));
        QCOMPARE(QStringList({rs.text("cGroup_Name"), rs.text("cMemo"), rs.text("cTradeKinds"), rs.text("cTrade_Kinds")}),
                 (QStringList{"出纳 'A'", remark, "BZ", "BZ"}));
        QCOMPARE(a.text(QStringLiteral("select group_concat(cUser_Id) from (select cUser_Id from SM_Role where cGroup_Id='R1' order by 1)")),
                 QStringLiteral("demo,zhoum"));
        QCOMPARE(a.text(QStringLiteral("select cGroup_Name from SM_Group where cGroup_Id='LATE'")), QStringLiteral("迟到"));
        QCOMPARE(a.count(QStringLiteral("select count(*) from SM_Role where cGroup_Id='LATE'")), 0);
        // The grid shows the old content until it is refreshed.
        QCOMPARE(g->Rows(), 7);
        press(f, "refresh");
        QCOMPARE(g->Rows(), 9);
        QCOMPARE(g->TextMatrix(rowOf(g, 0, QStringLiteral("R1")), 2), remark);
    }
};

QTEST_MAIN(tst_users)
#include "tst_users.moc"
