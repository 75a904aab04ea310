#include "Database.h"
#include "ConnInfo.h"
#include "ServerStatement.h"

#include <CiFile.h>
#include <FileModes.h>
#include <SysInfo.h>

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <fcntl.h>
#include <utility>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {
QAtomicInt g_counter;

// The case-insensitive collation of a server schema: ICU's root locale at strength 2 compares
// letters without case (ASCII and beyond) and keeps accents apart, as the old engine did.
const char* const kCiCollation = "CREATE COLLATION IF NOT EXISTS %1.ci (provider = icu, locale = 'und-u-ks-level2', deterministic = false)";

bool isSchemaName(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    return re.match(s).hasMatch();
}

// Whether `schema` and its collation are there, in one round trip.
Recordset present(Database& db, const QString& schema)
{
    return db.query(QStringLiteral("SELECT (SELECT count(*) FROM pg_namespace WHERE nspname=?), "
                                   "(SELECT count(*) FROM pg_collation c JOIN pg_namespace n ON n.oid=c.collnamespace "
                                   "WHERE n.nspname=? AND c.collname='ci')"),
                    {schema, schema});
}

// A server session's settings, carried in its start-up message so they cost no statement: text in
// UTF-8, dates in ISO and bytes in the escape form the rows are read in, the server's notices
// ("already exists, skipping") not the program's to print, unqualified names meaning `schema`, and
// the workstation's name, which other sessions see (the books' locks name it).
PGconn* startSession(const QString& conninfo, const QString& schema)
{
    const QString options = ConnInfo(conninfo).value(QStringLiteral("options"))
                            + QStringLiteral(" -c DateStyle=ISO -c bytea_output=escape -c client_min_messages=warning -c search_path=")
                            + schema;
    const QByteArray given = conninfo.toUtf8();
    const QByteArray settings = options.trimmed().toUtf8();
    const QByteArray name = SysInfo::computerName().left(63).toUtf8();
    // The string given is read first (expand_dbname), so these settings come after its own.
    const char* const keywords[] = {"dbname", "client_encoding", "options", "application_name", nullptr};
    const char* const values[] = {given.constData(), "UTF8", settings.constData(), name.constData(), nullptr};
    PGconn* pg = PQconnectdbParams(keywords, values, 1);
    // What a session's start costs: the start-up message and the server's answer, one round trip,
    // and two more when a password is exchanged (SCRAM's challenge and proof); nothing follows it.
    ServerStatement::counted(1 + (pg && PQconnectionUsedPassword(pg) ? 2 : 0));
    return pg;
}

void fsyncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

Database::Database(const QString& path, bool create)
{
    open(path, create);
}

Database::~Database()
{
    close();
}

void Database::open(const QString& path, bool create)
{
    close();
    const QString real = CiFile::resolve(path);
    if (!create && !QFileInfo(real).isFile())
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "找不到数据库文件：%1"), path));
    const bool fresh = !QFileInfo::exists(real);
    connect(real, real, QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyWaitMs));
    // The engine makes new files readable by everyone the umask allows, and never group-writable.
    if (fresh)
        FileModes::restrict(real);
}

Database::BusyWait::BusyWait(Database& db, int ms)
    : m_db(db)
{
    if (!db.isOpen() || db.engine() != Engine::SQLite)
        return;
    try {
        db.scalar(QStringLiteral("PRAGMA busy_timeout=%1").arg(qMax(0, ms)));
        m_set = true;
    } catch (const DbError&) {
    }
}

Database::BusyWait::~BusyWait()
{
    if (!m_set)
        return;
    try {
        m_db.scalar(QStringLiteral("PRAGMA busy_timeout=%1").arg(kBusyWaitMs));
    } catch (const DbError&) {
    }
}

