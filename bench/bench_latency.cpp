// A server installation at a distance: what a person waits for when every round trip to the server
// takes 0.1 ms (the server's own socket, direct), 5 ms or 20 ms (a relay this benchmark starts on
// 127.0.0.1 holds each chunk half that long each way). Measures, interleaved over the distances,
// showing the login form's operators (frmLogin's load on the server row), 登录, opening the
// permission browser, choosing an operator in it, one grant, and `revozi-backup list` run as the
// program; prints min/median/max, the ratio of each median to the direct one, the round trips the
// engine counted (the relay's turns for the program) and MET or NOT MET at 20 ms against: form
// shown 200 ms, 登录 200 ms, browser 150 ms, an operator 60 ms, a grant 60 ms, list 150 ms.
// Needs the server PGHOST names (scripts/bench starts one).
#include "BenchSupport.h"
#include "DelayRelay.h"

#include <Database.h>
#include <FlexGrid.h>
#include <Installation.h>
#include <Module1.h>
#include <PermissionGrant.h>
#include <Session.h>
#include <UsedServers.h>
#include <frmLogin.h>
#include <frmMain.h>
#include <frmUserPop.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {
Session session;

// A few sets of two years and operators holding permissions in them: enough rows that a query
// per row would show.
void populate(Database& db)
{
    Database::Transaction t(db);
    for (int s = 1; s <= 5; ++s)
        for (int year : {2025, 2026})
            db.execute(QStringLiteral("insert into SM_Account (iSysID,cAcc_Id,cAcc_Name,cAcc_Path,iYear,iMonth,cAcc_Master) values (?,?,?,?,?,1,'demo')"),
                       {s, QStringLiteral("%1").arg(s, 3, 10, QLatin1Char('0')), QStringLiteral("测试账套%1").arg(s), QStringLiteral("/srv/acc/"), year});
    for (int i = 0; i < 50; ++i) {
        const QString user = QStringLiteral("op%1").arg(i, 2, 10, QLatin1Char('0'));
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState) values (?,?,'',0,'财务部',0)"),
                   {user, QStringLiteral("操作员%1").arg(i)});
        db.execute(QStringLiteral("insert into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) select ?,2026,?,cAuth_Id from SM_Auth "
                                  "where cAuth_Id<>'admin' order by cAuth_Id limit 20"),
                   {QStringLiteral("%1").arg(1 + i % 5, 3, 10, QLatin1Char('0')), user});
    }
    t.commit();
}

// One distance's figures.
struct Distance {
    QString label;
    double rttMs = 0;
    QString conninfo;
    std::unique_ptr<DelayRelay> relay;
    Series shown, login, browser, choose, grant, list;
    qint64 tripsShown = 0, tripsLogin = 0, tripsBrowser = 0, tripsChoose = 0, tripsGrant = 0, turnsList = 0;
};

double timed(const std::function<void()>& job, qint64* trips)
{
    const qint64 before = Database::roundTrips();
    QElapsedTimer t;
    t.start();
    job();
    const double ms = t.nsecsElapsed() / 1e6;
    *trips = Database::roundTrips() - before;
    return ms;
}

// The login through the form on the distance's server row, then the browser, an operator and a
// grant in the session it opened; logged out again after.
void loginAndBrowse(frmMain& console, Distance& d, int run, const QString& auth)
{
    UsedServers::remember(ConnInfo(d.conninfo));
    session.user.name.clear();
    frmLogin dlg(session, &console);
    d.shown.values << timed([&] { dlg.Form_Load(); }, &d.tripsShown);
    dlg.TxtUser->setText(QStringLiteral("admin"));
    dlg.TxtUser_LostFocus();
    d.login.values << timed([&] { dlg.cmdOK_Click(); }, &d.tripsLogin);
    if (dlg.result() != QDialog::Accepted)
        qFatal("the login at %s was refused", qPrintable(d.label));
    {
        frmUserPop browser(session);
        d.browser.values << timed([&] { browser.Form_Load(); }, &d.tripsBrowser);
        browser.show();
        QCoreApplication::processEvents();
        const int rows = browser.MSFlexGrid1->Rows();
        const int row = 1 + (run * 7 + 3) % qMax(1, rows - 1);
        d.choose.values << timed([&] { browser.MSFlexGrid1->setRow(row == browser.MSFlexGrid1->Row() ? (row % (rows - 1)) + 1 : row); },
                                 &d.tripsChoose);
    }
    const QString member = QStringLiteral("op%1").arg(run % 50, 2, 10, QLatin1Char('0'));
    d.grant.values << timed([&] { PermissionGrant::save(*session.sysDb, GrantRequest{QStringLiteral("001"), 2026, member, {auth}}, session.auditContext()); },
                            &d.tripsGrant);
    console.mnuSysU_Click();
}

