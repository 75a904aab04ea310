// Start-up to the console shown, and opening the login form, on an installation with
// 10,000 operators. Prints the median of several runs in milliseconds.
// bench_startup INSTALLED_BIN (for example /usr/bin): also the installed console, and the menu's
// path through the installed launcher, each alternated with the built console as the yardstick.
#include "BenchSupport.h"
#include <Database.h>
#include <Installation.h>
#include <Module1.h>
#include <SingleInstance.h>
#include <frmLogin.h>
#include <frmMain.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QThread>

#include <algorithm>

namespace {
double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void addOperators(const QString& sysDb, int count)
{
    Database db(sysDb);
    Database::Transaction t(db);
    for (int i = 0; i < count; ++i)
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState) values (?,?,?,0,?,0)"),
                   {QStringLiteral("u%1").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("操作员%1").arg(i), QString(), QStringLiteral("财务部")});
    t.commit();
}
// Whole process: from launch until the console has loaded and listens under its title, in ms.
double startConsole(const QString& program, const QString& root)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(program, {root});
    while (!SingleInstance::windowExists(frmMain::kCaption) && t.elapsed() < 10000)
        QThread::msleep(2);
    const double ms = t.nsecsElapsed() / 1e6;
    p.kill();
    p.waitForFinished();
    return ms;
}

// The installed programs against the built console, alternated so both see the same machine.
void compareInstalled(const QString& installedBin, const QString& built, const QString& root, QTextStream& out)
{
    const double kTarget = 1.10;
    const int runs = 9;
    Series yardstick, installed, launcher;
    startConsole(installedBin + QStringLiteral("/revozi-admin"), root);   // warm the page cache once
    for (int run = 0; run < runs; ++run) {
        yardstick.values << startConsole(built, root) / 1000;
        installed.values << startConsole(installedBin + QStringLiteral("/revozi-admin"), root) / 1000;
        launcher.values << startConsole(installedBin + QStringLiteral("/revozi"), root) / 1000;
    }
    out << "== installed (" << installedBin << ") against built, " << runs << " runs each, interleaved\n";
    out << "  built revozi-admin:      " << figures(yardstick) << "\n";
    for (const auto& [name, s] : {std::pair{QStringLiteral("installed revozi-admin:  "), &installed},
                                  std::pair{QStringLiteral("installed revozi ROOT:   "), &launcher}}) {
        const double ratio = s->median() / yardstick.median();
        out << "  " << name << figures(*s) << "\n";
        out << "    ratio of medians " << ratio << " (target <= " << kTarget << "): " << (ratio <= kTarget ? "MET" : "NOT MET") << "\n";
    }
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    Installation::createRoot(dir.path());
    addOperators(dir.path() + QStringLiteral("/DeZaduzi/DeZaduzi.mdb"), 10000);

    // Whole process: from launch until the console has loaded and listens under its title.
    const QString exe = QCoreApplication::applicationDirPath() + QStringLiteral("/revozi-admin");
    QList<double> startup;
    for (int run = 0; run < 7; ++run)
        startup << startConsole(exe, dir.path());
    out << "start-up to console shown (10,000 operators): median " << median(startup) << " ms (target < 500 ms)\n";
    // Before this process shows a console of its own, which would answer under the same title.
    if (argc > 1)
        compareInstalled(QString::fromLocal8Bit(argv[1]), exe, dir.path(), out);

    // The login form: opening the database, reading 10,000 operators, showing the form.
    Module1::setRoot(dir.path());
    frmMain console;
    console.Form_Load();
    QList<double> login;
    for (int run = 0; run < 7; ++run) {
        Module1::gUserName.clear();
        QElapsedTimer t;
        t.start();
        frmLogin dlg(&console);
        dlg.Form_Load();
        dlg.show();
        if (!QTest::qWaitForWindowExposed(&dlg))
            out << "login form not exposed in run " << run << "\n";
        login << t.nsecsElapsed() / 1e6;
        dlg.hide();
    }

    out << "opening the login form (10,000 operators):     median " << median(login) << " ms (target < 300 ms)\n";
    // The kept handle goes before the application object, as in the console itself.
    Module1::gSysDb.reset();
    return 0;
}
