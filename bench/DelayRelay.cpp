#include "DelayRelay.h"

#include <QtGlobal>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// One direction of a relayed connection: what is read is written again once it is `delay` old.
class DelayedPipe {
public:
    DelayedPipe(int from, int to, Clock::duration delay, std::function<void()> onRead)
        : m_from(from), m_to(to), m_delay(delay), m_onRead(std::move(onRead))
    {
        m_reader = std::thread([this] { read(); });
        m_writer = std::thread([this] { write(); });
    }
    ~DelayedPipe()
    {
        m_reader.join();
        m_writer.join();
    }

private:
    struct Chunk {
        Clock::time_point due;
        QByteArray bytes;   // empty: the end
    };
    void read()
    {
        char buf[65536];
        for (;;) {
            const ssize_t n = ::read(m_from, buf, sizeof buf);
            if (n > 0 && m_onRead)
                m_onRead();
            push({Clock::now() + m_delay, n > 0 ? QByteArray(buf, n) : QByteArray()});
            if (n <= 0)
                return;
        }
    }
    void push(Chunk c)
    {
        std::lock_guard lock(m_mutex);
        m_chunks.push_back(std::move(c));
        m_ready.notify_one();
    }
    void write()
    {
        for (;;) {
            Chunk c;
            {
                std::unique_lock lock(m_mutex);
                m_ready.wait(lock, [this] { return !m_chunks.empty(); });
                c = std::move(m_chunks.front());
                m_chunks.pop_front();
            }
            std::this_thread::sleep_until(c.due);
            if (c.bytes.isEmpty()) {
                ::shutdown(m_to, SHUT_WR);
                return;
            }
            for (qsizetype done = 0; done < c.bytes.size();) {
                const ssize_t n = ::send(m_to, c.bytes.constData() + done, size_t(c.bytes.size() - done), MSG_NOSIGNAL);
                if (n <= 0) {
                    ::shutdown(m_from, SHUT_RD);
                    return;
                }
                done += n;
            }
        }
    }

    int m_from, m_to;
    Clock::duration m_delay;
    std::function<void()> m_onRead;
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<Chunk> m_chunks;
    std::thread m_reader, m_writer;
};

} // namespace

class DelayRelay::Impl {
public:
    Impl(const QByteArray& serverSocket, double rttMs)
        : m_server(serverSocket), m_delay(std::chrono::microseconds(qint64(rttMs * 500)))
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_listen, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(m_listen, 16) != 0
            || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            qFatal("the relay cannot listen on 127.0.0.1");
        m_port = ntohs(a.sin_port);
        m_accepting = std::thread([this] { accept(); });
    }
    ~Impl()
    {
        ::shutdown(m_listen, SHUT_RDWR);
        m_accepting.join();
        for (const Link& l : m_links) {
            ::shutdown(l.client, SHUT_RDWR);
            ::shutdown(l.server, SHUT_RDWR);
        }
        m_links.clear();
        ::close(m_listen);
    }
    int port() const { return m_port; }
    qint64 turns() const { return m_turns.load(); }

private:
    struct Link {
        int client, server;
        std::shared_ptr<std::atomic<bool>> spoke;
        std::shared_ptr<DelayedPipe> up, down;
    };
    void accept()
    {
        for (;;) {
            const int client = ::accept(m_listen, nullptr, nullptr);
            if (client < 0)
                return;
            const int one = 1;
            ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un u{};
            u.sun_family = AF_UNIX;
            qstrncpy(u.sun_path, m_server.constData(), sizeof u.sun_path);
            if (::connect(server, reinterpret_cast<sockaddr*>(&u), sizeof u) != 0) {
                ::close(client);
                ::close(server);
                continue;
            }
            Link l{client, server, std::make_shared<std::atomic<bool>>(false), nullptr, nullptr};
            auto spoke = l.spoke;
            l.up = std::make_shared<DelayedPipe>(client, server, m_delay, [spoke] { *spoke = true; });
            l.down = std::make_shared<DelayedPipe>(server, client, m_delay, [this, spoke] {
                if (spoke->exchange(false))
                    ++m_turns;
            });
            m_links.push_back(std::move(l));
        }
    }

    QByteArray m_server;
    Clock::duration m_delay;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<qint64> m_turns{0};
    std::vector<Link> m_links;
    std::thread m_accepting;
};

DelayRelay::DelayRelay(const QByteArray& serverSocket, double rttMs)
    : m_impl(std::make_unique<Impl>(serverSocket, rttMs))
{
}

DelayRelay::~DelayRelay() = default;

int DelayRelay::port() const
{
    return m_impl->port();
}

long long DelayRelay::turns() const
{
    return m_impl->turns();
}
