// Import of the backup set of an account set whose account database holds about 500 MB of
// vouchers and lines (built as the export benchmark builds it, then exported), side by side with
// its yardstick: a copy of the backup's data file flushed to disk. Interleaved runs of the
// yardstick, the import with a manifest (size and checksum taken in the copy's pass) and the
// import without one (an older backup set: the full integrity check). The import's work is what the command and frmInput run
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
#include <Manifest.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

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
    const int year = 2026;
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
    const QString manifest = Paths::join(backup, BackupSet::kManifestName);
    const QString noManifest = manifest + QStringLiteral(".off");
    // An export that does not write the manifest yet gets one here, as the export would write it.
    if (!QFileInfo::exists(manifest)) {
        qint64 bytes = 0;
        const QString sum = Checksum::ofFile(data, &bytes);
        if (sum.isEmpty() || !BackupSet::writeManifest(manifest, {bytes, sum}))
            qFatal("cannot write the manifest");
    }
    out << "backup set: " << QFileInfo(data).size() / (1024.0 * 1024.0) << " MB data file, "
        << QThread::idealThreadCount() << " cores\n";

    // The copy lands where the import puts its own: beside the books.
    const QString copyTarget = Paths::join(AccountDb::yearFolder(root, QStringLiteral("001"), year), QStringLiteral("plain-copy.mdb"));
    plainCopy(data, copyTarget, true);   // read once so every run below starts from the same page cache
    QList<double> copies, withSum, without;
    double peak = 0;
    const int rounds = 5;
    for (int round = 0; round < rounds; ++round) {
        copies << plainCopy(data, copyTarget, true).synced;
        ImportRun r = importOnce(sysDb, descriptor, &lastMessage);
        withSum << r.seconds;
        peak = std::max(peak, r.peak);
        QFile::rename(manifest, noManifest);
        r = importOnce(sysDb, descriptor, &lastMessage);
        QFile::rename(noManifest, manifest);
        without << r.seconds;
        peak = std::max(peak, r.peak);
    }
    out << "last message: " << lastMessage << "\n";

    auto median = [](QList<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    auto line = [&](const char* name, const QList<double>& v) {
        out << name << " min " << *std::min_element(v.begin(), v.end()) << " s, median " << median(v) << " s, max "
            << *std::max_element(v.begin(), v.end()) << " s\n";
    };
    line("copy + fsync (yardstick):     ", copies);
    line("import with a manifest:       ", withSum);
    line("import without a manifest:    ", without);
    const double ratio = median(withSum) / median(copies);
    out << "with a manifest / yardstick:    " << ratio << " (target <= 1.15) " << (ratio <= 1.15 ? "MET" : "NOT MET") << "\n";
    out << "without a manifest / yardstick: " << median(without) / median(copies) << " (reported)\n";
    out << "peak memory during the imports: " << peak << " MB (target < 40) " << (peak >= 0 && peak < 40 ? "MET" : "NOT MET") << "\n";
    return 0;
}
