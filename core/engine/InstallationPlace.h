#pragma once
// Where an installation is: the files under its root folder, or a database on a server. Made once
// from what the person chose (a root on the command line, a server at login or after --server);
// "server or files" is answered by this value and nowhere else.
#include "ConnInfo.h"

#include <QString>

class InstallationPlace {
public:
    InstallationPlace() = default;
    // The files under `root` (kept with a trailing separator).
    static InstallationPlace files(const QString& root);
    static InstallationPlace server(const ConnInfo& server);

    bool onServer() const { return m_onServer; }
    bool isEmpty() const { return m_onServer ? m_server.isEmpty() : m_root.isEmpty(); }
    // The root folder, ending with a separator; empty on a server.
    QString root() const { return m_root; }
    // The server's connection string; empty for files.
    const ConnInfo& conn() const { return m_server; }
    // The system database file under the root, matched without regard to case (the path as
    // expected when it is missing); empty on a server.
    QString sysDbPath() const;
    // The same for the root folder `root`: ROOT/DeZaduzi/DeZaduzi.mdb.
    static QString sysDbPathUnder(const QString& root);
    // What a person is shown: the server's host:port/database, or the root folder.
    QString shown() const;

private:
    bool m_onServer = false;
    QString m_root;
    ConnInfo m_server;
};
