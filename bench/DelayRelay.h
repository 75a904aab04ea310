#pragma once
// A server at a distance for the benchmarks: a TCP port on 127.0.0.1 that forwards every
// connection to the server's Unix socket, holding each chunk half the round trip each way, and
// counts the turns (the server answering after the client spoke).
#include <QByteArray>

#include <memory>

class DelayRelay {
public:
    DelayRelay(const QByteArray& serverSocket, double rttMs);
    ~DelayRelay();
    DelayRelay(const DelayRelay&) = delete;
    DelayRelay& operator=(const DelayRelay&) = delete;
    int port() const;
    long long turns() const;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};