void Database::openImmutable(const QString& path)
{
    close();
    const QString real = CiFile::resolve(path);
    if (!QFileInfo(real).isFile())
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "找不到数据库文件：%1"), path));
    connect(real, QUrl::fromLocalFile(real).toString(QUrl::FullyEncoded) + QStringLiteral("?immutable=1"),
            QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
}

void Database::raise(const QSqlError& e, const QString& sql) const
{
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    // The server's text comes as "ERROR:  message" and lines of context and the SQLSTATE: the
    // message is what was refused (a trigger's RAISE in its writer's own words).
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s+"));
    if (m_engine == Engine::PostgreSQL && text.contains(severity))
        text = text.remove(severity).section(QLatin1Char('\n'), 0, 0).trimmed();
    QString code = e.nativeErrorCode();
    // The client library's own failures carry no SQLSTATE: on the server that is a broken session.
    if (m_engine == Engine::PostgreSQL && code.isEmpty() && e.type() != QSqlError::NoError)
        code = QStringLiteral("08006");
    DbError error(text, code, sql, m_engine);
    if (error.isConnectionLost())
        m_lost = true;
    throw error;
}

void Database::reconnect()
{
    if (m_transactions > 0)
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "与服务器的连接已断开，事务已回滚")), QStringLiteral("08003"), QString(), m_engine);
    const QString conninfo = m_conninfo;
    const QString schema = m_schema;
    const QHash<QString, QString> aliases = m_aliases;
    try {
        openServer(conninfo, schema, false);
    } catch (const DbError&) {
        // Still unreachable: the next statement tries again.
        m_engine = Engine::PostgreSQL;
        m_conninfo = conninfo;
        m_schema = schema;
        m_aliases = aliases;
        m_lost = true;
        throw;
    }
    m_aliases = aliases;
}

QString Database::statementFor(const QString& written)
{
    if (m_lost)
        reconnect();
    if (!isOpen())
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "数据库未打开")), QString(), written);
    beginNow();
    return m_engine == Engine::PostgreSQL ? forServer(written) : written;
}

void Database::beginNow()
{
    if (!m_beginPending)
        return;
    m_beginPending = false;
    execute(QStringLiteral("BEGIN"));
}

std::vector<ServerStatement::Result> Database::pipelined(const QList<Statement>& statements)
{
    QList<ServerStatement::Sent> sent;
    if (m_beginPending) {
        m_beginPending = false;
        sent << ServerStatement::Sent{QStringLiteral("BEGIN"), {}};
    }
    const qsizetype first = sent.size();
    for (const Statement& s : statements)
        sent << ServerStatement::Sent{statementFor(s.sql), s.params};
    std::vector<ServerStatement::Result> results = ServerStatement::pipeline(m_pg, sent);
    if (results.back().failed())
        raise(results.back().error(), sent[qsizetype(results.size()) - 1].sql);
    results.erase(results.begin(), results.begin() + first);
    return results;
}

// One statement on a file with its values bound.
QSqlQuery Database::run(const QString& written, const QVariantList& params)
{
    const QString sql = statementFor(written);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        raise(q.lastError(), sql);
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, params[i]);
    if (!q.exec())
        raise(q.lastError(), sql);
    return q;
}

