#pragma once
// The small engine interface over SQLite, or a PostgreSQL server: every value is a bound
// parameter, every failure throws DbError with the engine's text.
#include "DbError.h"
#include "Engine.h"
#include "Recordset.h"
#include "RowView.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <vector>

namespace ServerStatement {
class Result;
}
typedef struct pg_conn PGconn;
typedef struct sqlite3 sqlite3;

class Database {
public:
    Database() = default;
    // Opens (creating when missing only if `create`) the file; throws DbError.
    explicit Database(const QString& path, bool create = false);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void open(const QString& path, bool create = false);
    // Opens a file only to read it, as something that nothing changes while it is open: no journal
    // is played, no lock taken and nothing appears beside it (a backup set's data file stays as it
    // was written). Throws DbError when it is missing or not a database.
    void openImmutable(const QString& path);
    // Opens a schema of a PostgreSQL database, making it (and its case-insensitive collation "ci")
    // when missing; unqualified names then mean that schema's tables. `conninfo` is a libpq
    // connection string of keyword=value pairs (empty: libpq's PG* environment variables), the
    // password coming from ~/.pgpass; `schema` is a name the program chooses, never user text.
    // Throws DbError (isConnectionLost() when the server cannot be reached).
    // Without `create` a missing schema is refused (books that are not there are not made empty).
    void openServer(const QString& conninfo, const QString& schema, bool create = true);
    // A session on a server database for work that makes `schema` itself inside its transaction
    // (createSchema), so a rollback leaves the database as it was: nothing is made on opening,
    // unqualified names mean `schema` once it exists. Throws DbError as openServer.
    void openServerToMake(const QString& conninfo, const QString& schema);
    // Another connection to what `other` has open (the same file, or the same schema of the same
    // server database): a worker thread's own, or a second session.
    void openLike(const Database& other);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }
    Engine engine() const { return m_engine; }
    QString schema() const { return m_schema; }
    QString conninfo() const { return m_conninfo; }
    // What attach() takes to reach this database from another connection: the file's path, or
    // the schema's name on the same server database.
    QString location() const { return m_engine == Engine::PostgreSQL ? m_schema : m_path; }
    // The schema an alias of this connection's statements stands for on the server ("main" its own,
    // or an attached one); on SQLite the alias itself.
    QString schemaOf(const QString& alias) const;
    // Whether the server database holds a schema of that name (a server connection only).
    bool schemaExists(const QString& name);
    // Makes an empty schema of this server database with its collation "ci", inside the open
    // transaction when there is one (a new set's books); throws DbError when it exists.
    void createSchema(const QString& name);
    // The text columns of the other schemas of this server database whose case-insensitive
    // collation is not their own schema's (books an import filled with the system database's)
    // made to use their own, so a dump of one set's books alone restores anywhere. One catalogue
    // query when there is nothing to change. Returns how many columns were changed.
    int ownCollations();
    // Whether any column would change (one statement, outside a transaction): opening an
    // installation converts only then.
    bool hasForeignCollations();
    // How a text column that compares without regard to case is declared on this engine.
    QString textColumn() const;

    // One statement; `?` placeholders take params in order.
    void execute(const QString& sql, const QVariantList& params = {});
    // Statements without values, in order; on a server in one round trip (one message of them all,
    // the first refused stops the rest and throws).
    void executeScript(const QStringList& statements);
    // A statement of a batch: `?` placeholders take params in order.
    struct Statement {
        QString sql;
        QVariantList params;
    };
    // Runs the statements in order, as one round trip on the server (libpq's pipeline mode on the
    // session's connection), one after another on SQLite; returns each one's rows (an empty
    // Recordset for one without rows). A failure throws DbError (the server's text and SQLSTATE,
    // as a single statement's) for the first statement that failed; the ones after it are not run.
    // Used inside a Transaction like any statement; rowsAffected() is then the last one's. Outside
    // one the server keeps all of a batch or none of it, SQLite the statements before the failure.
    QList<Recordset> batch(const QList<Statement>& statements);
    // Number of rows the last execute() changed.
    int rowsAffected() const { return m_rowsAffected; }
    Recordset query(const QString& sql, const QVariantList& params = {});
    // Each row of a result in turn, without holding them all (a log of a hundred thousand rows).
    void forEach(const QString& sql, const QVariantList& params, const std::function<void(const RowView& row)>& each);
    // First column of the first row, or a null QVariant.
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    // The round trips this process has made to servers so far (a session's start, each statement):
    // what a person waits for at each one's distance from the server.
    static qint64 roundTrips();

    // What the engine's full PRAGMA integrity_check finds wrong (at most `limit` lines); empty when
    // the file is sound. Full, not quick: only it compares every index with its table's rows, and
    // a file whose pages this program wrote (or that a backup brings) is trusted by nothing else.
    QStringList integrityProblems(int limit = 5);

    QStringList tables();
    bool hasTable(const QString& name);
    // Makes another database reachable as `alias.table` in this connection's statements, so one
    // transaction spans both: a file attached to SQLite, or on the server a schema of the same
    // database (`location` is its name), whose alias is given its name in each statement.
    void attach(const QString& location, const QString& alias);
    void detach(const QString& alias);
    // A compacted copy of the whole database in a new file (which must not exist), flushed to disk.
    void compactInto(const QString& path);
    // Gives every free page of a database in incremental auto-vacuum back to the file system, in
    // one statement (one truncation); returns how many remain (0 unless a writer added some).
    qint64 releaseFreePages();

    // The driver's connection to a file (SQLite); a server session has none.
    QSqlDatabase& handle() { return m_db; }
    // The server session's own libpq connection, for the server's COPY and notifications; a
    // transaction's BEGIN not yet sent goes first, so what is sent on it belongs to the
    // transaction. Throws DbError on a connection to a file.
    PGconn* serverConn();
    // The file's own SQLite connection, for the work that goes past the driver (the page writer,
    // the move's reads of a file). Throws DbError on a server session.
    sqlite3* fileConn();
    // Names this connection while it is open: a new one for each opening, never reused.
    QString connectionName() const { return m_connection; }

    // Rows streamed into a server table by COPY ... FROM STDIN, in the server's text format (a
    // line per row, tab between values, \N for null): put() the lines, then finish(). A COPY
    // not finished is ended as failed when this goes, so the server keeps none of its rows.
    // Throws DbError with the server's text (a trigger's refusal, a broken key).
    class CopyIn {
    public:
        CopyIn(Database& db, const QString& copyStatement);
        ~CopyIn();
        void put(const QByteArray& lines);
        void finish();
        CopyIn(const CopyIn&) = delete;
        CopyIn& operator=(const CopyIn&) = delete;

    private:
        PGconn* m_conn = nullptr;
        QString m_sql;
        bool m_open = false;
    };
    // The rows of COPY (query) TO STDOUT handed to `each` one at a time as the server sends them
    // (a row's line of the text format, its line end included), none held. Throws DbError.
    void copyOut(const QString& copyStatement, const std::function<void(const char* data, int size)>& each);
    // Whether a Transaction of this handle is open: work that must join the caller's transaction
    // (the audit log's row) writes inside it, and opens its own otherwise.
    bool inTransaction() const { return m_transactions > 0; }

    // Commits when commit() is called; rolls back when it goes out of scope otherwise. On a server
    // the BEGIN goes out with the transaction's first statement (or batch), and commit() sends
    // `last` with the COMMIT, so a transaction costs no round trip of its own; one in which
    // nothing was sent ends without any.
    class Transaction {
    public:
        explicit Transaction(Database& db);
        ~Transaction();
        void commit(const QList<Statement>& last = {});
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        Database& m_db;
        bool m_done = false;
    };

    // How long this connection waits for another's lock on a file, for the life of this object,
    // then the usual few seconds again. A row written after an action failed on a lock waits
    // briefly: the person has waited once already. Nothing changes on a server.
    class BusyWait {
    public:
        BusyWait(Database& db, int ms);
        ~BusyWait();
        BusyWait(const BusyWait&) = delete;
        BusyWait& operator=(const BusyWait&) = delete;

    private:
        Database& m_db;
        bool m_set = false;
    };
    // The wait of every connection to a file.
    static constexpr int kBusyWaitMs = 5000;

