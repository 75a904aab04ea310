#pragma once
// Ends another program's window found by its title: a window that may be closed this way
// listens on a local socket named after its title; another program connects and tells it to exit.
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

class WindowRegistry : public QObject {
    Q_OBJECT
public:
    // Starts listening under `title` while this object lives.
    WindowRegistry(const QString& title, QObject* parent = nullptr);
    ~WindowRegistry() override;
    bool isListening() const;

    // What a "terminate" request does; by default the process ends at once with code 0.
    static void setTerminateHandler(std::function<void()> handler);

private:
    QLocalServer* m_server = nullptr;
};

namespace SingleInstance {
QString socketName(const QString& title);
// True when some program has a window registered under `title`.
bool windowExists(const QString& title);
// Asks the owner of one window titled `title` (this user's, on this display) to end (polite:
// close; otherwise terminate); one that does not end within 2 s is killed by its process id.
// Returns false when no such window was found.
bool signalWindow(const QString& title, bool polite);
}