// The statements of the program are written once, in SQLite's words; the server gets the same
// effect from its own: "main" and an attached alias become their schema's name, "INSERT OR
// IGNORE" skips the rows that clash (ON CONFLICT DO NOTHING), "INSERT OR REPLACE" replaces the row
// of the same primary key (the tables it is used on have no other unique key), NOCASE is ci.
QString Database::forServer(const QString& sql) const
{
    static const QRegularExpression orIgnore(QStringLiteral("^\\s*INSERT\\s+OR\\s+IGNORE\\s+INTO\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orReplace(QStringLiteral("^\\s*INSERT\\s+OR\\s+REPLACE\\s+INTO\\s+([\\w.]+)\\s*\\(([^)]*)\\)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression nocase(QStringLiteral("\\bCOLLATE\\s+NOCASE\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression mainQualified(QStringLiteral("(?<![\\w.\"'])main\\."), QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    out.replace(mainQualified, m_schema + QLatin1Char('.'));
    for (auto it = m_aliases.cbegin(); it != m_aliases.cend(); ++it) {
        const QRegularExpression qualified(QStringLiteral("(?<![\\w.\"'])%1\\.").arg(it.key()), QRegularExpression::CaseInsensitiveOption);
        out.replace(qualified, it.value() + QLatin1Char('.'));
    }
    const auto endWith = [&out](const QString& clause) {
        out = out.trimmed();
        if (out.endsWith(QLatin1Char(';')))
            out.chop(1);
        out += clause;
    };
    if (out.contains(orIgnore)) {
        out.replace(orIgnore, QStringLiteral("INSERT INTO"));
        endWith(QStringLiteral(" ON CONFLICT DO NOTHING"));
    } else if (const QRegularExpressionMatch m = orReplace.match(out); m.hasMatch()) {
        const QString table = m.captured(1).section(QLatin1Char('.'), -1).toLower();
        QStringList sets;
        for (const QString& c : m.captured(2).split(QLatin1Char(','), Qt::SkipEmptyParts))
            sets << QStringLiteral("%1=EXCLUDED.%1").arg(c.trimmed());
        out.replace(m.capturedStart(), m.capturedLength(), QStringLiteral("INSERT INTO %1 (%2)").arg(m.captured(1), m.captured(2)));
        endWith(QStringLiteral(" ON CONFLICT ON CONSTRAINT %1_pkey DO UPDATE SET %2").arg(table, sets.join(QLatin1Char(','))));
    }
    static const QRegularExpression binary(QStringLiteral("\\bCOLLATE\\s+BINARY\\b"), QRegularExpression::CaseInsensitiveOption);
    out.replace(nocase, QStringLiteral("COLLATE ci"));
    out.replace(binary, QStringLiteral("COLLATE \"C\""));
    return out;
}

QString Database::schemaOf(const QString& alias) const
{
    if (m_engine != Engine::PostgreSQL)
        return alias;
    if (alias.compare(QLatin1String("main"), Qt::CaseInsensitive) == 0)
        return m_schema;
    return m_aliases.value(alias, alias);
}

bool Database::schemaExists(const QString& name)
{
    if (m_engine != Engine::PostgreSQL)
        return false;
    return scalar(QStringLiteral("SELECT count(*) FROM pg_namespace WHERE nspname=?"), {name}).toInt() > 0;
}

void Database::createSchema(const QString& name)
{
    if (m_engine != Engine::PostgreSQL || !isSchemaName(name))
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "模式名不合规：%1"), name));
    execute(QStringLiteral("CREATE SCHEMA %1").arg(name));
    execute(QString::fromLatin1(kCiCollation).arg(name));
}

namespace {
// The text columns whose collation is another schema's (a dump of their own schema would name it).
const char* const kForeignCollations =
    "SELECT n.nspname, c.relname, a.attname FROM pg_attribute a JOIN pg_class c ON c.oid=a.attrelid "
    "JOIN pg_namespace n ON n.oid=c.relnamespace JOIN pg_collation k ON k.oid=a.attcollation "
    "JOIN pg_namespace kn ON kn.oid=k.collnamespace WHERE c.relkind='r' AND a.attnum>0 "
    "AND NOT a.attisdropped AND k.collname='ci' AND kn.nspname<>n.nspname AND n.nspname<>?";
} // namespace

bool Database::hasForeignCollations()
{
    if (m_engine != Engine::PostgreSQL)
        return false;
    return !query(QString::fromLatin1(kForeignCollations) + QStringLiteral(" LIMIT 1"), {m_schema}).Eof();
}

int Database::ownCollations()
{
    if (m_engine != Engine::PostgreSQL)
        return 0;
    // A text column keeps the collation it was declared with: one of another schema's is named by
    // a dump of its own schema, which then restores only where that other schema exists.
    Recordset rs = query(QString::fromLatin1(kForeignCollations), {m_schema});
    int changed = 0;
    for (; !rs.Eof(); rs.MoveNext()) {
        const QString schema = rs.Fields(0).toString();
        if (!isSchemaName(schema))
            continue;
        execute(QString::fromLatin1(kCiCollation).arg(schema));
        execute(QStringLiteral("ALTER TABLE %1.\"%2\" ALTER COLUMN \"%3\" TYPE TEXT COLLATE %1.ci")
                    .arg(schema, QString(rs.Fields(1).toString()).replace(QLatin1Char('"'), QLatin1String("\"\"")),
                         QString(rs.Fields(2).toString()).replace(QLatin1Char('"'), QLatin1String("\"\""))));
        ++changed;
    }
    return changed;
}

PGconn* Database::serverConn()
{
    if (!onServer() || !m_pg)
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "不是数据库服务器的连接")));
    beginNow();
    return m_pg;
}

