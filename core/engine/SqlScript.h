#pragma once
// The SQL scripts and data compiled into the program, run into a database.
#include <QString>

#include <functional>

class Database;

namespace SqlScript {
// The text of a compiled-in resource; DbError naming it when the program lacks it.
QString readResource(const QString& path);
// Runs a script of statements (one per ';' at a line end; "--" lines are comments), with the
// server's wider integer and real types on a server.
void run(Database& db, const QString& resourcePath);
// A new database file at `path` (must not exist) filled by `fill` in one transaction under a
// temporary name, then renamed: a failure leaves no file at `path`.
void createFile(const QString& path, const std::function<void(Database&)>& fill);
}
