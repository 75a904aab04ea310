// Import of the backup set of an account set whose account database holds about 500 MB of
// vouchers and lines (built as the export benchmark builds it, then exported), side by side with
// a plain copy of the backup's data file. The import's work is what the command and frmInput run
// (reading the descriptor, checking and copying the data file, merging, replacing the books),
// called directly as the console calls it, without the dialogs. Peak memory is the process's high-water mark during each import.
//
//   bench_import [WORKDIR] [SIZE_MB]     (defaults: the system temp folder, 500)
//
// The generated files are deleted at the end.
#include "BenchSupport.h"

#include <AccountDb.h>
#include <AccountExporter.h>
#include <AccountImporter.h>
#include <BackupSet.h>
#include <Database.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

using namespace Bench;

namespace {
QTextStream out(stdout);

struct ImportRun {
    double seconds = 0, peak = 0;
};

ImportRun importOnce(Database& sysDb, const QString& descriptor, QString* lastMessage)
{
    ImportRun r;
    const bool peakReset = resetPeak();
    QElapsedTimer t;
    t.start();
    AccountImporter importer(sysDb);
    const Notice refusal = importer.load(descriptor);
    if (!refusal.isEmpty())
        qFatal("import refused: %s", qPrintable(refusal.text));
    const Notice kept = importer.keepFolder();
    if (!kept.isEmpty())
        qFatal("import refused: %s", qPrintable(kept.text));
    const AccountImporter::Result result = AccountImporter::restore(sysDb, importer.plan());
    *lastMessage = result.notice.text;
    if (!result.done())
        qFatal("import failed: %s", qPrintable(result.notice.text));
    r.seconds = Bench::seconds(t);
    r.peak = peakReset ? peakMb() : -1;
    return r;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, out, options))
        return 1;
    QString lastMessage;

    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_import-XXXXXX")));
    const QString root = dir.path();
    const int year = 2008;   // a year that comes back under its own number
    const AccountSet set = createAccountSet(root, year);
    Database& sysDb = *set.sysDb;
    const QString& books = set.books;
    generateBooks(books, options.sizeMb * 1024 * 1024, out);

    const QString backup = Paths::join(root, QStringLiteral("backup"));
    QDir().mkpath(backup);
    {
        AccountExporter exporter(sysDb, QStringLiteral("001"));
        QString error;
        if (!exporter.prepare() || !exporter.writeBackupSet(backup, true, &error))
            qFatal("export failed: %s", qPrintable(error));
    }
    const QString data = Paths::join(backup, BackupSet::kDataFileName);
    const QString descriptor = Paths::join(backup, BackupSet::kDescriptorName);
    out << "backup set: " << QFileInfo(data).size() / (1024.0 * 1024.0) << " MB data file\n";

    // The copy lands where the import puts its own: beside the books.
    const QString copyTarget = Paths::join(AccountDb::yearFolder(root, QStringLiteral("001"), year), QStringLiteral("plain-copy.mdb"));
    plainCopy(data, copyTarget, true);   // read once so every run below starts from the same page cache
    QList<CopyTimes> copies;
    QList<ImportRun> imports;
    for (int round = 0; round < 3; ++round) {
        copies << plainCopy(data, copyTarget, true);
        imports << importOnce(sysDb, descriptor, &lastMessage);
    }
    out << "last message: " << lastMessage << "\n";
    // The import checks the data file completely while it copies it; the check alone, for scale.
    QElapsedTimer check;
    check.start();
    const QString verdict = Database(data).scalar(QStringLiteral("PRAGMA quick_check")).toString();
    out << "integrity check of the data file alone: " << seconds(check) << " s (" << verdict << ")\n";

    auto minOf = [](const auto& list, auto field) {
        double m = 1e18;
        for (const auto& x : list)
            m = std::min(m, double(x.*field));
        return m;
    };
    const double plain = minOf(copies, &CopyTimes::plain);
    const double synced = minOf(copies, &CopyTimes::synced);
    const double import = minOf(imports, &ImportRun::seconds);
    double peak = 0;
    for (const ImportRun& r : imports)
        peak = std::max(peak, r.peak);
    out << "plain copy of the data file:          ";
    for (const CopyTimes& c : copies)
        out << c.plain << " s ";
    out << "\nplain copy, flushed to disk:          ";
    for (const CopyTimes& c : copies)
        out << c.synced << " s ";
    out << "\nimport over the set:                  ";
    for (const ImportRun& r : imports)
        out << r.seconds << " s ";
    out << "\n  best import " << import << " s, peak " << peak << " MB (target < 64)\n";
    out << "  ratio to the plain copy:            " << import / plain << " (target <= 1.5)\n";
    out << "  ratio to the flushed copy:          " << import / synced << "\n";

    return 0;
}
