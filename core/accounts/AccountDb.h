#pragma once
// Where an account set's books lie, and where a new account database comes from.
#include <Database.h>

#include <QString>
#include <QStringList>

#include <memory>

namespace AccountDb {
// The folder rule, the one place it is written. A stored path with or without a trailing
// separator (of either kind) gives the same folders: PATH/zt<acc>, PATH/zt<acc>/<year>,
// PATH/zt<acc>/<year>/KdData.mdb. Existing names that differ only in case are reused.
QString accountFolder(const QString& accPath, const QString& accId);
QString yearFolder(const QString& accPath, const QString& accId, int year);
QString databasePath(const QString& accPath, const QString& accId, int year);

// Every missing level of `folder`, made from the top down; the ones made are appended to `made`,
// so work that fails later takes them away again with removeFolders. False when one cannot be made.
bool makeFolders(const QString& folder, QStringList& made);
// The folders `made` lists, deepest first; only empty ones go.
void removeFolders(const QStringList& made);

// The account-database template: kddata/KdData.mdb in the folder of the running executable, else
// in the installed data folder (<prefix>/share/revozi/kddata/KdData.mdb beside <prefix>/bin).
QString templatePath();

// The set's folder and start year from SM_Account (the row with the smallest year when
// `year` is 0); false when the set has no row.
bool locate(Database& sysDb, const QString& accId, int year, QString* accPath, int* foundYear);

// On a server installation a set's books of one year are the schema zt<acc>_<year> of the
// database that holds the system database's schema.
QString booksSchema(const QString& accId, int year);

// Where the books of a set and year are, as Database::attach takes it: the file's path, or on a
// server the schema's name. Empty when the set has no row for that year (0: its first year).
QString location(Database& sysDb, const QString& accId, int year = 0);

// Opens the account database of a set and year as recorded in the system database (on a server:
// the set's schema beside the system database's).
// Throws DbError with a clear text when the set has no row or its books are missing. On a server
// the connection holds the books shared (BooksLock) until it closes.
std::unique_ptr<Database> open(Database& sysDb, const QString& accId, int year = 0);
// Opens the books at a location() (a file's path, or a schema of the server database `sysDb` is
// on). Throws DbError when they are missing; nothing is made.
std::unique_ptr<Database> openAt(Database& sysDb, const QString& location);
}
