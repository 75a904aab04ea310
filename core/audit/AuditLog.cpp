#include "AuditLog.h"

#include <Database.h>
#include <ErrLog.h>
#include <SysInfo.h>

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <xxhash.h>

#include <optional>

namespace {
// The columns the log writes beyond those every installation's SM_Log has had.
const char* const kAddedColumns[] = {"cOsUser", "cAction", "cResult", "cReason", "cPrevHash", "cHash", "cOrigin"};
// The columns the heads gained after they were first made.
const char* const kHeadColumns[] = {"iRows", "iLastId"};
const QString kAttachAlias = QStringLiteral("auditsys");
// The rows of this installation's chain: the console's own, not brought in by an import.
const QString kOwnRows = QStringLiteral("cSub_Id=? AND coalesce(cOrigin,'')=''");

// Connections (and schemas) whose SM_Log is known to have the log's columns.
QMutex g_upgradedLock;
QSet<QString> g_upgraded;

QString upgradedId(const Database& db, const QString& schema)
{
    return db.connectionName() + QLatin1Char('|') + schema;
}

void ensureUpgraded(Database& db, const QString& schema)
{
    const QString id = upgradedId(db, schema);
    {
        QMutexLocker lock(&g_upgradedLock);
        if (g_upgraded.contains(id))
            return;
    }
    const bool changed = AuditLog::upgrade(db, schema);
    // A change made inside the caller's transaction may still be rolled back: looked at again next time.
    if (!changed || !db.inTransaction()) {
        QMutexLocker lock(&g_upgradedLock);
        g_upgraded.insert(id);
    }
}

// A table's columns in lower case (the server keeps unquoted names so); empty when it has none.
QStringList columnsOf(Database& db, const QString& schema, const QString& table)
{
    QStringList out;
    if (db.engine() == Engine::PostgreSQL) {
        for (Recordset rs = db.query(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema=? "
                                                    "AND table_name=lower(?) ORDER BY ordinal_position"),
                                     {db.schemaOf(schema), table});
             !rs.Eof(); rs.MoveNext())
            out << rs.Fields(0).toString().toLower();
        return out;
    }
    for (Recordset rs = db.query(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, table)); !rs.Eof(); rs.MoveNext())
        out << rs.text(QStringLiteral("name")).toLower();
    return out;
}

// Before imports were told apart, an import over a set that had rows mixed the backup set's rows
// into the set's key: they begin a chain of their own after the key's first row. Those rows and
// the rows that follow from them are marked imported, as an import marks them now.
void markEarlierImports(Database& db, const QString& schema)
{
    QHash<QString, QSet<QString>> marked;   // key -> the hashes of its marked rows
    QVariantList ids;
    db.forEach(QStringLiteral("SELECT rowid, cAcc_Id, cPrevHash, cHash FROM %1.SM_Log WHERE cSub_Id=? AND cHash IS NOT NULL "
                              "ORDER BY rowid").arg(schema),
               {AuditLog::kSubId}, [&](const RowView& q) {
                   const QString key = q.value(1).toString().toLower();
                   const QString prev = q.value(2).toString();
                   const bool first = !marked.contains(key);
                   QSet<QString>& m = marked[key];
                   if (prev.isEmpty() ? !first : m.contains(prev)) {
                       m.insert(q.value(3).toString());
                       ids << q.value(0);
                   }
               });
    for (qsizetype at = 0; at < ids.size(); at += 500) {
        const QVariantList part = ids.mid(at, 500);
        db.execute(QStringLiteral("UPDATE %1.SM_Log SET cOrigin=? WHERE rowid IN (%2)")
                       .arg(schema, QStringList(part.size(), QStringLiteral("?")).join(QLatin1Char(','))),
                   QVariantList{AuditLog::kImported} + part);
    }
}

