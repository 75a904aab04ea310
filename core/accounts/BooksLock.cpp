#include "BooksLock.h"

#include <Database.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>

namespace {
// The first key of the two-key advisory locks on books; the second is the hash of the schema.
constexpr int kBooksClass = 7407;
// A workstation that has just left the books keeps its lock until its server process has ended,
// a moment after it disconnected: a claim tries again for this long before it is refused.
constexpr int kLeavingGraceMs = 2000;
constexpr int kRetryMs = 50;

// What claim() refuses, as the callers name it in Chinese; shown in the console's language.
const char* const kActions[] = {QT_TRANSLATE_NOOP("BooksLock", "删除"), QT_TRANSLATE_NOOP("BooksLock", "覆盖")};

QString unknown()
{
    return QStringLiteral("（未知）"); // not translated: stands for a workstation's name in both forms
}
} // namespace

namespace BooksLock {
void share(Database& db, const QString& schema)
{
    if (!db.scalar(QStringLiteral("SELECT pg_try_advisory_lock_shared(?, hashtext(?))"), {kBooksClass, schema}).toBool())
        throw DbError(Words::of("BooksLock", QT_TRANSLATE_NOOP("BooksLock", "账套库 %1 正在被删除或引入，请稍后再试。"), schema));
}

QStringList holders(Database& db, const QString& schema)
{
    QStringList out;
    for (Recordset rs = db.query(QStringLiteral("SELECT DISTINCT a.application_name FROM pg_locks l JOIN pg_stat_activity a ON a.pid=l.pid "
                                                "WHERE l.locktype='advisory' AND l.classid=? AND l.objid=hashtext(?)::oid AND l.objsubid=2 "
                                                "AND l.granted AND l.pid<>pg_backend_pid() ORDER BY 1"),
                                 {kBooksClass, schema});
         !rs.Eof(); rs.MoveNext())
        out << (rs.Fields(0).toString().isEmpty() ? unknown() : rs.Fields(0).toString());
    return out;
}

void claim(Database& db, const QString& schema, const QString& accId, const QString& action)
{
    const QDeadlineTimer grace(kLeavingGraceMs);
    for (;;) {
        if (db.scalar(QStringLiteral("SELECT pg_try_advisory_xact_lock(?, hashtext(?))"), {kBooksClass, schema}).toBool())
            return;
        if (grace.hasExpired())
            break;
        QThread::msleep(kRetryMs);
    }
    const QStringList who = holders(db, schema);
    Q_UNUSED(kActions);
    const QString stations = who.isEmpty() ? unknown() : who.join(QStringLiteral("、")); // not translated: a list of names
    const Words refused{action, QCoreApplication::translate("BooksLock", action.toUtf8().constData())};
    throw DbError(Words::of("BooksLock", QT_TRANSLATE_NOOP("BooksLock", "账套[%1]的账套库正在工作站[%2]上使用，无法%3。请在那里退出使用该账套的程序后再试。"),
                            accId, stations, refused));
}
}
