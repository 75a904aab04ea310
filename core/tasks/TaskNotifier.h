#pragma once
// Tells a console that the tasks of its installation changed, so it refreshes its grids: on a
// server at once, through the notification every change sends (LISTEN on a session of its own);
// on files by a cheap poll of the change mark (TaskRegistry::changeMark). Both also poll for what
// only time changes (a heartbeat growing old) and, on a server, for a session that was lost.
#include <Database.h>

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <thread>

class QSocketNotifier;

class TaskNotifier : public QObject {
    Q_OBJECT
public:
    // Watches the installation `sysDb` is open on, over a connection of its own, polling files
    // every `pollMs` and a server every kServerPollMs. A server's session is opened on a thread of
    // its own, so no one waits for it; once it listens the grids are read again (a change made
    // meanwhile was heard by no one). A session that cannot be opened is tried again at the next
    // poll, the error log saying why. Throws DbError when a file cannot be opened.
    explicit TaskNotifier(const Database& sysDb, int pollMs = 2000, QObject* parent = nullptr);
    ~TaskNotifier() override;
    static constexpr int kServerPollMs = 15000;

signals:
    void changed();

private:
    struct Opening;
    void poll();
    void openInBackground();
    void adopt();
    // Reads the notifications on the session's socket, and follows a session opened again.
    void watch();
    void heard();
    // Whether the session holds a notification of a change (read, so it is not heard twice).
    bool drained();

    std::unique_ptr<Database> m_db;
    std::shared_ptr<Opening> m_opening;   // a server session being opened, until it is adopted
    std::thread m_thread;   // the one opening it
    QString m_conninfo;
    QString m_schema;
    QTimer m_timer;
    QTimer m_waiting;   // looks for the opened session
    std::unique_ptr<QSocketNotifier> m_socket;
    PGconn* m_watched = nullptr;
    QString m_watchedName;   // the session m_watched belongs to (Database::connectionName)
    QString m_mark;
};
