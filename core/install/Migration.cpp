#include "Migration.h"
#include "Installation.h"

#include <AccountDb.h>
#include <AccountTemplate.h>
#include <AuditEvents.h>
#include <BooksSearchPath.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <LoginCheck.h>
#include <SqlScript.h>
#include <TaskRegistry.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <vector>
#include <xxhash.h>

namespace {
const char* const kCtx = "Migration";
// The files' own mark that they were moved; never copied to the server.
const QString kMovedTable = QStringLiteral("SM_MovedTo");
// Who works on the files now, not the installation's data: the server's tasks begin empty.
const QStringList kNotCopied = {QStringLiteral("sm_task"), QStringLiteral("sm_taskfunc"), kMovedTable.toLower()};

struct Cancelled {};

// How a server column's values are read, written and compared.
enum class Kind { Integer, Real, Text, Bytes };

struct Column {
    QString name;        // as the server keeps it (lower case)
    QString fileName;    // as the file declares it; "rowid" for SQLite's implicit one
    Kind kind = Kind::Text;
};

// The rows of a table: how many, and the sum of each row's XXH3-128, so the order rows are read
// in does not matter (no sort on either side) while any row changed, missing or doubled does.
struct Sum {
    qint64 rows = 0;
    quint64 low = 0, high = 0;
    void add(const QByteArray& row)
    {
        const XXH128_hash_t h = XXH3_128bits(row.constData(), size_t(row.size()));
        ++rows;
        low += h.low64;
        high += h.high64;
    }
    bool operator==(const Sum& o) const { return rows == o.rows && low == o.low && high == o.high; }
};

// One table of a file and its counterpart on the server.
struct Table {
    Database* file = nullptr;
    QString fileTable;
    QString schema;
    QString name;   // on the server
    QList<Column> columns;
    bool made = false;   // made here from the file's declarations (not the installation's own)
    Sum copied;          // the file's rows as the copy read them
    QString shown() const { return schema + QLatin1Char('.') + name; }
};

Migration::CompareHook& compareHook()
{
    static Migration::CompareHook hook;
    return hook;
}

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

Kind kindOf(const QString& serverType)
{
    if (serverType == QLatin1String("bigint") || serverType == QLatin1String("integer") || serverType == QLatin1String("smallint"))
        return Kind::Integer;
    if (serverType == QLatin1String("double precision") || serverType == QLatin1String("real"))
        return Kind::Real;
    return serverType == QLatin1String("bytea") ? Kind::Bytes : Kind::Text;
}

// SQLite's affinity rules, read the server's way: a declared type naming INT is an integer,
// REAL/FLOA/DOUB a real, BLOB bytes, anything else text.
QString serverTypeOf(const QString& declared, const QString& schema)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return QStringLiteral("BIGINT");
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return QStringLiteral("DOUBLE PRECISION");
    if (t.contains(QLatin1String("BLOB")))
        return QStringLiteral("BYTEA");
    return QStringLiteral("TEXT COLLATE %1.ci").arg(schema);
}

// ---- a row's image for the checksum, and its line for COPY ----
// The image takes each value as a tag and a fixed form per kind (integers and reals as their eight
// bytes, text and bytes with their length in front), the same from either engine's reading.

void imageNull(QByteArray& img)
{
    img.append('\0');
}

void imageNumber(QByteArray& img, Kind kind, const void* eight)
{
    img.append(char(1 + int(kind)));
    img.append(static_cast<const char*>(eight), 8);
}

void imageData(QByteArray& img, Kind kind, const char* p, qint64 n)
{
    img.append(char(1 + int(kind)));
    img.append(reinterpret_cast<const char*>(&n), sizeof n);
    img.append(p, n);
}

void appendEscaped(QByteArray& out, const char* p, qint64 n)
{
    for (const char* end = p + n; p < end; ++p) {
        switch (*p) {
        case '\\': out.append("\\\\"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        default: out.append(*p);
        }
    }
}

// ---- the files' side ----

[[noreturn]] void notConvertible(const Table& t, const QString& column)
{
    throw DbError(Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "表 %1 的列 %2 中有服务器上的类型放不下的值（不是数值），未迁移。"), t.fileTable,
                            column));
}

