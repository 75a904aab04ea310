#include "BooksTransfer.h"

#include <Database.h>
#include <ServerStatement.h>
#include <AccountTemplate.h>
#include <PageWriter.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <thread>
#include <vector>

namespace {
// How a column's values are bound and written.
enum class Kind { Integer, Real, Text, Bytes };

struct Column {
    QString name;   // as the source keeps it
    Kind kind = Kind::Text;
    QString collation;   // of text in the file: BINARY or NOCASE
    bool notNull = false;
    QString dflt;   // a literal default, as SQL; empty when none
};

// The session's connection, its transaction begun: the COPY belongs to the caller's transaction.
PGconn* serverHandle(Database& db)
{
    return static_cast<PGconn*>(db.serverConn());
}

[[noreturn]] void fileFailed(sqlite3* h, const QString& sql)
{
    throw DbError(QString::fromUtf8(sqlite3_errmsg(h)), QString::number(sqlite3_extended_errcode(h)), sql);
}

BooksTransfer::WrittenHook& writtenHook()
{
    static BooksTransfer::WrittenHook hook;
    return hook;
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString quotedList(const QStringList& names)
{
    QStringList out;
    for (const QString& n : names)
        out << quoted(n);
    return out.join(QLatin1Char(','));
}

// A default the other engine reads the same: a number or a quoted text.
QString literalDefault(const QString& expr)
{
    static const QRegularExpression number(QStringLiteral("^\\(?(-?[0-9]+(\\.[0-9]+)?)\\)?$"));
    static const QRegularExpression text(QStringLiteral("^('(?:[^']|'')*')(::[a-z ]+)?$"));
    if (const auto m = number.match(expr.trimmed()); m.hasMatch())
        return m.captured(1);
    if (const auto m = text.match(expr.trimmed()); m.hasMatch())
        return m.captured(1);
    return QString();
}

// ---- server to file ----

QString relation(const BooksTransfer::Source& s)
{
    return quoted(s.schema) + QLatin1Char('.') + quoted(s.table);
}

// A server collation as the data file keeps it, or empty when the file has none that keeps it: a
// deterministic collation ("C", the database's default, any locale) calls equal only the same
// bytes, as BINARY does; the books' case-insensitive `ci` becomes NOCASE, which calls fewer texts
// equal (ASCII case only), so a key unique on the server stays unique in the file either way.
QString fileCollation(const QString& name, bool deterministic, const QString& provider)
{
    if (deterministic)
        return QStringLiteral("BINARY");
    if (name == QLatin1String("ci") && provider == QLatin1String("i"))
        return QStringLiteral("NOCASE");
    return QString();
}

// The collation of a column (or an index's column) as the statements below read it: its name,
// whether it is deterministic and its provider; all empty for a type without one.
const char* const kCollationOf = "coalesce(c.collname::text, ''), coalesce(c.collisdeterministic, true), coalesce(c.collprovider::text, '')";

[[noreturn]] void notKept(const BooksTransfer::Source& s, const QString& column, const Words& what)
{
    throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "账套库的表 %1 的列 %2 是%3，备份数据文件无法原样保存，未输出。"), s.table, column, what));
}

// The columns of the server tables, in the order given, read in one statement (one round trip for
// the whole export, not one per table); a type or collation the data file cannot keep as the
// server has it (a number of many digits, a date, a truth value, a padded text, another collation)
// is refused by its table and column, so nothing is written that would come back different.
// The tables as the catalogue statements below take them: a JSON array of [schema, table], whose
// position (from 1) each row of theirs names.
QString tableList(const QList<BooksTransfer::Source>& tables)
{
    QJsonArray names;
    for (const BooksTransfer::Source& s : tables)
        names.append(QJsonArray{s.schema, s.table});
    return QString::fromUtf8(QJsonDocument(names).toJson(QJsonDocument::Compact));
}

