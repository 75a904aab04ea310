#include "SetListing.h"

#include <AccountDb.h>
#include <CiFile.h>
#include <Database.h>

#include <QHash>

namespace {
// The bytes of every books schema of the server installation (tables with their indexes), in one
// statement: books that are missing have no entry.
QHash<QString, qint64> schemaSizes(Database& sysDb)
{
    QHash<QString, qint64> sizes;
    Recordset rs = sysDb.query(QStringLiteral("SELECT n.nspname, coalesce(sum(pg_total_relation_size(c.oid)) FILTER (WHERE c.relkind='r'), 0) "
                                              "FROM pg_namespace n LEFT JOIN pg_class c ON c.relnamespace=n.oid "
                                              "WHERE n.nspname LIKE 'zt%' GROUP BY n.nspname"));
    for (; !rs.Eof(); rs.MoveNext())
        sizes.insert(rs.Fields(0).toString(), rs.Fields(1).toLongLong());
    return sizes;
}
} // namespace

QList<ListedBooks> SetListing::read(Database& sysDb)
{
    const bool server = sysDb.engine() == Engine::PostgreSQL;
    const QHash<QString, qint64> sizes = server ? schemaSizes(sysDb) : QHash<QString, qint64>();
    QList<ListedBooks> out;
    for (Recordset rs = sysDb.query(QStringLiteral("select cAcc_Id, cAcc_Name, iYear, cAcc_Path from SM_Account order by cAcc_Id, iYear"));
         !rs.Eof(); rs.MoveNext()) {
        ListedBooks b{rs.Fields(0).toString(), rs.Fields(1).toString(), rs.Fields(2).toInt()};
        b.books = server ? AccountDb::booksSchema(b.accId, b.year) : AccountDb::databasePath(rs.Fields(3).toString(), b.accId, b.year);
        b.bytes = server ? sizes.value(b.books, -1) : CiFile::size(b.books);
        out.append(b);
    }
    return out;
}