// The heads' count and last row, once, as the rows stand when the heads first keep them. A head
// keeps its hash, so a break made before stays visible; a key with rows and no head gets one.
void fillHeads(Database& db, const QString& schema)
{
    struct Key {
        QString spelled;   // as written
        qint64 rows = 0;
        QVariant lastId;
        QString lastHash;
    };
    // The installation-wide key is the empty text, never Null (which a driver may read it as).
    const auto keyOf = [](const QVariant& v) { return v.toString().isNull() ? QStringLiteral("") : v.toString(); };
    QHash<QString, Key> keys;   // lower case -> its rows
    db.forEach(QStringLiteral("SELECT rowid, cAcc_Id, cHash FROM %1.SM_Log WHERE %2 ORDER BY rowid").arg(schema, kOwnRows), {AuditLog::kSubId},
               [&](const RowView& q) {
                   Key& k = keys[keyOf(q.value(1)).toLower()];
                   k.spelled = keyOf(q.value(1));
                   ++k.rows;
                   k.lastId = q.value(0);
                   k.lastHash = q.value(2).toString();
               });
    for (Recordset rs = db.query(QStringLiteral("SELECT cAcc_Id FROM %1.SM_LogHead WHERE iRows IS NULL").arg(schema)); !rs.Eof(); rs.MoveNext()) {
        const QString key = keyOf(rs.Fields(0));
        const Key k = keys.take(key.toLower());
        db.execute(QStringLiteral("UPDATE %1.SM_LogHead SET iRows=?, iLastId=? WHERE cAcc_Id=?").arg(schema), {k.rows, k.lastId, key});
    }
    for (const Key& k : std::as_const(keys))
        db.execute(QStringLiteral("INSERT INTO %1.SM_LogHead (cAcc_Id,cHash,iRows,iLastId) SELECT ?,?,?,? WHERE NOT EXISTS "
                                  "(SELECT 1 FROM %1.SM_LogHead WHERE cAcc_Id=?)").arg(schema),
                   {k.spelled, k.lastHash, k.rows, k.lastId, k.spelled});
}

void appendField(QByteArray& out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const quint32 n = quint32(bytes.size());
    // Each field with its length in front: no text can move a boundary between two fields.
    const char len[4] = {char(n & 0xff), char((n >> 8) & 0xff), char((n >> 16) & 0xff), char((n >> 24) & 0xff)};
    out.append(len, 4);
    out.append(bytes);
}

QVariant nullWhenZero(int year)
{
    return year == 0 ? QVariant() : QVariant(year);
}

// The installation-wide key is the empty text, never Null.
QString logKey(const QString& accId)
{
    return accId.trimmed().isEmpty() ? QStringLiteral("") : accId.trimmed();
}

// The previous row's hash and the key's count with this row (unknown once its head has been
// taken away), from the head's read.
struct Predecessor {
    QString hash;
    QVariant rows;
};

Predecessor predecessorIn(const Recordset& head)
{
    Predecessor p;
    if (head.Fields(2).toBool()) {
        p.hash = head.Fields(0).toString();
        if (!head.Fields(1).isNull())
            p.rows = head.Fields(1).toLongLong() + 1;
    } else {
        p.hash = head.Fields(3).toString();
        if (p.hash.isEmpty())
            p.rows = 1;
    }
    return p;
}
} // namespace

AuditEntry AuditEntry::failed(const QString& why) const
{
    AuditEntry e = *this;
    e.result = Result::Failed;
    e.reason = why;
    return e;
}

AuditEntry AuditEntry::refused(const QString& why) const
{
    AuditEntry e = *this;
    e.result = Result::Refused;
    e.reason = why;
    return e;
}

QString AuditEntry::resultText(Result r)
{
    switch (r) {
    case Result::Done:
        return QStringLiteral("成功"); // not translated: stored in cResult
    case Result::Failed:
        return QStringLiteral("失败"); // not translated: stored in cResult
    case Result::Refused:
        return QStringLiteral("拒绝"); // not translated: stored in cResult
    }
    return QString();
}

