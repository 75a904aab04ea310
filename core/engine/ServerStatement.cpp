#include "ServerStatement.h"
#include "DbError.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlField>
#include <QUuid>

#include <atomic>
#include <cmath>
#include <libpq-fe.h>
#include <utility>
#include <vector>

namespace {
std::atomic<qint64> g_roundTrips{0};
thread_local int t_uncounted = 0;

// The server's type numbers the driver tells apart (pg_type's oids).
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kRegproc = 24, kXid = 28, kCid = 29, kOidVoid = 2278;
constexpr Oid kNumeric = 1700, kFloat4 = 700, kFloat8 = 701, kAbstime = 702, kReltime = 703;
constexpr Oid kDate = 1082, kTime = 1083, kTimeTz = 1266, kTimestamp = 1114, kTimestampTz = 1184, kBytea = 17;

// The QVariant type the driver gives a column of the server's type.
QMetaType typeOf(Oid t)
{
    switch (t) {
    case kBool:
        return QMetaType(QMetaType::Bool);
    case kInt8:
        return QMetaType(QMetaType::LongLong);
    case kInt2:
    case kInt4:
    case kOidVoid:
    case kRegproc:
    case kXid:
    case kCid:
        return QMetaType(QMetaType::Int);
    case kNumeric:
    case kFloat4:
    case kFloat8:
        return QMetaType(QMetaType::Double);
    case kAbstime:
    case kReltime:
    case kDate:
        return QMetaType(QMetaType::QDate);
    case kTime:
    case kTimeTz:
        return QMetaType(QMetaType::QTime);
    case kTimestamp:
    case kTimestampTz:
        return QMetaType(QMetaType::QDateTime);
    case kBytea:
        return QMetaType(QMetaType::QByteArray);
    default:
        return QMetaType(QMetaType::QString);
    }
}

QVariant realOf(const char* text)
{
    bool ok = false;
    const double d = QByteArray(text).toDouble(&ok);
    if (ok)
        return d;
    if (qstricmp(text, "NaN") == 0)
        return qQNaN();
    if (qstricmp(text, "Infinity") == 0)
        return qInf();
    if (qstricmp(text, "-Infinity") == 0)
        return -qInf();
    return QVariant();
}

QVariant dateTimeOf(const char* text)
{
    const QString s = QString::fromLatin1(text);
    if (s.size() < 10)
        return QDateTime();
    const QStringView time = QStringView(s).mid(10);
    // A time without its offset is the server's UTC.
    if (time.contains(QLatin1Char('+')) || time.contains(QLatin1Char('-')) || s.endsWith(QLatin1Char('Z')))
        return QDateTime::fromString(s, Qt::ISODate);
    return QDateTime::fromString(s + QLatin1Char('Z'), Qt::ISODate);
}

QVariant bytesOf(const char* text)
{
    size_t length = 0;
    unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
    QByteArray bytes(reinterpret_cast<const char*>(raw), qsizetype(length));
    PQfreemem(raw);
    return bytes;
}

// A value the driver binds as SQL's NULL: no value, or a null text, bytes, date or time.
bool isNullValue(const QVariant& v)
{
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString().isNull();
    case QMetaType::QByteArray:
        return v.toByteArray().isNull();
    case QMetaType::QDateTime:
        return !v.toDateTime().isValid();
    case QMetaType::QDate:
        return v.toDate().isNull();
    case QMetaType::QTime:
        return !v.toTime().isValid();
    case QMetaType::QUuid:
        return v.toUuid().isNull();
    default:
        return false;
    }
}

// A value's text as the server reads it for a parameter of the type it has inferred, as the
// driver's literal of the same value reads.
QByteArray textOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "true" : "false";
    case QMetaType::QString:
        return v.toString().toUtf8();
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.toOffsetFromUtc(dt.offsetFromUtc()).toString(Qt::ISODateWithMs).toUtf8();
    }
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate).toUtf8();
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("hh:mm:ss.zzz")).toUtf8();
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (std::isnan(d))
            return "NaN";
        if (std::isinf(d))
            return d < 0 ? "-Infinity" : "Infinity";
        break;
    }
    default:
        break;
    }
    return v.toString().toUtf8();
}

// The values of one statement as libpq takes them: text with the type left for the server to
// infer from the statement (as it does for the driver's PREPARE), bytes as bytes.
struct Bound {
    std::vector<QByteArray> data;
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    std::vector<Oid> types;

