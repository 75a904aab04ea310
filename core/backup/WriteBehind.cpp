#include "WriteBehind.h"
#include "DurableFile.h"

WriteBehind::WriteBehind(int fd, const QString& path)
    : m_fd(fd)
    , m_path(path)
    , m_thread([this] { run(); })
{
    m_filling.reserve(kBuffer);
}

WriteBehind::~WriteBehind()
{
    Words ignored;
    finish(&ignored);
}

bool WriteBehind::write(const char* data, qint64 size, QString* error)
{
    Words why;
    const bool handed = write(data, size, &why);
    if (!handed && error)
        *error = why.shown;
    return handed;
}

bool WriteBehind::write(const char* data, qint64 size, Words* error)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_failure.stored.isEmpty()) {
            if (error)
                *error = m_failure;
            return false;
        }
    }
    m_filling.append(data, size);
    if (m_filling.size() >= kBuffer)
        handOver(false);
    return true;
}

void WriteBehind::handOver(bool last)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kQueued || !m_failure.stored.isEmpty(); });
    if (!m_filling.isEmpty() && m_failure.stored.isEmpty())
        m_queue.push_back(std::move(m_filling));
    m_filling = QByteArray();
    if (!last)
        m_filling.reserve(kBuffer);
    m_closed = m_closed || last;
    m_changed.notify_all();
}

bool WriteBehind::finish(QString* error)
{
    Words why;
    const bool written = finish(&why);
    if (!written && error)
        *error = why.shown;
    return written;
}

bool WriteBehind::finish(Words* error)
{
    if (m_thread.joinable()) {
        handOver(true);
        m_thread.join();
    }
    if (!m_failure.stored.isEmpty() && error)
        *error = m_failure;
    return m_failure.stored.isEmpty();
}

void WriteBehind::run()
{
    for (;;) {
        QByteArray next;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_closed; });
            if (m_queue.empty())
                return;
            next = std::move(m_queue.front());
            m_queue.pop_front();
        }
        m_changed.notify_all();
        Words why;
        if (!BackupSet::writeAll(m_fd, next.constData(), next.size(), m_path, &why)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_failure = why;
            m_queue.clear();
            m_changed.notify_all();
            return;
        }
    }
}
