// The permission browser on a large installation: 5,000 operators, 50 account sets of two
// years, the shipped catalogue, some 500,000 holdings; on SQLite and, when PGHOST names a server,
// on a server installation of the same rows, the two measured in turn. Times opening the browser
// (Form_Load), selecting an operator (ShowPoP) and opening the grant dialogs; prints min/median/max,
// the ratio of the server's median to SQLite's and MET or NOT MET against the targets (browser
// 300 ms, ShowPoP 50 ms, the plain grant dialog 300 ms), judged on the median.
#include "BenchSupport.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Installation.h>
#include <Module1.h>
#include <Session.h>
#include <frmAddPop.h>
#include <frmAddPopTree.h>
#include <frmUserPop.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>
#include <memory>
#include <vector>

using namespace Module1;

namespace {
// The session of the console this bench runs, as main() would own it.
Session session;
constexpr int kOperators = 5000;
constexpr int kSets = 50;
const QStringList kRoles{QStringLiteral("MANAGER-GL"), QStringLiteral("MANAGER-FA"), QStringLiteral("MANAGER-WA"), QStringLiteral("MANAGER-GX")};

void populate(Database& db)
{
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
        // Twenty permissions in each of five sets, in one statement per operator.
        QStringList marks;
        QVariantList values;
        for (int k = 0; k < 5; ++k) {
            const QString acc = QStringLiteral("%1").arg(1 + int(rnd.bounded(kSets)), 3, 10, QLatin1Char('0'));
            for (int p = 0; p < 20; ++p) {
                marks << QStringLiteral("(?,2026,?,?)");
                values << acc << user << catalogue[int(rnd.bounded(int(catalogue.size())))];
            }
        }
        db.execute(QStringLiteral("insert or ignore into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values %1").arg(marks.join(QLatin1Char(','))),
                   values);
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

// One engine's installation and its browser, measured while session.sysDb is its database.
struct Side {
    QString label;
    std::unique_ptr<Database> db;
    std::unique_ptr<frmUserPop> browser;
    Series load, select, plain, tree;
};

// Runs `job` with session.sysDb set to the side's database, which it gets back after.
void with(Side& side, const std::function<void()>& job)
{
    session.sysDb = std::move(side.db);
    job();
    side.db = std::move(session.sysDb);
}

double timed(const std::function<void()>& job)
{
    QElapsedTimer t;
    t.start();
    job();
    return t.nsecsElapsed() / 1e6;
}

void report(QTextStream& out, const QString& what, const Series& files, const Series* server, double target)
{
    const auto verdict = [&](const Series& s) {
        return target > 0 ? QStringLiteral("  (target %1 ms) %2").arg(target).arg(s.median() < target ? QStringLiteral("MET") : QStringLiteral("NOT MET"))
                          : QString();
    };
    out << what << "\n  SQLite files: " << figuresMs(files) << verdict(files) << "\n";
    if (server)
        out << "  server:       " << figuresMs(*server) << verdict(*server) << "\n  ratio of medians (server / SQLite): "
            << QString::number(server->median() / files.median(), 'f', 2) << "\n";
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    Installation::createRoot(dir.path(), true);
    std::unique_ptr<Bench::ServerInstallation> installation;
    std::vector<Side> sides;
    sides.push_back(Side{QStringLiteral("SQLite")});
    sides[0].db = std::make_unique<Database>(Installation::sysDbPath(dir.path()));
    if (Bench::serverMissing().isEmpty()) {
        installation = std::make_unique<Bench::ServerInstallation>();
        sides.push_back(Side{QStringLiteral("server")});
        sides[1].db = std::make_unique<Database>();
        Installation::openServerSystem(*sides[1].db, ConnInfo(installation->conninfo()));
    }
    for (Side& side : sides)
        populate(*side.db);
    // The server's planner statistics, as its autovacuum gathers them within a minute of a change
    // this large; an installation that grew to this size over time has them.
    if (sides.size() > 1)
        sides[1].db->execute(QStringLiteral("ANALYZE"));

    session.setRoot(dir.path());
    session.user.id = QStringLiteral("admin");
    session.user.isAdmin = true;
    session.account.year = QStringLiteral("2026");
    out << "holdings: " << sides[0].db->scalar(QStringLiteral("select count(*) from SM_HoldAuth")).toInt()
        << ", operators: " << sides[0].db->scalar(QStringLiteral("select count(*) from SM_User")).toInt()
        << ", catalogue: " << sides[0].db->scalar(QStringLiteral("select count(*) from SM_Auth")).toInt() << Qt::endl;
    if (sides.size() < 2)
        out << Bench::serverMissing() << Qt::endl;

    // Each run measures one engine then the other.
    for (int run = 0; run < 7; ++run)
        for (Side& side : sides)
            with(side, [&] {
                side.load.values << timed([] {
                    frmUserPop f(session);
                    f.Form_Load();
                });
            });
    for (Side& side : sides)
        with(side, [&] {
            side.browser = std::make_unique<frmUserPop>(session);
            side.browser->Form_Load();
            side.browser->show();
            QCoreApplication::processEvents();
        });
    // Selecting an operator: the row change runs ShowPoP.
    QRandomGenerator rnd(7);
    for (int run = 0; run < 40; ++run) {
        const int rows = sides[0].browser->MSFlexGrid1->Rows();
        int row = sides[0].browser->MSFlexGrid1->Row();
        while (row == sides[0].browser->MSFlexGrid1->Row())   // a new row, so that ShowPoP runs
            row = 1 + int(rnd.bounded(rows - 1));
        for (Side& side : sides)
            with(side, [&] { side.select.values << timed([&] { side.browser->MSFlexGrid1->setRow(row); }); });
    }
    for (int run = 0; run < 9; ++run)
        for (Side& side : sides)
            with(side, [&] {
                side.plain.values << timed([&] {
                    frmAddPop dlg(side.browser.get());
                    dlg.Form_Load();
                });
                side.tree.values << timed([&] {
                    frmAddPopTree dlg(side.browser.get());
                    dlg.Form_Load();
                });
            });

    const Side* server = sides.size() > 1 ? &sides[1] : nullptr;
    report(out, QStringLiteral("permission browser open (frmUserPop Form_Load)"), sides[0].load, server ? &server->load : nullptr, 300);
    report(out, QStringLiteral("ShowPoP (select an operator)"), sides[0].select, server ? &server->select : nullptr, 50);
    report(out, QStringLiteral("frmAddPop open (Form_Load)"), sides[0].plain, server ? &server->plain : nullptr, 300);
    report(out, QStringLiteral("frmAddPopTree open (Form_Load)"), sides[0].tree, server ? &server->tree : nullptr, 0);
    for (Side& side : sides)
        side.browser.reset();
    session.sysDb.reset();
    return 0;
}
