#include "AuditLog.h"

#include <Database.h>
#include <ErrLog.h>
#include <SysInfo.h>

#include <QDateTime>
#include <QMutex>
#include <QSet>
#include <QSqlQuery>

#include <xxhash.h>

namespace {
// The columns the log writes beyond those every installation's SM_Log has had.
const char* const kAddedColumns[] = {"cOsUser", "cAction", "cResult", "cReason", "cPrevHash", "cHash"};
const QString kAttachAlias = QStringLiteral("auditsys");

// Connections (and schemas) whose SM_Log is known to have the log's columns.
QMutex g_upgradedLock;
QSet<QString> g_upgraded;

void ensureUpgraded(Database& db, const QString& schema)
{
    const QString id = db.handle().connectionName() + QLatin1Char('|') + schema;
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

void writeRow(Database& db, const AuditContext& who, const AuditEntry& e, const QString& schema)
{
    ensureUpgraded(db, schema);
    // The installation-wide key is the empty text, never Null.
    const QString key = e.accId.trimmed().isEmpty() ? QStringLiteral("") : e.accId.trimmed();
    // The server locks only the rows written: two sessions could both read the same head and fork
    // the key's chain. The key's lock, held to the commit, makes the second wait for the first.
    if (db.engine() == Engine::PostgreSQL)
        db.execute(QStringLiteral("SELECT pg_advisory_xact_lock(hashtextextended(?, 0))"),
                   {QStringLiteral("SM_Log|%1|%2").arg(db.schemaOf(schema), key.toLower())});
    QString prev = db.scalar(QStringLiteral("SELECT cHash FROM %1.SM_LogHead WHERE cAcc_Id=?").arg(schema), {key}).toString();
    if (prev.isEmpty()) {
        // An installation whose rows were written or imported before the heads existed.
        prev = db.scalar(QStringLiteral("SELECT cHash FROM %1.SM_Log WHERE cAcc_Id=? AND cSub_Id=? AND cHash IS NOT NULL "
                                        "ORDER BY rowid DESC LIMIT 1").arg(schema),
                         {key, AuditLog::kSubId}).toString();
    }
    const QDateTime now = QDateTime::currentDateTime();
    AuditLog::RowContent c;
    c.accId = key;
    c.year = e.year == 0 ? QString() : QString::number(e.year);
    c.subId = AuditLog::kSubId;
    c.operatorId = e.operatorId.isNull() ? who.operatorId : e.operatorId;
    c.station = who.station.isEmpty() ? SysInfo::computerName() : who.station;
    c.osUser = who.osUser.isEmpty() ? SysInfo::osUser() : who.osUser;
    c.date = now.toString(QStringLiteral("yyyy-MM-dd"));
    c.time = now.toString(QStringLiteral("HH:mm:ss"));
    c.action = e.action;
    c.result = AuditEntry::resultText(e.result);
    c.reason = e.reason;
    c.detail = e.detail;
    c.prevHash = prev;
    const QString hash = AuditLog::hashOf(c);
    db.execute(QStringLiteral("INSERT INTO %1.SM_Log (cAcc_Id,iYear,cSub_Id,cUser_Id,cStation,dDate,cTime,cContent,"
                              "cOsUser,cAction,cResult,cReason,cPrevHash,cHash) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)").arg(schema),
               {c.accId, nullWhenZero(e.year), c.subId, c.operatorId, c.station, c.date, c.time, c.detail,
                c.osUser, c.action, c.result, c.reason, c.prevHash, hash});
    db.execute(QStringLiteral("INSERT OR REPLACE INTO %1.SM_LogHead (cAcc_Id,cHash) VALUES (?,?)").arg(schema), {key, hash});
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
        return QStringLiteral("成功");
    case Result::Failed:
        return QStringLiteral("失败");
    case Result::Refused:
        return QStringLiteral("拒绝");
    }
    return QString();
}

namespace AuditLog {
void write(Database& db, const AuditContext& who, const AuditEntry& entry, const QString& schema)
{
    if (db.inTransaction()) {
        writeRow(db, who, entry, schema);
        return;
    }
    // The predecessor's hash is read and the row written under one write lock, so two programs
    // writing at once cannot both take the same predecessor.
    Database::Transaction t(db);
    writeRow(db, who, entry, schema);
    t.commit();
}

bool record(Database& db, const AuditContext& who, const AuditEntry& entry) noexcept
{
    try {
        write(db, who, entry);
        return true;
    } catch (const DbError& e) {
        WriteErrLog(3, QStringLiteral("上机日志未能写入（%1）：%2").arg(entry.action, e.text()), QStringLiteral("AuditLog"));
    } catch (...) {
        WriteErrLog(3, QStringLiteral("上机日志未能写入（%1）").arg(entry.action), QStringLiteral("AuditLog"));
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
        record(db, who, entry.failed(e.userText()));
        throw;
    }
}

bool upgrade(Database& db, const QString& schema)
{
    if (db.engine() == Engine::PostgreSQL) {
        // A server installation is made with every column; the log's order of writing is the
        // server's own sequence, in a column named as SQLite's implicit one so one query serves,
        // indexed as SQLite's is: the viewer reads its pages by it.
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
    bool changed = false;
    const bool hasLog = db.scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master WHERE type='table' AND name='SM_Log' COLLATE NOCASE")
                                      .arg(schema)).toInt() > 0;
    if (!hasLog) {
        db.execute(QStringLiteral("CREATE TABLE %1.SM_Log (iLog_Id INTEGER, cAcc_Id TEXT COLLATE NOCASE, iYear INTEGER, "
                                  "cSub_Id TEXT COLLATE NOCASE, cUser_Id TEXT COLLATE NOCASE, cStation TEXT COLLATE NOCASE, "
                                  "dDate TEXT COLLATE NOCASE, cTime TEXT COLLATE NOCASE, cContent TEXT COLLATE NOCASE)").arg(schema));
        changed = true;
    }
    QSet<QString> have;
    for (Recordset rs = db.query(QStringLiteral("PRAGMA %1.table_info(SM_Log)").arg(schema)); !rs.Eof(); rs.MoveNext())
        have << rs.text(QStringLiteral("name")).toLower();
    for (const char* column : kAddedColumns) {
        const QString name = QString::fromLatin1(column);
        if (!have.contains(name.toLower())) {
            db.execute(QStringLiteral("ALTER TABLE %1.SM_Log ADD COLUMN %2 TEXT COLLATE NOCASE").arg(schema, name));
            changed = true;
        }
    }
    const int before = db.scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema)).toInt();
    db.execute(QStringLiteral("CREATE TABLE IF NOT EXISTS %1.SM_LogHead (cAcc_Id TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, "
                              "cHash TEXT COLLATE NOCASE)").arg(schema));
    db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS %1.SM_Log_Key ON SM_Log (cAcc_Id, cHash)").arg(schema));
    // The viewer reads newest first and lists the operators: both from an index, not a sort of every row.
    db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS %1.SM_Log_Time ON SM_Log (dDate, cTime)").arg(schema));
    db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS %1.SM_Log_User ON SM_Log (cUser_Id)").arg(schema));
    return changed || db.scalar(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(schema)).toInt() != before;
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

RowContent contentAt(const QSqlQuery& q, int first)
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
        throw DbError(QStringLiteral("无法写入上机日志：系统库 %1 无法打开。").arg(m_sysDbPath));
    AuditLog::write(m_db, who, entry, kAttachAlias);
}

void Attached::recordFailed(const AuditContext& who, const AuditEntry& entry, const QString& why)
{
    if (!m_attached)
        return;
    try {
        AuditLog::write(m_db, who, entry.failed(why), kAttachAlias);
    } catch (const DbError& e) {
        WriteErrLog(3, QStringLiteral("上机日志未能写入（%1）：%2").arg(entry.action, e.text()), QStringLiteral("AuditLog"));
    }
}
}