QList<QList<Column>> serverColumns(Database& db, const QList<BooksTransfer::Source>& tables)
{
    QList<QList<Column>> all(tables.size());
    for (Recordset rs = db.query(QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attnotnull, "
                                                "coalesce(pg_get_expr(d.adbin, d.adrelid), ''), %1, t.n FROM "
                                                "jsonb_array_elements(?::jsonb) WITH ORDINALITY t(o, n) JOIN pg_attribute a "
                                                "ON a.attrelid=format('%I.%I', t.o->>0, t.o->>1)::regclass "
                                                "LEFT JOIN pg_attrdef d ON d.adrelid=a.attrelid AND d.adnum=a.attnum "
                                                "LEFT JOIN pg_collation c ON c.oid=a.attcollation "
                                                "WHERE a.attnum>0 AND NOT a.attisdropped ORDER BY t.n, a.attnum")
                                     .arg(QLatin1String(kCollationOf)),
                                 {tableList(tables)});
         !rs.Eof(); rs.MoveNext()) {
        const qsizetype table = rs.Fields(7).toLongLong() - 1;
        const BooksTransfer::Source& s = tables[table];
        QList<Column>& out = all[table];
        Column c;
        c.name = rs.Fields(0).toString();
        const QString type = rs.Fields(1).toString();
        if (type == QLatin1String("integer") || type == QLatin1String("bigint") || type == QLatin1String("smallint"))
            c.kind = Kind::Integer;
        else if (type == QLatin1String("double precision") || type == QLatin1String("real"))
            c.kind = Kind::Real;
        else if (type == QLatin1String("bytea"))
            c.kind = Kind::Bytes;
        else if (type == QLatin1String("text") || type.startsWith(QLatin1String("character varying")))
            c.kind = Kind::Text;
        // The server's "rowid" is its order of writing, never written itself.
        else if (c.name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) != 0)
            notKept(s, c.name, Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "服务器的 %1 类型"), type));
        if (c.kind == Kind::Text) {
            c.collation = fileCollation(rs.Fields(4).toString(), rs.Fields(5).toBool(), rs.Fields(6).toString());
            if (c.collation.isEmpty())
                notKept(s, c.name, Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "按排序规则 %1 比较的文本"), rs.Fields(4).toString()));
        }
        c.notNull = rs.Fields(2).toBool();
        c.dflt = literalDefault(rs.Fields(3).toString());
        out << c;
    }
    for (qsizetype i = 0; i < tables.size(); ++i)
        if (all[i].isEmpty())
            throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "服务器上没有表 %1.%2"), tables[i].schema, tables[i].table));
    return all;
}

QString sqliteType(const Column& c)
{
    switch (c.kind) {
    case Kind::Integer:
        return QStringLiteral("INTEGER");
    case Kind::Real:
        return QStringLiteral("REAL");
    case Kind::Bytes:
        return QStringLiteral("BLOB");
    case Kind::Text:
        break;
    }
    return QStringLiteral("TEXT COLLATE ") + c.collation;
}

// The primary key and unique constraints of server tables, in one statement for all: per table,
// "p"/"u" and their columns in order.
using Keys = QList<QPair<QString, QStringList>>;
QList<Keys> serverKeys(Database& db, const QList<BooksTransfer::Source>& tables)
{
    QList<Keys> all(tables.size());
    if (tables.isEmpty())
        return all;
    for (Recordset rs = db.query(QStringLiteral("SELECT c.contype::text, array_to_string(array(SELECT a.attname FROM unnest(c.conkey) "
                                                "WITH ORDINALITY k(n, o) JOIN pg_attribute a ON a.attrelid=c.conrelid AND a.attnum=k.n "
                                                "ORDER BY k.o), ','), t.n FROM jsonb_array_elements(?::jsonb) WITH ORDINALITY t(o, n) "
                                                "JOIN pg_constraint c ON c.conrelid=format('%I.%I', t.o->>0, t.o->>1)::regclass "
                                                "WHERE c.contype IN ('p','u') ORDER BY t.n, c.contype, c.conname"),
                                 {tableList(tables)});
         !rs.Eof(); rs.MoveNext())
        all[rs.Fields(2).toLongLong() - 1].append({rs.Fields(0).toString(), rs.Fields(1).toString().split(QLatin1Char(','))});
    return all;
}

QString createInFile(const BooksTransfer::Source& s, const QList<Column>& columns, const Keys& keys)
{
    QStringList parts;
    for (const Column& c : columns) {
        QString p = quoted(c.name) + QLatin1Char(' ') + sqliteType(c);
        if (c.notNull)
            p += QStringLiteral(" NOT NULL");
        if (!c.dflt.isEmpty())
            p += QStringLiteral(" DEFAULT ") + c.dflt;
        parts << p;
    }
    for (const auto& key : keys)
        parts << (key.first == QLatin1String("p") ? QStringLiteral("PRIMARY KEY (%1)") : QStringLiteral("UNIQUE (%1)")).arg(quotedList(key.second));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(s.table), parts.join(QLatin1Char(',')));
}

