#pragma once
// On a server a set's books are a schema of the system database's own database, written on the
// same connection in the same transaction as the system rows. The template's statements name
// their tables unqualified, so while they run the books' schema is the connection's search path;
// SET LOCAL ends with the transaction whether it commits or not, and the system schema is put
// back as soon as this object goes.
#include <QString>

class Database;

class BooksSearchPath {
public:
    BooksSearchPath(Database& db, const QString& books);
    ~BooksSearchPath();
    BooksSearchPath(const BooksSearchPath&) = delete;
    BooksSearchPath& operator=(const BooksSearchPath&) = delete;

private:
    Database& m_db;
};