private:
    // The server session alone (openServer's first half), its settings carried in the start-up
    // message.
    void connectServer(const QString& conninfo, const QString& schema);
    // The statements in one pipeline, after the transaction's BEGIN when it has not gone yet;
    // throws the first failure.
    std::vector<ServerStatement::Result> pipelined(const QList<Statement>& statements);
    // The transaction's BEGIN alone, for a statement that cannot carry it (a COPY, a long read).
    void beginNow();
    void connect(const QString& real, const QString& name, const QString& options);
    [[noreturn]] void raise(const QSqlError& e, const QString& sql) const;
    QSqlQuery run(const QString& sql, const QVariantList& params);
    bool onServer() const { return m_engine == Engine::PostgreSQL; }
    // The rows of a statement the driver ran, read whole.
    Recordset rowsOf(QSqlQuery& q, const QString& sql) const;
    ServerStatement::Result runOnServer(const QString& written, const QVariantList& params);
    // The statement as this connection sends it, once a lost session is opened again.
    QString statementFor(const QString& written);
    // The server's spelling of a statement written for SQLite (see Database.cpp).
    QString forServer(const QString& sql) const;
    // A server connection found lost is opened again (same conninfo, schema and attached aliases)
    // before the next statement, unless a transaction is open: its work is gone with the session.
    void reconnect();

    QSqlDatabase m_db;   // a file's
    PGconn* m_pg = nullptr;   // a server session's
    QString m_connection;
    QString m_path;
    QString m_schema;
    QString m_conninfo;
    QHash<QString, QString> m_aliases;   // server: attached alias -> schema
    Engine m_engine = Engine::SQLite;
    int m_rowsAffected = 0;
    int m_transactions = 0;
    bool m_beginPending = false;   // server: a Transaction's BEGIN waits for its first statement
    mutable bool m_lost = false;   // the server dropped the session (a statement said so)
};