// Indexes of server tables beyond their keys, in one statement for all: per table, SQLite
// statements; those on expressions or with a condition have no counterpart and stay behind.
QList<QStringList> serverIndexes(Database& db, const QList<BooksTransfer::Source>& tables)
{
    QList<QStringList> all(tables.size());
    if (tables.isEmpty())
        return all;
    // One row per key column of each plain index, with the collation the index compares it in.
    QList<QPair<QString, bool>> names;
    QList<QStringList> columns;
    QList<qsizetype> of;   // the table of each index
    for (Recordset rs = db.query(QStringLiteral("SELECT i.relname, x.indisunique, a.attname, %1, t.n FROM "
                                                "jsonb_array_elements(?::jsonb) WITH ORDINALITY t(o, n) JOIN pg_index x "
                                                "ON x.indrelid=format('%I.%I', t.o->>0, t.o->>1)::regclass "
                                                "JOIN pg_class i ON i.oid=x.indexrelid "
                                                "CROSS JOIN LATERAL unnest(x.indkey::int2[]) WITH ORDINALITY k(n, o) "
                                                "JOIN pg_attribute a ON a.attrelid=x.indrelid AND a.attnum=k.n "
                                                "LEFT JOIN LATERAL unnest(x.indcollation::oid[]) WITH ORDINALITY q(coll, o) ON q.o=k.o "
                                                "LEFT JOIN pg_collation c ON c.oid=q.coll "
                                                "WHERE x.indexprs IS NULL "
                                                "AND x.indpred IS NULL AND NOT EXISTS (SELECT 1 FROM pg_constraint n WHERE n.conindid=x.indexrelid) "
                                                "ORDER BY t.n, i.relname, k.o")
                                     .arg(QLatin1String(kCollationOf)),
                                 {tableList(tables)});
         !rs.Eof(); rs.MoveNext()) {
        const QString name = rs.Fields(0).toString();
        const qsizetype table = rs.Fields(6).toLongLong() - 1;
        const BooksTransfer::Source& s = tables[table];
        if (names.isEmpty() || names.last().first != name || of.last() != table) {
            names.append({name, rs.Fields(1).toBool()});
            columns.append(QStringList());
            of.append(table);
        }
        QString column = quoted(rs.Fields(2).toString());
        if (!rs.Fields(3).toString().isEmpty()) {
            const QString collation = fileCollation(rs.Fields(3).toString(), rs.Fields(4).toBool(), rs.Fields(5).toString());
            if (collation.isEmpty())
                notKept(s, rs.Fields(2).toString(), Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "索引 %1 中按排序规则 %2 比较的文本"), name, rs.Fields(3).toString()));
            column += QStringLiteral(" COLLATE ") + collation;
        }
        columns.last() << column;
    }
    for (qsizetype i = 0; i < names.size(); ++i)
        all[of[i]] << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                          .arg(names[i].second ? QStringLiteral("UNIQUE ") : QString(), quoted(names[i].first), quoted(tables[of[i]].table),
                               columns[i].join(QLatin1Char(',')));
    return all;
}

// COPY's binary format, read in place: big-endian integers of two, four and eight bytes.
qint64 be(const char* p, int n)
{
    quint64 v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | quint8(p[i]);
    // Sign-extended from the field's width.
    const int shift = 64 - 8 * n;
    return qint64(v << shift) >> shift;
}

// One field of a COPY row: its bytes in the server's binary form; size -1 for null.
struct Field {
    const char* p = nullptr;
    qint64 size = -1;
};

// Reads the rows of a binary COPY: the header once, then each row's fields.
class BinaryRows {
public:
    // The next row of `msg` into `fields`; false at the end of the data. Throws on a damaged stream.
    bool next(const char*& p, const char* end, std::vector<Field>& fields)
    {
        if (!m_header) {
            // "PGCOPY\n\377\r\n\0", flags, the header extension's length and the extension.
            if (end - p < 19 || std::memcmp(p, "PGCOPY\n\377\r\n", 10) != 0)
                throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "服务器送来的数据格式不对")));
            const qint64 ext = be(p + 15, 4);
            p += 19 + ext;
            m_header = true;
            if (p >= end)
                return false;
        }
        need(p, end, 2);
        const int count = int(be(p, 2));
        p += 2;
        if (count == -1)
            return false;
        if (count != int(fields.size()))
            throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "服务器送来的列数不对")));
        for (Field& f : fields) {
            need(p, end, 4);
            f.size = be(p, 4);
            p += 4;
            f.p = p;
            if (f.size >= 0) {
                need(p, end, f.size);
                p += f.size;
            }
        }
        return true;
    }

private:
    static void need(const char* p, const char* end, qint64 n)
    {
        if (end - p < n)
            throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "服务器送来的数据不完整")));
    }
    bool m_header = false;
};

// An integer or a real of the COPY: always eight bytes, as they were selected.
qint64 number(const Field& f)
{
    if (f.size != 8)
        throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "服务器送来的数据格式不对")));
    return qFromBigEndian<qint64>(f.p);
}

