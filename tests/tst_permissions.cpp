// The permission browser and the two grant dialogs, driven as a person would.
#include "Scripts.h"
#include "TestEnv.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <frmAddPop.h>
#include <frmAddPopTree.h>
#include <frmMain.h>
#include <frmUserPop.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

using namespace Module1;

namespace {
const QColor kBlue(0, 0, 255);

void addSet(Database& db, const QString& acc, const QString& name, int year)
{
    db.execute(QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (?,?,?,?,1)"),
               {acc, name, QStringLiteral("/tmp/"), year});
}

void hold(Database& db, const QString& acc, int year, const QString& holder, const QString& auth)
{
    db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,?)"), {acc, year, holder, auth});
}

int count(Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

// The holdings of a holder as "set/year/permission", sorted.
QStringList holdings(Database& db, const QString& holder)
{
    QStringList out;
    Recordset rs = db.query(QStringLiteral("select * from SM_HoldAuth where cUser_Id=? order by cAcc_Id,iYear,cAuth_Id"), {holder});
    for (; !rs.Eof(); rs.MoveNext())
        out << QStringLiteral("%1/%2/%3").arg(rs.text(QStringLiteral("cAcc_Id")), rs.text(QStringLiteral("iYear")), rs.text(QStringLiteral("cAuth_Id")));
    return out;
}

QStringList column(const FlexGrid* g, int col)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out << g->TextMatrix(r, col);
    return out;
}

int rowOf(const FlexGrid* g, int col, const QString& text)
{
    for (int r = 1; r < g->Rows(); ++r)
        if (g->TextMatrix(r, col) == text)
            return r;
    return -1;
}

QPoint cellCentre(FlexGrid* g, int row, int col)
{
    const QModelIndex cell = g->model()->index(row - 1, col);
    g->scrollTo(cell);
    return g->visualRect(cell).center();
}

void clickRow(FlexGrid* g, int row, Qt::KeyboardModifiers mods = {}, int col = 1)
{
    QTest::mouseClick(g->viewport(), Qt::LeftButton, mods, cellCentre(g, row, col));
}

void doubleClickRow(FlexGrid* g, int row, int col = 0)
{
    // As a mouse does it: the first click makes the cell current, the second is the double-click.
    const QPoint p = cellCentre(g, row, col);
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, p);
}

// The installation every test starts from: two account sets, one of them with two years.
void arrangeSets(TestEnv& env)
{
    addSet(env.db(), QStringLiteral("001"), QStringLiteral("北京华远贸易"), 2026);
    addSet(env.db(), QStringLiteral("001"), QStringLiteral("北京华远贸易"), 2025);
    addSet(env.db(), QStringLiteral("002"), QStringLiteral("上海\"引号'公司"), 2026);
}

struct Browser {
    MsgBoxScript msgs;
    ModalScript modals;
    frmUserPop f;
    Browser()
    {
        f.Form_Load();
        f.show();
    }
    void select(const QString& user)
    {
        const int r = rowOf(f.MSFlexGrid1, 0, user);
        QVERIFY2(r > 0, qPrintable(user));
        clickRow(f.MSFlexGrid1, r);
        QCOMPARE(f.MemberId, user);
    }
    void chooseSet(const QString& entryStart)
    {
        for (int i = 0; i < f.cboAcc->count(); ++i) {
            if (f.cboAcc->itemText(i).startsWith(entryStart)) {
                f.cboAcc->setCurrentIndex(i);
                emit f.cboAcc->activated(i);
                return;
            }
        }
        QFAIL(qPrintable(entryStart));
    }
    void chooseYear(const QString& year)
    {
        const int i = f.cboYear->findText(year);
        QVERIFY(i >= 0);
        f.cboYear->setCurrentIndex(i);
        emit f.cboYear->activated(i);
    }
    void press(QAction* button)
    {
        QTest::mouseClick(f.Toolbar1->widgetForAction(button), Qt::LeftButton);
        QCoreApplication::processEvents();   // the toolbar's handling is queued
    }
    void clickCheck()
    {
        QTest::mouseClick(f.Check1, Qt::LeftButton);
    }
};
} // namespace

