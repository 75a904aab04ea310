#pragma once
// The account-database template: the empty books every new set's books are made from.
#include <QString>

class Database;

namespace AccountTemplate {
// A new template file at `path` (must not exist).
void create(const QString& path);
// The template's tables and rows in the empty database open in `db` (a new set's books on a
// server, made from the same statements as the template file).
void fill(Database& db);
}