double realOf(const Field& f)
{
    const quint64 bits = quint64(number(f));
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// How a column is selected for the binary COPY: integers as eight bytes, reals as doubles, bytes as
// they are, anything else as its text.
QString selected(const Column& c)
{
    switch (c.kind) {
    case Kind::Integer:
        return quoted(c.name) + QStringLiteral("::int8");
    case Kind::Real:
        return quoted(c.name) + QStringLiteral("::float8");
    case Kind::Bytes:
        return quoted(c.name);
    case Kind::Text:
        break;
    }
    return quoted(c.name) + QStringLiteral("::text");
}

// The columns a table's rows are written with: all but the server's "rowid" (the order of writing).
QList<Column> written(const QList<Column>& all, bool* ordered)
{
    QList<Column> columns;
    *ordered = false;
    for (const Column& c : all) {
        if (c.name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0)
            *ordered = true;
        else
            columns << c;
    }
    return columns;
}

// Streams the rows of `s` (its `columns`, those meeting `where` and ordered by `orderBy` when
// given; both written by the program, without values) over the session `pg` through a binary COPY
// to `row`. When `row` throws, the rest is read and dropped, so the session leaves the COPY, and
// the first failure is thrown. Touches the session only, so it may run on a thread of its own.
void copyRows(PGconn* pg, const BooksTransfer::Source& s, const QList<Column>& columns, const QString& where, const QString& orderBy,
              const std::function<void(const std::vector<Field>&)>& row)
{
    QStringList exprs;
    for (const Column& c : columns)
        exprs << selected(c);
    // Binary: the server sends the values as it keeps them, nothing is printed or parsed as text.
    const QString copy = QStringLiteral("COPY (SELECT %1 FROM %2%3%4) TO STDOUT (FORMAT binary)")
                             .arg(exprs.join(QLatin1Char(',')), relation(s), where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where,
                                  orderBy.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + orderBy);
    PGresult* started = PQexec(pg, copy.toUtf8().constData());
    if (PQresultStatus(started) != PGRES_COPY_OUT)
        ServerStatement::copyFailed(pg, started, copy);
    PQclear(started);
    QString fileError;
    BinaryRows rows;
    std::vector<Field> fields(size_t(columns.size()));
    char* msg = nullptr;
    int n = 0;
    while ((n = PQgetCopyData(pg, &msg, 0)) > 0) {
        if (fileError.isEmpty()) {
            try {
                const char* p = msg;
                while (p < msg + n && rows.next(p, msg + n, fields))
                    row(fields);
            } catch (const DbError& e) {
                fileError = e.text();
            }
        }
        PQfreemem(msg);
    }
    if (n == -2)
        ServerStatement::copyFailed(pg, nullptr, copy);
    ServerStatement::endCopy(pg, copy);
    if (!fileError.isEmpty())
        throw DbError(fileError);
}

// The rows through the engine's inserts, for a table the pages cannot take.
void copyToFile(Database& db, Database& out, const BooksTransfer::Source& s, const QList<Column>& columns, bool ordered)
{
    QStringList names, marks;
    for (const Column& c : columns) {
        names << c.name;
        marks << QStringLiteral("?");
    }
    sqlite3* h = out.fileConn();
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(s.table), quotedList(names), marks.join(QLatin1Char(',')));
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, insert.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        fileFailed(h, insert);
    try {
        copyRows(serverHandle(db), s, columns, QString(), ordered ? QStringLiteral("rowid") : QString(), [&](const std::vector<Field>& fields) {
            for (int i = 0; i < int(fields.size()); ++i) {
                const Field& f = fields[size_t(i)];
                int rc;
                if (f.size < 0) {
                    rc = sqlite3_bind_null(st, i + 1);
                } else {
                    switch (columns[i].kind) {
                    case Kind::Integer:
                        rc = sqlite3_bind_int64(st, i + 1, number(f));
                        break;
                    case Kind::Real:
                        rc = sqlite3_bind_double(st, i + 1, realOf(f));
                        break;
                    case Kind::Bytes:
                        rc = sqlite3_bind_blob64(st, i + 1, f.p, sqlite3_uint64(f.size), SQLITE_STATIC);
                        break;
                    default:
                        rc = sqlite3_bind_text64(st, i + 1, f.p, sqlite3_uint64(f.size), SQLITE_STATIC, SQLITE_UTF8);
                    }
                }
                if (rc != SQLITE_OK)
                    throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "无法写入数据文件（%1）"), QString::number(rc)));
            }
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_DONE)
                throw DbError(QString::fromUtf8(sqlite3_errmsg(h)));
        });
    } catch (...) {
        sqlite3_finalize(st);
        throw;
    }
    sqlite3_finalize(st);
}

PageWriter::Value::Type valueType(Kind k)
{
    switch (k) {
    case Kind::Integer:
        return PageWriter::Value::Integer;
    case Kind::Real:
        return PageWriter::Value::Real;
    case Kind::Bytes:
        return PageWriter::Value::Bytes;
    case Kind::Text:
        break;
    }
    return PageWriter::Value::Text;
}

// A table on its way into the file: its columns as written (`ordered`: in the server's order of
// writing) and, when the pages take it, its layout in the file and the order its rows come in.
struct Transfer {
    BooksTransfer::Source source;
    QList<Column> columns;
    bool ordered = false;
    QString orderBy;
    PageWriter::Table layout;
};

