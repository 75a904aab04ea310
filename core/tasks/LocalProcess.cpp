#include "LocalProcess.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <cerrno>
#include <csignal>

namespace LocalProcess {
qint64 startOf(qint64 pid)
{
    if (pid <= 0)
        return 0;
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    // The command's name (field 2) is in parentheses and may hold spaces: fields are counted after
    // its closing one, where field 3 begins; the start time is field 22.
    const QByteArray line = f.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields[19].toLongLong() : 0;
}

bool running(qint64 pid, qint64 start)
{
    if (pid <= 0)
        return false;
    // EPERM: it runs, as another user.
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    if (start == 0)
        return true;
    const qint64 now = startOf(pid);
    return now == 0 || now == start;
}
}
