#pragma once
// Builds the databases of a new installation from the SQL and charts compiled into the program.
#include <QString>

class Database;

namespace Installation {
// Runs a script of statements (one per ';' at a line end; "--" lines are comments).
void runScript(Database& db, const QString& resourcePath);
// A new system database at `path` (must not exist): schema, shipped rows, preset charts.
void createSystemDatabase(const QString& path);
// A new account-database template at `path` (must not exist).
void createAccountTemplate(const QString& path);
// The system database of the installation at `root`: ROOT/DeZaduzi/DeZaduzi.mdb, matched without
// regard to case; the path as expected when it is missing.
QString sysDbPath(const QString& root);
// A new installation root: ROOT/DeZaduzi/DeZaduzi.mdb. Refuses (DbError) when one exists.
void createRoot(const QString& root);
// Opens the system database at `path` into `db` as every program of the installation does: new
// files follow the installation's modes (FileModes), the table of wrong passwords is made when
// missing, and passwords still kept in plain text, here and in the mirror, become hashes. What
// cannot be converted (a read-only file) is logged and left: the login still reads it.
// Throws DbError when the database cannot be opened.
// Without `convert` the passwords are left for convertPasswords (a console runs it off its
// window's thread, on a connection of its own, and only when a plain one is left).
void openSystemDatabase(Database& db, const QString& path, bool convert = true);
// Hashes the plain passwords left in the system database open in `db` and in its mirror.
void convertPasswords(Database& db);
}
