#pragma once
// Tells a console that the tasks of its installation changed, so it refreshes its grids: on a
// server at once, through the notification every change sends (LISTEN on a session of its own);
// on files by a cheap poll of the change mark (TaskRegistry::changeMark). Both also poll for what
// only time changes (a heartbeat growing old) and, on a server, for a session that was lost.
#include <Database.h>

#include <QObject>
#include <QString>
#include <QTimer>

class TaskNotifier : public QObject {
    Q_OBJECT
public:
    // Watches the installation `sysDb` is open on, over a connection of its own, polling files
    // every `pollMs` and a server every kServerPollMs. Throws DbError when it cannot connect.
    explicit TaskNotifier(const Database& sysDb, int pollMs = 2000, QObject* parent = nullptr);
    static constexpr int kServerPollMs = 15000;

signals:
    void changed();

private:
    void poll();
    void listen();

    Database m_db;
    QTimer m_timer;
    QString m_mark;
};