namespace AuditLog {
Shape shape(Engine engine)
{
    Shape s;
    for (const char* c : kAddedColumns)
        s.columns << QStringLiteral("SM_Log.%1").arg(QLatin1String(c));
    for (const char* c : kHeadColumns)
        s.columns << QStringLiteral("SM_LogHead.%1").arg(QLatin1String(c));
    if (engine == Engine::PostgreSQL) {
        s.columns << QStringLiteral("SM_Log.rowid");
        s.indexes << QStringLiteral("SM_Log_Order");
    } else {
        s.indexes << QStringLiteral("SM_Log_Key") << QStringLiteral("SM_Log_Time") << QStringLiteral("SM_Log_User");
    }
    return s;
}

void markUpToDate(Database& db, const QString& schema)
{
    QMutexLocker lock(&g_upgradedLock);
    g_upgraded.insert(upgradedId(db, schema));
}

QList<Database::Statement> headStatements(Database& db, const QString& accId, const QString& schema)
{
    ensureUpgraded(db, schema);
    const QString key = logKey(accId);
    QList<Database::Statement> read;
    // The server locks only the rows written: two sessions could both read the same head and fork
    // the key's chain. The key's lock, held to the commit, makes the second wait for the first.
    // A statement of its own, so the head is read after the wait, as the first writer left it.
    if (db.engine() == Engine::PostgreSQL)
        read << Database::Statement{QStringLiteral("SELECT pg_advisory_xact_lock(hashtextextended(?, 0))"),
                                    {QStringLiteral("SM_Log|%1|%2").arg(db.schemaOf(schema), key.toLower())}};
    // Without a head, the key's first row, unless its head is gone while its rows are not: the
    // chain then goes on from its last row and the head's count stays unknown, so the check keeps
    // saying so.
    read << Database::Statement{QStringLiteral("SELECT h.cHash, h.iRows, h.cAcc_Id IS NOT NULL, CASE WHEN h.cAcc_Id IS NULL THEN "
                                               "(SELECT l.cHash FROM %1.SM_Log l WHERE l.cAcc_Id=? AND %2 AND l.cHash IS NOT NULL "
                                               "ORDER BY l.rowid DESC LIMIT 1) END "
                                               "FROM (SELECT 1 AS one) o LEFT JOIN %1.SM_LogHead h ON h.cAcc_Id=?")
                                    .arg(schema, kOwnRows),
                                {key, kSubId, key}};
    return read;
}

QList<Database::Statement> rowStatements(Database& db, const AuditContext& who, const AuditEntry& e, const Recordset& head, const QString& schema)
{
    const Predecessor prev = predecessorIn(head);
    const QDateTime now = QDateTime::currentDateTime();
    RowContent c;
    c.accId = logKey(e.accId);
    c.year = e.year == 0 ? QString() : QString::number(e.year);
    c.subId = kSubId;
    c.operatorId = e.operatorId.isNull() ? who.operatorId : e.operatorId;
    c.station = who.station.isEmpty() ? SysInfo::computerName() : who.station;
    c.osUser = who.osUser.isEmpty() ? SysInfo::osUser() : who.osUser;
    c.date = now.toString(QStringLiteral("yyyy-MM-dd"));
    c.time = now.toString(QStringLiteral("HH:mm:ss"));
    c.action = e.action;
    c.result = AuditEntry::resultText(e.result);
    c.reason = e.reason;
    c.detail = e.detail;
    c.prevHash = prev.hash;
    const QString hash = hashOf(c);
    // The head takes the row's id as the engine gave it (the server's sequence, SQLite's rowid),
    // so the row and its head go in one round trip.
    const bool server = db.engine() == Engine::PostgreSQL;
    const QString lastId = server ? QStringLiteral("currval(pg_get_serial_sequence(?, 'rowid'))") : QStringLiteral("last_insert_rowid()");
    QVariantList headValues{c.accId, hash, prev.rows};
    if (server)
        headValues << db.schemaOf(schema) + QStringLiteral(".sm_log");
    return {{QStringLiteral("INSERT INTO %1.SM_Log (cAcc_Id,iYear,cSub_Id,cUser_Id,cStation,dDate,cTime,cContent,"
                            "cOsUser,cAction,cResult,cReason,cPrevHash,cHash) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(schema),
             {c.accId, nullWhenZero(e.year), c.subId, c.operatorId, c.station, c.date, c.time, c.detail,
              c.osUser, c.action, c.result, c.reason, c.prevHash, hash}},
            {QStringLiteral("INSERT OR REPLACE INTO %1.SM_LogHead (cAcc_Id,cHash,iRows,iLastId) VALUES (?,?,?,%2)").arg(schema, lastId),
             headValues}};
}

void write(Database& db, const AuditContext& who, const AuditEntry& entry, const QString& schema)
{
    const auto rowAfterHead = [&] { return rowStatements(db, who, entry, db.batch(headStatements(db, entry.accId, schema)).constLast(), schema); };
    if (db.inTransaction()) {
        db.batch(rowAfterHead());
        return;
    }
    // The predecessor's hash is read and the row written under one write lock, so two programs
    // writing at once cannot both take the same predecessor; the row goes with the COMMIT.
    Database::Transaction t(db);
    t.commit(rowAfterHead());
}

bool record(Database& db, const AuditContext& who, const AuditEntry& entry) noexcept
{
    try {
        // A failed action's row follows a failure that may itself have been a wait for a lock:
        // the person is not kept waiting a second time for its row.
        std::optional<Database::BusyWait> brief;
        if (entry.result == AuditEntry::Result::Failed)
            brief.emplace(db, kFailedRowWaitMs);
        write(db, who, entry);
        return true;
    } catch (const DbError& e) {
        WriteErrLog(3, QStringLiteral("上机日志未能写入（%1）：%2").arg(entry.action, e.text()), QStringLiteral("AuditLog")); // not translated: the error log
    } catch (...) {
        WriteErrLog(3, QStringLiteral("上机日志未能写入（%1）").arg(entry.action), QStringLiteral("AuditLog")); // not translated: the error log
    }
    return false;
}

void run(Database& db, const AuditContext& who, const AuditEntry& entry, const std::function<void()>& work)
{
    try {
        Database::Transaction t(db);
        work();
        write(db, who, entry);
        t.commit();
    } catch (const DbError& e) {
        record(db, who, entry.failed(e.reasonText()));
        throw;
    }
}

namespace {
// The log's table as this version writes it: on the server, its order of writing is the server's
// own sequence, in a column named as SQLite's implicit one so one query serves, indexed as
// SQLite's is (the viewer reads its pages by it).
bool ensureLogTable(Database& db, const QString& schema, bool server)
{
    if (server) {
        const QString real = db.schemaOf(schema);
        const bool hasOrder = db.scalar(QStringLiteral("SELECT count(*) FROM information_schema.columns WHERE table_schema=? "
                                                       "AND table_name='sm_log' AND column_name='rowid'"),
                                        {real}).toInt() > 0;
        if (!hasOrder)
            db.execute(QStringLiteral("ALTER TABLE %1.SM_Log ADD COLUMN rowid BIGSERIAL").arg(schema));
        const bool hasIndex = db.scalar(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname=? AND indexname='sm_log_order'"),
                                        {real}).toInt() > 0;
        if (!hasIndex)
            db.execute(QStringLiteral("CREATE UNIQUE INDEX SM_Log_Order ON %1.SM_Log (rowid)").arg(schema));
        return !hasOrder || !hasIndex;
    }
    if (!columnsOf(db, schema, QStringLiteral("SM_Log")).isEmpty())
        return false;
    db.execute(QStringLiteral("CREATE TABLE %1.SM_Log (iLog_Id INTEGER, cAcc_Id TEXT COLLATE NOCASE, iYear INTEGER, "
                              "cSub_Id TEXT COLLATE NOCASE, cUser_Id TEXT COLLATE NOCASE, cStation TEXT COLLATE NOCASE, "
                              "dDate TEXT COLLATE NOCASE, cTime TEXT COLLATE NOCASE, cContent TEXT COLLATE NOCASE)").arg(schema));
    return true;
}

// The columns later versions added to the log; `originAdded` when the import's mark is new.
bool addLogColumns(Database& db, const QString& schema, bool* originAdded)
{
    bool changed = false;
    const QStringList have = columnsOf(db, schema, QStringLiteral("SM_Log"));
    for (const char* column : kAddedColumns) {
        const QString name = QString::fromLatin1(column);
        if (!have.contains(name.toLower())) {
            db.execute(QStringLiteral("ALTER TABLE %1.SM_Log ADD COLUMN %2 TEXT COLLATE NOCASE").arg(schema, name));
            changed = true;
            *originAdded = *originAdded || name == QLatin1String("cOrigin");
        }
    }
    return changed;
}

// The heads' table with every column; true when its heads must be filled from the rows.
bool ensureHeadTable(Database& db, const QString& schema, bool server)
{
    // The server's INTEGER is four bytes; a row's id is eight.
    const QString number = server ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER");
    const QStringList headHas = columnsOf(db, schema, QStringLiteral("SM_LogHead"));
    if (headHas.isEmpty()) {
        db.execute(QStringLiteral("CREATE TABLE %1.SM_LogHead (cAcc_Id TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, "
                                  "cHash TEXT COLLATE NOCASE, iRows %2, iLastId %2)").arg(schema, number));
        return true;
    }
    bool fill = false;
    for (const char* column : kHeadColumns) {
        if (!headHas.contains(QString::fromLatin1(column).toLower())) {
            db.execute(QStringLiteral("ALTER TABLE %1.SM_LogHead ADD COLUMN %2 %3").arg(schema, QLatin1String(column), number));
            fill = true;
        }
    }
    return fill;
}

// A file installation's indexes of the log; true when one was made.
bool ensureFileIndexes(Database& db, const QString& schema)
{
    const int before = db.scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema)).toInt();
    db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS %1.SM_Log_Key ON SM_Log (cAcc_Id, cHash)").arg(schema));
    // The viewer reads newest first and lists the operators: both from an index, not a sort of every row.
    db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS %1.SM_Log_Time ON SM_Log (dDate, cTime)").arg(schema));
    db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS %1.SM_Log_User ON SM_Log (cUser_Id)").arg(schema));
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema)).toInt() != before;
}

} // namespace

