#include "InstallationUpkeep.h"

#include <AuditLog.h>
#include <Database.h>
#include <ErrLog.h>
#include <LoginCheck.h>
#include <PasswordHash.h>
#include <TaskRegistry.h>

namespace InstallationUpkeep {
namespace {
// The parts of the question, in order: whether the operators' table is there, how many of the
// logins' and tasks' tables and indexes are, how many of the log's indexes and of its columns
// ("table.column"), whether books use the system schema's collation (a server), and, when
// `plain`, whether a password is still plain text. Every name is bound, in lower case.
struct Question {
    QString sql;
    QVariantList params;
};

Question question(const Database& db, const QStringList& mine, const AuditLog::Shape& log, bool plain)
{
    Question q;
    const bool server = db.engine() == Engine::PostgreSQL;
    const QString schema = db.schema();
    const auto among = [&q](const QStringList& names) {
        for (const QString& n : names)
            q.params << n.toLower();
        return QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(','));
    };
    if (server) {
        const QString objects = QStringLiteral("SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid=c.relnamespace WHERE n.nspname=? AND c.relname");
        q.params << schema << QStringLiteral("sm_user");
        QStringList parts{QStringLiteral("(%1=?)").arg(objects)};
        q.params << schema;
        parts << QStringLiteral("(%1 IN (%2))").arg(objects, among(mine));
        q.params << schema;
        parts << QStringLiteral("(%1 IN (%2))").arg(objects, among(log.indexes));
        q.params << schema;
        parts << QStringLiteral("(SELECT count(*) FROM pg_attribute a JOIN pg_class c ON c.oid=a.attrelid JOIN pg_namespace n ON n.oid=c.relnamespace "
                                "WHERE n.nspname=? AND a.attnum>0 AND NOT a.attisdropped AND c.relname||'.'||a.attname IN (%1))").arg(among(log.columns));
        // Books an earlier import filled with the system schema's collation "ci" (Database::ownCollations).
        parts << QStringLiteral("EXISTS (SELECT 1 FROM pg_attribute a JOIN pg_class c ON c.oid=a.attrelid JOIN pg_namespace n ON n.oid=c.relnamespace "
                                "JOIN pg_collation k ON k.oid=a.attcollation JOIN pg_namespace kn ON kn.oid=k.collnamespace WHERE c.relkind='r' "
                                "AND a.attnum>0 AND NOT a.attisdropped AND k.collname='ci' AND kn.nspname<>n.nspname AND n.nspname<>?)");
        q.params << schema;
        q.sql = parts.join(QStringLiteral(", "));
    } else {
        const QString objects = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE lower(name)");
        q.params << QStringLiteral("sm_user");
        QStringList parts{QStringLiteral("(%1=? AND type='table')").arg(objects)};
        parts << QStringLiteral("(%1 IN (%2))").arg(objects, among(mine));
        parts << QStringLiteral("(%1 IN (%2))").arg(objects, among(log.indexes));
        parts << QStringLiteral("(SELECT count(*) FROM (SELECT 'sm_log.'||lower(name) AS n FROM pragma_table_info('SM_Log') UNION ALL "
                                "SELECT 'sm_loghead.'||lower(name) FROM pragma_table_info('SM_LogHead')) WHERE n IN (%1))").arg(among(log.columns));
        parts << QStringLiteral("0");
        q.sql = parts.join(QStringLiteral(", "));
    }
    if (plain)
        q.sql += QStringLiteral(", ") + PasswordHash::plainExpression(QStringLiteral("SM_User"), &q.params);
    q.sql.prepend(QStringLiteral("SELECT "));
    return q;
}
} // namespace

State ask(Database& db, const QList<Database::Statement>& alsoRead, QList<Recordset>* read)
{
    const AuditLog::Shape log = AuditLog::shape(db.engine());
    const QStringList mine = QStringList{QStringLiteral("SM_LoginFail")} + TaskRegistry::tableNames();
    Recordset rs;
    try {
        const Question q = question(db, mine, log, true);
        QList<Recordset> got = db.batch(QList<Database::Statement>{{q.sql, q.params}} + alsoRead);
        rs = got.takeFirst();
        if (read)
            *read = got;
    } catch (const DbError&) {
        // The plain passwords' part reads the operators' table: without one, asked again without it.
        const Question q = question(db, mine, log, false);
        rs = db.query(q.sql, q.params);
        if (rs.Fields(0).toInt() > 0)
            throw;
    }
    State s;
    s.installed = rs.Fields(0).toInt() > 0;
    s.tablesMissing = rs.Fields(1).toInt() < mine.size();
    s.logBehind = rs.Fields(2).toInt() < log.indexes.size() || rs.Fields(3).toInt() < log.columns.size();
    s.foreignCollations = rs.Fields(4).toBool();
    s.plainPasswords = rs.FieldCount() > 5 && rs.Fields(5).toBool();
    return s;
}

void bringUpToDate(Database& db, const State& state)
{
    try {
        if (state.tablesMissing)
            db.executeScript(QStringList{LoginCheck::tableStatement()} + TaskRegistry::tableStatements(db));
        if (state.logBehind)
            AuditLog::upgrade(db);
        AuditLog::markUpToDate(db);
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("InstallationUpkeep"));
    }
}
}