// A row of the COPY as the pages take it.
void toValues(const std::vector<Field>& fields, const PageWriter::Table& layout, std::vector<PageWriter::Value>& values)
{
    values.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        PageWriter::Value& v = values[i];
        if (f.size < 0) {
            v.type = PageWriter::Value::Null;
            continue;
        }
        v.type = layout.source[int(i)];
        switch (v.type) {
        case PageWriter::Value::Integer:
            v.i = number(f);
            break;
        case PageWriter::Value::Real:
            v.r = realOf(f);
            break;
        default:
            v.p = f.p;
            v.n = f.size;
        }
    }
}

// From this size on a table's rows come in two ranges of its rowid column at once, each over a
// session of its own: the server's half of the work then runs on two of its processors.
constexpr qint64 kSplitBytes = 16 * 1024 * 1024;

// The rows straight into the file's pages: with a rowid column in its order, else as the engine
// would number them (the server's order of writing, where it keeps one).
void copyToPages(Database& db, PageWriter& pages, const Transfer& t)
{
    std::vector<PageWriter::Value> values;
    const bool large = t.layout.alias >= 0 && t.source.schema != QLatin1String("pg_temp")
                       && db.scalar(QStringLiteral("SELECT pg_relation_size(format('%I.%I', ?::text, ?::text)::regclass)"), {t.source.schema, t.source.table})
                                  .toLongLong()
                              >= kSplitBytes;
    if (!large) {
        pages.beginTable(t.layout);
        copyRows(serverHandle(db), t.source, t.columns, QString(), t.orderBy, [&](const std::vector<Field>& fields) {
            toValues(fields, t.layout, values);
            pages.addRow(values.data());
        });
        pages.endTable();
        return;
    }
    const Recordset range = db.query(QStringLiteral("SELECT min(%1), max(%1) FROM %2").arg(t.orderBy, relation(t.source)));
    const qint64 low = range.Fields(0).toLongLong(), high = range.Fields(1).toLongLong();
    const qint64 middle = low / 2 + high / 2 + (low % 2 + high % 2) / 2;
    // The second session sees the books as the first: the same snapshot of the export's transaction.
    // Its statement takes no parameter; the snapshot's name is the server's own, checked to be one.
    const QString snapshot = db.scalar(QStringLiteral("SELECT pg_export_snapshot()")).toString();
    static const QRegularExpression snapshotName(QStringLiteral("^[0-9A-Fa-f-]+$"));
    if (!snapshotName.match(snapshot).hasMatch())
        throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "服务器的快照名不对：%1"), snapshot));
    Database second;
    second.openLike(db);
    second.execute(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"));
    second.execute(QStringLiteral("SET TRANSACTION SNAPSHOT '%1'").arg(snapshot));
    // The ranges' bound reaches each session as a setting of its transaction, a bound value.
    for (Database* session : {&db, &second})
        session->execute(QStringLiteral("SELECT set_config('revozi.split', ?, true)"), {QString::number(middle)});
    const QString bound = QStringLiteral("current_setting('revozi.split')::int8");
    pages.beginTable(t.layout, 2);
    PGconn* upper = serverHandle(second);
    std::exception_ptr failed;
    std::thread other([&] {
        std::vector<PageWriter::Value> own;
        try {
            copyRows(upper, t.source, t.columns, t.orderBy + QStringLiteral(" > ") + bound, t.orderBy, [&](const std::vector<Field>& fields) {
                toValues(fields, t.layout, own);
                pages.addRow(own.data(), 1);
            });
        } catch (...) {
            failed = std::current_exception();
        }
    });
    try {
        copyRows(serverHandle(db), t.source, t.columns, t.orderBy + QStringLiteral(" <= ") + bound, t.orderBy, [&](const std::vector<Field>& fields) {
            toValues(fields, t.layout, values);
            pages.addRow(values.data(), 0);
        });
    } catch (...) {
        other.join();
        throw;
    }
    other.join();
    if (failed)
        std::rethrow_exception(failed);
    second.execute(QStringLiteral("ROLLBACK"));
    pages.endTable();
}

// ---- file to server ----

struct FileColumn {
    QString name;
    QString type;   // the server's type
    bool notNull = false;
    int pk = 0;
    QString dflt;
    bool bytes = false;
    bool binary = false;   // text the file compares bytewise (else without regard to case)
};

