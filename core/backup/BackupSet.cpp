#include "BackupSet.h"
#include "Manifest.h"

#include <CiFile.h>
#include <Paths.h>

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <sys/stat.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

namespace BackupSet {
namespace {
const QByteArray kCrLf("\r\n");

QString withSep(const QString& folder)
{
    return Paths::withTrailingSep(folder);
}

// Feeds a checksum with a file that another thread is copying, on a thread of its own, reading each
// stretch as soon as it is written (the page cache still holds it): the sum is of the bytes the
// copy holds, at no more cost in time than the copy itself on a second core.
class TrailingSum {
public:
    TrailingSum(const QString& path, Checksum& sum)
        : m_sum(sum)
        , m_thread([this, path] { run(path); })
    {
    }
    ~TrailingSum() { finish(true); }

    // The copy now holds `bytes` bytes.
    void advance(qint64 bytes)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_ready = bytes;
        }
        m_wake.notify_one();
    }
    // Waits until everything copied is summed (or, abandoning, until the thread stops); false with
    // the reason when the copy could not be read back.
    bool finish(bool abandon = false, QString* why = nullptr)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
            m_abandoned = m_abandoned || abandon;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
        if (!m_error.isEmpty() && why)
            *why = m_error;
        return m_error.isEmpty();
    }

private:
    void run(const QString& path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        qint64 pos = 0;
        for (;;) {
            qint64 limit = 0;
            bool last = false;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [&] { return m_ready > pos || m_done; });
                if (m_abandoned)
                    break;
                limit = m_ready;
                last = m_done;
            }
            while (pos < limit) {
                const ssize_t n = ::pread(fd, buffer.data(), size_t(std::min<qint64>(buffer.size(), limit - pos)), pos);
                if (n <= 0) {
                    m_error = n < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("文件比写入的短");
                    ::close(fd);
                    return;
                }
                m_sum.add(buffer.constData(), n);
                pos += n;
            }
            if (last)
                break;
        }
        ::close(fd);
    }

    Checksum& m_sum;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    qint64 m_ready = 0;
    bool m_done = false;
    bool m_abandoned = false;
    QString m_error;
    std::thread m_thread;   // last: starts once the members above exist
};
} // namespace

QString exportDate(const QDate& day)
{
    return QLocale().toString(day, QLocale::ShortFormat);
}

QString twoDigitYear(int year)
{
    return QString::number(year).mid(2, 2);
}

QString fourDigitYear(const QString& twoDigits)
{
    return (twoDigits.startsWith(QLatin1Char('0')) ? QStringLiteral("20") : QStringLiteral("19")) + twoDigits;
}

QStringList descriptorLines(const DescriptorInfo& info)
{
    const QString bytes = QString::number(info.bytes);
    const QString accFolder = withSep(info.accFolder);
    return {
        QStringLiteral("[BackRetInfo]"),
        QStringLiteral("Type=Account"),
        QStringLiteral("cAcc_Id=") + info.accId,
        QStringLiteral("iSysId=") + info.sysId,
        QStringLiteral("cacc_path=") + accFolder,
        QStringLiteral("Version=1.00"),
        QStringLiteral("VersionEx=V8.520"),
        QStringLiteral("Date=") + info.date,
        QStringLiteral("YCount=1"),
        QStringLiteral("YYear=") + twoDigitYear(info.year),
        QStringLiteral("Backup=") + (info.backupOk ? QStringLiteral("true") : QStringLiteral("false")),
        QStringLiteral("Disks=0"),
        QStringLiteral("Bytes=") + bytes,
        QStringLiteral("[FileInfo]"),
        QStringLiteral("Count=1"),
        QStringLiteral("File1=") + withSep(info.yearFolder) + kPreparedName,
        QStringLiteral("[Files]"),
        QStringLiteral("File1=1,,KDDATA.BA_,KDDATA.BAK,") + accFolder + QStringLiteral(",,,") + info.date
            + QLatin1Char(',') + bytes,
    };
}

bool writeDescriptor(const QString& path, const DescriptorInfo& info, QString* error)
{
    return saveAtomically(path, descriptorLines(info).join(QString::fromLatin1(kCrLf)).toUtf8(), error);
}

QString readLine(const QString& path, int lineNo)
{
    if (lineNo <= 0 || !CiFile::isFile(path))
        return QString();
    QFile f(CiFile::resolve(path));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (int count = 1; !f.atEnd(); ++count) {
        QByteArray line = f.readLine();
        if (f.error() != QFileDevice::NoError)
            return QString();
        if (count == lineNo) {
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            return QString::fromUtf8(line);
        }
    }
    return QString();
}

QString lineValue(const QString& line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.mid(eq + 1);
}

Descriptor readDescriptor(const QString& path)
{
    Descriptor d;
    d.accId = lineValue(readLine(path, LineAccId));
    d.sysId = lineValue(readLine(path, LineSysId));
    d.accFolder = lineValue(readLine(path, LineAccFolder));
    d.year = fourDigitYear(lineValue(readLine(path, LineYear)));
    const QString bytesLine = readLine(path, LineBytes);
    bool ok = false;
    const qint64 bytes = lineValue(bytesLine).trimmed().toLongLong(&ok);
    if (bytesLine.startsWith(QLatin1String("Bytes="), Qt::CaseInsensitive) && ok && bytes >= 0)
        d.bytes = bytes;
    return d;
}

QString sourceDir(const QString& descriptorPath)
{
    return withSep(Paths::parentDir(CiFile::resolve(descriptorPath)));
}

QString dataFilePath(const QString& descriptorPath)
{
    return CiFile::resolve(sourceDir(descriptorPath) + kDataFileName);
}

