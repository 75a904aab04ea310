#pragma once
// The tasks of an installation in its system database (SM_Task, SM_TaskFunc), seen alike by every
// workstation: a console registers after its login and a backup job when it starts, beats while it
// runs and ends when it is done; while it works on a set and year it holds a function there.
//
// A claim is checked and written under one lock, so two workstations claiming at once cannot both
// win: SQLite's write lock (the transaction begins IMMEDIATE), and on a server an advisory lock on
// the set held to the commit. A task that died keeps its functions (on files nothing releases
// them by itself): they block until its task is cleared or they are released, each with a log row.
// The database must outlive the registry; a registry still registered ends its task when destroyed.
#include "Tasks.h"

#include <AuditLog.h>
#include <Database.h>
#include <Outcome.h>

#include <QList>

// What a clearing did.
struct TaskOutcome {
    int done = 0;             // tasks cleared, or functions released
    QList<qint64> kept;       // asked for, but live again (or gone already): left as they are
    Notice notice;            // what to tell; critical when the database refused
};

class TaskRegistry {
public:
    TaskRegistry(Database& sysDb, TaskInfo me);
    ~TaskRegistry();
    TaskRegistry(const TaskRegistry&) = delete;
    TaskRegistry& operator=(const TaskRegistry&) = delete;

    // Registers the task (login, job start); its id. Throws DbError.
    qint64 start();
    qint64 id() const { return m_id; }
    // Renews the heartbeat. False when the task is no longer registered (cleared as abnormal by
    // another console: its functions are gone) or the database refused (logged); never throws, and
    // waits for another program's write lock on a file at most kBeatWaitMs.
    static constexpr int kBeatWaitMs = 200;
    bool heartbeat();
    // Removes the task with its functions (logout, job end). Never throws (a failure is logged).
    void end();

    Claim claim(const QString& accId, int year, Tasks::Function f);
    void release(qint64 token);

    // The grids, each one statement, oldest first; grids() reads both in one round trip.
    QList<TaskRow> tasks();
    QList<FunctionRow> functions();
    struct Grids {
        QList<TaskRow> tasks;
        QList<FunctionRow> functions;
    };
    Grids grids();
    QList<TaskRow> abnormal();
    // Functions held by abnormal tasks, or by tasks no longer there.
    QList<FunctionRow> staleClaims();

    // Removes the abnormal tasks among `ids` with their functions, one log row each (in its
    // transaction); a task that is live again is kept.
    TaskOutcome clearAbnormal(const QList<qint64>& ids, const AuditContext& who);
    // Releases the functions among `ids` whose task is abnormal or gone, one log row each.
    TaskOutcome releaseClaims(const QList<qint64>& ids, const AuditContext& who);

    // A mark of the tasks and functions as they stand (which rows, how many are past their beat):
    // a console polls it cheaply and refreshes its grids when it changed (the token is updated).
    static QString changeMark(Database& sysDb);
    bool changedSince(QString& token);

    // The tables in an installation made before them (either engine); nothing when present. The
    // statements alone, in one message with the rest of an installation's upkeep, and the names
    // of what they make, which the upkeep asks for.
    static void ensureTables(Database& sysDb);
    static QStringList tableStatements(const Database& sysDb);
    static const QStringList& tableNames();

private:
    struct Held;
    Database::Statement conflictStatement(const QString& accId, int year, bool exclusive) const;
    bool conflictIn(Recordset rows, Held* held) const;
    bool goneHere(const QString& station, qint64 pid, qint64 pidStart) const;
    void changed();
    // The notification of a change, sent with the transaction's COMMIT (nothing on files).
    QList<Database::Statement> changeStatements() const;
    QString tasksStatement() const;
    QString functionsStatement() const;
    QList<TaskRow> tasksOf(Recordset rows) const;
    QList<FunctionRow> functionsOf(Recordset rows) const;
    bool clearOne(qint64 id, const AuditContext& who);
    bool releaseOne(qint64 id, const AuditContext& who);
    TaskOutcome clearing(const QList<qint64>& ids, bool tasks, const AuditContext& who);

    Database& m_db;
    TaskInfo m_me;
    qint64 m_id = 0;
};