bool upgrade(Database& db, const QString& schema)
{
    const bool server = db.engine() == Engine::PostgreSQL;
    bool originAdded = false;
    bool changed = ensureLogTable(db, schema, server);
    changed = addLogColumns(db, schema, &originAdded) || changed;
    const bool fill = ensureHeadTable(db, schema, server);
    if (originAdded)
        markEarlierImports(db, schema);
    if (fill)
        fillHeads(db, schema);
    changed = changed || fill;
    if (server)
        return changed;
    return ensureFileIndexes(db, schema) || changed;
}

int mergeImported(Database& db, const QString& alias, const QString& accId)
{
    ensureUpgraded(db, QStringLiteral("main"));
    const QStringList theirs = columnsOf(db, alias, QStringLiteral("SM_Log_Ex"));
    if (theirs.isEmpty()) {
        WriteErrLog(1, QStringLiteral("备份中没有表 SM_Log_Ex，账套[%1]的日志未引入").arg(accId), QStringLiteral("AuditLog")); // not translated: the error log
        return 0;
    }
    // Every column both tables have, but the mark, which is this import's, and the server's order
    // column, which is this installation's. A backup set from before the log lacks the newer ones.
    const QStringList mine = columnsOf(db, QStringLiteral("main"), QStringLiteral("SM_Log"));
    QStringList columns;
    for (const QString& c : theirs)
        if (mine.contains(c) && c != QLatin1String("corigin") && c != QLatin1String("rowid"))
            columns << c;
    // "IS" is SQLite's null-safe equality; the server spells it out.
    const QString is = db.engine() == Engine::PostgreSQL ? QStringLiteral("IS NOT DISTINCT FROM") : QStringLiteral("IS");
    QStringList same{QStringLiteral("t.cAcc_Id=?")};
    QStringList picked;
    for (const QString& c : columns) {
        same << QStringLiteral("t.%1 %2 old.%1").arg(c, is);
        picked << QStringLiteral("old.") + c;
    }
    db.execute(QStringLiteral("INSERT INTO main.SM_Log (%1,cOrigin) SELECT %2,? FROM %3.SM_Log_Ex AS old "
                              "WHERE old.cAcc_Id=? AND NOT EXISTS (SELECT 1 FROM main.SM_Log AS t WHERE %4) ORDER BY old.rowid")
                   .arg(columns.join(QLatin1Char(',')), picked.join(QLatin1Char(',')), alias, same.join(QStringLiteral(" AND "))),
               {kImported, accId, accId});
    return db.scalar(QStringLiteral("SELECT count(*) FROM %1.SM_Log_Ex WHERE cAcc_Id IS NULL OR cAcc_Id<>?").arg(alias), {accId}).toInt();
}

