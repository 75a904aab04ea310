#include "BooksLock.h"

#include <Database.h>

#include <QStringList>

namespace {
// The first key of the two-key advisory locks on books; the second is the hash of the schema.
constexpr int kBooksClass = 7407;
}

namespace BooksLock {
void share(Database& db, const QString& schema)
{
    if (!db.scalar(QStringLiteral("SELECT pg_try_advisory_lock_shared(?, hashtext(?))"), {kBooksClass, schema}).toBool())
        throw DbError(QStringLiteral("账套库 %1 正在被删除或引入，请稍后再试。").arg(schema));
}

QStringList holders(Database& db, const QString& schema)
{
    QStringList out;
    for (Recordset rs = db.query(QStringLiteral("SELECT DISTINCT a.application_name FROM pg_locks l JOIN pg_stat_activity a ON a.pid=l.pid "
                                                "WHERE l.locktype='advisory' AND l.classid=? AND l.objid=hashtext(?)::oid AND l.objsubid=2 "
                                                "AND l.granted AND l.pid<>pg_backend_pid() ORDER BY 1"),
                                 {kBooksClass, schema});
         !rs.Eof(); rs.MoveNext())
        out << (rs.Fields(0).toString().isEmpty() ? QStringLiteral("（未知）") : rs.Fields(0).toString());
    return out;
}

void claim(Database& db, const QString& schema, const QString& accId, const QString& action)
{
    if (db.scalar(QStringLiteral("SELECT pg_try_advisory_xact_lock(?, hashtext(?))"), {kBooksClass, schema}).toBool())
        return;
    const QStringList who = holders(db, schema);
    throw DbError(QStringLiteral("账套[%1]的账套库正在工作站[%2]上使用，无法%3。请在那里退出使用该账套的程序后再试。")
                      .arg(accId, who.isEmpty() ? QStringLiteral("（未知）") : who.join(QStringLiteral("、")), action));
}
}
