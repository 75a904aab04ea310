#pragma once
// The password of the server login a server installation's connection uses. The current one is
// proved by a connection of its own made with it; the new one reaches the server only as the
// SCRAM verifier the client library computes (ALTER ROLE ... PASSWORD '<verifier>'), so the plain
// password never appears in the server's log or its statistics. The change and its log row
// commit together. The workstation's ~/.pgpass line the connection used then gets the new
// password (rewritten under a temporary name, mode 0600, the other lines as they were).
#include <AuditLog.h>
#include <Outcome.h>

#include <QString>

class Database;

struct ServerPasswordOutcome {
    enum class Status { Done, Refused, Failed };
    Status status = Status::Failed;
    Notice notice;
    bool pgpassUpdated = false;   // a ~/.pgpass line was rewritten
    bool done() const { return status == Status::Done; }
};

namespace ServerPassword {
// Changes the password of the login `sysDb` (a server installation's system database) is
// connected as from `current` to `fresh`. `pgpass` is the password file to update (empty:
// PGPASSFILE, else ~/.pgpass); it is left alone when it is missing or has no line for the
// connection.
ServerPasswordOutcome change(Database& sysDb, const QString& current, const QString& fresh, const AuditContext& who,
                             const QString& pgpass = QString());
}