Database::CopyIn::CopyIn(Database& db, const QString& copyStatement)
    : m_sql(db.forServer(copyStatement))
{
    PGconn* pg = db.serverConn();
    m_conn = pg;
    PGresult* r = PQexec(pg, m_sql.toUtf8().constData());
    if (PQresultStatus(r) != PGRES_COPY_IN)
        ServerStatement::copyFailed(pg, r, m_sql);
    PQclear(r);
    m_open = true;
}

Database::CopyIn::~CopyIn()
{
    if (!m_open)
        return;
    PGconn* pg = m_conn;
    PQputCopyEnd(pg, "abandoned");
    while (PGresult* r = PQgetResult(pg))
        PQclear(r);
}

void Database::CopyIn::put(const QByteArray& lines)
{
    PGconn* pg = m_conn;
    if (PQputCopyData(pg, lines.constData(), int(lines.size())) != 1) {
        m_open = false;
        PQputCopyEnd(pg, "failed");
        ServerStatement::copyFailed(pg, nullptr, m_sql);
    }
}

void Database::CopyIn::finish()
{
    PGconn* pg = m_conn;
    m_open = false;
    if (PQputCopyEnd(pg, nullptr) != 1)
        ServerStatement::copyFailed(pg, nullptr, m_sql);
    ServerStatement::endCopy(pg, m_sql);
}

void Database::copyOut(const QString& copyStatement, const std::function<void(const char* data, int size)>& each)
{
    const QString sql = forServer(copyStatement);
    PGconn* pg = serverConn();
    PGresult* r = PQexec(pg, sql.toUtf8().constData());
    if (PQresultStatus(r) != PGRES_COPY_OUT)
        ServerStatement::copyFailed(pg, r, sql);
    PQclear(r);
    char* line = nullptr;
    int n;
    // A row at a time, as the server sends them: nothing of a table is held whole.
    while ((n = PQgetCopyData(pg, &line, 0)) > 0) {
        try {
            each(line, n);
        } catch (...) {
            PQfreemem(line);
            // The rest of the rows are read and dropped, so the session stays usable.
            while (PQgetCopyData(pg, &line, 0) > 0)
                PQfreemem(line);
            while (PGresult* rest = PQgetResult(pg))
                PQclear(rest);
            throw;
        }
        PQfreemem(line);
    }
    if (n == -2)
        ServerStatement::copyFailed(pg, nullptr, sql);
    ServerStatement::endCopy(pg, sql);
}

void Database::openLike(const Database& other)
{
    if (other.engine() == Engine::PostgreSQL)
        openServer(other.conninfo(), other.schema(), false);
    else
        open(other.path());
}