// Column `i` of the file's current row as the server column keeps it, into the image and (when
// given) the COPY line. A value the server's type cannot hold as it is (text in a number column)
// is refused, never coerced.
void fileValue(sqlite3_stmt* st, int i, const Table& t, QByteArray& img, QByteArray* line)
{
    const Column& c = t.columns[i];
    const int type = sqlite3_column_type(st, i);
    if (type == SQLITE_NULL) {
        imageNull(img);
        if (line)
            line->append("\\N");
        return;
    }
    char num[40];
    if (c.kind == Kind::Integer) {
        const double d = type == SQLITE_FLOAT ? sqlite3_column_double(st, i) : 0;
        if (type != SQLITE_INTEGER && !(type == SQLITE_FLOAT && std::floor(d) == d && std::fabs(d) < 9.2e18))
            notConvertible(t, c.fileName);
        const qint64 v = type == SQLITE_INTEGER ? sqlite3_column_int64(st, i) : qint64(d);
        imageNumber(img, c.kind, &v);
        if (line)
            line->append(num, std::to_chars(num, num + sizeof num, v).ptr - num);
    } else if (c.kind == Kind::Real) {
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
            notConvertible(t, c.fileName);
        const double v = sqlite3_column_double(st, i);
        imageNumber(img, c.kind, &v);
        // The shortest form that reads back as the same double; SQLite keeps no NaN.
        if (line && std::isinf(v))
            line->append(v > 0 ? "Infinity" : "-Infinity");
        else if (line)
            line->append(num, std::to_chars(num, num + sizeof num, v).ptr - num);
    } else {
        const char* p = c.kind == Kind::Text ? reinterpret_cast<const char*>(sqlite3_column_text(st, i))
                                             : static_cast<const char*>(sqlite3_column_blob(st, i));
        const qint64 n = sqlite3_column_bytes(st, i);
        imageData(img, c.kind, p, n);
        if (line && c.kind == Kind::Text) {
            appendEscaped(*line, p, n);
        } else if (line) {
            line->append("\\\\x");
            line->append(QByteArray::fromRawData(p, n).toHex());
        }
    }
}

// Every row of the file's table: its image (and with `line`, its COPY line) handed to `each`.
void eachFileRow(const Table& t, const WorkControl& control, QByteArray* line, const std::function<void(const QByteArray& img)>& each)
{
    QStringList cols;
    for (const Column& c : t.columns)
        cols << (c.fileName == QLatin1String("rowid") ? QStringLiteral("rowid") : quoted(c.fileName));
    const QString sql = QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1Char(',')), quoted(t.fileTable));
    sqlite3* h = t.file->fileConn();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(h)), QString::number(sqlite3_extended_errcode(h)), sql);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(st, sqlite3_finalize);
    QByteArray img;
    const int n = int(t.columns.size());
    int rc;
    for (qint64 r = 1; (rc = sqlite3_step(st)) == SQLITE_ROW; ++r) {
        img.resize(0);
        for (int i = 0; i < n; ++i) {
            if (line && i)
                line->append('\t');
            fileValue(st, i, t, img, line);
        }
        if (line)
            line->append('\n');
        each(img);
        if ((r & 4095) == 0 && control.cancelled())
            throw Cancelled{};
    }
    if (rc != SQLITE_DONE)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(h)), QString::number(sqlite3_extended_errcode(h)), sql);
}

Sum fileSum(const Table& t, const WorkControl& control)
{
    Sum sum;
    eachFileRow(t, control, nullptr, [&](const QByteArray& img) { sum.add(img); });
    return sum;
}

// ---- the server's side: its COPY lines read back ----

