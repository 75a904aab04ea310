#pragma once
// What the export and import benchmarks share: their command line, the account set with about
// SIZE_MB of vouchers and lines, the plain copy they are measured against, and the clocks.
#include <Database.h>
#include <InstallationPlace.h>

#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>

class QElapsedTimer;
class QTextStream;

namespace Bench {

// WORKDIR, SIZE_MB and RUNS (defaults: the system temp folder, 500, 5; never fewer than 5 runs).
// False, once said on `out`, when WORKDIR has not room for four times the books.
struct Options {
    QString workDir;
    qint64 sizeMb = 500;
    int runs = 5;
};
bool readOptions(int argc, char* argv[], QTextStream& out, Options& options);

// An installation under `root` whose set 001 holds `year`; the set's books are a copy of the
// template. The work under measurement gets the system database as an argument, as the console
// hands it over.
struct AccountSet {
    std::unique_ptr<Database> sysDb;
    QString books;   // the set's account database
};
AccountSet createAccountSet(const QString& root, int year);

// Vouchers and their lines until the books reach `bytes`; says how much and how long on `out`.
void generateBooks(const QString& path, qint64 bytes, QTextStream& out);

struct CopyTimes {
    double plain = 0;   // QFile::copy, left in the page cache
    double synced = 0;  // the same, flushed to disk (only when asked for)
};
// Times a plain copy of `from` to `to` and deletes it again.
CopyTimes plainCopy(const QString& from, const QString& to, bool flush = false);

// VmHWM of this process in MB; resetting it lets each measurement start from what is resident now.
double peakMb();
bool resetPeak();

double seconds(const QElapsedTimer& t);

// The first line of an interleaved benchmark: the processors and the runs of each job.
void sayRuns(QTextStream& out, int runs);

// The PostgreSQL server the PG* variables name (PGHOST set), on which the benchmarks that have a
// server figure run their job beside SQLite's; empty when none is named.
QString serverMissing();
// A server installation in a new database of that server, dropped with everything in it at the end.
class ServerInstallation {
public:
    ServerInstallation();
    ~ServerInstallation();
    ServerInstallation(const ServerInstallation&) = delete;
    ServerInstallation& operator=(const ServerInstallation&) = delete;
    QString conninfo() const { return m_conninfo; }
    // The installation, as Installation::openSystemDatabase takes it.
    InstallationPlace where() const;

private:
    QString m_conninfo;
};

// A throwaway PostgreSQL cluster of the benchmark's own in `dir` on `port`, with fsync on (the
// figures of a server that keeps its data), started here and stopped at the end; the PG*
// variables name it while it lives.
class Cluster {
public:
    Cluster(const QString& dir, const QString& port);
    ~Cluster();
    Cluster(const Cluster&) = delete;
    Cluster& operator=(const Cluster&) = delete;
    bool started() const { return m_started; }

private:
    bool run(const QString& command, bool fsync);
    QStringList m_args;
    bool m_started = false;
};

} // namespace Bench

// The times of one job over the interleaved runs.
struct Series {
    QList<double> values;
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double max() const { return *std::max_element(values.begin(), values.end()); }
    double median() const
    {
        QList<double> v = values;
        std::sort(v.begin(), v.end());
        const qsizetype n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
};

// "min … s, median … s, max … s".
QString figures(const Series& s);
// The same in milliseconds.
QString figuresMs(const Series& s);
