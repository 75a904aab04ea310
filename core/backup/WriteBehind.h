#pragma once
// A file written by a second thread while the first makes the next bytes (seals or unseals them):
// the processor's work and the system's copying into the file overlap on two processors. Memory
// stays at a few buffers: a writer that falls behind makes the maker wait.
#include <QByteArray>
#include <QString>

#include <Words.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class WriteBehind {
public:
    // Writes to the open file `fd` (which is `path`, named in a failure's sentence).
    WriteBehind(int fd, const QString& path);
    // Waits for what was handed over; the caller checks finish() to know it arrived.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Hands `size` bytes over; false, with the sentence of an earlier failure, once writing failed.
    bool write(const char* data, qint64 size, QString* error);
    bool write(const char* data, qint64 size, Words* error);
    // Waits until every byte handed over is written; false with the failure's sentence (in both
    // forms through Words: a failed export's log row keeps the Chinese).
    bool finish(QString* error);
    bool finish(Words* error);

private:
    static constexpr qint64 kBuffer = qint64(1) << 20;
    static constexpr size_t kQueued = 4;

    void handOver(bool last);
    void run();

    const int m_fd;
    const QString m_path;
    QByteArray m_filling;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    bool m_closed = false;
    Words m_failure;     // set once by the writing thread
    std::thread m_thread;
};