// One field of a COPY line (between tabs) into the image, in the column's kind.
void serverValue(const char* s, const char* end, Kind kind, QByteArray& img, QByteArray& text)
{
    if (end - s == 2 && s[0] == '\\' && s[1] == 'N') {
        imageNull(img);
        return;
    }
    text.resize(0);
    for (; s < end; ++s) {
        if (*s != '\\' || s + 1 == end) {
            text.append(*s);
            continue;
        }
        switch (*++s) {
        case 'n': text.append('\n'); break;
        case 'r': text.append('\r'); break;
        case 't': text.append('\t'); break;
        case 'b': text.append('\b'); break;
        case 'f': text.append('\f'); break;
        case 'v': text.append('\v'); break;
        default: text.append(*s);
        }
    }
    if (kind == Kind::Integer) {
        qint64 v = 0;
        std::from_chars(text.constData(), text.constData() + text.size(), v);
        imageNumber(img, kind, &v);
    } else if (kind == Kind::Real) {
        const double v = std::strtod(text.constData(), nullptr);
        imageNumber(img, kind, &v);
    } else if (kind == Kind::Bytes) {
        const QByteArray bytes = QByteArray::fromHex(text.mid(2));
        imageData(img, kind, bytes.constData(), bytes.size());
    } else {
        imageData(img, kind, text.constData(), text.size());
    }
}

QString columnList(const Table& t)
{
    QStringList cols;
    for (const Column& c : t.columns)
        cols << quoted(c.name);
    return cols.join(QLatin1Char(','));
}

Sum serverSum(Database& srv, const Table& t)
{
    Sum sum;
    QByteArray img, text;
    const int n = int(t.columns.size());
    srv.copyOut(QStringLiteral("COPY (SELECT %1 FROM %2.%3) TO STDOUT").arg(columnList(t), t.schema, quoted(t.name)),
                [&](const char* data, int size) {
                    const char* end = data + size;
                    if (end > data && end[-1] == '\n')
                        --end;
                    img.resize(0);
                    const char* s = data;
                    for (int i = 0; i < n; ++i) {
                        const char* tab = static_cast<const char*>(std::memchr(s, '\t', size_t(end - s)));
                        const char* stop = tab ? tab : end;
                        serverValue(s, stop, t.columns[i].kind, img, text);
                        s = tab ? tab + 1 : end;
                    }
                    sum.add(img);
                });
    return sum;
}

// ---- the server's tables ----

struct FileColumn {
    QString name, type;
    int pk = 0;
};

