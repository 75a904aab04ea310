#include "PassphraseFile.h"

#include <SealedStream.h>

#include <QFile>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <unistd.h>

std::shared_ptr<const Passphrase> PassphraseFile::read(const QString& path, QString* why)
{
    // Opened without following a final link, and checked on the descriptor that is then read, so
    // what is checked is what is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        *why = tr("无法读取口令文件 %1：%2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *why = tr("口令文件 %1 不是普通文件").arg(path);
        return nullptr;
    }
    if (st.st_mode & (S_IRWXG | S_IRWXO)) {
        ::close(fd);
        *why = tr("口令文件 %1 的权限过宽（同组或其他用户可以访问），请用 chmod 600 %1 只留给所有者").arg(path);
        return nullptr;
    }
    // A passphrase is a line; a larger file is some other file, and is not read whole.
    QByteArray bytes(4096, '\0');
    qint64 got = 0;
    for (;;) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
        if (got == bytes.size())
            break;
    }
    ::close(fd);
    qsizetype end = bytes.indexOf('\n');
    if (end < 0 || end > got)
        end = got;
    if (end > 0 && bytes.at(end - 1) == '\r')
        --end;
    // What follows the first line is wiped with the rest before the buffer is freed.
    sodium_memzero(bytes.data() + end, size_t(bytes.size() - end));
    bytes.truncate(end);
    if (bytes.isEmpty()) {
        *why = tr("口令文件 %1 的第一行是空的").arg(path);
        return nullptr;
    }
    return std::shared_ptr<const Passphrase>(Passphrase::fromUtf8(bytes).release());
}
