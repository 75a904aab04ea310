#include "SingleInstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdlib>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
std::function<void()>& terminateSlot()
{
    static std::function<void()> h;
    return h;
}
} // namespace

namespace SingleInstance {
QString socketName(const QString& title)
{
    // Socket names become file names: hash the title (Chinese, brackets) and keep users and
    // displays apart, so a console on another display, or another user's, is never ended.
    QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        display = qgetenv("WAYLAND_DISPLAY");
    const QByteArray key = title.toUtf8() + '\0' + qgetenv("USER") + '\0' + display;
    return QStringLiteral("revozi-") + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(20));
}

bool windowExists(const QString& title)
{
    QLocalSocket s;
    s.connectToServer(socketName(title));
    const bool ok = s.waitForConnected(200);
    s.abort();
    return ok;
}

bool signalWindow(const QString& title, bool polite)
{
    QLocalSocket s;
    s.connectToServer(socketName(title));
    if (!s.waitForConnected(200))
        return false;
    // The listening program, known from the socket itself: it need not answer to be found.
    pid_t pid = 0;
    struct ucred cred {};
    socklen_t len = sizeof cred;
    if (::getsockopt(int(s.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid()
        && cred.pid != ::getpid())
        pid = cred.pid;
    s.write(polite ? "close\n" : "terminate\n");
    s.waitForBytesWritten(500);
    // A console answers by ending, which closes the socket; one that has not within 2 s is frozen
    // and is ended by its process id.
    const bool answered = s.state() == QLocalSocket::UnconnectedState || s.waitForDisconnected(2000);
    if (!answered && pid > 0)
        ::kill(pid, SIGKILL);
    return true;
}
}

WindowRegistry::WindowRegistry(const QString& title, QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    const QString name = SingleInstance::socketName(title);
    if (!m_server->listen(name)) {
        // A stale socket left by a program that ended abnormally.
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* c = m_server->nextPendingConnection()) {
            connect(c, &QLocalSocket::readyRead, c, [c] {
                const QByteArray line = c->readLine().trimmed();
                c->disconnectFromServer();
                if (line == "terminate" || line == "close") {
                    if (terminateSlot())
                        terminateSlot()();
                    else
                        std::_Exit(0);
                }
            });
            connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
        }
    });
}

WindowRegistry::~WindowRegistry()
{
    m_server->close();
}

bool WindowRegistry::isListening() const
{
    return m_server->isListening();
}

void WindowRegistry::setTerminateHandler(std::function<void()> handler)
{
    terminateSlot() = std::move(handler);
}
