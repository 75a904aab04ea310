#pragma once
// A statement with bound values on a server session in one round trip: its text and values go out
// as one extended-query message (parse, bind, execute, sync) on the session's connection, where Qt's
// driver would PREPARE, EXECUTE and DEALLOCATE (three round trips, 60 ms at 20 ms from the server).
// The rows come back as that driver gives them: the same QVariant type for the same column type, a
// null as a null of that type, the server's failure with its SQLSTATE.
#include "Recordset.h"

#include <QSqlError>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <vector>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace ServerStatement {

// One result of the server, owned.
class Result {
public:
    Result(PGconn* conn, PGresult* result);
    ~Result();
    Result(Result&& other) noexcept;
    Result& operator=(Result&& other) noexcept;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;

    // The server refused the statement, or the session broke; error() says how, as the driver would.
    bool failed() const;
    QSqlError error() const;
    int rows() const;
    int columns() const;
    QVariant value(int row, int column) const;
    // The columns' names and types.
    QSqlRecord record() const;
    // Every row, read whole.
    Recordset recordset() const;
    int rowsAffected() const;

private:
    PGconn* m_conn;
    PGresult* m_result;
};

// `sql` with `?` placeholders (outside quotes) and `params` in order, in one round trip; without
// values the text goes as it is written.
Result run(PGconn* conn, const QString& sql, const QVariantList& params);

// The same, each row handed to `row` (its result and its number there) as the server sends it,
// nothing held whole. Returns the server's failure (an invalid QSqlError when none); when `row` throws, the rest
// of the rows are read and dropped, so the session stays usable, and the exception goes on.
QSqlError each(PGconn* conn, const QString& sql, const QVariantList& params,
               const std::function<void(const Result& rows, int row)>& row);

// Statements without values, separated by ';', in one round trip; the result is the last one's, or
// the first refused statement's failure (the rest are not run).
Result script(PGconn* conn, const QString& sql);

// Statements, each `?` of one taking its own values, sent at once in libpq's pipeline mode and
// answered in one round trip: a result for each in order, up to and including the first that
// failed (the server runs none after it).
struct Sent {
    QString sql;
    QVariantList params;
};
std::vector<Result> pipeline(PGconn* conn, const QList<Sent>& statements);

// A COPY the server refused: its result `r` (taken; null when the session's own message tells)
// thrown as DbError in the words of a refused statement.
[[noreturn]] void copyFailed(PGconn* conn, PGresult* r, const QString& sql);
// Reads the results that end a COPY; throws the first failure.
void endCopy(PGconn* conn, const QString& sql);

// The server's spelling of the placeholders: `?` outside quotes becomes $1, $2, ...
QByteArray numbered(const QString& sql);

// The round trips this process made to servers, and one more piece of work counted.
qint64 roundTrips();
void counted(int trips);
// While one lives, the round trips of its thread are not counted: work nobody waits for (the
// task notifier's own session, opened in the background).
class Uncounted {
public:
    Uncounted();
    ~Uncounted();
    Uncounted(const Uncounted&) = delete;
    Uncounted& operator=(const Uncounted&) = delete;
};

} // namespace ServerStatement
