// The permission browser and the two grant dialogs, driven as a person would.
#include "Scripts.h"
#include "TestEnv.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Module1.h>
#include <frmAddPop.h>
#include <frmAddPopTree.h>
#include <frmUserPop.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

using namespace Module1;

namespace {
const QColor kBlue(0, 0, 255);
const QColor kWhite(Qt::white);
const QString kTitle = QStringLiteral(" 〖系统管理〗");

// Holdings of `holder`, each "set/year/permission".
void give(Database& db, const QString& holder, const QStringList& held)
{
    for (const QString& h : held) {
        const QStringList p = h.split(QLatin1Char('/'));
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,?)"),
                   {p[0], p[1].toInt(), holder, p[2]});
    }
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

QPoint clickRow(FlexGrid* g, int row, int col = 1)
{
    const QModelIndex cell = g->model()->index(row - 1, col);
    g->scrollTo(cell);
    const QPoint p = g->visualRect(cell).center();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, p);
    return p;
}

// As a mouse does it: the first click makes the cell current, the second is the double-click.
void doubleClickRow(FlexGrid* g, int row, int col = 0)
{
    const QPoint p = clickRow(g, row, col);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, p);
}

// Sets the check box of a tree node that must exist.
void check(frmAddPopTree& t, const QString& key, bool on = true)
{
    QTreeWidgetItem* node = t.node(key);
    QVERIFY2(node, qPrintable(key));
    node->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

bool isChecked(frmAddPopTree& t, const QString& key)
{
    QTreeWidgetItem* node = t.node(key);
    return node && node->checkState(0) == Qt::Checked;
}

// The installation most tests start from, logged in as the administrator: two account sets,
// 001 with the years 2026 and 2025, 002 with 2026.
struct AdminEnv : TestEnv {
    explicit AdminEnv(bool withSets = true)
    {
        const QString insert = QStringLiteral("insert into SM_Account (cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth) values (?,?,'/tmp/',?,1)");
        if (withSets) {
            db().execute(insert, {QStringLiteral("001"), QStringLiteral("北京华远贸易"), 2026});
            db().execute(insert, {QStringLiteral("001"), QStringLiteral("北京华远贸易"), 2025});
            db().execute(insert, {QStringLiteral("002"), QStringLiteral("上海\"引号'公司"), 2026});
        }
        loginAdmin();
    }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
};

struct Browser {
    MsgBoxScript msgs;
    ModalScript modals;
    frmUserPop f;
    explicit Browser(const Session& session, const QString& user = QString())
        : f(session)
    {
        f.Form_Load();
        f.show();
        if (!user.isEmpty())
            select(user);
    }
    void select(const QString& user)
    {
        const int r = rowOf(f.MSFlexGrid1, 0, user);
        QVERIFY2(r > 0, qPrintable(user));
        clickRow(f.MSFlexGrid1, r);
        QCOMPARE(f.MemberId, user);
    }
    void choose(QComboBox* box, const QString& entryStart)
    {
        const int i = box->findText(entryStart, Qt::MatchStartsWith);
        QVERIFY2(i >= 0, qPrintable(entryStart));
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    void press(QAction* button)
    {
        QTest::mouseClick(f.Toolbar1->widgetForAction(button), Qt::LeftButton);
        QCoreApplication::processEvents();   // the toolbar's handling is queued
    }
    void clickCheck() { QTest::mouseClick(f.Check1, Qt::LeftButton); }
    // The plain grant dialog over this browser, loaded and shown.
    std::unique_ptr<frmAddPop> grantDialog()
    {
        auto g = std::make_unique<frmAddPop>(&f);
        g->Form_Load();
        g->show();
        return g;
    }
};
} // namespace

class tst_permissions : public QObject {
    Q_OBJECT
private slots:
    void browser_showsHoldingsAndTheSupervisorBoxSetsAndRemovesThem()
    {
        AdminEnv env;
        Database& db = env.db();
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values ('MANAGER-GL','chenl'),('MANAGER-FA','chenl')"));
        give(db, QStringLiteral("MANAGER-GL"), {"001/2026/GL0101"});
        give(db, QStringLiteral("MANAGER-FA"), {"001/2026/FA0101"});                // second role: not counted
        give(db, QStringLiteral("chenl"), {"001/2025/WA0101", "002/2026/GX0101"});   // another year counts, another set not
        // "AA01" sorts before "Admin".
        give(db, QStringLiteral("wangxy"), {"001/2026/Admin", "001/2025/AA01", "001/2025/Admin", "002/2026/Admin"});
        // "Admin" sorts before GL permissions: the last row is not the supervisor's.
        give(db, QStringLiteral("zhaozg"), {"001/2026/Admin", "001/2026/GL0101"});

        Browser b(env.session);
        QCOMPARE(column(b.f.MSFlexGrid1, 0), (QStringList{"chenl", "demo", "lijg", "wangxy", "zhaozg", "zhoum"}));
        QCOMPARE(b.f.cboYear->currentText() + b.f.cboAcc->currentText() + b.f.chosenAccId(), QStringLiteral("2025[001]北京华远贸易001"));

        b.select(QStringLiteral("chenl"));
        QCOMPARE(column(b.f.MSFlexGrid2, 0), (QStringList{"GL0101", "WA0101"}));
        QCOMPARE(cells(b.f.MSFlexGrid2, 1, 3), QStringLiteral("GL0101|填制凭证|账务处理"));
        QVERIFY(!b.f.Check1->isChecked());

        b.select(QStringLiteral("zhaozg"));
        QVERIFY(!b.f.Check1->isChecked());
        QCOMPARE(column(b.f.MSFlexGrid2, 0), (QStringList{"Admin", "GL0101"}));
        QVERIFY(b.f.btnAdd->isEnabled());

        b.select(QStringLiteral("wangxy"));
        // A supervisor holds every subsystem, the system's own first.
        QCOMPARE(b.f.MSFlexGrid2->Rows(), env.count(QStringLiteral("select count(*) from SM_SubSys")) + 1);
        QCOMPARE(cells(b.f.MSFlexGrid2, 1, 3), QStringLiteral("Admin|系统管理|系统管理"));
        QCOMPARE(b.f.MSFlexGrid2->TextMatrix(3, 2), QStringLiteral("账务处理"));
        QVERIFY(b.msgs.calls.isEmpty());   // selecting never asks anything

        // The supervisor box (ticked by the selection: the first question is the one to untick)
        // asks first. Unticked with Yes, everything of the set goes, of every year, and the other
        // set keeps its row; ticked with Yes, one row for the chosen year. No leaves the box and
        // the holdings as they were; the buttons are for those who are no supervisor.
        const QString unset = QStringLiteral("取消操作员:[wangxy]账套主管权限吗?"), set = QStringLiteral("设置操作员:[wangxy]账套主管权限吗?");
        const struct {
            int answer;
            QString asked, title;
            bool checked;
            QStringList held;
        } steps[] = {
            {vb::vbNo, unset, kTitle, true, {"001/2025/AA01", "001/2025/Admin", "001/2026/Admin", "002/2026/Admin"}},
            {vb::vbYes, unset, kTitle, false, {"002/2026/Admin"}},
            {vb::vbNo, set, frmUserPop::kSetTitle, false, {"002/2026/Admin"}},
            {vb::vbYes, set, frmUserPop::kSetTitle, true, {"001/2025/Admin", "002/2026/Admin"}},
        };
        for (const auto& step : steps) {
            b.msgs.clear();
            b.msgs.answer(step.answer);
            b.clickCheck();
            QCOMPARE(b.msgs.calls.size(), 1);
            QCOMPARE(seen(b.msgs.last()), seen(step.asked, step.title, vb::vbYesNo | vb::vbQuestion));
            QCOMPARE(b.f.Check1->isChecked(), step.checked);
            QCOMPARE(QList<bool>({b.f.btnAdd->isEnabled(), b.f.btnDelete->isEnabled()}), QList<bool>(2, !step.checked));
            QCOMPARE(holdings(db, QStringLiteral("wangxy")), step.held);
        }

        // Choosing the other set shows that set's holdings and becomes the current set.
        b.select(QStringLiteral("chenl"));
        b.choose(b.f.cboYear, QStringLiteral("2026"));
        b.choose(b.f.cboAcc, QStringLiteral("[002]"));
        QCOMPARE(b.f.chosenAccId(), QStringLiteral("002"));
        QCOMPARE(column(b.f.MSFlexGrid2, 0), QStringList{"GX0101"});

        // A supervisor logged in sees neither itself nor the choices of set, year and supervisor.
        give(db, QStringLiteral("demo"), {"001/2026/admin"});
        env.loginSupervisor(QStringLiteral("demo"), QStringLiteral("001"), QStringLiteral("北京华远贸易"), QStringLiteral("2026"));
        Browser s(env.session);
        QVERIFY(!column(s.f.MSFlexGrid1, 0).contains(QStringLiteral("demo")));
        QCOMPARE(s.f.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("用户"));
        QVERIFY(!s.f.Check1->isEnabled() && !s.f.cboYear->isEnabled() && !s.f.cboAcc->isEnabled());
        QCOMPARE(s.f.cboYear->currentText() + s.f.cboAcc->currentText(), QStringLiteral("2026[001]北京华远贸易"));
    }

    void browser_supervisorAndGrantNeedAnAccountSet()
    {
        AdminEnv env(false);
        Browser b(env.session, QStringLiteral("lijg"));
        b.clickCheck();
        QCOMPARE(b.msgs.texts(), (QStringList{"设置操作员:[lijg]账套主管权限吗?", "请选择账套！"}));
        QCOMPARE(seen(b.msgs.last()), seen(QStringLiteral("请选择账套！"), frmUserPop::kSetTitle, vb::vbOKOnly));
        QVERIFY(!b.f.Check1->isChecked());
        QCOMPARE(env.count(QStringLiteral("select count(*) from SM_HoldAuth")), 0);

        b.msgs.clear();
        b.press(b.f.btnAdd);
        QCOMPARE(b.msgs.texts(), QStringList{"请选择账套！"});
        QVERIFY(b.modals.shown.isEmpty());
    }

    void plainGrant_classGrantsItsSubsystemThenTheToolbarDeletes()
    {
        AdminEnv env;
        Database& db = env.db();
        // A supervisor row spelt otherwise and a subsystem its letters would name: still never offered.
        db.execute(QStringLiteral("update SM_Auth set cAuth_Id='ADMIN' where cAuth_Id='admin'"));
        db.execute(QStringLiteral("insert into SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) values ('AD','辅助',20,1)"));
        give(db, QStringLiteral("chenl"), {"001/2026/GL0101"});   // already held
        give(db, QStringLiteral("lijg"), {"001/2026/GL0101", "001/2025/GL0102", "002/2026/GL0101"});
        env.session.account.year = QStringLiteral("2026");
        Browser b(env.session, QStringLiteral("chenl"));

        b.modals.on(QStringLiteral("frmAddPop"), act<frmAddPop>([&](frmAddPop& g) {
            g.show();
            QVERIFY(!column(g.MSFlexGrid2, 1).contains(QStringLiteral("admin"), Qt::CaseInsensitive));
            doubleClickRow(g.MSFlexGrid1, rowOf(g.MSFlexGrid1, 1, QStringLiteral("AD")));
            const int gl = rowOf(g.MSFlexGrid1, 1, QStringLiteral("GL"));
            doubleClickRow(g.MSFlexGrid1, gl);
            // The class is marked and the right grid shows its first permission at the top.
            QCOMPARE(g.MSFlexGrid1->CellBackColor(gl, 0), kBlue);
            QCOMPARE(g.MSFlexGrid2->TextMatrix(g.MSFlexGrid2->TopRow(), 1), QStringLiteral("GL01"));
            g.cmdOK->click();
        }));
        b.press(b.f.btnAdd);
        QVERIFY(b.msgs.calls.isEmpty());

        const int glCatalogue = env.count(QStringLiteral("select count(*) from SM_Auth where substr(cAuth_Id,1,2)='GL'"));
        QCOMPARE(env.count(QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='chenl'")), glCatalogue);
        QCOMPARE(env.count(QStringLiteral("select count(*) from SM_HoldAuth where cUser_Id='chenl' and (substr(cAuth_Id,1,2)<>'GL' or cAcc_Id<>'001' or iYear<>2026)")), 0);
        QCOMPARE(b.f.MSFlexGrid2->Rows(), glCatalogue + 1);   // the browser shows what was written

        // Deleting asks first and takes the holdings of the set, of every year; adding opens the
        // dialog of the edition.
        b.select(QStringLiteral("lijg"));
        b.msgs.answer(vb::vbNo);
        b.press(b.f.btnDelete);
        QCOMPARE(b.msgs.last().text, QStringLiteral("删除操作员:[lijg]所有权限吗?"));
        QCOMPARE(holdings(db, QStringLiteral("lijg")).size(), 3);
        b.press(b.f.btnDelete);
        QCOMPARE(holdings(db, QStringLiteral("lijg")), QStringList{"002/2026/GL0101"});
        QCOMPARE(column(b.f.MSFlexGrid2, 0), QStringList{QString()});   // nothing left: one blank row

        b.modals.on(QStringLiteral("frmAddPop"), [](QDialog&) { return int(QDialog::Rejected); });
        b.press(b.f.btnAdd);
        QCOMPARE(b.modals.shown, (QStringList{"frmAddPop", "frmAddPop"}));
        env.session.edition = 1;
        b.press(b.f.btnAdd);
        QCOMPARE(b.modals.shown.last(), QStringLiteral("frmAddPopTree"));

        b.press(b.f.btnExit);
        QCOMPARE(b.f.result(), int(QDialog::Rejected));
        QVERIFY(!b.f.isVisible());
    }

    void plainGrant_marksFollowTheClassListAndARefusedSaveKeepsThem()
    {
        AdminEnv env;
        Database& db = env.db();
        give(db, QStringLiteral("lijg"), {"001/2025/WA0101"});
        db.execute(QStringLiteral("create trigger refuse before insert on SM_HoldAuth when new.cAuth_Id='GL0105' "
                                  "begin select raise(abort,'GL0105 refused'); end"));
        Browser b(env.session, QStringLiteral("zhoum"));
        auto dialog = b.grantDialog();
        frmAddPop& g = *dialog;
        const int gl = rowOf(g.MSFlexGrid1, 1, QStringLiteral("GL"));
        const int wa = rowOf(g.MSFlexGrid2, 1, QStringLiteral("WA0101"));

        doubleClickRow(g.MSFlexGrid1, gl);
        const int glCount = int(g.markedPermissions().size());
        QVERIFY(glCount > 20);
        doubleClickRow(g.MSFlexGrid2, wa);
        QCOMPARE(g.markedPermissions().size(), glCount + 1);
        // One permission of the class unmarked by hand.
        const int gl0102 = rowOf(g.MSFlexGrid2, 1, QStringLiteral("GL0102"));
        doubleClickRow(g.MSFlexGrid2, gl0102);
        QVERIFY(!g.markedPermissions().contains(QStringLiteral("GL0102")));

        // The class a second time: every mark goes, the one set by hand too.
        doubleClickRow(g.MSFlexGrid1, gl);
        QVERIFY(g.markedPermissions().isEmpty());
        QCOMPARE(g.MSFlexGrid1->CellBackColor(gl, 0), kWhite);
        QCOMPARE(g.MSFlexGrid2->CellBackColor(wa, 0), kWhite);

        // Saving with nothing marked writes nothing and still refreshes the browser.
        give(db, QStringLiteral("zhoum"), {"001/2025/FA0101"});
        g.cmdOK->click();
        QCOMPARE(g.result(), int(QDialog::Accepted));
        QCOMPARE(column(b.f.MSFlexGrid2, 0), QStringList{"FA0101"});

        // Another operator, a save the database refuses.
        b.select(QStringLiteral("lijg"));
        auto refusing = b.grantDialog();
        frmAddPop& r = *refusing;
        doubleClickRow(r.MSFlexGrid1, rowOf(r.MSFlexGrid1, 1, QStringLiteral("GL")));
        const QStringList marked = r.markedPermissions();
        // Make the browser stale: a holding written behind its back shows after the refresh.
        give(db, QStringLiteral("lijg"), {"001/2025/WA0102"});
        r.cmdOK->click();

        QCOMPARE(b.msgs.calls.size(), 1);
        QVERIFY(b.msgs.last().text.contains(QStringLiteral("GL0105 refused")));
        QCOMPARE(b.msgs.last().icon(), int(vb::vbExclamation));
        QCOMPARE(column(b.f.MSFlexGrid2, 0), (QStringList{"WA0101", "WA0102"}));
        // The dialog stays with its marks, ready to try again (that the refused save wrote none of
        // them is tst_core_permissions::grant_refusedStatementWritesNothing).
        QVERIFY(r.isVisible());
        QCOMPARE(r.markedPermissions(), marked);
    }

    void treeGrant_addsCheckedNodesAndNeverRevokes()
    {
        AdminEnv env;
        Database& db = env.db();
        give(db, QStringLiteral("lijg"), {"001/2026/AA01", "001/2026/GL01", "001/2025/GL02"});   // GL02 of another year: not listed
        env.session.account.year = QStringLiteral("2026");
        env.session.edition = 1;
        Browser b(env.session, QStringLiteral("lijg"));

        // Cancelled: nothing is written, whatever was checked or marked (the right grid's mark is only paint).
        b.modals.on(QStringLiteral("frmAddPopTree"), act<frmAddPopTree>([&](frmAddPopTree& t) {
            t.show();
            check(t, QStringLiteral("kaAA02"));
            doubleClickRow(t.MSFlexGrid2, 1);
            t.cmdCancel->click();
        }));
        b.press(b.f.btnAdd);
        QCOMPARE(holdings(db, QStringLiteral("lijg")).size(), 3);

        b.modals.on(QStringLiteral("frmAddPopTree"), act<frmAddPopTree>([&](frmAddPopTree& t) {
            t.show();
            QCOMPARE(column(t.MSFlexGrid1, 1), (QStringList{"AA", "FA", "GL", "GX", "WA"}));
            QCOMPARE(t.listedPermissions(), (QStringList{"AA01", "GL01"}));
            QVERIFY(isChecked(t, QStringLiteral("kaAA01")));   // row 1 (AA) is built at load
            doubleClickRow(t.MSFlexGrid1, rowOf(t.MSFlexGrid1, 1, QStringLiteral("GL")), 1);
            QVERIFY(isChecked(t, QStringLiteral("kaGL01")));
            QVERIFY(!isChecked(t, QStringLiteral("kaGL02")));
            QTreeWidgetItem* gl0105 = t.node(QStringLiteral("kcGL0105"));
            QVERIFY(gl0105 && gl0105->parent() == t.node(QStringLiteral("kaGL01")));
            check(t, QStringLiteral("kaGL01"), false);   // held: stays held
            check(t, QStringLiteral("kaGL02"));
            check(t, QStringLiteral("kcGL0105"));
            // Checked and unchecked again before saving: not written.
            check(t, QStringLiteral("kcGL0106"));
            check(t, QStringLiteral("kcGL0106"), false);
            t.cmdOK->click();
        }));
        b.press(b.f.btnAdd);
        QCOMPARE(holdings(db, QStringLiteral("lijg")),
                 (QStringList{"001/2025/GL02", "001/2026/AA01", "001/2026/GL01", "001/2026/GL0105", "001/2026/GL02"}));
        QVERIFY(b.msgs.calls.isEmpty());
        QCOMPARE(b.f.MSFlexGrid2->Rows(), 6);
    }
};

QTEST_MAIN(tst_permissions)
#include "tst_permissions.moc"