void Database::connectServer(const QString& conninfo, const QString& schema)
{
    close();
    if (!isSchemaName(schema))
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "模式名不合规：%1"), schema));
    PGconn* pg = startSession(conninfo.trimmed(), schema);
    if (!pg || PQstatus(pg) != CONNECTION_OK) {
        // A connection the server never accepted carries no SQLSTATE of its own.
        const QString text = pg ? QString::fromUtf8(PQerrorMessage(pg)).trimmed() : QStringLiteral("out of memory");
        PQfinish(pg);
        throw DbError(text, QStringLiteral("08001"), QString(), Engine::PostgreSQL);
    }
    m_engine = Engine::PostgreSQL;
    m_pg = pg;
    m_connection = QStringLiteral("revozi_db_%1").arg(g_counter.fetchAndAddRelaxed(1));
    m_schema = schema;
    m_conninfo = conninfo.trimmed();
}

void Database::openServerToMake(const QString& conninfo, const QString& schema)
{
    connectServer(conninfo, schema);
}

void Database::openServer(const QString& conninfo, const QString& schema, bool create)
{
    connectServer(conninfo, schema);
    try {
        const Recordset there = present(*this, schema);
        if (!create && there.Fields(0).toInt() == 0)
            throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "服务器上没有这个数据库：%1"), schema), QString::fromLatin1(kNoSuchSchema), QString(), Engine::PostgreSQL);
        // Made only when missing: a session's start waits for no statement that changes nothing.
        if (there.Fields(0).toInt() == 0)
            execute(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(schema));
        if (there.Fields(1).toInt() == 0)
            execute(QString::fromLatin1(kCiCollation).arg(schema));
    } catch (...) {
        close();
        throw;
    }
}

QString Database::textColumn() const
{
    return m_engine == Engine::PostgreSQL ? QStringLiteral("TEXT COLLATE ci") : QStringLiteral("TEXT COLLATE NOCASE");
}

void Database::connect(const QString& real, const QString& name, const QString& options)
{
    m_engine = Engine::SQLite;
    m_connection = QStringLiteral("revozi_db_%1").arg(g_counter.fetchAndAddRelaxed(1));
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(name);
    m_db.setConnectOptions(options);
    if (!m_db.open()) {
        const QSqlError e = m_db.lastError();
        close();
        raise(e, QString());
    }
    m_path = real;
    // Reading the schema proves that the file is a database (and not locked exclusively).
    try {
        QSqlQuery q = run(QStringLiteral("SELECT count(*) FROM sqlite_master"), {});
        q.finish();
    } catch (...) {
        close();
        throw;
    }
}