void listRun(Distance& d)
{
    const qint64 before = d.relay ? d.relay->turns() : 0;
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/revozi-backup"), {QStringLiteral("--server"), d.conninfo, QStringLiteral("list")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qFatal("revozi-backup list at %s failed: %s", qPrintable(d.label), p.readAllStandardError().constData());
    d.list.values << t.nsecsElapsed() / 1e6;
    d.turnsList = d.relay ? d.relay->turns() - before : 0;
}

void report(QTextStream& out, const QString& what, const std::vector<Distance>& all, Series Distance::*series, qint64 Distance::*trips, double target)
{
    out << what << "\n";
    const double direct = (all[0].*series).median();
    for (const Distance& d : all) {
        out << "  " << d.label.leftJustified(14) << figuresMs(d.*series) << "  ratio " << QString::number((d.*series).median() / direct, 'f', 1)
            << "  round trips " << d.*trips;
        if (d.rttMs == 20)
            out << "  (target " << target << " ms) " << ((d.*series).median() < target ? "MET" : "NOT MET");
        out << "\n";
    }
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    // The servers the login remembers go to a settings folder of the benchmark's own.
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (!Bench::serverMissing().isEmpty()) {
        out << Bench::serverMissing() << Qt::endl;
        return 0;
    }
    QTemporaryDir dir;
    Installation::createRoot(dir.path(), true);
    Bench::ServerInstallation installation;
    {
        Database db;
        Installation::openServerSystem(db, ConnInfo(installation.conninfo()));
        populate(db);
    }
    const QByteArray socket = qgetenv("PGHOST") + "/.s.PGSQL." + (qEnvironmentVariableIsEmpty("PGPORT") ? QByteArray("5432") : qgetenv("PGPORT"));
    std::vector<Distance> all(3);
    all[0].label = QStringLiteral("direct");
    all[0].rttMs = 0.1;
    all[0].conninfo = installation.conninfo();
    for (int i : {1, 2}) {
        all[i].rttMs = i == 1 ? 5 : 20;
        all[i].label = QStringLiteral("%1 ms").arg(all[i].rttMs);
        all[i].relay = std::make_unique<DelayRelay>(socket, all[i].rttMs);
        all[i].conninfo = installation.conninfo()
                          + QStringLiteral(" host=127.0.0.1 port=%1 sslmode=disable gssencmode=disable").arg(all[i].relay->port());
    }
    session.setRoot(dir.path());
    // A console of a benchmark is not ended by what its forms say.
    Module1::setEndProgramHandler([](int code) { qFatal("the console would have ended (%d)", code); });
    frmMain console(session);
    console.Form_Load();
    QString auth;
    {
        Database db;
        Installation::openServerSystem(db, ConnInfo(installation.conninfo()));
        auth = db.scalar(QStringLiteral("select min(cAuth_Id) from SM_Auth where cAuth_Id<>?"), {QStringLiteral("admin")}).toString();
    }
    Bench::sayRuns(out, 7);
    for (int run = 0; run < 7; ++run)
        for (Distance& d : all) {
            loginAndBrowse(console, d, run, auth);
            listRun(d);
        }
    report(out, QStringLiteral("login form shown (frmLogin Form_Load, server row)"), all, &Distance::shown, &Distance::tripsShown, 200);
    report(out, QStringLiteral("登录 (cmdOK_Click)"), all, &Distance::login, &Distance::tripsLogin, 200);
    report(out, QStringLiteral("permission browser open (frmUserPop Form_Load)"), all, &Distance::browser, &Distance::tripsBrowser, 150);
    report(out, QStringLiteral("choosing an operator (ShowPoP)"), all, &Distance::choose, &Distance::tripsChoose, 60);
    report(out, QStringLiteral("one grant (PermissionGrant::save)"), all, &Distance::grant, &Distance::tripsGrant, 60);
    report(out, QStringLiteral("revozi-backup --server list (the program; round trips as the relay saw them)"), all, &Distance::list,
           &Distance::turnsList, 150);
    session.task.reset();
    session.sysDb.reset();
    return 0;
}
