#include "WorkLock.h"

#include <CiFile.h>
#include <Database.h>
#include <Paths.h>

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const QString kLockName = QStringLiteral("KdErpWork.lock");
}

WorkLock::WorkLock(const Database& sysDb, Mode mode)
{
    if (sysDb.engine() == Engine::PostgreSQL) {
        m_held = true;
        return;
    }
    const QString path = Paths::join(Paths::parentDir(CiFile::resolve(sysDb.path())), kLockName);
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // Without a lock file (a read-only folder) nothing can be changed there anyway: work as before.
    if (m_fd < 0) {
        m_held = true;
        return;
    }
    const int how = LOCK_EX | (mode == Mode::Try ? LOCK_NB : 0);
    int rc;
    do
        rc = ::flock(m_fd, how);
    while (rc != 0 && errno == EINTR);
    m_held = rc == 0;
}

WorkLock::~WorkLock()
{
    // Closing the descriptor releases the lock; the file stays for the next program.
    if (m_fd >= 0)
        ::close(m_fd);
}
