#include "DurableFile.h"
#include "Checksum.h"
#include "WriteBehind.h"

#include <CiFile.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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
    bool finish(bool abandon = false, Words* why = nullptr)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
            m_abandoned = m_abandoned || abandon;
        }
        m_wake.notify_one();
        if (m_thread.joinable())
            m_thread.join();
        if (!m_error.stored.isEmpty() && why)
            *why = m_error;
        return m_error.stored.isEmpty();
    }

private:
    void run(const QString& path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            m_error = Words::same(QString::fromLocal8Bit(std::strerror(errno)));
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
                    m_error = n < 0 ? Words::same(QString::fromLocal8Bit(std::strerror(errno)))
                                    : Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "文件比写入的短"));
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
    Words m_error;
    std::thread m_thread;   // last: starts once the members above exist
};
} // namespace

QString writeFailure(const QString& path, int err)
{
    return writeFailureWords(path, err).shown;
}

Words writeFailureWords(const QString& path, int err)
{
    auto said = [&path](const char* source) { return Words::of("BackupSet", source, path); };
    switch (err) {
    case ENOSPC:
    case EDQUOT:
        return said(QT_TRANSLATE_NOOP("BackupSet", "磁盘空间不足，无法写入 %1"));
    case EACCES:
    case EPERM:
        return said(QT_TRANSLATE_NOOP("BackupSet", "没有写入权限，无法写入 %1"));
    case EROFS:
        return said(QT_TRANSLATE_NOOP("BackupSet", "磁盘只允许读取，没有写入权限，无法写入 %1"));
    case EIO:
        return said(QT_TRANSLATE_NOOP("BackupSet", "磁盘读写出错，无法写入 %1"));
    case EFBIG:
        return said(QT_TRANSLATE_NOOP("BackupSet", "文件超过了磁盘允许的大小，无法写入 %1"));
    case ENOENT:
    case ENOTDIR:
        return said(QT_TRANSLATE_NOOP("BackupSet", "文件夹不存在，无法写入 %1"));
    case EEXIST:
        return said(QT_TRANSLATE_NOOP("BackupSet", "文件 %1 已存在"));
    case EISDIR:
        return said(QT_TRANSLATE_NOOP("BackupSet", "%1 是文件夹，无法写入"));
    default:
        return Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法写入 %1（系统信息：%2）"), path, QString::fromLocal8Bit(std::strerror(err)));
    }
}

bool writeAll(int fd, const char* data, qint64 size, const QString& path, Words* error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, qint64(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A regular file takes nothing only when the disk has no room left.
            if (error)
                *error = writeFailureWords(path, n < 0 ? errno : ENOSPC);
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool saveAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    Words why;
    const bool saved = saveAtomically(path, bytes, &why);
    if (!saved && error)
        *error = why.shown;
    return saved;
}

bool saveAtomically(const QString& path, const QByteArray& bytes, Words* error)
{
    QString target = CiFile::resolve(path);
    // Through a link the file it names is replaced, not the link.
    const QFileInfo link(target);
    if (link.isSymLink())
        target = link.canonicalFilePath().isEmpty() ? link.symLinkTarget() : link.canonicalFilePath();
    auto fail = [&](const Words& why) {
        if (error)
            *error = why;
        return false;
    };
    // A name of this call alone beside the file, so the rename is within one folder.
    QString temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = Paths::join(Paths::parentDir(target), QStringLiteral(".%1.%2.tmp")
                                                         .arg(Paths::fileName(target))
                                                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return fail(writeFailureWords(target, errno));
    }
    if (fd < 0)
        return fail(writeFailureWords(target, EEXIST));
    const QByteArray tempName = QFile::encodeName(temp);
    // A replaced file keeps its mode; a new one has the mode of the rule in force (the umask).
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    Words why;
    bool ok = writeAll(fd, bytes.constData(), bytes.size(), target, &why);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        why = writeFailureWords(target, errno);
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        why = writeFailureWords(target, errno);
    }
    if (ok && ::rename(tempName.constData(), QFile::encodeName(target).constData()) != 0) {
        ok = false;
        why = writeFailureWords(target, errno);
    }
    if (!ok) {
        ::unlink(tempName.constData());
        return fail(why);
    }
    syncPath(Paths::parentDir(target));
    return true;
}

