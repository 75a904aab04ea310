#pragma once
// Who works where: the tasks of an installation (a console after its login, a revozi-backup job)
// and the functions each holds on a set and year, as the console's two grids show them and as the
// work that replaces or removes books asks before it starts (TaskRegistry).
#include <Words.h>

#include <QDateTime>
#include <QString>

namespace Tasks {
// The subsystems a task runs, as SM_Task keeps them (Chinese in every language).
inline const QString kConsole = QStringLiteral("控制台"); // not translated: stored, shown through subsystemShown()
inline const QString kBackup = QStringLiteral("备份"); // not translated: stored, shown through subsystemShown()
// The channel a server installation's sessions hear a change of the tasks on (LISTEN/NOTIFY).
inline const QString kChannel = QStringLiteral("revozi_tasks");
// A task is abnormal once its heartbeat is older than this many of its intervals.
inline constexpr int kMissedBeats = 3;

// What a task works on. Import, deletion, clearing a year and importing a year replace or remove
// books: they are exclusive, refused while any other task holds a function on that set and year,
// and refuse every other function meanwhile. The others share the set and year.
enum class Function { Login, Export, Import, Delete, YearCreate, YearClear, YearImport, YearExport, CarryForward };
bool exclusive(Function f);
// Its name: in Chinese as SM_TaskFunc and the log keep it, and in the console's language.
Words name(Function f);
// A stored subsystem's or function's name in the console's language (itself when not ours).
QString subsystemShown(const QString& stored);
QString functionShown(const QString& stored);
} // namespace Tasks

// The task a registry registers: who runs what, from where. Empty fields are this process's.
struct TaskInfo {
    QString subsystem;    // Tasks::kConsole or Tasks::kBackup
    QString operatorId;   // the operator logged in (a job: empty)
    QString station;      // empty: this machine's name
    QString osUser;       // empty: the user this process runs as
    qint64 pid = 0;       // 0: this process
    int intervalMs = 30000;   // how often it beats (the console: its Timer2's 30 s)
};

// A row of the upper grid: one task.
struct TaskRow {
    qint64 id = 0;
    QString subsystem, station, osUser, operatorId;
    QDateTime login, beat;
    qint64 pid = 0;
    int intervalMs = 0;
    bool abnormal = false;   // heartbeat too old, or its process on this workstation gone
    bool mine = false;       // the registry's own task
    QString stateShown() const;   // 正常 or 异常, in the console's language
};

// A row of the lower grid: a function held by a task.
struct FunctionRow {
    qint64 id = 0;
    qint64 taskId = 0;
    QString accId;
    int year = 0;            // 0: every year of the set
    QString operatorId;
    QString function;        // as stored (Chinese); functionShown() for the grid
    bool exclusive = false;
    QDateTime since;
    QString station;         // its task's workstation (empty when the task row is gone)
    bool abnormal = false;   // its task is abnormal or gone: it still blocks until released
};

// What claim() answers: a token for release(), or why not.
struct Claim {
    qint64 token = 0;
    Words refusal;   // names the workstation, operator and function in the way; or the engine's failure
    bool granted() const { return token != 0; }
};
