// The permission browser on a large installation: 500 operators, 50 account sets of two
// years, the shipped catalogue, some 60,000 holdings. Times selecting an operator
// (ShowPoP) and opening the grant dialogs; prints the median and the worst of several
// runs in milliseconds against the targets (ShowPoP 50 ms, the plain grant dialog 300 ms).
#include <Database.h>
#include <FlexGrid.h>
#include <Installation.h>
#include <Module1.h>
#include <frmAddPop.h>
#include <frmAddPopTree.h>
#include <frmUserPop.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

using namespace Module1;

namespace {
constexpr int kOperators = 500;
constexpr int kSets = 50;
const QStringList kRoles{QStringLiteral("MANAGER-GL"), QStringLiteral("MANAGER-FA"), QStringLiteral("MANAGER-WA"), QStringLiteral("MANAGER-GX")};

struct Figures {
    QList<double> ms;
    double median() const
    {
        QList<double> v = ms;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    double worst() const { return *std::max_element(ms.begin(), ms.end()); }
};

void populate(const QString& sysDbPath)
{
    Database db(sysDbPath);
    QRandomGenerator rnd(20260101);
    QStringList catalogue;
    for (Recordset rs = db.query(QStringLiteral("select cAuth_Id from SM_Auth where cAuth_Id<>'admin' order by cAuth_Id")); !rs.Eof(); rs.MoveNext())
        catalogue << rs.text(QStringLiteral("cAuth_Id"));

    Database::Transaction t(db);
    for (int s = 1; s <= kSets; ++s)
        for (int year : {2025, 2026})
            db.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master) values (?,?,?,?,?,1,'demo')"),
                       {s, QStringLiteral("%1").arg(s, 3, 10, QLatin1Char('0')), QStringLiteral("测试账套%1").arg(s), QStringLiteral("/srv/acc/"), year});
    for (int i = 0; i < kOperators; ++i) {
        const QString user = QStringLiteral("op%1").arg(i, 4, 10, QLatin1Char('0'));
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState) values (?,?,'',0,'财务部',0)"),
                   {user, QStringLiteral("操作员%1").arg(i)});
        db.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values (?,?)"), {kRoles[i % kRoles.size()], user});
        // Twenty permissions in each of five sets.
        for (int k = 0; k < 5; ++k) {
            const QString acc = QStringLiteral("%1").arg(1 + int(rnd.bounded(kSets)), 3, 10, QLatin1Char('0'));
            for (int p = 0; p < 20; ++p)
                db.execute(QStringLiteral("insert or ignore into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,2026,?,?)"),
                           {acc, user, catalogue[int(rnd.bounded(int(catalogue.size())))]});
        }
    }
    // Every role holds its subsystem in every set; every set has a supervisor in both years.
    for (int s = 1; s <= kSets; ++s) {
        const QString acc = QStringLiteral("%1").arg(s, 3, 10, QLatin1Char('0'));
        for (const QString& role : kRoles)
            db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) "
                                      "select ?,2026,?,cAuth_Id from SM_Auth where substr(cAuth_Id,1,2)=?"),
                       {acc, role, role.right(2)});
        for (int year : {2025, 2026})
            db.execute(QStringLiteral("insert or ignore into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,'Admin')"),
                       {acc, year, QStringLiteral("op%1").arg(s * 7, 4, 10, QLatin1Char('0'))});
    }
    t.commit();
}

void report(QTextStream& out, const QString& what, const Figures& f, double target)
{
    out << QStringLiteral("%1: median %2 ms, worst %3 ms over %4 runs")
               .arg(what)
               .arg(f.median(), 0, 'f', 2)
               .arg(f.worst(), 0, 'f', 2)
               .arg(f.ms.size());
    if (target > 0)
        out << QStringLiteral(" (target %1 ms: %2)").arg(target).arg(f.worst() < target ? QStringLiteral("met") : QStringLiteral("MISSED"));
    out << Qt::endl;
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    Installation::createRoot(dir.path());
    const QString sysDbPath = dir.path() + QStringLiteral("/DeZaduzi/DeZaduzi.mdb");
    populate(sysDbPath);

    setRoot(dir.path());
    gSysDb = std::make_unique<Database>(sysDbPath);
    gUserId = QStringLiteral("admin");
    gIsAdmin = true;
    gYear = QStringLiteral("2026");
    out << "holdings: " << gSysDb->scalar(QStringLiteral("select count(*) from SM_HoldAuth")).toInt()
        << ", operators: " << gSysDb->scalar(QStringLiteral("select count(*) from SM_User")).toInt()
        << ", catalogue: " << gSysDb->scalar(QStringLiteral("select count(*) from SM_Auth")).toInt() << Qt::endl;

    {
        Figures load;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer t;
            t.start();
            frmUserPop f;
            f.Form_Load();
            load.ms << t.nsecsElapsed() / 1e6;
        }
        report(out, QStringLiteral("frmUserPop Form_Load"), load, 0);
    }

    frmUserPop browser;
    browser.Form_Load();
    browser.show();
    QCoreApplication::processEvents();

    // Selecting an operator: the row change runs ShowPoP; the repaint is counted too.
    Figures select, selectPainted;
    QRandomGenerator rnd(7);
    for (int run = 0; run < 60; ++run) {
        int row = browser.MSFlexGrid1->Row();
        while (row == browser.MSFlexGrid1->Row())   // a new row, so that ShowPoP runs
            row = 1 + int(rnd.bounded(browser.MSFlexGrid1->Rows() - 1));
        QElapsedTimer t;
        t.start();
        browser.MSFlexGrid1->setRow(row);
        select.ms << t.nsecsElapsed() / 1e6;
        browser.repaint();
        selectPainted.ms << t.nsecsElapsed() / 1e6;
    }
    report(out, QStringLiteral("ShowPoP (select an operator)"), select, 50);
    out << "  last operator shown: " << browser.MemberId << ", " << browser.MSFlexGrid2->Rows() - 1 << " rows" << Qt::endl;
    report(out, QStringLiteral("ShowPoP with repaint"), selectPainted, 0);

    Figures plain, plainShown, tree;
    for (int run = 0; run < 15; ++run) {
        QElapsedTimer t;
        t.start();
        frmAddPop dlg(&browser);
        dlg.Form_Load();
        plain.ms << t.nsecsElapsed() / 1e6;
        dlg.show();
        dlg.repaint();
        plainShown.ms << t.nsecsElapsed() / 1e6;
        dlg.hide();
    }
    report(out, QStringLiteral("frmAddPop open (Form_Load)"), plain, 300);
    report(out, QStringLiteral("frmAddPop open and painted"), plainShown, 0);
    for (int run = 0; run < 15; ++run) {
        QElapsedTimer t;
        t.start();
        frmAddPopTree dlg(&browser);
        dlg.Form_Load();
        tree.ms << t.nsecsElapsed() / 1e6;
    }
    report(out, QStringLiteral("frmAddPopTree open (Form_Load)"), tree, 0);

    gSysDb.reset();
    return 0;
}
