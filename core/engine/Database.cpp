#include "Database.h"

#include <CiFile.h>
#include <FileModes.h>

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {
QAtomicInt g_counter;

[[noreturn]] void raise(const QSqlError& e, const QString& sql)
{
    QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    throw DbError(text, e.nativeErrorCode(), sql);
}

QSqlQuery prepared(QSqlDatabase& db, const QString& sql, const QVariantList& params)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        raise(q.lastError(), sql);
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, params[i]);
    if (!q.exec())
        raise(q.lastError(), sql);
    return q;
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
        throw DbError(QStringLiteral("找不到数据库文件：%1").arg(path));
    const bool fresh = !QFileInfo::exists(real);
    connect(real, real, QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    // The engine makes new files readable by everyone the umask allows, and never group-writable.
    if (fresh)
        FileModes::restrict(real);
}

void Database::openImmutable(const QString& path)
{
    close();
    const QString real = CiFile::resolve(path);
    if (!QFileInfo(real).isFile())
        throw DbError(QStringLiteral("找不到数据库文件：%1").arg(path));
    connect(real, QUrl::fromLocalFile(real).toString(QUrl::FullyEncoded) + QStringLiteral("?immutable=1"),
            QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"));
}

void Database::connect(const QString& real, const QString& name, const QString& options)
{
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
        QSqlQuery q = prepared(m_db, QStringLiteral("SELECT count(*) FROM sqlite_master"), {});
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
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
    m_path.clear();
}

bool Database::isOpen() const
{
    return !m_connection.isEmpty() && m_db.isOpen();
}

void Database::execute(const QString& sql, const QVariantList& params)
{
    if (!isOpen())
        throw DbError(QStringLiteral("数据库未打开"), QString(), sql);
    QSqlQuery q = prepared(m_db, sql, params);
    m_rowsAffected = q.numRowsAffected();
    q.finish();
}

Recordset Database::query(const QString& sql, const QVariantList& params)
{
    if (!isOpen())
        throw DbError(QStringLiteral("数据库未打开"), QString(), sql);
    QSqlQuery q = prepared(m_db, sql, params);
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

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    if (!isOpen())
        throw DbError(QStringLiteral("数据库未打开"), QString(), sql);
    QSqlQuery q = prepared(m_db, sql, params);
    QVariant v;
    if (q.next())
        v = q.value(0);
    q.finish();
    return v;
}

QStringList Database::integrityProblems(int limit)
{
    Recordset rs = query(QStringLiteral("PRAGMA quick_check(%1)").arg(limit));
    if (rs.Eof())
        return {QStringLiteral("完整性检查没有结果")};
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
    Recordset rs = query(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    for (; !rs.Eof(); rs.MoveNext())
        out << rs.Fields(0).toString();
    return out;
}

bool Database::hasTable(const QString& name)
{
    return scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"), {name}).toInt() > 0;
}

void Database::attach(const QString& path, const QString& alias)
{
    // The alias is an identifier chosen by the program, never user text.
    execute(QStringLiteral("ATTACH DATABASE ? AS %1").arg(alias), {CiFile::resolve(path)});
}

void Database::detach(const QString& alias)
{
    execute(QStringLiteral("DETACH DATABASE %1").arg(alias));
}

qint64 Database::releaseFreePages()
{
    if (!isOpen())
        throw DbError(QStringLiteral("数据库未打开"));
    // The statement returns a row after each page it frees; the driver would stop at the first
    // (it has no columns to read), so it is run to its end through the engine's own interface.
    const QVariant native = m_db.driver()->handle();
    sqlite3* h = native.isValid() && qstrcmp(native.typeName(), "sqlite3*") == 0 ? *static_cast<sqlite3* const*>(native.constData())
                                                                                  : nullptr;
    if (!h)
        throw DbError(QStringLiteral("无法释放空闲页：不是 SQLite 连接"));
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
    m_db.execute(QStringLiteral("BEGIN IMMEDIATE"));
    ++m_db.m_transactions;
}

Database::Transaction::~Transaction()
{
    if (!m_done) {
        --m_db.m_transactions;
        try {
            m_db.execute(QStringLiteral("ROLLBACK"));
        } catch (...) {
        }
    }
}

void Database::Transaction::commit()
{
    m_db.execute(QStringLiteral("COMMIT"));
    m_done = true;
    --m_db.m_transactions;
}