void dropKey(Database& db, const QString& accId)
{
    if (db.hasTable(QStringLiteral("SM_LogHead")))
        db.execute(QStringLiteral("DELETE FROM SM_LogHead WHERE cAcc_Id=?"), {accId});
}

QString hashOf(const RowContent& r)
{
    QByteArray buf;
    buf.reserve(512);
    for (const QString* f : {&r.accId, &r.year, &r.subId, &r.operatorId, &r.station, &r.osUser, &r.date, &r.time,
                             &r.action, &r.result, &r.reason, &r.detail, &r.prevHash})
        appendField(buf, *f);
    const XXH128_hash_t h = XXH3_128bits(buf.constData(), size_t(buf.size()));
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, h);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(canonical.digest), sizeof canonical.digest).toHex());
}

const QString kContentColumns = QStringLiteral(
    "cAcc_Id, iYear, cSub_Id, cUser_Id, cStation, cOsUser, dDate, cTime, cAction, cResult, cReason, cContent, cPrevHash");

RowContent contentAt(const RowView& q, int first)
{
    RowContent c;
    QString* fields[] = {&c.accId, &c.year, &c.subId, &c.operatorId, &c.station, &c.osUser, &c.date, &c.time,
                         &c.action, &c.result, &c.reason, &c.detail, &c.prevHash};
    int column = first;
    for (QString* f : fields) {
        const QVariant v = q.value(column++);
        *f = v.isNull() ? QString() : v.toString();
    }
    return c;
}

