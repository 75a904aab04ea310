// Creating an account set with the 2007 chart of accounts (216 accounts), without the
// coding-scheme and precision dialogs: rows, periods, folders, the books copied from the
// template, options, coding rule and preset chart. Each run makes a new set on a fresh
// installation; prints the median and the slowest run in milliseconds.
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

#include <algorithm>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QLoggingCategory::setFilterRules(QStringLiteral("revozi.errlog.warning=false"));   // trace lines would swamp the figure

    const int runs = 15;
    QList<double> ms;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        Installation::createRoot(dir.path());
        Database sysDb(Paths::join(dir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb")));
        AccountSetInput in;
        in.accId = QStringLiteral("001");
        in.accName = QStringLiteral("基准账套");
        in.accPath = dir.path() + QStringLiteral("/账套 数据");
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
            return 1;
        }
        if (Database(outcome.accountDbPath).scalar(QStringLiteral("select count(*) from code")).toInt() < 200) {
            QTextStream(stderr) << "bench_accounts: the preset chart was not copied" << Qt::endl;
            return 1;
        }
        ms << elapsed;
    }
    std::sort(ms.begin(), ms.end());
    out << "create account set (2007 chart, no dialogs): median " << QString::number(ms[ms.size() / 2], 'f', 1)
        << " ms, slowest " << QString::number(ms.last(), 'f', 1) << " ms over " << runs << " runs (target < 200 ms)" << Qt::endl;
    return 0;
}