bool syncPath(const QString& path, QString* error)
{
    const QString real = CiFile::resolve(path);
    const int fd = ::open(QFile::encodeName(real).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = writeFailure(real, errno);
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    if (!ok && error)
        *error = writeFailure(real, errno);
    ::close(fd);
    return ok;
}

bool placeCopy(const QString& from, const QString& to, Words* error, FileSum* placed, const FileSum* known)
{
    const QString src = CiFile::resolve(from);
    const QString dst = CiFile::resolve(to);
    if (!CiFile::isFile(src)) {
        if (error)
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "找不到文件 %1"), src);
        return false;
    }
    if (QFile::exists(dst)) {
        if (error)
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "文件 %1 已存在"), dst);
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
                *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法读取文件 %1"), dst);
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
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法读取文件 %1：%2"), src, in.errorString());
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

enum class KernelCopy { Done, NotOffered, Failed };

// The kernel copies file to file, as a plain file copy does: the bytes never pass through this
// process, and `trail` takes the checksum from the copy stretch by stretch.
KernelCopy copyInKernel(QFile& file, int out, const QString& to, std::optional<TrailingSum>& trail, Words* why)
{
    loff_t from = file.pos();
    qint64 written = 0;
    // Stretches small enough for the checksum to follow closely, large enough to cost no calls.
    const size_t stretch = trail ? size_t(16) << 20 : size_t(1) << 30;
    for (;;) {
        const ssize_t n = ::copy_file_range(file.handle(), &from, out, nullptr, stretch, 0);
        if (n > 0) {
            written += n;
            if (trail)
                trail->advance(written);
            continue;
        }
        if (n == 0)
            break;
        if (errno == EINTR)
            continue;
        // Not offered between these two files: copied through the buffer instead.
        if (written == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            return KernelCopy::NotOffered;
        }
        *why = writeFailureWords(to, errno);
        return KernelCopy::Failed;
    }
    return KernelCopy::Done;
}

// Copied through a buffer where the kernel cannot copy (a source that is no file, or file
// systems that do not offer it), the checksum taken on the way.
bool copyThroughBuffer(QIODevice& in, int out, const QString& to, Checksum* sum, Words* why)
{
    // A fixed buffer keeps memory flat whatever the size of the file; the file is written from a
    // second processor while the first reads (and unseals) the next stretch.
    WriteBehind behind(out, to);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            *why = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "读取数据时出错（%1），无法写入 %2"), in.errorString(), to);
            return false;
        }
        if (n == 0)
            break;
        if (sum)
            sum->add(buffer.constData(), n);
        if (!behind.write(buffer.constData(), n, why))
            return false;
    }
    return behind.finish(why);
}

bool copyInto(QIODevice& in, const QString& to, QString* error, Checksum* sum, bool flush)
{
    Words why;
    const bool copied = copyInto(in, to, &why, sum, flush);
    if (!copied && error)
        *error = why.shown;
    return copied;
}

bool copyInto(QIODevice& in, const QString& to, Words* error, Checksum* sum, bool flush)
{
    const QByteArray toName = QFile::encodeName(to);
    // Written through its descriptor alone, so a failure's cause (a full disk above all) is the
    // system's own and can be told as such.
    const int out = ::open(toName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        if (error)
            *error = writeFailureWords(to, errno);
        return false;
    }
    bool ok = true;
    Words why;
    // The kernel's copy first; a checksum is then taken from the copy by a second thread.
    auto* file = qobject_cast<QFile*>(&in);
    bool kernelCopy = file && file->handle() >= 0;
    std::optional<TrailingSum> trail;
    if (kernelCopy && sum)
        trail.emplace(to, *sum);
    if (kernelCopy) {
        switch (copyInKernel(*file, out, to, trail, &why)) {
        case KernelCopy::Done:
            break;
        case KernelCopy::Failed:
            ok = false;
            break;
        case KernelCopy::NotOffered:
            kernelCopy = false;
            if (trail) {
                trail->finish(true);
                trail.reset();
            }
            break;
        }
    }
    if (ok && !kernelCopy)
        ok = copyThroughBuffer(in, out, to, sum, &why);
    // A full disk often shows only here, when the file system places the blocks it promised.
    if (ok && flush && ::fsync(out) != 0) {
        ok = false;
        why = writeFailureWords(to, errno);
    }
    Words readBack;
    if (trail && !trail->finish(!ok, ok ? &readBack : nullptr)) {
        if (ok)
            why = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法读回刚写入的 %1（%2）"), to, readBack);
        ok = false;
    }
    if (::close(out) != 0 && ok) {
        ok = false;
        why = writeFailureWords(to, errno);
    }
    if (!ok) {
        ::unlink(toName.constData());
        if (error)
            *error = why;
    }
    return ok;
}
}
