// 建立 (the next year of a set) with the 2007 chart of accounts (216 accounts), beside creating the
// set itself, its yardstick: the year's row, periods, grants and subsystems, and its books (the
// template copied under a temporary name and filled from the latest year's, or on a server a
// schema made from the template's statements and filled from the latest year's schema). Each run
// creates set 001 on a fresh installation (timed) and then makes its next year (timed), on SQLite
// and, when PGHOST names a server, on the server in turn; prints min/median/max of each, the ratio
// of the medians and whether each median of 建立 meets its target (SQLite 200 ms, server 500 ms).
#include "BenchSupport.h"

#include <AccountDb.h>
#include <AccountSetCreator.h>
#include <Database.h>
#include <Installation.h>
#include <NewYear.h>
#include <Paths.h>
#include <SubsystemEnabler.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
struct Times {
    double create = -1;
    double newYear = -1;
};

// Set 001 made with the 2007 chart, GL enabled, then its next year; the times in ms, -1 after saying why.
Times measure(Database& sysDb, const QString& accPath)
{
    const int year = QDate::currentDate().year();
    AccountSetInput in;
    in.accId = QStringLiteral("001");
    in.accName = QStringLiteral("基准账套");
    in.accPath = accPath;
    in.year = QString::number(year);
    in.month = QStringLiteral("1");
    in.unitName = QStringLiteral("基准单位");
    in.master = QStringLiteral("demo");
    in.tradeKind = QStringLiteral("2007年新会计准则");
    Times times;
    QElapsedTimer t;
    t.start();
    const AccountSetOutcome created = AccountSetCreator(sysDb).create(in);
    const double createMs = t.nsecsElapsed() / 1e6;
    if (!created.done()) {
        QTextStream(stderr) << "bench_newyear: creation failed: " << created.notice.text << Qt::endl;
        return times;
    }
    SubsystemEnabler(sysDb).enable({in.accId, QStringLiteral("GL"), QDate(year, 1, 1), created.accountDbPath});
    NewYear work(sysDb);
    t.restart();
    const AccountSetOutcome made = work.make(work.plan(in.accId, in.master));
    const double newYearMs = t.nsecsElapsed() / 1e6;
    if (!made.done()) {
        QTextStream(stderr) << "bench_newyear: 建立 failed: " << made.notice.text << " (" << made.error << ")" << Qt::endl;
        return times;
    }
    if (AccountDb::openAt(sysDb, made.accountDbPath)->scalar(QStringLiteral("select count(*) from code")).toInt() < 200) {
        QTextStream(stderr) << "bench_newyear: the chart was not copied" << Qt::endl;
        return times;
    }
    return Times{createMs, newYearMs};
}

QString verdict(const Series& s, double targetMs)
{
    return s.median() < targetMs ? QStringLiteral("MET") : QStringLiteral("NOT MET");
}

void report(QTextStream& out, const char* engine, const Series& create, const Series& newYear, double targetMs)
{
    out << "  " << engine << " 建立:     " << figuresMs(newYear) << "  (target < " << targetMs << " ms) " << verdict(newYear, targetMs) << "\n";
    out << "  " << engine << " creation: " << figuresMs(create) << "\n";
    out << "  " << engine << " ratio of medians (建立 / creation): " << QString::number(newYear.median() / create.median(), 'f', 2) << "\n";
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QLoggingCategory::setFilterRules(QStringLiteral("revozi.errlog.warning=false"));   // trace lines would swamp the figure
    const bool server = Bench::serverMissing().isEmpty();

    const int runs = 11;
    Series filesCreate, filesYear, serverCreate, serverYear;
    for (int run = 0; run < runs; ++run) {
        {
            QTemporaryDir dir;
            Installation::createRoot(dir.path(), true);
            Database sysDb(Paths::join(dir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb")));
            const Times t = measure(sysDb, dir.path() + QStringLiteral("/账套 数据"));
            if (t.newYear < 0)
                return 1;
            filesCreate.values << t.create;
            filesYear.values << t.newYear;
        }
        if (server) {
            Bench::ServerInstallation installation;
            Database sysDb;
            Installation::openServerSystem(sysDb, ConnInfo(installation.conninfo()));
            const Times t = measure(sysDb, QStringLiteral("/srv/账套"));
            if (t.newYear < 0)
                return 1;
            serverCreate.values << t.create;
            serverYear.values << t.newYear;
        }
    }
    out << "建立 the next year (2007 chart) beside creating the set, " << runs << " runs each, interleaved\n";
    report(out, "SQLite files", filesCreate, filesYear, 200);
    if (!server) {
        out << "  " << Bench::serverMissing() << Qt::endl;
        return filesYear.median() < 200 ? 0 : 1;
    }
    report(out, "server", serverCreate, serverYear, 500);
    out << "  ratio of 建立 medians (server / SQLite): " << QString::number(serverYear.median() / filesYear.median(), 'f', 2) << Qt::endl;
    return filesYear.median() < 200 && serverYear.median() < 500 ? 0 : 1;
}
