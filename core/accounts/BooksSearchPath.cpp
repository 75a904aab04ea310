#include "BooksSearchPath.h"

#include <Database.h>

BooksSearchPath::BooksSearchPath(Database& db, const QString& books)
    : m_db(db)
{
    m_db.execute(QStringLiteral("SET LOCAL search_path TO %1").arg(books));
}

BooksSearchPath::~BooksSearchPath()
{
    try {
        m_db.execute(QStringLiteral("SET LOCAL search_path TO %1").arg(m_db.schema()));
    } catch (const DbError&) {
        // The transaction failed: its rollback restores the path.
    }
}
