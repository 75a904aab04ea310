#include "TaskNotifier.h"
#include "TaskRegistry.h"

#include <ConnInfo.h>
#include <ErrLog.h>
#include <ServerStatement.h>

#include <QSocketNotifier>

#include <libpq-fe.h>
#include <mutex>
#include <thread>

namespace {
// How long the background opening waits for a server that does not answer.
constexpr int kGiveUpSeconds = 10;
} // namespace

// What the opening thread hands over: the listening session and its first mark, or why it failed.
struct TaskNotifier::Opening {
    std::mutex lock;
    bool done = false;
    std::unique_ptr<Database> db;
    QString mark;
    QString error;
};

TaskNotifier::TaskNotifier(const Database& sysDb, int pollMs, QObject* parent)
    : QObject(parent)
{
    const bool server = sysDb.engine() == Engine::PostgreSQL;
    connect(&m_timer, &QTimer::timeout, this, &TaskNotifier::poll);
    m_timer.setInterval(server ? kServerPollMs : pollMs);
    m_timer.start();
    if (server) {
        m_conninfo = sysDb.conninfo();
        m_schema = sysDb.schema();
        m_waiting.setInterval(25);
        connect(&m_waiting, &QTimer::timeout, this, &TaskNotifier::adopt);
        openInBackground();
        return;
    }
    m_db = std::make_unique<Database>();
    m_db->openLike(sysDb);
    m_mark = TaskRegistry::changeMark(*m_db);
}

// A thread still opening (a server that does not answer) keeps what it shares with this one and
// closes its session itself; one that is done is waited for.
TaskNotifier::~TaskNotifier()
{
    if (!m_thread.joinable())
        return;
    bool done = true;
    if (m_opening) {
        const std::lock_guard<std::mutex> held(m_opening->lock);
        done = m_opening->done;
    }
    if (done)
        m_thread.join();
    else
        m_thread.detach();
}

void TaskNotifier::openInBackground()
{
    auto opening = std::make_shared<Opening>();
    m_opening = opening;
    const QString conninfo = ConnInfo(m_conninfo).givingUpAfter(kGiveUpSeconds).connectString();
    if (m_thread.joinable())
        m_thread.join();   // the one before, done
    m_thread = std::thread([opening, conninfo, schema = m_schema] {
        // Nobody waits for these round trips: they are not the console's.
        const ServerStatement::Uncounted nobodyWaits;
        auto db = std::make_unique<Database>();
        QString mark;
        QString error;
        try {
            db->openServer(conninfo, schema, false);
            db->execute(QStringLiteral("LISTEN %1").arg(Tasks::kChannel));
            mark = TaskRegistry::changeMark(*db);
        } catch (const DbError& e) {
            error = e.text();
            db.reset();
        }
        const std::lock_guard<std::mutex> held(opening->lock);
        opening->db = std::move(db);
        opening->mark = mark;
        opening->error = error;
        opening->done = true;
    });
    m_waiting.start();
}

void TaskNotifier::adopt()
{
    std::unique_ptr<Database> db;
    QString mark;
    QString error;
    {
        const std::lock_guard<std::mutex> held(m_opening->lock);
        if (!m_opening->done)
            return;
        db = std::move(m_opening->db);
        mark = m_opening->mark;
        error = m_opening->error;
    }
    m_waiting.stop();
    m_opening.reset();
    if (!db) {
        WriteErrLog(3, error, QStringLiteral("TaskNotifier"));
        return;
    }
    m_db = std::move(db);
    watch();
    if (mark != m_mark) {
        m_mark = mark;
        emit changed();
    }
}

// A session the server dropped is opened again by the next statement, without its LISTEN: the
// poll listens on the new one.
void TaskNotifier::watch()
{
    if (m_db->connectionName() == m_watchedName)
        return;
    if (m_watched)
        m_db->execute(QStringLiteral("LISTEN %1").arg(Tasks::kChannel));
    m_watched = m_db->serverConn();
    m_watchedName = m_db->connectionName();
    m_socket = std::make_unique<QSocketNotifier>(PQsocket(m_watched), QSocketNotifier::Read);
    connect(m_socket.get(), &QSocketNotifier::activated, this, &TaskNotifier::heard);
}

void TaskNotifier::heard()
{
    if (drained())
        emit changed();
}

bool TaskNotifier::drained()
{
    // A session that broke would wake this again and again, and one opened again since (whose
    // notifications the poll follows) is not the one watched: the poll takes over.
    if (!m_socket || m_db->connectionName() != m_watchedName || !PQconsumeInput(m_watched)) {
        if (m_socket)
            m_socket->setEnabled(false);
        return false;
    }
    bool ours = false;
    while (PGnotify* n = PQnotifies(m_watched)) {
        ours = ours || Tasks::kChannel == QString::fromUtf8(n->relname);
        PQfreemem(n);
    }
    return ours;
}

void TaskNotifier::poll()
{
    if (!m_db) {
        if (!m_opening)
            openInBackground();
        return;
    }
    try {
        const QString mark = TaskRegistry::changeMark(*m_db);
        bool told = false;
        if (m_db->engine() == Engine::PostgreSQL) {
            watch();
            told = drained();   // what the statement read along with its rows
        }
        if (mark != m_mark || told) {
            m_mark = mark;
            emit changed();
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("TaskNotifier"));
    }
}
