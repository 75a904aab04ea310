#pragma once
// A set's books between a server schema and a SQLite file, streamed through the server's COPY, so
// a server installation's export writes the same data file as one from files and its import fills
// a schema from such a file. Values keep their types (integers, reals, text, bytes); rows go one
// at a time, never a whole table in memory.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class Database;

namespace BooksTransfer {
// A table on the server: its schema ("pg_temp" for one of this session's temporary tables) and name.
struct Source {
    QString schema;
    QString table;
};

// Writes `tables` into the new SQLite file `file` (must not exist) under their own names, with
// SQLite's declarations: the account template's own for the template's tables (their template rows
// give way to the books'), for the others derived from the server's catalogue (text in the
// collation its column has there: the books' case-insensitive one as NOCASE, a deterministic one as
// BINARY, so a key unique on the server stays unique), with their keys and indexes. A column of a
// type or collation the file cannot keep as the server has it is refused, naming table and column,
// before anything is written. A column named "rowid" (the server's order
// of writing) is left out and its rows come in that order. The file is in incremental auto-vacuum
// like the template's books, has no journal and is not flushed: the caller flushes it once. `db`
// is a server connection; its open transaction (REPEATABLE READ or SERIALIZABLE, else refused) is
// the state that is written. The engine declares
// everything and fills only the tables PageWriter cannot take; the rest go straight into pages.
void toFile(Database& db, const QList<Source>& tables, const QString& file);

// Called with the file once toFile has written its pages, before it returns: a test damages the
// file there as a fault of the page writer would, to see the caller's check refuse it. None is set
// outside tests.
using WrittenHook = std::function<void(const QString& file)>;
void setWrittenHook(const WrittenHook& hook);

// Fills the schema `schema` (made empty in db's open transaction) with every table of the SQLite
// file `file` except those in `skip`, rows, keys and indexes included: the template's tables as the
// template makes them on the server, the others from the file's declarations. A table in `keepOrder`
// gets SQLite's row order as a column "rowid". Text in the tables of `systemText` (the transfer
// tables, which the merge compares with the system database's rows) compares as the system
// database's (`db` is its connection); in the others as the books' own. The file is only read.
// Throws DbError; the caller's transaction then undoes everything.
void toServer(Database& db, const QString& schema, const QString& file, const QStringList& skip = {},
              const QStringList& keepOrder = {}, const QStringList& systemText = {});
}
