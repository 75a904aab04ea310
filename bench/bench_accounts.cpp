// Creating an account set with the 2007 chart of accounts (216 accounts), without the
// coding-scheme and precision dialogs: rows, periods, the books (a copy of the template, or on a
// server their schema made from the template's statements), options, coding rule and preset
// chart. Each run makes a new set on a fresh installation, on SQLite and, when PGHOST names a
// server, on the server in turn; prints min/median/max of each, the ratio of the medians and
// whether each median meets its target (SQLite 200 ms, server 500 ms).
#include "BenchSupport.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <Database.h>
#include <Installation.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {
// Creates set 001 in the installation open in `sysDb`; the time in ms, or -1 after saying why.
double createOnce(Database& sysDb, const QString& accPath)
{
    AccountSetInput in;
    in.accId = QStringLiteral("001");
    in.accName = QStringLiteral("基准账套");
    in.accPath = accPath;
    in.year = QString::number(QDate::currentDate().year());
    in.month = QStringLiteral("1");
    in.unitName = QStringLiteral("基准单位");
    in.master = QStringLiteral("demo");
    in.tradeKind = QStringLiteral("2007年新会计准则");
    AccountSetCreator creator(sysDb);
    QElapsedTimer t;
    t.start();
    const AccountSetOutcome outcome = creator.create(in);
    const double elapsed = t.nsecsElapsed() / 1e6;
    if (!outcome.done()) {
        QTextStream(stderr) << "bench_accounts: creation failed: " << outcome.notice.text << " (" << outcome.error << ")" << Qt::endl;
        return -1;
    }
    if (AccountDb::openAt(sysDb, outcome.accountDbPath)->scalar(QStringLiteral("select count(*) from code")).toInt() < 200) {
        QTextStream(stderr) << "bench_accounts: the preset chart was not copied" << Qt::endl;
        return -1;
    }
    return elapsed;
}

QString verdict(const Series& s, double targetMs)
{
    return s.median() < targetMs ? QStringLiteral("MET") : QStringLiteral("NOT MET");
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QLoggingCategory::setFilterRules(QStringLiteral("revozi.errlog.warning=false"));   // trace lines would swamp the figure
    const bool server = Bench::serverMissing().isEmpty();

    const int runs = 11;
    Series files, onServer;
    for (int run = 0; run < runs; ++run) {
        {
            QTemporaryDir dir;
            Installation::createRoot(dir.path(), true);
            Database sysDb(Paths::join(dir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb")));
            const double ms = createOnce(sysDb, dir.path() + QStringLiteral("/账套 数据"));
            if (ms < 0)
                return 1;
            files.values << ms;
        }
        if (server) {
            Bench::ServerInstallation installation;
            Database sysDb;
            Installation::openServerSystem(sysDb, ConnInfo(installation.conninfo()));
            const double ms = createOnce(sysDb, QStringLiteral("/srv/账套"));
            if (ms < 0)
                return 1;
            onServer.values << ms;
        }
    }
    out << "create account set (2007 chart, no dialogs), " << runs << " runs each, interleaved\n";
    out << "  SQLite files: " << figuresMs(files) << "  (target < 200 ms) " << verdict(files, 200) << "\n";
    if (!server) {
        out << "  " << Bench::serverMissing() << Qt::endl;
        return files.median() < 200 ? 0 : 1;
    }
    out << "  server:       " << figuresMs(onServer) << "  (target < 500 ms) " << verdict(onServer, 500) << "\n";
    out << "  ratio of medians (server / SQLite): " << QString::number(onServer.median() / files.median(), 'f', 2) << Qt::endl;
    return files.median() < 200 && onServer.median() < 500 ? 0 : 1;
}