QList<FileColumn> fileColumns(Database& in, const QString& table)
{
    QList<FileColumn> out;
    sqlite3* h = in.fileConn();
    const QByteArray tableName = table.toUtf8();
    for (Recordset rs = in.query(QStringLiteral("SELECT name, upper(type), \"notnull\", pk, coalesce(dflt_value, '') FROM pragma_table_info(?)"), {table});
         !rs.Eof(); rs.MoveNext()) {
        FileColumn c;
        c.name = rs.Fields(0).toString().toLower();
        const QString t = rs.Fields(1).toString();
        // SQLite's rules for a declared type, in its order.
        if (t.contains(QLatin1String("INT")))
            c.type = QStringLiteral("BIGINT");
        else if (t.contains(QLatin1String("BLOB")))
            c.type = QStringLiteral("BYTEA"), c.bytes = true;
        else if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
            c.type = QStringLiteral("DOUBLE PRECISION");
        else
            c.type = QStringLiteral("TEXT");
        c.notNull = rs.Fields(2).toInt() != 0;
        c.pk = rs.Fields(3).toInt();
        c.dflt = literalDefault(rs.Fields(4).toString());
        const char* collation = nullptr;
        if (sqlite3_table_column_metadata(h, "main", tableName.constData(), rs.Fields(0).toString().toUtf8().constData(), nullptr, &collation,
                                          nullptr, nullptr, nullptr)
                != SQLITE_OK)
            fileFailed(h, table);
        c.binary = collation && qstricmp(collation, "BINARY") == 0;
        out << c;
    }
    return out;
}

// One value of a SQLite row in COPY's text format.
void appendValue(QByteArray& buf, sqlite3_stmt* st, int i, bool bytes)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL:
        buf.append("\\N", 2);
        return;
    case SQLITE_INTEGER: {
        char num[24];
        const auto r = std::to_chars(num, num + sizeof num, sqlite3_column_int64(st, i));
        buf.append(num, int(r.ptr - num));
        return;
    }
    case SQLITE_FLOAT: {
        char num[32];
        const auto r = std::to_chars(num, num + sizeof num, sqlite3_column_double(st, i));
        buf.append(num, int(r.ptr - num));
        return;
    }
    case SQLITE_BLOB:
        if (bytes) {
            const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(st, i));
            const int n = sqlite3_column_bytes(st, i);
            static const char digits[] = "0123456789abcdef";
            buf.append("\\\\x", 3);
            for (int k = 0; k < n; ++k) {
                buf.append(digits[p[k] >> 4]);
                buf.append(digits[p[k] & 15]);
            }
            return;
        }
        break;
    default:
        break;
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    const int n = sqlite3_column_bytes(st, i);
    for (int k = 0; k < n; ++k) {
        const char c = p[k];
        switch (c) {
        case '\\': buf.append("\\\\", 2); break;
        case '\t': buf.append("\\t", 2); break;
        case '\n': buf.append("\\n", 2); break;
        case '\r': buf.append("\\r", 2); break;
        default: buf.append(c);
        }
    }
}

void copyToServer(Database& db, Database& in, const QString& schema, const QString& table, const QList<FileColumn>& columns, bool withOrder)
{
    QStringList source, target;
    if (withOrder) {
        source << QStringLiteral("rowid");
        target << QStringLiteral("rowid");
    }
    for (const FileColumn& c : columns) {
        source << quoted(c.name);
        target << c.name;
    }
    sqlite3* h = in.fileConn();
    const QString select = QStringLiteral("SELECT %1 FROM %2%3").arg(source.join(QLatin1Char(',')), quoted(table),
                                                                     withOrder ? QStringLiteral(" ORDER BY rowid") : QString());
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, select.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        fileFailed(h, select);
    PGconn* pg = serverHandle(db);
    const QString copy = QStringLiteral("COPY %1.%2 (%3) FROM STDIN").arg(quoted(schema), quoted(table.toLower()), quotedList(target));
    PGresult* started = PQexec(pg, copy.toUtf8().constData());
    if (PQresultStatus(started) != PGRES_COPY_IN) {
        sqlite3_finalize(st);
        ServerStatement::copyFailed(pg, started, copy);
    }
    PQclear(started);
    QByteArray buf;
    buf.reserve(1 << 20);
    const int n = int(source.size());
    QString fileError;
    bool sent = true;
    int rc;
    while (sent && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            if (i)
                buf.append('\t');
            appendValue(buf, st, i, !withOrder || i > 0 ? columns[withOrder ? i - 1 : i].bytes : false);
        }
        buf.append('\n');
        if (buf.size() >= (1 << 19)) {
            sent = PQputCopyData(pg, buf.constData(), int(buf.size())) == 1;
            buf.clear();
        }
    }
    if (sent && rc != SQLITE_DONE)
        fileError = QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    if (sent && !buf.isEmpty())
        sent = PQputCopyData(pg, buf.constData(), int(buf.size())) == 1;
    if (!sent)
        ServerStatement::copyFailed(pg, nullptr, copy);
    // A row that could not be read ends the COPY as failed, so the server keeps none of it.
    if (PQputCopyEnd(pg, fileError.isEmpty() ? nullptr : "the data file could not be read") != 1)
        ServerStatement::copyFailed(pg, nullptr, copy);
    if (!fileError.isEmpty()) {
        while (PGresult* r = PQgetResult(pg))
            PQclear(r);
        throw DbError(fileError, QString(), select);
    }
    ServerStatement::endCopy(pg, copy);
}

