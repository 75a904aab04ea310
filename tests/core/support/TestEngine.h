#pragma once
// The same test functions run once per engine: a data column "engine" with a row for SQLite and
// one for the PostgreSQL server the test run started (ctest's fixture passes it in PGHOST,
// PGPORT, PGUSER and PGDATABASE).
#include <Database.h>

#include <QTemporaryDir>

namespace TestEngine {
// Adds the column "engine" (an Engine) with the rows "sqlite" and "postgresql".
void addRows();
// Why the server's rows cannot run here, or empty when they can.
QString serverMissing();
// Makes every insert into `table` of the database open in `db` fail with `text` (a trigger that
// raises, in the engine's own words), and takes that away again: an injected failure. `when`, a
// condition on the row (new.column), limits it to some rows.
void refuseInserts(Database& db, const QString& table, const QString& text, const QString& when = QString());
void allowInserts(Database& db, const QString& table);
// The same for every insert, update and delete of `table`.
void refuseWrites(Database& db, const QString& table, const QString& text);
void allowWrites(Database& db, const QString& table);
} // namespace TestEngine

// An empty database of the row's engine: a file in a folder of its own, or a schema of its own on
// the server, dropped with everything in it at the end.
class ScratchDb {
public:
    explicit ScratchDb(Engine engine);
    ~ScratchDb();
    Database& db() { return m_db; }
    // A second session on the same data (another workstation, or the one that holds a lock).
    void openAnother(Database& other);

private:
    QTemporaryDir m_dir;
    Database m_db;
};

// A database of its own on the test run's server (a server installation needs a whole one),
// dropped at the end.
class ServerDatabase {
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;
    QString conninfo() const { return QStringLiteral("dbname=") + m_name; }

private:
    QString m_name;
};

// Skips a server row when no server was started for the run, naming why.
#define SKIP_WITHOUT_SERVER(engine)                                                \
    do {                                                                           \
        if ((engine) == Engine::PostgreSQL && !TestEngine::serverMissing().isEmpty()) \
            QSKIP(qPrintable(TestEngine::serverMissing()));                        \
    } while (false)