QList<FileColumn> fileColumns(Database& file, const QString& table)
{
    QList<FileColumn> out;
    for (Recordset rs = file.query(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?) ORDER BY cid"), {table}); !rs.Eof(); rs.MoveNext())
        out.append({rs.Fields(0).toString(), rs.Fields(1).toString(), rs.Fields(2).toInt()});
    return out;
}

QList<std::pair<QString, QString>> serverColumns(Database& srv, const QString& schema, const QString& table)
{
    QList<std::pair<QString, QString>> out;
    for (Recordset rs = srv.query(QStringLiteral("SELECT column_name, data_type FROM information_schema.columns WHERE table_schema=? "
                                                 "AND table_name=? ORDER BY ordinal_position"),
                                  {schema, table});
         !rs.Eof(); rs.MoveNext())
        out.append({rs.Fields(0).toString(), rs.Fields(1).toString()});
    return out;
}

// A table of the file the server installation does not make: declared from the file's columns,
// its key included, text compared without regard to case in the schema's own collation.
void createLike(Database& srv, const QString& schema, const QString& name, const QList<FileColumn>& cols)
{
    QStringList parts;
    QList<std::pair<int, QString>> key;
    for (const FileColumn& c : cols) {
        parts << quoted(c.name.toLower()) + QLatin1Char(' ') + serverTypeOf(c.type, schema);
        if (c.pk > 0)
            key.append({c.pk, quoted(c.name.toLower())});
    }
    std::sort(key.begin(), key.end());
    QStringList keyCols;
    for (const auto& k : key)
        keyCols << k.second;
    if (!keyCols.isEmpty())
        parts << QStringLiteral("PRIMARY KEY (%1)").arg(keyCols.join(QLatin1Char(',')));
    srv.execute(QStringLiteral("CREATE TABLE %1.%2 (%3)").arg(schema, quoted(name), parts.join(QLatin1Char(','))));
}

// The server's table for the file's `fileTable`, with every column the file has (one the server
// lacks added, so nothing of the files is left behind), and the columns copied in both orders.
Table prepareTable(Database& srv, Database& file, const QString& schema, const QString& fileTable)
{
    Table t{&file, fileTable, schema, fileTable.toLower(), {}};
    const QList<FileColumn> cols = fileColumns(file, fileTable);
    QList<std::pair<QString, QString>> server = serverColumns(srv, schema, t.name);
    if (server.isEmpty()) {
        createLike(srv, schema, t.name, cols);
        server = serverColumns(srv, schema, t.name);
        t.made = true;
    }
    for (const FileColumn& c : cols) {
        const QString lower = c.name.toLower();
        const auto it = std::find_if(server.cbegin(), server.cend(), [&](const auto& s) { return s.first == lower; });
        QString type = it != server.cend() ? it->second : QString();
        if (it == server.cend()) {
            srv.execute(QStringLiteral("ALTER TABLE %1.%2 ADD COLUMN %3 %4").arg(schema, quoted(t.name), quoted(lower), serverTypeOf(c.type, schema)));
            type = serverColumns(srv, schema, t.name).constLast().second;
        }
        t.columns.append({lower, c.name, kindOf(type)});
    }
    // The log's order of writing: SQLite's implicit rowid is a column of that name on the server.
    const bool declared = std::any_of(cols.cbegin(), cols.cend(), [](const FileColumn& c) { return c.name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0; });
    if (!declared && std::any_of(server.cbegin(), server.cend(), [](const auto& s) { return s.first == QLatin1String("rowid"); }))
        t.columns.append({QStringLiteral("rowid"), QStringLiteral("rowid"), Kind::Integer});
    return t;
}

struct Run {
    Database& srv;
    const WorkControl& control;
    const Migration::Progress& progress;
    qint64 sent = 0;
    qint64 total = 1;
    QList<Table> tables;
    QHash<Database*, int> changes;   // each file's count of changes once its tables were copied
};

// A large table is filled without its keys and indexes, each built once after its rows (one sort
// instead of an insert into every index per row, as a restore does); returns what builds them.
QStringList deferIndexes(Run& run, const Table& t)
{
    const QVariant rows = t.file->scalar(QStringLiteral("SELECT max(rowid) FROM %1").arg(quoted(t.fileTable)));
    if (rows.toLongLong() < 10000)
        return {};
    const QString rel = t.schema + QLatin1Char('.') + quoted(t.name);
    QStringList rebuild;
    for (Recordset rs = run.srv.query(QStringLiteral("SELECT conname, pg_get_constraintdef(oid) FROM pg_constraint WHERE conrelid=?::regclass "
                                                     "AND contype IN ('p','u')"),
                                      {rel});
         !rs.Eof(); rs.MoveNext()) {
        run.srv.execute(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2").arg(rel, quoted(rs.Fields(0).toString())));
        rebuild << QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 %3").arg(rel, quoted(rs.Fields(0).toString()), rs.Fields(1).toString());
    }
    for (Recordset rs = run.srv.query(QStringLiteral("SELECT indexname, indexdef FROM pg_indexes WHERE schemaname=? AND tablename=?"), {t.schema, t.name});
         !rs.Eof(); rs.MoveNext()) {
        run.srv.execute(QStringLiteral("DROP INDEX %1.%2").arg(t.schema, quoted(rs.Fields(0).toString())));
        rebuild << rs.Fields(1).toString();
    }
    return rebuild;
}

// The file's own indexes of a table made from its declarations, in the schema's words.
void fileIndexes(Run& run, const Table& t)
{
    BooksSearchPath path(run.srv, t.schema);
    for (Recordset rs = t.file->query(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' AND tbl_name=? AND sql IS NOT NULL"), {t.fileTable});
         !rs.Eof(); rs.MoveNext())
        run.srv.execute(rs.Fields(0).toString());
}

void copyTable(Run& run, Table& t)
{
    if (run.progress)
        run.progress(t.shown(), run.sent, run.total);
    const QStringList rebuild = deferIndexes(run, t);
    // Made or emptied in this transaction, the rows need no later pass to be seen as committed.
    Database::CopyIn copy(run.srv, QStringLiteral("COPY %1.%2 (%3) FROM STDIN WITH (FREEZE)").arg(t.schema, quoted(t.name), columnList(t)));
    QByteArray buf;
    buf.reserve(1 << 20);
    eachFileRow(t, run.control, &buf, [&](const QByteArray& img) {
        t.copied.add(img);
        if (buf.size() >= (1 << 19)) {
            copy.put(buf);
            run.sent += buf.size();
            buf.resize(0);
            run.control.report(int(qMin<qint64>(90, run.sent * 90 / run.total)));
            if (run.progress)
                run.progress(t.shown(), run.sent, run.total);
        }
    });
    if (!buf.isEmpty())
        copy.put(buf);
    run.sent += buf.size();
    copy.finish();
    for (const QString& statement : rebuild)
        run.srv.execute(statement);
    if (t.made)
        fileIndexes(run, t);
}

// Every table of one file into `schema` (filled beforehand with what the server installation
// makes there); the server's own tables the file lacks go when `dropMissing` (a template's).
void copyFile(Run& run, Database& file, const QString& schema, bool dropMissing)
{
    QStringList fileTables;
    for (const QString& table : file.tables())
        if (!kNotCopied.contains(table.toLower()))
            fileTables << table;
    if (dropMissing)
        for (Recordset rs = run.srv.query(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema=?"), {schema});
             !rs.Eof(); rs.MoveNext())
            if (!fileTables.contains(rs.Fields(0).toString(), Qt::CaseInsensitive))
                run.srv.execute(QStringLiteral("DROP TABLE %1.%2").arg(schema, quoted(rs.Fields(0).toString())));
    for (const QString& table : fileTables) {
        if (run.control.cancelled())
            throw Cancelled{};
        Table t = prepareTable(run.srv, file, schema, table);
        // The rows the server installation made (the template's) give way to the file's.
        if (!t.made)
            run.srv.execute(QStringLiteral("TRUNCATE %1.%2").arg(schema, quoted(t.name)));
        copyTable(run, t);
        run.tables.append(t);
    }
    run.changes.insert(&file, sqlite3_total_changes(file.fileConn()));
}

// One set's books of one year: the file and the schema it becomes.
struct Books {
    QString accId;
    int year = 0;
    QString file;
    QString schema;
};

QList<Books> booksOf(Database& sysDb)
{
    QList<Books> out;
    for (Recordset rs = sysDb.query(QStringLiteral("SELECT cAcc_Id, iYear, cAcc_Path FROM SM_Account ORDER BY cAcc_Id, iYear")); !rs.Eof(); rs.MoveNext()) {
        const QString acc = rs.Fields(0).toString();
        const int year = rs.Fields(1).toInt();
        out.append({acc, year, AccountDb::databasePath(rs.Fields(2).toString(), acc, year), AccountDb::booksSchema(acc, year)});
    }
    return out;
}

// Refuses a server database that holds an installation, or schemas one would make.
void requireEmpty(Database& srv, const ConnInfo& server, const QList<Books>& books)
{
    const QString sys = QString::fromLatin1(Installation::kSystemSchema);
    if (srv.schemaExists(sys) && srv.scalar(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_schema=? AND table_name='sm_user'"), {sys}).toInt() > 0)
        throw Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "服务器数据库 %1 中已有一个安装，不会覆盖。"), server.label());
    QStringList taken;
    if (srv.schemaExists(sys))
        taken << sys;
    for (const Books& b : books)
        if (srv.schemaExists(b.schema))
            taken << b.schema;
    if (!taken.isEmpty())
        throw Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "服务器数据库 %1 中已有同名的模式（%2），不会覆盖。"), server.label(),
                        taken.join(QStringLiteral("、"))); // not translated: a list separator
}

// The system database's tables as a new server installation makes them, empty.
void makeSystemSchema(Database& srv)
{
    srv.createSchema(QString::fromLatin1(Installation::kSystemSchema));
    SqlScript::run(srv, QStringLiteral(":/data/system_schema.sql"));
    LoginCheck::ensureTable(srv);
    TaskRegistry::ensureTables(srv);
    AuditLog::upgrade(srv);
}

// Every table compared on both sides; the first that differs stops the move, named.
void compareAll(Run& run)
{
    for (const Table& t : run.tables) {
        if (run.control.cancelled())
            throw Cancelled{};
        // The files are held for writing, so only this program's own connection could have
        // changed one since its copy: such a file is read again, else the copy's reading stands.
        const bool changed = sqlite3_total_changes(t.file->fileConn()) != run.changes.value(t.file);
        const Sum here = changed ? fileSum(t, run.control) : t.copied;
        const Sum there = serverSum(run.srv, t);
        if (!(here == there))
            throw Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "服务器上的表 %1 与原安装不一致（%2 行对 %3 行，或内容不同），已全部撤销。"), t.shown(),
                            QString::number(there.rows), QString::number(here.rows));
    }
}