class tst_permissions : public QObject {
    Q_OBJECT
private slots:
    void browser_showsHoldingsOfTheOperatorAndItsFirstRole()
    {
        TestEnv env;
        arrangeSets(env);
        Database& db = env.db();
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-GL','chenl')"));
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-FA','chenl')"));
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("MANAGER-GL"), QStringLiteral("GL0101"));
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("MANAGER-FA"), QStringLiteral("FA0101"));   // second role: not counted
        hold(db, QStringLiteral("001"), 2025, QStringLiteral("chenl"), QStringLiteral("WA0101"));        // another year counts
        hold(db, QStringLiteral("002"), 2026, QStringLiteral("chenl"), QStringLiteral("GX0101"));        // another set does not
        env.loginAdmin();

        Browser b;
        QCOMPARE(b.f.windowTitle(), QStringLiteral("操作员权限"));
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(0, 0) + "|" + b.f.MSFlexGrid2->TextMatrix(0, 1) + "|" + b.f.MSFlexGrid2->TextMatrix(0, 2),
                 QStringLiteral("权限|权限名称|隶属系统"));
        QCOMPARE(column(b.f.MSFlexGrid1, 0), (QStringList{"chenl", "demo", "lijg", "wangxy", "zhaozg", "zhoum"}));
        QCOMPARE(b.f.MSFlexGrid1->ColWidth(2), 0);   // the administrator does not see the type column
        QCOMPARE(b.f.cboYear->currentText(), QStringLiteral("2025"));
        QCOMPARE(b.f.cboAcc->currentText(), QStringLiteral("[001]北京华远贸易"));
        QCOMPARE(gAccId, QStringLiteral("001"));

        b.select(QStringLiteral("chenl"));
        QCOMPARE(column(b.f.MSFlexGrid2, 0), (QStringList{"GL0101", "WA0101"}));
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(1, 1), QStringLiteral("填制凭证"));
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(1, 2), QStringLiteral("账务处理"));
        QVERIFY(!b.f.Check1->isChecked());
        QVERIFY(b.f.btnAdd->isEnabled() && b.f.btnDelete->isEnabled());

        // Another operator with nothing: one blank row.
        b.select(QStringLiteral("lijg"));
        QCOMPARE(b.f.MSFlexGrid2->Rows(), 2);
        QCOMPARE(column(b.f.MSFlexGrid2, 0), QStringList{QString()});

        // Choosing the other set shows that set's holdings and becomes the current set.
        b.select(QStringLiteral("chenl"));
        b.chooseYear(QStringLiteral("2026"));
        b.chooseSet(QStringLiteral("[002]"));
        QCOMPARE(gAccId, QStringLiteral("002"));
        QCOMPARE(column(b.f.MSFlexGrid2, 0), QStringList{"GX0101"});
        QVERIFY(b.msgs.calls.isEmpty());
    }

    void browser_supervisorBoxFollowsTheLastHolding()
    {
        TestEnv env;
        arrangeSets(env);
        Database& db = env.db();
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("wangxy"), QStringLiteral("Admin"));
        // "Admin" sorts before GL permissions: the last row is not the supervisor's.
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("zhaozg"), QStringLiteral("Admin"));
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("zhaozg"), QStringLiteral("GL0101"));
        env.loginAdmin();
        Browser b;

        b.select(QStringLiteral("wangxy"));
        QVERIFY(b.f.Check1->isChecked());
        const int subsystems = count(db, QStringLiteral("select count(*) from SM_SubSys"));
        QCOMPARE(b.f.MSFlexGrid2->Rows(), subsystems + 1);
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(1, 0), QStringLiteral("Admin"));
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(1, 1), QStringLiteral("系统管理"));
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(1, 2), QStringLiteral("系统管理"));   // nType 0 first
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(3, 2), QStringLiteral("账务处理"));
        QVERIFY(!b.f.btnAdd->isEnabled() && !b.f.btnDelete->isEnabled());

        b.select(QStringLiteral("zhaozg"));
        QVERIFY(!b.f.Check1->isChecked());
        QCOMPARE(column(b.f.MSFlexGrid2, 0), (QStringList{"Admin", "GL0101"}));
        QVERIFY(b.f.btnAdd->isEnabled());
        // Selecting never asks anything.
        QVERIFY(b.msgs.calls.isEmpty());
    }

    void browser_uncheckingRemovesEveryHoldingOfTheSet()
    {
        TestEnv env;
        arrangeSets(env);
        Database& db = env.db();
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("wangxy"), QStringLiteral("Admin"));
        hold(db, QStringLiteral("001"), 2025, QStringLiteral("wangxy"), QStringLiteral("AA01"));   // sorts before "Admin"
        hold(db, QStringLiteral("001"), 2025, QStringLiteral("wangxy"), QStringLiteral("Admin"));
        hold(db, QStringLiteral("002"), 2026, QStringLiteral("wangxy"), QStringLiteral("Admin"));
        env.loginAdmin();
        Browser b;
        b.select(QStringLiteral("wangxy"));
        QVERIFY(b.f.Check1->isChecked());

        // No: the box and the holdings stay.
        b.msgs.answer(vb::vbNo);
        b.clickCheck();
        QCOMPARE(b.msgs.calls.size(), 1);
        QCOMPARE(b.msgs.last().text, QStringLiteral("取消操作员:[wangxy]账套主管权限吗?"));
        QCOMPARE(b.msgs.last().title, QStringLiteral(" 〖系统管理〗"));
        QCOMPARE(b.msgs.last().buttonSet(), int(vb::vbYesNo));
        QCOMPARE(b.msgs.last().icon(), int(vb::vbQuestion));
        QVERIFY(b.f.Check1->isChecked());
        QCOMPARE(holdings(db, QStringLiteral("wangxy")).size(), 4);

        // Yes: everything of the set goes, of every year; the other set keeps its row.
        b.clickCheck();
        QCOMPARE(b.msgs.calls.size(), 2);
        QVERIFY(!b.f.Check1->isChecked());
        QCOMPARE(holdings(db, QStringLiteral("wangxy")), QStringList{"002/2026/Admin"});
        QCOMPARE(b.f.MSFlexGrid2->Rows(), 2);
        QVERIFY(b.f.btnAdd->isEnabled() && b.f.btnDelete->isEnabled());

        // Making a supervisor again writes one row for the chosen year; No writes nothing.
        b.msgs.answer(vb::vbNo);
        b.clickCheck();
        QCOMPARE(b.msgs.last().text, QStringLiteral("设置操作员:[wangxy]账套主管权限吗?"));
        QCOMPARE(b.msgs.last().title, frmUserPop::kSetTitle);
        QVERIFY(!b.f.Check1->isChecked());
        QCOMPARE(holdings(db, QStringLiteral("wangxy")).size(), 1);
        b.clickCheck();
        QVERIFY(b.f.Check1->isChecked());
        QCOMPARE(holdings(db, QStringLiteral("wangxy")), (QStringList{"001/2025/Admin", "002/2026/Admin"}));
        QVERIFY(!b.f.btnAdd->isEnabled());
        // Reopening shows the same.
        b.f.ShowPoP();
        QVERIFY(b.f.Check1->isChecked());
    }

    void browser_supervisorNeedsAnAccountSet()
    {
        TestEnv env;   // no account set at all
        env.loginAdmin();
        Browser b;
        QCOMPARE(b.f.cboYear->count(), 0);
        b.select(QStringLiteral("lijg"));
        b.clickCheck();
        QCOMPARE(b.msgs.texts(), (QStringList{"设置操作员:[lijg]账套主管权限吗?", "请选择账套！"}));
        QCOMPARE(b.msgs.last().title, frmUserPop::kSetTitle);
        QCOMPARE(b.msgs.last().buttonSet(), int(vb::vbOKOnly));
        QVERIFY(!b.f.Check1->isChecked());
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_HoldAuth")), 0);

        // Nor can anything be granted.
        b.msgs.clear();
        b.press(b.f.btnAdd);
        QCOMPARE(b.msgs.texts(), QStringList{"请选择账套！"});
        QVERIFY(b.modals.shown.isEmpty());
    }

    void browser_supervisorLoginSeesNeitherItselfNorTheChoices()
    {
        TestEnv env;
        arrangeSets(env);
        hold(env.db(), QStringLiteral("001"), 2026, QStringLiteral("demo"), QStringLiteral("admin"));
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("001"), QStringLiteral("北京华远贸易"), QStringLiteral("2026"));
        Browser b;
        QVERIFY(!column(b.f.MSFlexGrid1, 0).contains(QStringLiteral("demo")));
        QCOMPARE(b.f.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("用户"));
        QVERIFY(b.f.MSFlexGrid1->ColWidth(2) > 0);
        QVERIFY(!b.f.Check1->isEnabled());
        QVERIFY(!b.f.cboYear->isEnabled());
        QVERIFY(!b.f.cboAcc->isEnabled());
        QCOMPARE(b.f.cboYear->currentText(), QStringLiteral("2026"));
        QCOMPARE(b.f.cboAcc->currentText(), QStringLiteral("[001]北京华远贸易"));
    }

    void browser_toolbarDeletesAndOpensTheEditionsDialog()
    {
        TestEnv env;
        arrangeSets(env);
        Database& db = env.db();
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("lijg"), QStringLiteral("GL0101"));
        hold(db, QStringLiteral("001"), 2025, QStringLiteral("lijg"), QStringLiteral("GL0102"));
        hold(db, QStringLiteral("002"), 2026, QStringLiteral("lijg"), QStringLiteral("GL0101"));
        env.loginAdmin();
        gYear = QStringLiteral("2026");
        Browser b;
        b.select(QStringLiteral("lijg"));
        QCOMPARE(b.f.MSFlexGrid2->Rows(), 3);
        QCOMPARE(b.f.Toolbar1->actions().size(), 5);
        QCOMPARE(b.f.btnAdd->objectName(), QStringLiteral("Add"));
        QCOMPARE(b.f.btnExit->toolTip(), QStringLiteral("退出权限设置"));

        b.msgs.answer(vb::vbNo);
        b.press(b.f.btnDelete);
        QCOMPARE(b.msgs.last().text, QStringLiteral("删除操作员:[lijg]所有权限吗?"));
        QCOMPARE(holdings(db, QStringLiteral("lijg")).size(), 3);
        b.press(b.f.btnDelete);
        QCOMPARE(holdings(db, QStringLiteral("lijg")), QStringList{"002/2026/GL0101"});
        QCOMPARE(b.f.MSFlexGrid2->Rows(), 2);

        QString caption;
        b.modals.on(QStringLiteral("frmAddPop"), [&](QDialog& d) { caption = d.windowTitle(); return int(QDialog::Rejected); });
        b.modals.on(QStringLiteral("frmAddPopTree"), [&](QDialog& d) { caption = d.windowTitle(); return int(QDialog::Rejected); });
        b.press(b.f.btnAdd);
        QCOMPARE(b.modals.shown, QStringList{"frmAddPop"});
        QCOMPARE(caption, QStringLiteral("增加权限--[lijg]"));
        gEdition = 1;
        b.press(b.f.btnAdd);
        QCOMPARE(b.modals.shown.last(), QStringLiteral("frmAddPopTree"));

        b.press(b.f.btnExit);
        QCOMPARE(b.f.result(), int(QDialog::Rejected));
        QVERIFY(!b.f.isVisible());
    }

    void plainGrant_classGrantsItsSubsystemForTheChosenSetAndYearOnly()
    {
        TestEnv env;
        arrangeSets(env);
        Database& db = env.db();
        // A supervisor row spelt otherwise and a subsystem its letters would name: still never offered.
        db.execute(QStringLiteral("update SM_Auth set cAuth_Id='ADMIN' where cAuth_Id='admin'"));
        db.execute(QStringLiteral("insert into SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) values ('AD','辅助',20,1)"));
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("chenl"), QStringLiteral("GL0101"));   // already held
        env.loginAdmin();
        gYear = QStringLiteral("2026");
        Browser b;
        b.select(QStringLiteral("chenl"));

        QStringList leftHeader, rightHeader;
        b.modals.on(QStringLiteral("frmAddPop"), [&](QDialog& d) {
            auto& g = static_cast<frmAddPop&>(d);
            for (int c = 0; c < 3; ++c)
                leftHeader << g.MSFlexGrid1->TextMatrix(0, c);
            for (int c = 0; c < 4; ++c)
                rightHeader << g.MSFlexGrid2->TextMatrix(0, c);
            g.show();
            for (const QString& id : column(g.MSFlexGrid2, 1))
                if (id.compare(QStringLiteral("admin"), Qt::CaseInsensitive) == 0)
                    return int(QDialog::Rejected);
            doubleClickRow(g.MSFlexGrid1, rowOf(g.MSFlexGrid1, 1, QStringLiteral("AD")));
            doubleClickRow(g.MSFlexGrid1, rowOf(g.MSFlexGrid1, 1, QStringLiteral("GL")));
            const int gl = rowOf(g.MSFlexGrid1, 1, QStringLiteral("GL"));
            if (g.MSFlexGrid1->CellBackColor(gl, 0) != kBlue)
                return int(QDialog::Rejected);
            // The right grid shows the class's first permission at the top.
            if (g.MSFlexGrid2->TextMatrix(g.MSFlexGrid2->TopRow(), 1) != QStringLiteral("GL01"))
                return int(QDialog::Rejected);
            g.cmdOK->click();
            return d.result();
        });
        b.press(b.f.btnAdd);
        QCOMPARE(leftHeader, (QStringList{"授权", "ID", "系统名称"}));
        QCOMPARE(rightHeader, (QStringList{"授权", "ID", "权限名称", ""}));
        QVERIFY(b.msgs.calls.isEmpty());

        const int glCatalogue = count(db, QStringLiteral("select count(*) from SM_Auth where substr(cAuth_Id,1,2)='GL'"));
        QVERIFY(glCatalogue > 20);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='chenl' and cAcc_Id='001' and iYear=2026")), glCatalogue);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='chenl' and substr(cAuth_Id,1,2)<>'GL'")), 0);
        QCOMPARE(count(db, QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='chenl' and (cAcc_Id<>'001' or iYear<>2026)")), 0);
        // The browser shows what was written.
        QCOMPARE(b.f.MSFlexGrid2->Rows(), glCatalogue + 1);
    }

    void plainGrant_marksFollowTheClassList()
    {
        TestEnv env;
        arrangeSets(env);
        env.loginAdmin();
        Browser b;
        b.select(QStringLiteral("zhoum"));
        frmAddPop g(&b.f);
        g.Form_Load();
        g.show();
        const int gl = rowOf(g.MSFlexGrid1, 1, QStringLiteral("GL"));
        const int wa = rowOf(g.MSFlexGrid2, 1, QStringLiteral("WA0101"));

        doubleClickRow(g.MSFlexGrid1, gl);
        const int glCount = int(g.markedPermissions().size());
        QVERIFY(glCount > 20);
        doubleClickRow(g.MSFlexGrid2, wa);
        QCOMPARE(g.MSFlexGrid2->CellBackColor(wa, 0), kBlue);
        QCOMPARE(g.markedPermissions().size(), glCount + 1);
        // One permission of the class unmarked by hand, then marked again.
        const int gl0102 = rowOf(g.MSFlexGrid2, 1, QStringLiteral("GL0102"));
        doubleClickRow(g.MSFlexGrid2, gl0102);
        QVERIFY(!g.markedPermissions().contains(QStringLiteral("GL0102")));
        QCOMPARE(g.MSFlexGrid2->CellBackColor(gl0102, 0), QColor(Qt::white));

        // The class a second time: every mark goes, the one set by hand too.
        doubleClickRow(g.MSFlexGrid1, gl);
        QVERIFY(g.markedPermissions().isEmpty());
        QCOMPARE(g.MSFlexGrid1->CellBackColor(gl, 0), QColor(Qt::white));
        QCOMPARE(g.MSFlexGrid2->CellBackColor(wa, 0), QColor(Qt::white));

        // Row highlight with Ctrl and Shift marks nothing.
        const int fa = rowOf(g.MSFlexGrid1, 1, QStringLiteral("FA"));
        clickRow(g.MSFlexGrid1, fa);
        clickRow(g.MSFlexGrid1, gl, Qt::ControlModifier);
        const QColor hi = g.palette().color(QPalette::Highlight);
        QCOMPARE(g.MSFlexGrid1->CellBackColor(fa, 1), hi);
        QCOMPARE(g.MSFlexGrid1->CellBackColor(gl, 2), hi);
        QCOMPARE(g.MSFlexGrid2->CellBackColor(rowOf(g.MSFlexGrid2, 1, QStringLiteral("GL0101")), 1), hi);
        QCOMPARE(g.MSFlexGrid2->CellBackColor(rowOf(g.MSFlexGrid2, 1, QStringLiteral("FA0101")), 2), hi);
        QCOMPARE(g.MSFlexGrid2->CellBackColor(wa, 1), QColor(Qt::white));
        clickRow(g.MSFlexGrid2, wa);
        clickRow(g.MSFlexGrid2, wa + 2, Qt::ShiftModifier);
        for (int r = wa; r <= wa + 2; ++r)
            QCOMPARE(g.MSFlexGrid2->CellBackColor(r, 1), hi);
        QCOMPARE(g.MSFlexGrid2->CellBackColor(wa + 3, 1), QColor(Qt::white));
        QVERIFY(g.markedPermissions().isEmpty());

        // Saving with nothing marked writes nothing and still refreshes the browser.
        hold(env.db(), QStringLiteral("001"), 2025, QStringLiteral("zhoum"), QStringLiteral("FA0101"));
        g.cmdOK->click();
        QCOMPARE(g.result(), int(QDialog::Accepted));
        QCOMPARE(holdings(env.db(), QStringLiteral("zhoum")), QStringList{"001/2025/FA0101"});
        QCOMPARE(column(b.f.MSFlexGrid2, 0), QStringList{"FA0101"});
    }

    void plainGrant_refusedSaveIsToldAndTheDialogStays()
    {
        TestEnv env;
        arrangeSets(env);
        Database& db = env.db();
        hold(db, QStringLiteral("001"), 2025, QStringLiteral("lijg"), QStringLiteral("WA0101"));
        db.execute(QStringLiteral("create trigger refuse before insert on SM_HoldAuth when new.cAuth_Id='GL0105' "
                                  "begin select raise(abort,'GL0105 refused'); end"));
        env.loginAdmin();
        Browser b;
        b.select(QStringLiteral("lijg"));
        frmAddPop g(&b.f);
        g.Form_Load();
        g.show();
        doubleClickRow(g.MSFlexGrid1, rowOf(g.MSFlexGrid1, 1, QStringLiteral("GL")));
        const QStringList marked = g.markedPermissions();
        // Make the browser stale: a holding written behind its back shows after the refresh.
        hold(db, QStringLiteral("001"), 2025, QStringLiteral("lijg"), QStringLiteral("WA0102"));
        g.cmdOK->click();

        QCOMPARE(b.msgs.calls.size(), 1);
        QVERIFY(b.msgs.last().text.contains(QStringLiteral("GL0105 refused")));
        QCOMPARE(b.msgs.last().icon(), int(vb::vbExclamation));
        QCOMPARE(column(b.f.MSFlexGrid2, 0), (QStringList{"WA0101", "WA0102"}));
        // The dialog stays with its marks, ready to try again.
        QVERIFY(g.isVisible());
        QCOMPARE(g.markedPermissions(), marked);
        db.execute(QStringLiteral("drop trigger refuse"));
        g.cmdOK->click();
        QCOMPARE(g.result(), int(QDialog::Accepted));
        QCOMPARE(b.f.MSFlexGrid2->Rows(), marked.size() + 3);
    }

    void treeGrant_addsCheckedNodesAndNeverRevokes()
    {
        TestEnv env;
        arrangeSets(env);
        Database& db = env.db();
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("lijg"), QStringLiteral("AA01"));
        hold(db, QStringLiteral("001"), 2026, QStringLiteral("lijg"), QStringLiteral("GL01"));
        hold(db, QStringLiteral("001"), 2025, QStringLiteral("lijg"), QStringLiteral("GL02"));   // another year: not listed
        env.loginAdmin();
        gYear = QStringLiteral("2026");
        gEdition = 1;
        Browser b;
        b.select(QStringLiteral("lijg"));

        QStringList classes, listedAtLoad;
        bool aa01Checked = false, gl02Checked = true;
        b.modals.on(QStringLiteral("frmAddPopTree"), [&](QDialog& d) {
            auto& t = static_cast<frmAddPopTree&>(d);
            t.show();
            classes = column(t.MSFlexGrid1, 1);
            listedAtLoad = t.listedPermissions();
            // Row 1 (AA) is built at load.
            aa01Checked = t.node(QStringLiteral("kaAA01")) && t.node(QStringLiteral("kaAA01"))->checkState(0) == Qt::Checked;
            doubleClickRow(t.MSFlexGrid1, rowOf(t.MSFlexGrid1, 1, QStringLiteral("GL")), 1);
            QTreeWidgetItem* gl01 = t.node(QStringLiteral("kaGL01"));
            QTreeWidgetItem* gl02 = t.node(QStringLiteral("kaGL02"));
            QTreeWidgetItem* gl0105 = t.node(QStringLiteral("kcGL0105"));
            if (!gl01 || !gl02 || !gl0105 || gl01->checkState(0) != Qt::Checked || gl0105->parent() != gl01)
                return int(QDialog::Rejected);
            gl02Checked = gl02->checkState(0) == Qt::Checked;
            gl01->setCheckState(0, Qt::Unchecked);   // held: stays held
            gl02->setCheckState(0, Qt::Checked);
            gl0105->setCheckState(0, Qt::Checked);
            // Checked and unchecked again before saving: not written.
            t.node(QStringLiteral("kcGL0106"))->setCheckState(0, Qt::Checked);
            t.node(QStringLiteral("kcGL0106"))->setCheckState(0, Qt::Unchecked);
            t.cmdOK->click();
            return d.result();
        });
        b.press(b.f.btnAdd);
        QCOMPARE(classes, (QStringList{"AA", "FA", "GL", "GX", "WA"}));
        QCOMPARE(listedAtLoad, (QStringList{"AA01", "GL01"}));
        QVERIFY(aa01Checked);
        QVERIFY(!gl02Checked);
        QCOMPARE(holdings(db, QStringLiteral("lijg")),
                 (QStringList{"001/2025/GL02", "001/2026/AA01", "001/2026/GL01", "001/2026/GL0105", "001/2026/GL02"}));
        QVERIFY(b.msgs.calls.isEmpty());
        QCOMPARE(b.f.MSFlexGrid2->Rows(), 6);
    }

    void treeGrant_cancelWritesNothing()
    {
        TestEnv env;
        arrangeSets(env);
        env.loginAdmin();
        gEdition = 1;
        Browser b;
        b.select(QStringLiteral("lijg"));
        frmAddPopTree t(&b.f);
        t.Form_Load();
        t.node(QStringLiteral("kaAA01"))->setCheckState(0, Qt::Checked);
        QCOMPARE(t.listedPermissions(), QStringList{"AA01"});
        // The right grid's mark is only paint.
        t.show();
        doubleClickRow(t.MSFlexGrid2, 1);
        QCOMPARE(t.MSFlexGrid2->CellBackColor(1, 0), kBlue);
        t.cmdCancel->click();
        QCOMPARE(t.result(), int(QDialog::Rejected));
        QCOMPARE(count(env.db(), QStringLiteral("select count(*) from SM_HoldAuth")), 0);
    }

    void console_permissionMenuOpensTheBrowser()
    {
        TestEnv env;
        arrangeSets(env);
        env.loginAdmin();
        frmMain main;
        MsgBoxScript msgs;
        ModalScript modals;
        QStringList operators;
        modals.on(QStringLiteral("frmUserPop"), [&](QDialog& d) {
            operators = column(static_cast<frmUserPop&>(d).MSFlexGrid1, 0);
            return int(QDialog::Rejected);
        });
        main.mnuPopJ_Click();
        QCOMPARE(modals.shown, QStringList{"frmUserPop"});
        QCOMPARE(operators.size(), 6);
    }
};

QTEST_MAIN(tst_permissions)
#include "tst_permissions.moc"