void Database::close()
{
    if (m_connection.isEmpty())
        return;
    if (m_pg) {
        PQfinish(m_pg);
        m_pg = nullptr;
    } else {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_connection.clear();
    m_beginPending = false;
    m_path.clear();
    m_schema.clear();
    m_conninfo.clear();
    m_aliases.clear();
    m_lost = false;
}

bool Database::isOpen() const
{
    return !m_connection.isEmpty() && (m_pg || m_db.isOpen());
}

ServerStatement::Result Database::runOnServer(const QString& written, const QVariantList& params)
{
    // A transaction's first statement carries its BEGIN, in one pipeline.
    if (m_beginPending)
        return std::move(pipelined({{written, params}}).back());
    const QString sql = statementFor(written);
    ServerStatement::Result r = ServerStatement::run(m_pg, sql, params);
    if (r.failed())
        raise(r.error(), sql);
    return r;
}

qint64 Database::roundTrips()
{
    return ServerStatement::roundTrips();
}

void Database::execute(const QString& sql, const QVariantList& params)
{
    if (onServer()) {
        m_rowsAffected = runOnServer(sql, params).rowsAffected();
        return;
    }
    QSqlQuery q = run(sql, params);
    m_rowsAffected = q.numRowsAffected();
    q.finish();
}

void Database::executeScript(const QStringList& statements)
{
    if (m_engine != Engine::PostgreSQL || statements.isEmpty()) {
        for (const QString& s : statements)
            execute(s);
        return;
    }
    QStringList spelled;
    if (m_beginPending) {
        m_beginPending = false;
        spelled << QStringLiteral("BEGIN");
    }
    for (const QString& s : statements) {
        QString one = statementFor(s).trimmed();
        if (one.endsWith(QLatin1Char(';')))
            one.chop(1);
        spelled << one;
    }
    const QString sql = spelled.join(QStringLiteral(";\n"));
    const ServerStatement::Result r = ServerStatement::script(m_pg, sql);
    if (r.failed())
        raise(r.error(), sql);
}

Recordset Database::query(const QString& sql, const QVariantList& params)
{
    if (onServer())
        return runOnServer(sql, params).recordset();
    QSqlQuery q = run(sql, params);
    return rowsOf(q, sql);
}

QList<Recordset> Database::batch(const QList<Statement>& statements)
{
    QList<Recordset> out;
    if (statements.isEmpty())
        return out;
    if (m_engine == Engine::PostgreSQL) {
        const std::vector<ServerStatement::Result> results = pipelined(statements);
        for (const ServerStatement::Result& r : results)
            out << r.recordset();
        m_rowsAffected = results.back().rowsAffected();
        return out;
    }
    for (const Statement& s : statements) {
        QSqlQuery q = run(s.sql, s.params);
        m_rowsAffected = q.numRowsAffected();
        out << rowsOf(q, s.sql);
    }
    return out;
}

Recordset Database::rowsOf(QSqlQuery& q, const QString& sql) const
{
    QSqlRecord rec = q.record();
    QVector<QVector<QVariant>> rows;
    const int n = rec.count();
    while (q.next()) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = q.value(i);
        rows.push_back(std::move(row));
    }
    if (q.lastError().isValid())
        raise(q.lastError(), sql);
    q.finish();
    return Recordset(rec, std::move(rows));
}

void Database::forEach(const QString& sql, const QVariantList& params, const std::function<void(const RowView& row)>& each)
{
    if (onServer()) {
        const QString statement = statementFor(sql);
        const QSqlError e = ServerStatement::each(m_pg, statement, params, [&](const ServerStatement::Result& r, int row) { each(RowView(r, row)); });
        if (e.type() != QSqlError::NoError)
            raise(e, statement);
        return;
    }
    QSqlQuery q = run(sql, params);
    while (q.next())
        each(RowView(q));
    if (q.lastError().isValid())
        raise(q.lastError(), sql);
    q.finish();
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    if (onServer())
        return runOnServer(sql, params).value(0, 0);
    QSqlQuery q = run(sql, params);
    QVariant v;
    if (q.next())
        v = q.value(0);
    q.finish();
    return v;
}

QStringList Database::integrityProblems(int limit)
{
    Recordset rs = query(QStringLiteral("PRAGMA integrity_check(%1)").arg(limit));
    if (rs.Eof())
        return {QCoreApplication::translate("Database", "完整性检查没有结果")};
    if (rs.Fields(0).toString().compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0)
        return {};
    QStringList problems;
    for (; !rs.Eof(); rs.MoveNext())
        problems << rs.Fields(0).toString();
    return problems;
}

QStringList Database::tables()
{
    QStringList out;
    // The server folds unquoted names to lower case: its tables are listed as it keeps them.
    Recordset rs = m_engine == Engine::PostgreSQL
                       ? query(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema=? AND table_type='BASE TABLE' ORDER BY table_name COLLATE \"C\""),
                               {m_schema})
                       : query(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    for (; !rs.Eof(); rs.MoveNext())
        out << rs.Fields(0).toString();
    return out;
}

bool Database::hasTable(const QString& name)
{
    if (m_engine == Engine::PostgreSQL)
        return scalar(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema=? AND table_type='BASE TABLE' AND lower(table_name)=lower(?)"),
                      {m_schema, name}).toInt() > 0;
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"), {name}).toInt() > 0;
}