QStringList serverTables(Database& db, const QString& schema)
{
    QStringList out;
    for (Recordset rs = db.query(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema=? AND table_type='BASE TABLE'"),
                                 {schema});
         !rs.Eof(); rs.MoveNext())
        out << rs.Fields(0).toString().toLower();
    return out;
}

// The file's indexes of a table as server statements: those it made itself (origin "c"), and
// its unique constraints where the table is not the template's (which declares its own).
QStringList fileIndexes(Database& in, const QString& schema, const QString& table, bool templateTable)
{
    QStringList out;
    for (Recordset rs = in.query(QStringLiteral("SELECT name, \"unique\", origin, partial FROM pragma_index_list(?) ORDER BY seq"), {table}); !rs.Eof();
         rs.MoveNext()) {
        const QString origin = rs.Fields(2).toString();
        if (origin == QLatin1String("pk") || rs.Fields(3).toInt() != 0 || (templateTable && origin == QLatin1String("u")))
            continue;
        QStringList cols;
        bool plain = true;
        for (Recordset ix = in.query(QStringLiteral("SELECT cid, name FROM pragma_index_info(?) ORDER BY seqno"), {rs.Fields(0)}); !ix.Eof(); ix.MoveNext()) {
            if (ix.Fields(0).toInt() < 0)
                plain = false;
            cols << ix.Fields(1).toString().toLower();
        }
        if (!plain || cols.isEmpty())
            continue;
        const QString name = origin == QLatin1String("c") ? rs.Fields(0).toString().toLower()
                                                          : QStringLiteral("%1_u%2").arg(table.toLower()).arg(out.size() + 1);
        out << QStringLiteral("CREATE %1INDEX %2 ON %3.%4 (%5)")
                   .arg(rs.Fields(1).toInt() ? QStringLiteral("UNIQUE ") : QString(), quoted(name), quoted(schema), quoted(table.toLower()),
                        quotedList(cols));
    }
    return out;
}
} // namespace