    explicit Bound(const QVariantList& params)
    {
        const size_t n = size_t(params.size());
        data.resize(n);
        values.assign(n, nullptr);
        lengths.assign(n, 0);
        formats.assign(n, 0);
        types.assign(n, 0);
        for (size_t i = 0; i < n; ++i) {
            const QVariant& v = params[qsizetype(i)];
            if (isNullValue(v))
                continue;
            if (v.typeId() == QMetaType::QByteArray) {
                data[i] = v.toByteArray();
                formats[i] = 1;
                types[i] = kBytea;
            } else {
                data[i] = textOf(v);
            }
            values[i] = data[i].constData();
            lengths[i] = int(data[i].size());
        }
    }
};

} // namespace

namespace ServerStatement {

qint64 roundTrips()
{
    return g_roundTrips.load();
}

void counted(int trips)
{
    if (t_uncounted == 0)
        g_roundTrips += trips;
}

Uncounted::Uncounted()
{
    ++t_uncounted;
}

Uncounted::~Uncounted()
{
    --t_uncounted;
}

QByteArray numbered(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    QChar closing;
    int n = 0;
    for (const QChar ch : sql) {
        if (!closing.isNull()) {
            if (ch == closing)
                closing = QChar();
            out += ch;
        } else if (ch == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++n);
        } else {
            if (ch == QLatin1Char('\'') || ch == QLatin1Char('"'))
                closing = ch;
            out += ch;
        }
    }
    return out.toUtf8();
}

namespace {
QByteArray spelled(const QString& sql, const QVariantList& params)
{
    // Without values the text goes as written: a question mark there is the statement's own.
    return params.isEmpty() ? sql.toUtf8() : numbered(sql);
}
} // namespace

Result run(PGconn* conn, const QString& sql, const QVariantList& params)
{
    const Bound b(params);
    counted(1);
    PGresult* r = PQexecParams(conn, spelled(sql, params).constData(), int(params.size()), b.types.data(), b.values.data(), b.lengths.data(),
                               b.formats.data(), 0);
    return Result(conn, r);
}

Result script(PGconn* conn, const QString& sql)
{
    counted(1);
    return Result(conn, PQexec(conn, sql.toUtf8().constData()));
}

namespace {
// The results of a pipeline up to its end (the sync), or until the session breaks: one for each
// statement that ran, the first failure last.
std::vector<Result> pipelineResults(PGconn* conn, int statements)
{
    std::vector<Result> out;
    bool failed = false;
    for (int ends = 0; ends <= statements + 1;) {
        PGresult* r = PQgetResult(conn);
        if (!r) {
            if (PQstatus(conn) == CONNECTION_BAD)
                break;
            ++ends;   // one statement's results are over
            continue;
        }
        const ExecStatusType s = PQresultStatus(r);
        if (s == PGRES_PIPELINE_SYNC) {
            PQclear(r);
            break;
        }
        Result one(conn, r);
        if (!failed && s != PGRES_PIPELINE_ABORTED) {
            failed = one.failed();
            out.push_back(std::move(one));
        }
    }
    if (!failed && int(out.size()) < statements)
        out.emplace_back(conn, nullptr);   // the session broke before its answer
    return out;
}

bool sendAll(PGconn* conn, const QList<Sent>& statements)
{
    for (const Sent& s : statements) {
        const Bound b(s.params);
        if (!PQsendQueryParams(conn, spelled(s.sql, s.params).constData(), int(s.params.size()), b.types.data(), b.values.data(), b.lengths.data(),
                               b.formats.data(), 0))
            return false;
    }
    return true;
}
} // namespace

std::vector<Result> pipeline(PGconn* conn, const QList<Sent>& statements)
{
    counted(1);
    std::vector<Result> out;
    if (!PQenterPipelineMode(conn)) {
        out.emplace_back(conn, nullptr);
        return out;
    }
    // Even when a statement could not be queued, the sync ends the ones that were, and the
    // statement that was not is answered by the session's failure.
    sendAll(conn, statements);
    PQpipelineSync(conn);
    out = pipelineResults(conn, int(statements.size()));
    PQexitPipelineMode(conn);
    return out;
}

QSqlError each(PGconn* conn, const QString& sql, const QVariantList& params, const std::function<void(const Result& rows, int row)>& row)
{
    const Bound b(params);
    counted(1);
    if (!PQsendQueryParams(conn, spelled(sql, params).constData(), int(params.size()), b.types.data(), b.values.data(), b.lengths.data(),
                           b.formats.data(), 0))
        return Result(conn, nullptr).error();
    PQsetSingleRowMode(conn);
    QSqlError failure;
    try {
        while (PGresult* r = PQgetResult(conn)) {
            const Result one(conn, r);
            if (one.failed() && !failure.isValid())
                failure = one.error();
            else if (!failure.isValid())
                for (int i = 0; i < one.rows(); ++i)   // one a result in single-row mode, all of them without it
                    row(one, i);
        }
    } catch (...) {
        while (PGresult* rest = PQgetResult(conn))
            PQclear(rest);
        throw;
    }
    return failure;
}