void Database::attach(const QString& location, const QString& alias)
{
    // The alias is an identifier chosen by the program, never user text.
    if (m_engine == Engine::PostgreSQL) {
        if (!isSchemaName(location) || !schemaExists(location))
            throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "服务器上没有这个数据库：%1"), location), QString::fromLatin1(kNoSuchSchema), QString(), Engine::PostgreSQL);
        m_aliases.insert(alias, location);
        return;
    }
    execute(QStringLiteral("ATTACH DATABASE ? AS %1").arg(alias), {CiFile::resolve(location)});
}

void Database::detach(const QString& alias)
{
    if (m_engine == Engine::PostgreSQL) {
        m_aliases.remove(alias);
        return;
    }
    execute(QStringLiteral("DETACH DATABASE %1").arg(alias));
}

namespace {
sqlite3* sqliteOf(const QSqlDatabase& db)
{
    const QVariant native = db.driver() ? db.driver()->handle() : QVariant();
    return native.isValid() && qstrcmp(native.typeName(), "sqlite3*") == 0 ? *static_cast<sqlite3* const*>(native.constData()) : nullptr;
}
} // namespace

sqlite3* Database::fileConn()
{
    sqlite3* h = m_engine == Engine::SQLite ? sqliteOf(m_db) : nullptr;
    if (!h)
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "不是 SQLite 连接")));
    return h;
}

qint64 Database::releaseFreePages()
{
    if (!isOpen())
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "数据库未打开")));
    // The statement returns a row after each page it frees; the driver would stop at the first
    // (it has no columns to read), so it is run to its end through the engine's own interface.
    sqlite3* h = sqliteOf(m_db);
    if (!h)
        throw DbError(Words::of("Database", QT_TRANSLATE_NOOP("Database", "无法释放空闲页：不是 SQLite 连接")));
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(h, "PRAGMA main.incremental_vacuum", -1, &st, nullptr);
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
    const QString why = QString::fromUtf8(sqlite3_errmsg(h));
    const int code = sqlite3_extended_errcode(h);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        throw DbError(why, QString::number(code), QStringLiteral("PRAGMA main.incremental_vacuum"));
    return scalar(QStringLiteral("PRAGMA main.freelist_count")).toLongLong();
}

void Database::compactInto(const QString& path)
{
    const QString target = CiFile::resolve(path);
    execute(QStringLiteral("VACUUM INTO ?"), {target});
    FileModes::restrict(target);
    fsyncFile(target);
}

Database::Transaction::Transaction(Database& db)
    : m_db(db)
{
    // SQLite takes the write lock at once, so a transaction never fails half-way for want of it;
    // the server locks the rows as they are written, so its BEGIN waits for the first of them
    // (a lost session is opened again now, while no work of the transaction is gone with it).
    if (m_db.m_engine == Engine::PostgreSQL) {
        m_db.statementFor(QStringLiteral("BEGIN"));
        m_db.m_beginPending = true;
    } else {
        m_db.execute(QStringLiteral("BEGIN IMMEDIATE"));
    }
    ++m_db.m_transactions;
}

Database::Transaction::~Transaction()
{
    if (m_done)
        return;
    --m_db.m_transactions;
    // Nothing was sent (nothing to roll back), or the session the server dropped took it along.
    if (std::exchange(m_db.m_beginPending, false) || m_db.m_lost)
        return;
    try {
        m_db.execute(QStringLiteral("ROLLBACK"));
    } catch (...) {
    }
}

void Database::Transaction::commit(const QList<Statement>& last)
{
    if (m_db.m_engine != Engine::PostgreSQL) {
        for (const Statement& s : last)
            m_db.execute(s.sql, s.params);
        m_db.execute(QStringLiteral("COMMIT"));
    } else if (!m_db.m_beginPending || !last.isEmpty()) {
        m_db.pipelined(QList<Statement>(last) << Statement{QStringLiteral("COMMIT"), {}});
    }
    m_db.m_beginPending = false;
    m_done = true;
    --m_db.m_transactions;
}