namespace BooksTransfer {
// Every statement of the export, and the second session of a large table, must read one state of
// the books: a transaction that takes a new snapshot per statement would mix two.
void requireOneSnapshot(Database& db)
{
    const QString isolation = db.scalar(QStringLiteral("SELECT current_setting('transaction_isolation')")).toString();
    if (isolation != QLatin1String("repeatable read") && isolation != QLatin1String("serializable"))
        throw DbError(Words::of("BooksTransfer", QT_TRANSLATE_NOOP("BooksTransfer", "账套库须在一个可重复读的事务中读取（现为 %1），未输出。"), isolation));
}

// Every table and index of the books declared in the file first: declaring one can move pages,
// filling one never does, so the roots the pages are written under stay where they are. The
// template's tables are used where the books have them; those the books lack are dropped.
void declareTables(Database& db, Database& out, const QList<Transfer>& all)
{
    AccountTemplate::fill(out);
    QSet<QString> fromTemplate;
    for (const QString& t : out.tables())
        fromTemplate << t.toLower();
    // The keys and indexes of the tables the template does not declare, read for all at once.
    QList<Source> own;
    for (const Transfer& t : all)
        if (!fromTemplate.contains(t.source.table.toLower()))
            own << t.source;
    const QList<Keys> keys = serverKeys(db, own);
    const QList<QStringList> indexes = serverIndexes(db, own);
    QSet<QString> declared;
    qsizetype next = 0;
    for (const Transfer& t : all) {
        const Source& s = t.source;
        const QString lower = s.table.toLower();
        if (fromTemplate.contains(lower)) {
            out.execute(QStringLiteral("DELETE FROM %1").arg(quoted(s.table)));
        } else {
            out.execute(createInFile(s, t.columns, keys[next]));
            for (const QString& ix : indexes[next])
                out.execute(ix);
            ++next;
        }
        declared << lower;
    }
    // A template table the books do not have is not theirs either.
    for (const QString& t : fromTemplate)
        if (!declared.contains(t))
            out.execute(QStringLiteral("DROP TABLE %1").arg(quoted(t)));
}

// The tables whose pages can be written straight (their layout described); the others are copied
// by the engine's inserts here, by its own rules for their values.
QList<Transfer> directOnes(Database& db, Database& out, QList<Transfer>& all)
{
    QList<Transfer> direct;
    for (Transfer& t : all) {
        QList<PageWriter::Value::Type> types;
        QStringList names;
        for (const Column& c : t.columns) {
            types << valueType(c.kind);
            names << c.name.toLower();
        }
        if (!PageWriter::describe(out, t.source.table, types, &t.layout, nullptr) || t.layout.names != names) {
            // Kept by the engine's inserts: its own rules for this table's values.
            copyToFile(db, out, t.source, t.columns, t.ordered);
            continue;
        }
        if (t.layout.alias >= 0)
            t.orderBy = quoted(t.columns[t.layout.alias].name);
        else if (t.ordered)
            t.orderBy = QStringLiteral("rowid");
        direct << t;
    }
    return direct;
}

void toFile(Database& db, const QList<Source>& tables, const QString& file)
{
    requireOneSnapshot(db);
    // A column the file cannot keep stops the export before anything is written.
    QList<Transfer> all;
    const QList<QList<Column>> columns = serverColumns(db, tables);
    for (qsizetype i = 0; i < tables.size(); ++i) {
        Transfer t;
        t.source = tables[i];
        t.columns = written(columns[i], &t.ordered);
        all << t;
    }
    QList<Transfer> direct;
    {
        Database out;
        out.open(file, true);
        // The file is the caller's alone until it is placed: no journal, one flush by the caller.
        out.execute(QStringLiteral("PRAGMA journal_mode=OFF"));
        out.execute(QStringLiteral("PRAGMA synchronous=OFF"));
        out.execute(QStringLiteral("PRAGMA cache_size=-65536"));
        // As the template's books: free pages stay in the file until an export releases them.
        out.execute(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL"));
        out.execute(QStringLiteral("BEGIN"));
        declareTables(db, out, all);
        direct = directOnes(db, out, all);
        out.execute(QStringLiteral("COMMIT"));
    }
    if (direct.isEmpty())
        return;
    PageWriter pages(file);
    for (const Transfer& t : direct)
        copyToPages(db, pages, t);
    pages.finish();
    if (const WrittenHook& hook = writtenHook())
        hook(file);
}

void setWrittenHook(const WrittenHook& hook)
{
    writtenHook() = hook;
}

void toServer(Database& db, const QString& schema, const QString& file, const QStringList& skip, const QStringList& keepOrder,
              const QStringList& systemText)
{
    Database in;
    in.openImmutable(file);
    const QString path = db.scalar(QStringLiteral("SELECT current_setting('search_path')")).toString();
    // The template's statements are unqualified: for them the new schema is the only one.
    db.execute(QStringLiteral("SELECT set_config('search_path', ?, true)"), {schema});
    AccountTemplate::fill(db);
    const QStringList templateTables = serverTables(db, schema);
    db.execute(QStringLiteral("SELECT set_config('search_path', ?, true)"), {path});
    QSet<QString> written;
    QStringList indexes;
    for (const QString& table : in.tables()) {
        const QString lower = table.toLower();
        if (skip.contains(table, Qt::CaseInsensitive))
            continue;
        const QList<FileColumn> columns = fileColumns(in, table);
        const bool fromTemplate = templateTables.contains(lower);
        const bool ordered = keepOrder.contains(table, Qt::CaseInsensitive);
        if (fromTemplate) {
            db.execute(QStringLiteral("DELETE FROM %1.%2").arg(quoted(schema), quoted(lower)));
        } else {
            QStringList parts, key;
            if (ordered)
                parts << QStringLiteral("rowid BIGINT");
            for (const FileColumn& c : columns) {
                // Text compares as in the file: bytewise, or without regard to case in the collation
                // of the books' own schema (the transfer tables' as the system database's rows).
                QString p = quoted(c.name) + QLatin1Char(' ') + c.type;
                const bool system = systemText.contains(table, Qt::CaseInsensitive);
                if (c.type == QLatin1String("TEXT"))
                    p += c.binary && !system ? QStringLiteral(" COLLATE \"C\"") : QStringLiteral(" COLLATE %1.ci").arg(quoted(system ? db.schema() : schema));
                if (c.notNull)
                    p += QStringLiteral(" NOT NULL");
                if (!c.dflt.isEmpty())
                    p += QStringLiteral(" DEFAULT ") + c.dflt;
                parts << p;
            }
            QList<QPair<int, QString>> pk;
            for (const FileColumn& c : columns)
                if (c.pk > 0)
                    pk.append({c.pk, c.name});
            std::sort(pk.begin(), pk.end());
            for (const auto& k : pk)
                key << k.second;
            if (!key.isEmpty())
                parts << QStringLiteral("PRIMARY KEY (%1)").arg(quotedList(key));
            db.execute(QStringLiteral("CREATE TABLE %1.%2 (%3)").arg(quoted(schema), quoted(lower), parts.join(QLatin1Char(','))));
        }
        indexes << fileIndexes(in, schema, table, fromTemplate);
        copyToServer(db, in, schema, table, columns, ordered && !fromTemplate);
        written << lower;
    }
    for (const QString& t : templateTables)
        if (!written.contains(t))
            db.execute(QStringLiteral("DROP TABLE %1.%2").arg(quoted(schema), quoted(t)));
    for (const QString& ix : indexes)
        db.execute(ix);
}
}
