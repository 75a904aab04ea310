// Sealing a backup set's data file (encrypted; compressed; both) against its yardstick: a copy of
// the same books flushed to disk (copy + fsync), each on the same disk. The books (about SIZE_MB of
// vouchers and lines) are read in the export's pieces and sealed into a file that is then flushed;
// the sealed file is then read back into a flushed copy of the books, as an import would. Runs of
// the sealing and of the yardstick alternate, so both see the same state of the machine; each
// prints min/median/max, the ratio of the medians, the data file's size and whether the targets
// are met: encrypted <= 1.5 (read back <= 1.6), compressed <= 2.0 at no more than half the size.
// Peak memory (VmHWM) is reported for the key's derivation and for the streaming after it.
//
//   bench_sealed [WORKDIR] [SIZE_MB] [RUNS]     (defaults: the system temp folder, 500, 5)
//
// The generated files are deleted at the end.
#include "BenchSupport.h"

#include <DurableFile.h>
#include <Paths.h>
#include <SealedHeader.h>
#include <SealedStream.h>
#include <WriteBehind.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>

using namespace Bench;

namespace {
QTextStream out(stdout);

struct SealRun {
    double seconds = 0;     // the whole export of the data file, the key's derivation included
    double derive = 0;      // the key's derivation (and the stream's start) alone
    double peakDerive = 0;  // VmHWM during the derivation
    double peakStream = 0;  // VmHWM while the bytes stream, after it
    qint64 bytes = 0;       // the sealed data file
};

SealRun sealOnce(const SealedHeader& header, const Passphrase& pass, const QString& books, const QString& to)
{
    QFile::remove(to);
    SealRun r;
    resetPeak();
    QElapsedTimer t;
    t.start();
    QFile in(books);
    if (!in.open(QIODevice::ReadOnly))
        qFatal("books not readable");
    const int fd = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        qFatal("cannot create %s", qPrintable(to));
    WriteBehind behind(fd, to);
    SealedWriter w(header, [&](const char* p, qint64 n, QString* why) { return behind.write(p, n, why); });
    if (!w.open(&pass))
        qFatal("%s", qPrintable(w.errorString()));
    r.derive = seconds(t);
    r.peakDerive = peakMb();
    resetPeak();
    // The export's copy loop hands over pieces of this size.
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            qFatal("read failed");
        if (n == 0)
            break;
        if (!w.write(buffer.constData(), n))
            qFatal("%s", qPrintable(w.errorString()));
    }
    QString behindError;
    if (!w.finish() || !behind.finish(&behindError) || ::fsync(fd) != 0)
        qFatal("%s", qPrintable(w.errorString()));
    ::close(fd);
    r.seconds = seconds(t);
    r.peakStream = peakMb();
    r.bytes = w.sealedBytes();
    return r;
}

// The sealed file read back into a flushed copy of the books, as the import copies it.
double unsealOnce(const SealedHeader& header, const Passphrase& pass, const QString& sealed, const QString& to,
                  qint64 expect, double* peak)
{
    QFile::remove(to);
    QElapsedTimer t;
    t.start();
    QFile in(sealed);
    if (!in.open(QIODevice::ReadOnly))
        qFatal("sealed file not readable");
    SealedReader r(header, in);
    if (!r.unseal(&pass))
        qFatal("%s", qPrintable(r.errorString()));
    // The derivation's memory is reported with the sealing; this is the streaming's own.
    resetPeak();
    QString error;
    if (!BackupSet::copyInto(r, to, &error))
        qFatal("%s", qPrintable(error));
    const double s = seconds(t);
    *peak = peakMb();
    if (QFileInfo(to).size() != expect)
        qFatal("read back %lld bytes, not %lld", QFileInfo(to).size(), expect);
    QFile::remove(to);
    return s;
}

void compare(const QString& title, bool compress, bool encrypt, const QString& books, const QString& root, int runs)
{
    const QString copyTarget = Paths::join(root, QStringLiteral("yardstick.mdb"));
    const QString sealedPath = Paths::join(root, QStringLiteral("kddata.BA_"));
    const QString backPath = Paths::join(root, QStringLiteral("back.mdb"));
    const SealedHeader header = SealedHeader::make(compress, encrypt);
    const Passphrase pass(QStringLiteral("账套备份的口令 correct horse"));
    const qint64 booksBytes = QFileInfo(books).size();
    // Read once so every run below starts from the same page cache.
    plainCopy(books, copyTarget, true);
    sealOnce(header, pass, books, sealedPath);
    Series copy, seal, derive, back;
    double peakDerive = 0, peakStream = 0, peakBack = 0;
    qint64 sealedBytes = 0;
    for (int i = 0; i < runs; ++i) {
        copy.values << plainCopy(books, copyTarget, true).synced;
        const SealRun s = sealOnce(header, pass, books, sealedPath);
        seal.values << s.seconds;
        derive.values << s.derive;
        peakDerive = std::max(peakDerive, s.peakDerive);
        peakStream = std::max(peakStream, s.peakStream);
        sealedBytes = s.bytes;
        double p = 0;
        back.values << unsealOnce(header, pass, sealedPath, backPath, booksBytes, &p);
        peakBack = std::max(peakBack, p);
    }
    QFile::remove(sealedPath);
    const double ratio = seal.median() / copy.median();
    const double backRatio = back.median() / copy.median();
    const double sizeRatio = double(sealedBytes) / double(booksBytes);
    const double target = compress ? 2.0 : 1.5;
    const bool sizeMet = !compress || sizeRatio <= 0.5;
    out << "== " << title << ": books " << booksBytes / (1024.0 * 1024.0) << " MB, data file "
        << sealedBytes / (1024.0 * 1024.0) << " MB (" << 100.0 * sizeRatio << " % of the books)\n";
    out << "  yardstick (copy + fsync): " << figures(copy) << "\n";
    out << "  sealed + fsync:           " << figures(seal) << " (of which key and start: median " << derive.median()
        << " s)\n";
    out << "  read back + fsync:        " << figures(back) << "\n";
    out << "  peak memory: derivation " << peakDerive << " MB, sealing after it " << peakStream << " MB, reading back "
        << peakBack << " MB (target < 64 MB aside the derivation's " << header.memLimit / (1024 * 1024) << " MB)\n";
    out << "  ratio of medians, sealing:   " << ratio << " (target <= " << target << (compress ? ", size <= 50 %" : "")
        << "): " << (ratio <= target && sizeMet ? "MET" : "NOT MET") << "\n";
    if (encrypt)
        out << "  ratio of medians, reading back: " << backRatio << " (target <= 1.6): "
            << (backRatio <= 1.6 ? "MET" : "NOT MET") << "\n";
    else
        out << "  ratio of medians, reading back: " << backRatio << " (no target)\n";
    out.flush();
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!readOptions(argc, argv, out, options))
        return 1;
    sayRuns(out, options.runs);
    QTemporaryDir dir(Paths::join(options.workDir, QStringLiteral("bench_sealed-XXXXXX")));
    const AccountSet set = createAccountSet(dir.path(), 2024);
    const QString& books = set.books;
    generateBooks(books, options.sizeMb * 1024 * 1024, out);
    compare(QStringLiteral("encrypted"), false, true, books, dir.path(), options.runs);
    compare(QStringLiteral("compressed"), true, false, books, dir.path(), options.runs);
    compare(QStringLiteral("compressed and encrypted"), true, true, books, dir.path(), options.runs);
    return 0;
}
