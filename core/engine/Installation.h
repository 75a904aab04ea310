#pragma once
// Builds the databases of a new installation from the SQL and charts compiled into the program.
#include <QString>

class Database;

namespace Installation {
// Runs a script of statements (one per ';' at a line end; "--" lines are comments).
void runScript(Database& db, const QString& resourcePath);
// A new system database at `path` (must not exist): schema, shipped rows, preset charts. Its only
// operator is the administrator, with the empty initial password the login form announces; a
// `demo` also gets the sample operators a demonstration shows (never a working installation:
// they have empty passwords).
void createSystemDatabase(const QString& path, bool demo = false);
// A new account-database template at `path` (must not exist).
void createAccountTemplate(const QString& path);
// The template's tables and rows in the empty database open in `db` (a new set's books on a
// server, made from the same statements as the template file).
void fillAccountTemplate(Database& db);

// A server installation is one PostgreSQL database: the system database is its schema
// "dezaduzi", each set's books (set and year) a schema "zt<set>_<year>" of their own.
inline constexpr const char* kSystemSchema = "dezaduzi";
// Where the programs take an installation from, a root folder or a server: "server:" and a libpq
// connection string (keyword=value pairs, or service=NAME) names a server installation.
inline constexpr const char* kServerPrefix = "server:";
inline bool isServer(const QString& where) { return where.startsWith(QLatin1String(kServerPrefix)); }
inline QString serverWhere(const QString& conninfo) { return QLatin1String(kServerPrefix) + conninfo.trimmed(); }
// Makes the system database of a new server installation in the database `conninfo` names.
// Refuses (DbError) when that database already holds one.
void createServer(const QString& conninfo, bool demo = false);
// Opens the system database of the server installation in `conninfo` (as openSystemDatabase).
// Throws DbError when the server cannot be reached or holds no installation.
void openServerSystem(Database& db, const QString& conninfo, bool convert = true);
// What a person is shown for a server: host:port/database (or service=NAME), never a password.
QString serverLabel(const QString& conninfo);
// Whether a connection string carries a password (as a pair or in a postgresql:// address): the
// tools refuse one on their command line, where every user of the machine can read it.
bool hasPassword(const QString& conninfo);
// The system database of the installation at `root`: ROOT/DeZaduzi/DeZaduzi.mdb, matched without
// regard to case; the path as expected when it is missing.
QString sysDbPath(const QString& root);
// A new installation root: ROOT/DeZaduzi/DeZaduzi.mdb. Refuses (DbError) when one exists.
void createRoot(const QString& root, bool demo = false);
// Opens the system database at `path` into `db` as every program of the installation does: new
// files follow the installation's modes (FileModes), the table of wrong passwords is made when
// missing, and passwords still kept in plain text, here and in the mirror, become hashes. What
// cannot be converted (a read-only file) is logged and left: the login still reads it.
// Throws DbError when the database cannot be opened.
// Without `convert` the passwords are left for convertPasswords (a console runs it off its
// window's thread, on a connection of its own, and only when a plain one is left).
// `path` may also be "server:CONNINFO" (isServer), which opens the server's system database.
void openSystemDatabase(Database& db, const QString& path, bool convert = true);
// Hashes the plain passwords left in the system database open in `db` and in its mirror.
void convertPasswords(Database& db);
}
