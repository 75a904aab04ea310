#include "TaskNotifier.h"
#include "TaskRegistry.h"

#include <ErrLog.h>

#include <QSqlDriver>
#include <QSqlError>

TaskNotifier::TaskNotifier(const Database& sysDb, int pollMs, QObject* parent)
    : QObject(parent)
{
    m_db.openLike(sysDb);
    const bool server = m_db.engine() == Engine::PostgreSQL;
    if (server)
        listen();
    m_mark = TaskRegistry::changeMark(m_db);
    m_timer.setInterval(server ? kServerPollMs : pollMs);
    connect(&m_timer, &QTimer::timeout, this, &TaskNotifier::poll);
    m_timer.start();
}

// A session the server dropped is opened again by the next statement, without its LISTEN: the
// poll subscribes the new one.
void TaskNotifier::listen()
{
    QSqlDriver* driver = m_db.handle().driver();
    if (!driver || driver->subscribedToNotifications().contains(Tasks::kChannel))
        return;
    if (!driver->subscribeToNotification(Tasks::kChannel)) {
        WriteErrLog(3, driver->lastError().text(), QStringLiteral("TaskNotifier"));
        return;
    }
    connect(driver, &QSqlDriver::notification, this, [this](const QString& name) {
        if (name == Tasks::kChannel)
            emit changed();
    });
}

void TaskNotifier::poll()
{
    try {
        const QString mark = TaskRegistry::changeMark(m_db);
        if (m_db.engine() == Engine::PostgreSQL)
            listen();
        if (mark != m_mark) {
            m_mark = mark;
            emit changed();
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("TaskNotifier"));
    }
}
