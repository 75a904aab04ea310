#pragma once
// The console's two grids as every workstation's tasks fill them: below the console's own row
// (which the login writes), one row for each other task of the installation, and in the lower
// grid the functions those tasks hold on sets and years. From a login to the logout the console's
// task beats, and the grids are read again when another console changes the tasks (TaskNotifier),
// on 刷新 (F5), and after a clearing. 清除异常任务 and 清除单据锁定 clear what dead tasks left.
#include <Tasks.h>

#include <QCoreApplication>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>

class frmMain;
class TaskNotifier;
struct Session;

class TaskGrids : public QObject {
    Q_OBJECT
public:
    TaskGrids(Session& session, frmMain& console);
    ~TaskGrids() override;

    // After a login: registers the console's task (a supervisor's with its set and year), starts its
    // heartbeat and the watch for other consoles' changes, and fills the grids. A task that cannot
    // be registered is logged; the console works on without one.
    void loggedIn();
    // At the logout: the task ends, the other tasks' rows go.
    void loggedOut();
    // Both grids read again.
    void refresh();
    // The administrator's clearings, each after a question that lists what goes.
    void clearAbnormalTasks();
    void releaseStaleClaims();

private:
    void beat();
    void fillTasks(const QList<TaskRow>& tasks);
    void fillFunctions(const QList<FunctionRow>& functions);
    static QString yearText(int year);
    static bool confirmListed(const QString& question, QStringList lines, const QString& title);

    Session& m_session;
    frmMain& m_console;
    QTimer m_beat;
    std::unique_ptr<TaskNotifier> m_notifier;
};