Attached::Attached(Database& db, const QString& sysDbPath)
    : m_db(db)
    , m_sysDbPath(sysDbPath)
{
    if (sysDbPath.isEmpty())
        return;
    try {
        m_db.attach(sysDbPath, kAttachAlias);
        m_attached = true;
    } catch (const DbError& e) {
        // Writing then fails, and with it the action: no action goes unlogged.
        WriteErrLog(3, e.text(), QStringLiteral("AuditLog"));
    }
}

Attached::~Attached()
{
    if (!m_attached)
        return;
    try {
        m_db.detach(kAttachAlias);
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("AuditLog"));
    }
}

void Attached::write(const AuditContext& who, const AuditEntry& entry)
{
    if (m_sysDbPath.isEmpty())
        return;
    if (!m_attached)
        throw DbError(Words::of("AuditLog", QT_TRANSLATE_NOOP("AuditLog", "无法写入上机日志：系统库 %1 无法打开。"), m_sysDbPath));
    AuditLog::write(m_db, who, entry, kAttachAlias);
}

void Attached::recordFailed(const AuditContext& who, const AuditEntry& entry, const QString& why)
{
    if (!m_attached)
        return;
    try {
        AuditLog::write(m_db, who, entry.failed(why), kAttachAlias);
    } catch (const DbError& e) {
        WriteErrLog(3, QStringLiteral("上机日志未能写入（%1）：%2").arg(entry.action, e.text()), QStringLiteral("AuditLog")); // not translated: the error log
    }
}
}
