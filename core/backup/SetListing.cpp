#include "SetListing.h"

#include <AccountDb.h>
#include <CiFile.h>
#include <Database.h>

#include <QHash>

namespace {
const QString kSets = QStringLiteral("select cAcc_Id, cAcc_Name, iYear, cAcc_Path from SM_Account order by cAcc_Id, iYear");
// The bytes of every books schema of the server installation (tables with their indexes): books
// that are missing have no row.
const QString kSchemaSizes = QStringLiteral("SELECT n.nspname, coalesce(sum(pg_total_relation_size(c.oid)) FILTER (WHERE c.relkind='r'), 0) "
                                            "FROM pg_namespace n LEFT JOIN pg_class c ON c.relnamespace=n.oid "
                                            "WHERE n.nspname LIKE 'zt%' GROUP BY n.nspname");
} // namespace

QList<ListedBooks> SetListing::read(Database& sysDb)
{
    const bool server = sysDb.engine() == Engine::PostgreSQL;
    // On a server the sizes and the sets in one round trip.
    const QList<Recordset> got = server ? sysDb.batch({{kSchemaSizes, {}}, {kSets, {}}}) : QList<Recordset>{Recordset(), sysDb.query(kSets)};
    QHash<QString, qint64> sizes;
    for (Recordset rs = got.at(0); !rs.Eof(); rs.MoveNext())
        sizes.insert(rs.Fields(0).toString(), rs.Fields(1).toLongLong());
    QList<ListedBooks> out;
    for (Recordset rs = got.at(1); !rs.Eof(); rs.MoveNext()) {
        ListedBooks b{rs.Fields(0).toString(), rs.Fields(1).toString(), rs.Fields(2).toInt()};
        b.books = server ? AccountDb::booksSchema(b.accId, b.year) : AccountDb::databasePath(rs.Fields(3).toString(), b.accId, b.year);
        b.bytes = server ? sizes.value(b.books, -1) : CiFile::size(b.books);
        out.append(b);
    }
    return out;
}
