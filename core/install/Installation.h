#pragma once
// Makes and opens an installation: its system database built from the SQL and charts compiled into
// the program, and opened as every program of the installation opens it (the wrong passwords' and
// the tasks' tables made, plain passwords hashed, the audit log's tables brought up to date).
#include <Database.h>
#include <InstallationPlace.h>

#include <QList>
#include <QString>

namespace Installation {
// A new system database at `path` (must not exist): schema, shipped rows, preset charts. Its only
// operator is the administrator, with the empty initial password the login form announces; a
// `demo` also gets the sample operators a demonstration shows (never a working installation:
// they have empty passwords).
void createSystemDatabase(const QString& path, bool demo = false);

// A server installation is one PostgreSQL database: the system database is its schema
// "dezaduzi", each set's books (set and year) a schema "zt<set>_<year>" of their own.
inline constexpr const char* kSystemSchema = "dezaduzi";
// Makes the system database of a new server installation in the database `server` names.
// Refuses (DbError) when that database already holds one.
void createServer(const ConnInfo& server, bool demo = false);
// What opening a system database found: whether it is an installation (a server's; files are
// taken as they are), and whether passwords in plain text are left for convertPasswords (only
// when it was not asked to convert them).
struct Opened {
    bool installed = true;
    bool plainPasswords = false;
    QList<Recordset> read;   // the rows of what the caller asked to read with the upkeep's question
};
// Opens the system database of the server installation `server` names (as openSystemDatabase).
// Throws DbError when the server cannot be reached or holds no installation.
Opened openServerSystem(Database& db, const ConnInfo& server, bool convert = true, const QList<Database::Statement>& alsoRead = {});
// The system database of the installation at `root`: ROOT/DeZaduzi/DeZaduzi.mdb, matched without
// regard to case; the path as expected when it is missing.
QString sysDbPath(const QString& root);
// A new installation root: ROOT/DeZaduzi/DeZaduzi.mdb. Refuses (DbError) when one exists.
void createRoot(const QString& root, bool demo = false);
// Opens the system database of the installation at `place` into `db` as every program of the installation does: new
// files follow the installation's modes (FileModes), the tables of wrong passwords and of the
// tasks (TaskRegistry) are made when missing, and passwords still kept in plain text, here and in the mirror, become hashes. What
// cannot be converted (a read-only file) is logged and left: the login still reads it.
// Throws DbError when the database cannot be opened.
// Without `convert` the passwords are left for convertPasswords (a console runs it off its
// window's thread, on a connection of its own, and only when a plain one is left).
// A server installation's system database is its schema (openServerSystem).
// What is kept up to date is asked in one statement and made only when missing (InstallationUpkeep);
// `alsoRead` goes in the same round trip (the login's operators; read before the caller converts
// plain passwords itself, so read again by it after that).
Opened openSystemDatabase(Database& db, const InstallationPlace& place, bool convert = true, const QList<Database::Statement>& alsoRead = {});
// Opens the system database of the installation at `place` for a job that only reads it (a
// listing): nothing is made, converted or brought up to date, so on a server the session's start
// is all it costs. Throws DbError when it cannot be opened or a server database holds no
// installation schema.
void openToRead(Database& db, const InstallationPlace& place);
// Hashes the plain passwords left in the system database open in `db` and in its mirror.
void convertPasswords(Database& db);
}