bool rewriteFolder(const QString& descriptorPath, const QString& newAccFolder, QString* error)
{
    const QString path = CiFile::resolve(descriptorPath);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件 %1：%2").arg(path, f.errorString());
        return false;
    }
    QByteArray out;
    for (int count = 1; !f.atEnd(); ++count) {
        QByteArray line = f.readLine();
        if (f.error() != QFileDevice::NoError) {
            if (error)
                *error = QStringLiteral("无法读取文件 %1：%2").arg(path, f.errorString());
            return false;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (count == LineAccFolder)
            line = (QStringLiteral("cacc_path=") + newAccFolder).toUtf8();
        out += line + kCrLf;
    }
    f.close();
    return saveAtomically(path, out, error);
}

bool saveAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString target = CiFile::resolve(path);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("无法写入文件 %1：%2").arg(target, out.errorString());
        return false;
    }
    if (out.write(bytes) != bytes.size() || !out.flush() || ::fsync(out.handle()) != 0) {
        if (error)
            *error = QStringLiteral("无法写入文件 %1：%2").arg(target, out.errorString());
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        if (error)
            *error = QStringLiteral("无法写入文件 %1：%2").arg(target, out.errorString());
        return false;
    }
    syncPath(Paths::parentDir(target));
    return true;
}

bool syncPath(const QString& path)
{
    const int fd = ::open(QFile::encodeName(CiFile::resolve(path)).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool placeCopy(const QString& from, const QString& to, QString* error, Manifest* placed, const Manifest* known)
{
    const QString src = CiFile::resolve(from);
    const QString dst = CiFile::resolve(to);
    if (!CiFile::isFile(src)) {
        if (error)
            *error = QStringLiteral("找不到文件 %1").arg(src);
        return false;
    }
    if (QFile::exists(dst)) {
        if (error)
            *error = QStringLiteral("文件 %1 已存在").arg(dst);
        return false;
    }
    Checksum sum;
    auto done = [&] {
        if (placed) {
            placed->bytes = sum.bytes();
            placed->checksum = sum.hex();
        }
        return true;
    };
    // The source is already on disk, so a second name for it is a finished copy at no cost.
    if (::link(QFile::encodeName(src).constData(), QFile::encodeName(dst).constData()) == 0) {
        if (!placed)
            return true;
        if (known) {
            *placed = *known;
            return true;
        }
        qint64 bytes = 0;
        const QString hex = Checksum::ofFile(dst, &bytes);
        if (hex.isEmpty()) {
            if (error)
                *error = QStringLiteral("无法读取文件 %1").arg(dst);
            QFile::remove(dst);
            return false;
        }
        placed->bytes = bytes;
        placed->checksum = hex;
        return true;
    }
    QFile in(src);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取文件 %1：%2").arg(src, in.errorString());
        return false;
    }
    return copyInto(in, dst, error, placed ? &sum : nullptr) && done();
}

QByteArray fileStamp(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(CiFile::resolve(path)).constData(), &st) != 0)
        return QByteArray();
    return QByteArray::number(qulonglong(st.st_dev)) + ':' + QByteArray::number(qulonglong(st.st_ino)) + ':'
        + QByteArray::number(qlonglong(st.st_size)) + ':' + QByteArray::number(qlonglong(st.st_mtim.tv_sec)) + '.'
        + QByteArray::number(qlonglong(st.st_mtim.tv_nsec));
}

bool copyInto(QIODevice& in, const QString& to, QString* error, Checksum* sum, bool flush)
{
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (error)
            *error = QStringLiteral("无法创建文件 %1：%2").arg(to, out.errorString());
        return false;
    }
    bool ok = true;
    QString why;
    // The kernel copies file to file, as a plain file copy does: the bytes never pass through this
    // process. A checksum is then taken from the copy by a second thread, stretch by stretch.
    auto* file = qobject_cast<QFile*>(&in);
    bool kernelCopy = file && file->handle() >= 0;
    std::optional<TrailingSum> trail;
    if (kernelCopy && sum)
        trail.emplace(to, *sum);
    if (kernelCopy) {
        loff_t from = file->pos();
        qint64 written = 0;
        // Stretches small enough for the checksum to follow closely, large enough to cost no calls.
        const size_t stretch = sum ? size_t(16) << 20 : size_t(1) << 30;
        for (;;) {
            const ssize_t n = ::copy_file_range(file->handle(), &from, out.handle(), nullptr, stretch, 0);
            if (n > 0) {
                written += n;
                if (trail)
                    trail->advance(written);
                continue;
            }
            if (n == 0)
                break;
            // Not offered between these two files: copied through the buffer below instead.
            if (written == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                if (trail) {
                    trail->finish(true);
                    trail.reset();
                }
                break;
            }
            ok = false;
            why = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
    }
    // A fixed buffer keeps memory flat whatever the size of the file.
    QByteArray buffer(kernelCopy ? 0 : 1 << 20, Qt::Uninitialized);
    for (; ok && !kernelCopy;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            ok = false;
            why = in.errorString();
            break;
        }
        if (n == 0)
            break;
        if (sum)
            sum->add(buffer.constData(), n);
        if (out.write(buffer.constData(), n) != n) {
            ok = false;
            why = out.errorString();
            break;
        }
    }
    if (ok && (!out.flush() || (flush && ::fsync(out.handle()) != 0))) {
        ok = false;
        why = out.errorString();
    }
    if (trail && !trail->finish(!ok, ok ? &why : nullptr))
        ok = false;
    out.close();
    if (!ok) {
        QFile::remove(to);
        if (error)
            *error = QStringLiteral("写入文件 %1 失败：%2").arg(to, why);
    }
    return ok;
}
}
