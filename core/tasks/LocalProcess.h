#pragma once
// Whether a process of this workstation still runs: a task registered from here whose process is
// gone is abnormal at once, without waiting for its heartbeat to grow old.
#include <QtGlobal>

namespace LocalProcess {
// When process `pid` started, in clock ticks since boot (/proc/<pid>/stat); 0 when there is no
// such process or it cannot be read.
qint64 startOf(qint64 pid);
// Whether `pid` runs and, when `start` is known (not 0), is the process that started then and not
// a later one given the same number.
bool running(qint64 pid, qint64 start);
}
