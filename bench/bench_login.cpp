// What a password costs at 登录: checking an Argon2id hash (target 50-500 ms), and the longest
// time the login form goes without painting while 登录 checks one (target: no longer than the
// check itself, and under 500 ms). The yardstick is the same click for an operator without a
// password, where nothing is hashed.
#include "BenchSupport.h"

#include <Database.h>
#include <Installation.h>
#include <Module1.h>
#include <Session.h>
#include <PasswordHash.h>
#include <frmLogin.h>
#include <frmMain.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

namespace {
// The session of the console this bench runs, as main() would own it.
Session session;
// Paints of the form, in ms since the clock started.
struct PaintLog : QObject {
    QElapsedTimer clock;
    QList<double> paints;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            paints << clock.nsecsElapsed() / 1e6;
        return false;
    }
};

// Logs `user` in with `password` through the form's 登录, the form asked to repaint every 10 ms;
// returns the longest stretch without a paint while the click ran.
double longestFreeze(frmMain& console, const QString& user, const QString& password)
{
    session.user.name.clear();
    frmLogin dlg(session, &console);
    dlg.Form_Load();
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg))
        qWarning("bench_login: the login form was not exposed");
    dlg.TxtUser->setText(user);
    dlg.TxtUser_LostFocus();
    dlg.txtPassword->setText(password);
    PaintLog log;
    dlg.installEventFilter(&log);
    log.clock.start();
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &dlg, [&] { dlg.update(); });
    ticker.start(10);
    double start = 0, end = 0;
    QEventLoop loop;
    QTimer::singleShot(50, &dlg, [&] {
        start = log.clock.nsecsElapsed() / 1e6;
        dlg.cmdOK_Click();
        end = log.clock.nsecsElapsed() / 1e6;
        loop.quit();
    });
    loop.exec();
    ticker.stop();
    if (dlg.result() != QDialog::Accepted)
        QTextStream(stderr) << "login of " << user << " was refused\n";
    double last = start, longest = 0;
    for (double p : log.paints)
        if (p > start && p < end) {
            longest = qMax(longest, p - last);
            last = p;
        }
    longest = qMax(longest, end - last);
    console.mnuSysU_Click();   // logged out again for the next run
    return longest;
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    Installation::createRoot(dir.path(), true);
    const QString secret = QStringLiteral("Geheim-42");
    const QString stored = PasswordHash::hash(secret);
    Database db(Installation::sysDbPath(dir.path()));
    auto adminPassword = [&](const QString& value) {
        db.execute(QStringLiteral("update SM_User set cPassword=? where cUser_Id='admin'"), {value});
    };
    session.setRoot(dir.path());
    frmMain console(session);
    console.Form_Load();

    Series verify, freeze, yardstick;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        if (!PasswordHash::verify(secret, stored))
            out << "verify failed\n";
        verify.values << t.nsecsElapsed() / 1e6;
        adminPassword(stored);
        freeze.values << longestFreeze(console, QStringLiteral("admin"), secret);
        adminPassword(QString(""));
        yardstick.values << longestFreeze(console, QStringLiteral("admin"), QString());
    }
    auto ms = [](const Series& s) {
        return QStringLiteral("min %1 ms, median %2 ms, max %3 ms").arg(s.min(), 0, 'f', 1).arg(s.median(), 0, 'f', 1).arg(s.max(), 0, 'f', 1);
    };
    const bool costMet = verify.median() >= 50 && verify.median() <= 500;
    const bool freezeMet = freeze.max() < 500 && freeze.max() < verify.median();
    out << "checking a password hash:               " << ms(verify) << "  (target 50-500 ms) " << (costMet ? "MET" : "NOT MET") << "\n";
    out << "longest paint freeze, 登录 with a hash:  " << ms(freeze) << "\n";
    out << "longest paint freeze, 登录 without one:  " << ms(yardstick) << "\n";
    out << "ratio of medians (with hash / without): " << QString::number(freeze.median() / qMax(yardstick.median(), 0.001), 'f', 2) << "\n";
    out << "longest freeze " << QString::number(freeze.max(), 'f', 1) << " ms against the check's "
        << QString::number(verify.median(), 'f', 1) << " ms (target: shorter, and under 500 ms) " << (freezeMet ? "MET" : "NOT MET") << "\n";
    session.sysDb.reset();
    db.close();
    return costMet && freezeMet ? 0 : 1;
}