// The copy, the comparison and the server's row of the move, in the server's one transaction.
void copyAll(Run& run, Database& sysDb, QList<Books>& books, std::vector<std::unique_ptr<Database>>& files,
             std::vector<std::unique_ptr<Database::Transaction>>& holds)
{
    makeSystemSchema(run.srv);
    copyFile(run, sysDb, QString::fromLatin1(Installation::kSystemSchema), false);
    // The log's own sequence goes on after the rows that came, so the chain's next row follows.
    run.srv.execute(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1.sm_log','rowid'), coalesce((SELECT max(rowid) FROM %1.sm_log), 0) + 1, false)")
                        .arg(QString::fromLatin1(Installation::kSystemSchema)));
    for (const Books& b : books) {
        if (!CiFile::isFile(b.file))
            throw Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "找不到账套[%1] %2年度的账套库：%3"), b.accId, QString::number(b.year), b.file);
        files.push_back(std::make_unique<Database>(b.file));
        // Held for writing to the end: nothing changes in the books under the copy.
        holds.push_back(std::make_unique<Database::Transaction>(*files.back()));
        run.srv.createSchema(b.schema);
        {
            BooksSearchPath path(run.srv, b.schema);
            AccountTemplate::fill(run.srv);
        }
        copyFile(run, *files.back(), b.schema, true);
    }
    if (const Migration::CompareHook& hook = compareHook())
        hook(sysDb);
    compareAll(run);
}