Result::Result(PGconn* conn, PGresult* result)
    : m_conn(conn)
    , m_result(result)
{
}

Result::~Result()
{
    if (m_result)
        PQclear(m_result);
}

Result::Result(Result&& other) noexcept
    : m_conn(other.m_conn)
    , m_result(other.m_result)
{
    other.m_result = nullptr;
}

Result& Result::operator=(Result&& other) noexcept
{
    if (this != &other) {
        if (m_result)
            PQclear(m_result);
        m_conn = other.m_conn;
        m_result = std::exchange(other.m_result, nullptr);
    }
    return *this;
}

bool Result::failed() const
{
    if (!m_result)
        return true;
    const ExecStatusType s = PQresultStatus(m_result);
    return s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK && s != PGRES_SINGLE_TUPLE;
}

QSqlError Result::error() const
{
    // As the driver words it: the session's message, the SQLSTATE as the error's code.
    QString text = QString::fromUtf8(m_result ? PQresultErrorMessage(m_result) : PQerrorMessage(m_conn));
    if (text.trimmed().isEmpty())
        text = QString::fromUtf8(PQerrorMessage(m_conn));
    const char* state = m_result ? PQresultErrorField(m_result, PG_DIAG_SQLSTATE) : nullptr;
    const QString code = state ? QString::fromLatin1(state) : QString();
    if (!code.isEmpty())
        text += QStringLiteral("(%1)").arg(code);
    return QSqlError(QStringLiteral("QPSQL: Unable to create query"), text, QSqlError::StatementError, code);
}

int Result::rows() const
{
    return m_result ? PQntuples(m_result) : 0;
}

int Result::columns() const
{
    return m_result ? PQnfields(m_result) : 0;
}

QVariant Result::value(int row, int column) const
{
    if (column < 0 || column >= columns() || row < 0 || row >= rows())
        return QVariant();
    const Oid t = PQftype(m_result, column);
    const QMetaType type = typeOf(t);
    if (PQgetisnull(m_result, row, column))
        return QVariant(type, nullptr);
    const char* text = PQgetvalue(m_result, row, column);
    switch (type.id()) {
    case QMetaType::Bool:
        return bool(text[0] == 't');
    case QMetaType::LongLong:
        if (text[0] == '-')
            return QByteArray(text).toLongLong();
        return QByteArray(text).toULongLong();
    case QMetaType::Int:
        return atoi(text);
    case QMetaType::Double:
        return realOf(text);
    case QMetaType::QDate:
        return QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
    case QMetaType::QTime:
        return QTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    case QMetaType::QDateTime:
        return dateTimeOf(text);
    case QMetaType::QByteArray:
        return bytesOf(text);
    default:
        return QString::fromUtf8(text);
    }
}

QSqlRecord Result::record() const
{
    QSqlRecord out;
    for (int i = 0; i < columns(); ++i) {
        QSqlField f(QString::fromUtf8(PQfname(m_result, i)), typeOf(PQftype(m_result, i)));
        out.append(f);
    }
    return out;
}

Recordset Result::recordset() const
{
    const int n = columns();
    QVector<QVector<QVariant>> rowsRead;
    rowsRead.reserve(rows());
    for (int r = 0; r < rows(); ++r) {
        QVector<QVariant> one(n);
        for (int c = 0; c < n; ++c)
            one[c] = value(r, c);
        rowsRead.push_back(std::move(one));
    }
    return Recordset(record(), std::move(rowsRead));
}

int Result::rowsAffected() const
{
    return m_result ? QByteArray(PQcmdTuples(m_result)).toInt() : 0;
}

[[noreturn]] void copyFailed(PGconn* pg, PGresult* r, const QString& sql)
{
    QString text = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(pg)).trimmed();
    if (text.isEmpty())
        text = QString::fromUtf8(PQerrorMessage(pg)).trimmed();
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s+"));
    text = text.remove(severity).section(QLatin1Char('\n'), 0, 0).trimmed();
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    const QString code = state ? QString::fromLatin1(state) : (PQstatus(pg) == CONNECTION_OK ? QString() : QStringLiteral("08006"));
    if (r)
        PQclear(r);
    throw DbError(text, code, sql, Engine::PostgreSQL);
}

void endCopy(PGconn* pg, const QString& sql)
{
    PGresult* failed = nullptr;
    while (PGresult* r = PQgetResult(pg)) {
        if (PQresultStatus(r) != PGRES_COMMAND_OK && !failed)
            failed = r;
        else
            PQclear(r);
    }
    if (failed)
        copyFailed(pg, failed, sql);
}

} // namespace ServerStatement