qint64 totalBytes(const QString& sysDbPath, const QList<Books>& books)
{
    qint64 n = QFileInfo(sysDbPath).size();
    for (const Books& b : books)
        n += QFileInfo(b.file).size();
    return qMax<qint64>(1, n);
}

MigrationOutcome said(MigrationOutcome::Status status, const QString& text, Notice::Icon icon)
{
    MigrationOutcome out;
    out.status = status;
    out.notice = {text, QString(), icon};
    return out;
}

// The files' mark and row of the move, in their held transaction, after the server committed.
void markFiles(Database& sysDb, const QString& server, const AuditContext& who, const AuditEntry& entry)
{
    sysDb.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (cServer TEXT COLLATE NOCASE NOT NULL, cWhen TEXT COLLATE NOCASE)").arg(kMovedTable));
    sysDb.execute(QStringLiteral("INSERT INTO %1 (cServer, cWhen) VALUES (?, ?)").arg(kMovedTable),
                  {server, QDateTime::currentDateTime().toString(Qt::ISODate)});
    AuditLog::write(sysDb, who, entry);
}
} // namespace

namespace Migration {
void setCompareHook(const CompareHook& hook)
{
    compareHook() = hook;
}

QString movedTo(const QString& root)
{
    const QString path = Installation::sysDbPath(root);
    if (!CiFile::isFile(path))
        return QString();
    try {
        Database db(path);
        if (!db.hasTable(kMovedTable))
            return QString();
        return db.scalar(QStringLiteral("SELECT cServer FROM %1 ORDER BY rowid DESC LIMIT 1").arg(kMovedTable)).toString();
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Migration::movedTo"));
        return QString();
    }
}

MigrationOutcome moveToServer(Database& sysDb, const QString& root, const ConnInfo& server, const AuditContext& who,
                              const WorkControl& control, const Progress& progress)
{
    using S = MigrationOutcome::Status;
    if (!server.isValid())
        return said(S::Refused, Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "服务器连接串不正确：%1"), server.error()).shown, Notice::Icon::Exclamation);
    if (!movedTo(root).isEmpty())
        return said(S::Refused, Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "这个安装已迁移到服务器[%1]，不再迁移。"), movedTo(root)).shown,
                    Notice::Icon::Exclamation);
    Database srv;
    std::vector<std::unique_ptr<Database>> files;
    std::vector<std::unique_ptr<Database::Transaction>> holds;
    int moved = 0;
    bool committed = false;
    AuditEntry done = Audit::movedToServer(QDir::cleanPath(root), server.label(), 0);
    try {
        Database::Transaction held(sysDb);
        QList<Books> books = booksOf(sysDb);
        done = Audit::movedToServer(QDir::cleanPath(root), server.label(), int(books.size()));
        srv.openServerToMake(server.connectString(), QString::fromLatin1(Installation::kSystemSchema));
        Database::Transaction tx(srv);
        // One making or moving an installation into this database at a time.
        srv.execute(QStringLiteral("SELECT pg_advisory_xact_lock(7406)"));
        srv.execute(QStringLiteral("SET LOCAL extra_float_digits = 3"));
        requireEmpty(srv, server, books);
        Run run{srv, control, progress, 0, totalBytes(Installation::sysDbPath(root), books), {}};
        copyAll(run, sysDb, books, files, holds);
        control.report(95);
        AuditLog::write(srv, who, done);
        if (control.cancelled())
            throw Cancelled{};
        tx.commit();
        committed = true;
        holds.clear();
        markFiles(sysDb, server.withoutPassword(), who, done);
        held.commit();
        moved = int(books.size());
    } catch (const Cancelled&) {
        return said(S::Cancelled, Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "迁移已取消，服务器数据库和原安装都保持原样。")).shown, Notice::Icon::Information);
    } catch (const Words& refused) {
        AuditLog::record(sysDb, who, done.refused(refused.stored));
        return said(S::Refused, refused.shown, Notice::Icon::Exclamation);
    } catch (const DbError& e) {
        WriteErrLog(1, e.text(), QStringLiteral("Migration::moveToServer"));
        AuditLog::record(sysDb, who, done.failed(e.reasonText()));
        // The server holds the whole installation already: only the files' mark is missing.
        if (committed)
            return said(S::Failed, Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "安装已迁移到服务器[%1]，但无法在原安装中记下迁移：%2"), server.label(),
                                             e.userText()).shown,
                        Notice::Icon::Critical);
        return said(S::Failed, Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "迁移失败，已全部撤销，服务器数据库保持原样：%1"), e.userText()).shown,
                    Notice::Icon::Critical);
    }
    control.report(100);
    MigrationOutcome out = said(S::Done, Words::of(kCtx, QT_TRANSLATE_NOOP("Migration", "安装已迁移到服务器[%1]（%2 个账套年度的账套库）。"), server.label(),
                                                   QString::number(moved)).shown,
                                Notice::Icon::Information);
    out.books = moved;
    return out;
}
}
