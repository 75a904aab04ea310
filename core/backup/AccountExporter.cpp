#include "AccountExporter.h"
#include "BackupSet.h"
#include "Manifest.h"
#include "SealedStream.h"
#include "WriteBehind.h"

#include <AccountDb.h>
#include <BooksLock.h>
#include <BooksTransfer.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QPair>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <thread>
#include <unistd.h>

namespace {
const QString kRoutine = QStringLiteral("Timer1_Timer");
const QString kSys = QStringLiteral("sys");

// How each transfer table is filled: the rows of the set from the system table of the same name
// (read through the attached system database "sys"). A step with an empty source adds rows to a
// table made by an earlier step.
struct Fill {
    const char* table;
    const char* source;
    const char* select;
    bool bindsRe;   // binds 'RE' before the set number
    bool perYear = false;   // a row per year of the set: only the exported year's when a year is given
};

const Fill kFills[] = {
    {"SM_Account_Ex", "SM_Account", "SELECT * FROM sys.SM_Account WHERE cAcc_Id=?", false, true},
    {"SM_Period_Ex", "SM_Period", "SELECT * FROM sys.SM_Period WHERE cAcc_Id=?", false, true},
    // Roles found as holders of the set's permissions.
    {"SM_Group_Ex", "SM_Group",
     "SELECT U.* FROM sys.SM_Group AS U WHERE U.cGroup_Id IN (SELECT H.cUser_Id FROM sys.SM_HoldAuth AS H WHERE H.cAcc_Id=?)", false},
    {"SM_Role_Ex", "SM_Role",
     "SELECT U.* FROM sys.SM_Role AS U WHERE U.cGroup_Id IN (SELECT H.cGroup_Id FROM main.SM_Group_Ex AS H)", false},
    {"SM_User_Ex", "SM_User",
     "SELECT U.* FROM sys.SM_User AS U WHERE U.iAdmin=0 AND U.cUser_Id IN (SELECT H.cUser_Id FROM sys.SM_HoldAuth AS H WHERE H.cAcc_Id=?)", false},
    // Members of those roles who hold nothing themselves.
    {"SM_User_Ex", nullptr,
     "SELECT * FROM sys.SM_User AS U WHERE U.cUser_Id IN (SELECT H.cUser_Id FROM main.SM_Role_Ex AS H"
     " WHERE H.cUser_Id NOT IN (SELECT M.cUser_Id FROM main.SM_User_Ex AS M))", false},
    {"SM_Auth_Ex", "SM_Auth",
     "SELECT * FROM sys.SM_Auth WHERE cSub_Id=? AND (cAcc_Id=? OR cAcc_Id='' OR cAcc_Id IS NULL)", true},
    {"SM_FlowItems_Ex", "SM_FlowItems", "SELECT * FROM sys.SM_FlowItems WHERE cAccId=?", false},
    {"SM_FlowLines_Ex", "SM_FlowLines", "SELECT * FROM sys.SM_FlowLines WHERE cAccId=?", false},
    {"SM_Identity_Ex", "SM_Identity", "SELECT * FROM sys.SM_Identity WHERE cAcc_Id=?", false},
    {"SM_HoldAuth_Ex", "SM_HoldAuth", "SELECT * FROM sys.SM_HoldAuth WHERE cAcc_Id=?", false},
    {"SM_Account_sub_Ex", "SM_Account_sub", "SELECT * FROM sys.SM_Account_sub WHERE cAcc_Id=?", false},
    // In the order written, so the import appends them in that order too.
    {"SM_Log_Ex", "SM_Log", "SELECT * FROM sys.SM_Log WHERE cAcc_Id=? ORDER BY rowid", false},
};

// The source's own CREATE statement under the transfer table's name, so the copy keeps the
// declared types and the collation (CREATE TABLE ... AS SELECT would lose both).
QString renamedCreate(const QString& sql, const QString& newName)
{
    static const QRegularExpression head(
        QStringLiteral(R"(^\s*CREATE\s+TABLE\s+(?:IF\s+NOT\s+EXISTS\s+)?(?:"(?:[^"]|"")+"|\[[^\]]+\]|`[^`]+`|[^\s(]+)\s*)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = head.match(sql);
    if (!m.hasMatch())
        throw DbError(Words::of("AccountExporter", QT_TRANSLATE_NOOP("AccountExporter", "无法识别表结构：%1"), sql));
    return QStringLiteral("CREATE TABLE main.\"%1\" ").arg(newName) + sql.mid(m.capturedEnd());
}

// Whether what process `pid` named its own was left behind: this process's own is from an export
// of it that stopped half way; another's stays while that process lives.
bool leftBehind(qint64 pid)
{
    if (pid == QCoreApplication::applicationPid())
        return true;
    return !(::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// Temporary data files of exports into `folder` that a killed process left behind (each as big as
// the books); those of an export still running (its process alive) stay.
void removeStaleTemps(const QString& folder)
{
    static const QRegularExpression name(QStringLiteral(R"(^\.kddata\.BA_\.(\d+)\.tmp$)"), QRegularExpression::CaseInsensitiveOption);
    const QStringList entries = QDir(folder).entryList({QStringLiteral(".kddata.BA_.*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        const QRegularExpressionMatch m = name.match(entry);
        if (!m.hasMatch())
            continue;
        if (leftBehind(m.captured(1).toLongLong()))
            QFile::remove(Paths::join(folder, entry));
    }
}

// Work folders of server exports (`<schema>-<pid>` in `own`) of other processes that are gone: a
// killed export leaves a copy of the books there.
void removeStaleWorkFolders(const QString& own)
{
    static const QRegularExpression name(QStringLiteral(R"(^zt\w+-(\d+)$)"));
    for (const QString& entry : QDir(own).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch m = name.match(entry);
        const qint64 pid = m.hasMatch() ? m.captured(1).toLongLong() : 0;
        if (pid && pid != QCoreApplication::applicationPid() && leftBehind(pid))
            QDir(Paths::join(own, entry)).removeRecursively();
    }
}

// Gives the free pages of a copy in incremental auto-vacuum back to the file system. The copy is
// a file of this export alone until it is renamed, so it needs no journal and no flush per step.
void releaseFreePages(const QString& path)
{
    Database copy(path);
    copy.execute(QStringLiteral("PRAGMA journal_mode=OFF"));
    copy.execute(QStringLiteral("PRAGMA synchronous=OFF"));
    // Pages given back are cut off the file: zeroing each first (an engine built to erase deleted
    // content does so by default) would only write them once more.
    copy.execute(QStringLiteral("PRAGMA secure_delete=OFF"));
    const qint64 left = copy.releaseFreePages();
    if (left != 0)
        throw DbError(Words::of("AccountExporter", QT_TRANSLATE_NOOP("AccountExporter", "%1 仍有 %2 个空闲页"), path, QString::number(left)));
}

// Damage the engine finds in a data file written here, as the full check finds it, spread over two
// threads: the quick check of the whole file (every page used once, every record well formed) on
// one, and each table's own full check (its indexes against its rows, unique keys) taken in turn by
// both, largest first. Together they check what one full check does, in little more than half the time.
QString integrityOfWritten(const QString& file)
{
    QStringList tables;
    {
        Database db;
        db.openImmutable(file);
        QList<QPair<qint64, QString>> sized;
        for (const QString& t : db.tables()) {
            qint64 rows = 0;
            try {
                rows = db.scalar(QStringLiteral("SELECT max(rowid) FROM \"%1\"").arg(QString(t).replace(QLatin1Char('"'), QStringLiteral("\"\""))))
                           .toLongLong();
            } catch (const DbError&) {
                // A table without rowid: its place in the order does not matter much.
            }
            sized.append({rows, t});
        }
        std::sort(sized.begin(), sized.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (const auto& s : sized)
            tables << s.second;
    }
    std::atomic<qsizetype> next{0};
    QStringList found[2];
    auto work = [&](int self) {
        try {
            Database db;
            db.openImmutable(file);
            auto take = [&](const QString& sql, const QVariantList& params) {
                for (Recordset rs = db.query(sql, params); !rs.Eof(); rs.MoveNext()) {
                    const QString line = rs.Fields(0).toString();
                    if (line.compare(QLatin1String("ok"), Qt::CaseInsensitive) != 0)
                        found[self] << line;
                }
            };
            if (self == 0)
                take(QStringLiteral("SELECT * FROM pragma_quick_check"), {});
            for (qsizetype i = next++; i < tables.size() && found[self].size() < 5; i = next++)
                take(QStringLiteral("SELECT * FROM pragma_integrity_check(?)"), {tables.at(i)});
        } catch (const DbError& e) {
            found[self] << e.text();
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    return (found[0] + found[1]).mid(0, 5).join(QCoreApplication::translate("AccountExporter", "；"));
}

void rollbackQuietly(Database& db)
{
    try {
        db.execute(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // No transaction was open any more.
    }
}

// One of the export's own sentences in both forms: the failure's log row keeps the Chinese, the
// person is shown it in the console's language.
template <typename... Args>
Words said(const char* source, const Args&... args)
{
    return Words::of("AccountExporter", source, args...);
}
} // namespace

AccountExporter::AccountExporter(Database& sysDb, const QString& accId, int year)
    : m_sysDbPath(sysDb.path())
    , m_server(sysDb.engine() == Engine::PostgreSQL)
    , m_conninfo(sysDb.conninfo())
    , m_sysSchema(sysDb.schema())
    , m_accId(accId)
    , m_oneYear(year > 0)
{
    Recordset rs = year > 0 ? sysDb.query(QStringLiteral("select * from SM_Account where cAcc_Id=? and iYear=?"), {accId, year})
                            : sysDb.query(QStringLiteral("select * from SM_Account where cAcc_Id=? order by iYear"), {accId});
    if (rs.Eof())
        return;
    m_found = true;
    m_accPath = rs.text(QStringLiteral("cAcc_Path"));
    m_year = rs.Fields(QStringLiteral("iYear")).toInt();
    m_sysId = rs.Fields(QStringLiteral("iSysID"));
}

const QStringList& AccountExporter::transferTables()
{
    static const QStringList names = {
        QStringLiteral("SM_Account_Ex"), QStringLiteral("SM_Period_Ex"), QStringLiteral("SM_Group_Ex"),
        QStringLiteral("SM_Role_Ex"), QStringLiteral("SM_User_Ex"), QStringLiteral("SM_Auth_Ex"),
        QStringLiteral("SM_FlowItems_Ex"), QStringLiteral("SM_FlowLines_Ex"), QStringLiteral("SM_Identity_Ex"),
        QStringLiteral("SM_HoldAuth_Ex"), QStringLiteral("SM_Account_sub_Ex"), QStringLiteral("SM_Log_Ex"),
    };
    return names;
}

const QStringList& AccountExporter::droppedAfterCompacting()
{
    static const QStringList names = {
        QStringLiteral("SM_Account_Ex"), QStringLiteral("SM_Period_Ex"), QStringLiteral("SM_User_Ex"),
        QStringLiteral("SM_HoldAuth_Ex"), QStringLiteral("SM_Account_sub_Ex"), QStringLiteral("SM_Log_Ex"),
        QStringLiteral("SM_Group_Ex"), QStringLiteral("SM_Role_Ex"),
    };
    return names;
}

QString AccountExporter::accountFolder() const
{
    return AccountDb::accountFolder(m_accPath, m_accId);
}

QString AccountExporter::yearFolder() const
{
    return Paths::withTrailingSep(AccountDb::yearFolder(m_accPath, m_accId, m_year));
}

QString AccountExporter::databasePath() const
{
    return AccountDb::databasePath(m_accPath, m_accId, m_year);
}

QString AccountExporter::workFolder() const
{
    if (!m_server)
        return yearFolder();
    // One folder per process: two exports of the same set and year from two server installations
    // (two offices' servers, one workstation) must not write the same file.
    return Paths::withTrailingSep(Paths::join(QDir::tempPath(), QStringLiteral("revozi-export-%1/%2-%3")
                                                                    .arg(::getuid())
                                                                    .arg(AccountDb::booksSchema(m_accId, m_year))
                                                                    .arg(QCoreApplication::applicationPid())));
}

QString AccountExporter::workCopyPath() const
{
    return CiFile::resolve(workFolder() + m_accId + QStringLiteral("_kddata.mdb"));
}

QString AccountExporter::preparedCopyPath() const
{
    return CiFile::resolve(workFolder() + QStringLiteral("kddata.BAK"));
}

void AccountExporter::fail(const QString& step, const QString& text)
{
    const QString line = step.isEmpty() ? text : QCoreApplication::translate("AccountExporter", "%1：%2").arg(step, text);
    m_errors << line;
    WriteErrLog(3, line, kRoutine);
}

bool AccountExporter::prepare(const WorkControl& control)
{
    m_errors.clear();
    const QString P = databasePath();
    const QString W = workCopyPath();
    const QString B = preparedCopyPath();

    std::unique_ptr<Database> acc;
    if (!m_found)
        fail(QString(), QCoreApplication::translate("AccountExporter", "账套[%1]不存在").arg(m_accId));
    else if (m_server)
        streamServerCopy(W);
    else if (!CiFile::isFile(P))
        fail(QString(), QCoreApplication::translate("AccountExporter", "找不到账套库 %1").arg(P));
    else {
        try {
            acc = std::make_unique<Database>(P);
        } catch (const DbError& e) {
            fail(P, e.text());
        }
    }
    if (acc)
        refill(*acc);

    if (!m_server && CiFile::exists(W) && !CiFile::remove(W))
        fail(W, QCoreApplication::translate("AccountExporter", "无法删除旧的临时文件"));
    control.report(80);
    if (acc) {
        snapshotAndDrop(*acc, W);
        acc.reset();
    }
    control.report(100);
    nameFinished(W, B);
    return m_errors.isEmpty();
}

void AccountExporter::streamServerCopy(const QString& W)
{
    // The books and rows of a server installation become the same data file as books kept in
    // files; placing it (writeBackupSet) is then the same work.
    // The copy holds the books: the folder is this user's alone.
    const QString own = Paths::parentDir(Paths::withoutTrailingSep(workFolder()));
    if (!CiFile::mkpath(workFolder()) || !QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        fail(workFolder(), QCoreApplication::translate("AccountExporter", "无法建立临时目录"));
    removeStaleWorkFolders(own);
    if (CiFile::exists(W) && !CiFile::remove(W))
        fail(W, QCoreApplication::translate("AccountExporter", "无法删除旧的临时文件"));
    try {
        streamInto(W);
    } catch (const DbError& e) {
        fail(W, e.userText());
        CiFile::remove(W);
    }
}

void AccountExporter::refill(Database& acc)
{
    bool attached = false;
    try {
        acc.attach(m_sysDbPath, kSys);
        attached = true;
    } catch (const DbError& e) {
        fail(m_sysDbPath, e.text());
    }
    // One transaction for the whole refill (each table a savepoint of its own): a single
    // commit instead of one per statement, and never a half-refilled set of tables.
    begin(acc);
    // Leftovers of an earlier export, so every transfer table is filled afresh.
    try {
        for (const QString& t : acc.tables())
            if (transferTables().contains(t, Qt::CaseInsensitive))
                step(acc, t, [&] { acc.execute(QStringLiteral("DROP TABLE main.\"%1\"").arg(t)); });
    } catch (const DbError& e) {
        fail(acc.path(), e.text());
    }
    if (attached)
        fillTransferTables(acc);
    commit(acc);
    if (attached) {
        try {
            acc.detach(kSys);
        } catch (const DbError& e) {
            fail(m_sysDbPath, e.text());
        }
    }
}

void AccountExporter::snapshotAndDrop(Database& acc, const QString& W)
{
    try {
        snapshotInto(acc, W);
    } catch (const DbError& e) {
        fail(W, e.text());
        CiFile::remove(W);
    }
    begin(acc);
    for (const QString& t : droppedAfterCompacting())
        step(acc, t, [&] { acc.execute(QStringLiteral("DROP TABLE IF EXISTS main.\"%1\"").arg(t)); });
    commit(acc);
}

void AccountExporter::nameFinished(const QString& W, const QString& B)
{
    if (CiFile::isFile(W)) {
        // Replaces an older prepared copy in one step, so B is always whole.
        if (!CiFile::rename(W, B))
            fail(B, QCoreApplication::translate("AccountExporter", "无法改名 %1").arg(W));
        BackupSet::syncPath(Paths::parentDir(B));
    } else {
        if (CiFile::exists(B))
            CiFile::remove(B);
        if (m_errors.isEmpty())
            fail(B, QCoreApplication::translate("AccountExporter", "没有生成备份数据"));
    }
}

void AccountExporter::begin(Database& db)
{
    try {
        // Takes the write lock at once, waiting (busy timeout) while another program of the suite
        // writes: a transaction that reads first and writes later could not wait for it, and
        // would fail at its first write.
        db.execute(QStringLiteral("BEGIN IMMEDIATE"));
    } catch (const DbError& e) {
        fail(db.path(), e.text());
    }
}

void AccountExporter::commit(Database& db)
{
    try {
        db.execute(QStringLiteral("COMMIT"));
    } catch (const DbError& e) {
        fail(db.path(), e.text());
        rollbackQuietly(db);
    }
}

bool AccountExporter::step(Database& db, const QString& name, const std::function<void()>& work)
{
    try {
        db.execute(QStringLiteral("SAVEPOINT step"));
    } catch (const DbError& e) {
        fail(name, e.text());
        return false;
    }
    try {
        work();
        db.execute(QStringLiteral("RELEASE step"));
        return true;
    } catch (const DbError& e) {
        fail(name, e.text());
        try {
            db.execute(QStringLiteral("ROLLBACK TO step"));
            db.execute(QStringLiteral("RELEASE step"));
        } catch (const DbError&) {
            // The engine already ended the transaction.
        }
        return false;
    }
}

bool AccountExporter::serverStep(Database& db, const QString& name, const QList<Database::Statement>& work)
{
    try {
        db.batch(QList<Database::Statement>{{QStringLiteral("SAVEPOINT step"), {}}} + work
                 + QList<Database::Statement>{{QStringLiteral("RELEASE step"), {}}});
        return true;
    } catch (const DbError& e) {
        fail(name, e.text());
        try {
            db.batch({{QStringLiteral("ROLLBACK TO step"), {}}, {QStringLiteral("RELEASE step"), {}}});
        } catch (const DbError&) {
            // The engine already ended the transaction.
        }
        return false;
    }
}

void AccountExporter::fillTransferTables(Database& acc)
{
    for (const Fill& f : kFills) {
        const QString table = QString::fromLatin1(f.table);
        QVariantList params;
        if (f.bindsRe)
            params << QStringLiteral("RE");
        QString select = QString::fromLatin1(f.select);
        if (select.contains(QLatin1Char('?')))
            params << m_accId;
        // The import restores every account row it finds; another year's row would name books
        // this backup set does not hold.
        if (f.perYear && m_oneYear) {
            select += QStringLiteral(" AND iYear=?");
            params << m_year;
        }
        // Each table is there with all its rows, or not there at all.
        if (m_server) {
            // This session's own tables on the server, streamed into the file with the books.
            QList<Database::Statement> work;
            if (f.source)
                work.append({QStringLiteral("CREATE TEMP TABLE %1 (LIKE sys.%2)").arg(table, QString::fromLatin1(f.source)), {}});
            work.append({QStringLiteral("INSERT INTO pg_temp.%1 ").arg(table) + select.replace(QLatin1String("main."), QLatin1String("pg_temp.")),
                         params});
            serverStep(acc, table, work);
            continue;
        }
        step(acc, table, [&] {
            if (f.source) {
                const QString sql = acc.scalar(
                    QStringLiteral("SELECT sql FROM sys.sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"),
                    {QString::fromLatin1(f.source)}).toString();
                if (sql.isEmpty())
                    throw DbError(Words::of("AccountExporter", QT_TRANSLATE_NOOP("AccountExporter", "系统库中没有表 %1"), QString::fromLatin1(f.source)));
                acc.execute(renamedCreate(sql, table));
            }
            acc.execute(QStringLiteral("INSERT INTO main.\"%1\" ").arg(table) + select, params);
        });
    }
}

void AccountExporter::snapshotInto(Database& acc, const QString& target)
{
    m_preparedSum = {};
    m_preparedStamp.clear();
    const qint64 pages = acc.scalar(QStringLiteral("PRAGMA main.page_count")).toLongLong();
    const qint64 freePages = acc.scalar(QStringLiteral("PRAGMA main.freelist_count")).toLongLong();
    // A database in WAL mode keeps committed pages outside its file: only the engine can copy it.
    const bool wal = acc.scalar(QStringLiteral("PRAGMA main.journal_mode")).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    const bool incremental = acc.scalar(QStringLiteral("PRAGMA main.auto_vacuum")).toInt() == 2;
    if (wal || (!incremental && freePages > 0 && freePages >= kCompactShare * pages)) {
        acc.compactInto(target);
        return;
    }
    // Few free pages: copy the pages as they stand. The read transaction's shared lock keeps every
    // writer from changing the file meanwhile, so the copy is one consistent state of the database.
    QFile in(acc.path());
    if (!in.open(QIODevice::ReadOnly))
        throw DbError(Words::of("AccountExporter", QT_TRANSLATE_NOOP("AccountExporter", "无法读取 %1：%2"), acc.path(), in.errorString()));
    acc.execute(QStringLiteral("BEGIN"));
    QString error;
    bool copied = false;
    // A copy kept as it stands is summed while it is written; one compacted next is summed after.
    Checksum sum;
    try {
        acc.scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master"));
        // Books in incremental mode have their free pages released in the copy (as many as the
        // copy holds, whatever a writer did since they were counted), which is then flushed once.
        copied = BackupSet::copyInto(in, CiFile::resolve(target), &error, incremental ? nullptr : &sum, !incremental);
    } catch (...) {
        rollbackQuietly(acc);
        throw;
    }
    acc.execute(QStringLiteral("COMMIT"));
    // Closed only now: closing any descriptor of the file drops every lock this process holds on it.
    in.close();
    if (!copied)
        throw DbError(error);
    const QString copy = CiFile::resolve(target);
    if (incremental) {
        releaseFreePages(copy);
        seal(copy);
        return;
    }
    m_preparedSum.bytes = sum.bytes();
    m_preparedSum.checksum = sum.hex();
    if (m_preparedSum.bytes >= 0)
        m_preparedStamp = BackupSet::fileStamp(copy);
}

void AccountExporter::seal(const QString& copy)
{
    // The checksum reads the finished copy from the page cache on a second thread while this one
    // waits for the disk to take it.
    QString hex;
    qint64 bytes = 0;
    std::thread summer([&] { hex = Checksum::ofFile(copy, &bytes); });
    QString why;
    const bool flushed = BackupSet::syncPath(copy, &why);
    summer.join();
    if (!flushed)
        throw DbError(why);
    if (!hex.isEmpty()) {
        m_preparedSum.bytes = bytes;
        m_preparedSum.checksum = hex;
        m_preparedStamp = BackupSet::fileStamp(copy);
    }
}

namespace {
// What a server export copies into the file.
QList<BooksTransfer::Source> serverTables(Database& books, const QString& schema)
{
    const QStringList& transfer = AccountExporter::transferTables();
    QJsonArray filled;
    for (const QString& t : transfer)
        filled.append(t.toLower());
    // The books' tables and the transfer tables this session filled, in one statement: a step that
    // failed left its table out. Transfer tables an earlier import left in the books give way to
    // the ones just filled.
    QList<BooksTransfer::Source> tables;
    for (Recordset rs = books.query(QStringLiteral("SELECT 0 AS k, table_name::text COLLATE \"C\" AS t FROM information_schema.tables "
                                                   "WHERE table_schema=? AND table_type='BASE TABLE' UNION ALL SELECT o, t FROM "
                                                   "jsonb_array_elements_text(?::jsonb) WITH ORDINALITY j(t, o) "
                                                   "WHERE to_regclass('pg_temp.' || t) IS NOT NULL ORDER BY k, t"),
                                    {schema, QString::fromUtf8(QJsonDocument(filled).toJson(QJsonDocument::Compact))});
         !rs.Eof(); rs.MoveNext()) {
        const QString t = rs.Fields(1).toString();
        if (rs.Fields(0).toInt() > 0)
            tables.append({QStringLiteral("pg_temp"), t});
        else if (!transfer.contains(t, Qt::CaseInsensitive))
            tables.append({schema, t});
    }
    return tables;
}
} // namespace

void AccountExporter::streamInto(const QString& target)
{
    m_preparedSum = {};
    m_preparedStamp.clear();
    const QString schema = AccountDb::booksSchema(m_accId, m_year);
    Database books;
    books.openServer(m_conninfo, schema, false);
    // Not deleted or replaced by another session while they are read.
    BooksLock::share(books, schema);
    books.attach(m_sysSchema, kSys);
    // One state of the books and of the set's rows, as another session may change either meanwhile.
    books.execute(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"));
    fillTransferTables(books);
    BooksTransfer::toFile(books, serverTables(books, schema), target);
    books.execute(QStringLiteral("ROLLBACK"));
    // Most of the file's pages were written by this program, not the engine: the engine checks
    // them on threads of their own while the file goes to disk, and a file it finds fault with is
    // never placed as a backup.
    const QString file = CiFile::resolve(target);
    QString damage;
    std::thread check([&] {
        try {
            damage = integrityOfWritten(file);
        } catch (const DbError& e) {
            damage = e.text();
        }
    });
    try {
        seal(file);
    } catch (...) {
        check.join();
        throw;
    }
    check.join();
    if (!damage.isEmpty())
        throw DbError(Words::of("AccountExporter", QT_TRANSLATE_NOOP("AccountExporter", "数据文件未通过完整性检查：%1"), damage));
}

bool AccountExporter::booksInUse() const
{
    if (m_server || !CiFile::isFile(databasePath()))
        return false;
    try {
        Database acc(databasePath());
        acc.execute(QStringLiteral("PRAGMA busy_timeout=200"));
        acc.execute(QStringLiteral("BEGIN IMMEDIATE"));
        acc.execute(QStringLiteral("ROLLBACK"));
        return false;
    } catch (const DbError& e) {
        return e.isLocked();
    }
}

void AccountExporter::sealWith(bool compress, std::shared_ptr<const Passphrase> passphrase)
{
    m_compress = compress;
    m_passphrase = std::move(passphrase);
}

Words AccountExporter::refusalBefore(const QString& dir) const
{
    if (!m_found)
        return said(QT_TRANSLATE_NOOP("AccountExporter", "账套[%1]不存在。"), m_accId);
    const QString B = preparedCopyPath();
    if (!CiFile::isFile(B) && booksInUse())
        return said(QT_TRANSLATE_NOOP("AccountExporter", "账套[%1]的账套库正被其他程序使用，无法输出，请关闭使用它的程序后再试。"), m_accId);
    if (!CiFile::isFile(B))
        return said(QT_TRANSLATE_NOOP("AccountExporter", "找不到备份数据文件 %1。"), B);
    if (dir.isEmpty() || !CiFile::isDir(dir))
        return said(QT_TRANSLATE_NOOP("AccountExporter", "备份目录 %1 不存在。"), dir);
    if (m_passphrase && m_passphrase->isEmpty())
        return said(QT_TRANSLATE_NOOP("AccountExporter", "加密备份的口令不能为空。"));
    // A name taken by something that is not a file (a folder) would stop the work half way:
    // found now, before the earlier set in the folder is touched.
    const QString folder = CiFile::resolve(dir);
    for (const QString& name : {BackupSet::kDataFileName, BackupSet::kManifestName, BackupSet::kDescriptorName}) {
        const QString path = CiFile::resolve(Paths::join(folder, name));
        if (CiFile::exists(path) && !CiFile::isFile(path))
            return said(QT_TRANSLATE_NOOP("AccountExporter", "无法生成 %1。"), path);
    }
    return {};
}

bool AccountExporter::writeDataFile(const QString& temp, BackupSet::Manifest* m, Words* why)
{
    const QString B = preparedCopyPath();
    if (m_compress || m_passphrase)
        return sealInto(temp, m, why);
    // The prepared copy is vouched for by the checksum taken while it was written, as long as
    // nothing has written to it since.
    const bool vouched = !m_preparedStamp.isEmpty() && BackupSet::fileStamp(B) == m_preparedStamp;
    FileSum placed;
    if (!BackupSet::placeCopy(B, temp, why, &placed, vouched ? &m_preparedSum : nullptr))
        return false;
    m->take(placed);
    return true;
}

bool AccountExporter::sealInto(const QString& to, BackupSet::Manifest* m, Words* why)
{
    QFile in(preparedCopyPath());
    if (!in.open(QIODevice::ReadOnly)) {
        *why = said(QT_TRANSLATE_NOOP("AccountExporter", "无法读取 %1：%2"), in.fileName(), in.errorString());
        return false;
    }
    const QByteArray name = QFile::encodeName(to);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        *why = BackupSet::writeFailureWords(to, errno);
        return false;
    }
    // The manifest's checksum is of the sealed bytes as they go to the file, so `verify` can check
    // the set without its passphrase.
    Checksum sum;
    Words sinkError;
    const SealedHeader header = SealedHeader::make(m_compress, bool(m_passphrase));
    // Sealing takes one processor; the file is written from the other.
    WriteBehind behind(fd, to);
    SealedWriter writer(header, [&](const char* data, qint64 size, QString* error) {
        sum.add(data, size);
        return behind.write(data, size, error);
    });
    bool ok = writer.open(m_passphrase.get());
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (ok) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            ok = false;
            sinkError = said(QT_TRANSLATE_NOOP("AccountExporter", "无法读取 %1：%2"), in.fileName(), in.errorString());
            break;
        }
        if (n == 0)
            break;
        ok = writer.write(buffer.constData(), n);
    }
    ok = ok && writer.finish();
    if (!behind.finish(&sinkError))
        ok = false;
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        sinkError = BackupSet::writeFailureWords(to, errno);
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        sinkError = BackupSet::writeFailureWords(to, errno);
    }
    if (!ok) {
        *why = sinkError.stored.isEmpty() ? writer.errorWords() : sinkError;
        QFile::remove(to);
        return false;
    }
    m->bytes = sum.bytes();
    m->checksum = sum.hex();
    m->seal = header;
    m->year = m_year;
    return true;
}

void AccountExporter::removePrepared()
{
    const QString B = preparedCopyPath();
    if (!CiFile::remove(B))
        WriteErrLog(3, QStringLiteral("无法删除 %1").arg(B), QStringLiteral("cmdOK_Click")); // not translated: the error log
    // A server export's folder was this process's alone.
    if (m_server)
        QDir().rmdir(Paths::withoutTrailingSep(workFolder()));
}

bool AccountExporter::writeBackupSet(const QString& dir, bool backupOk, QString* error, const StepHook& afterStep)
{
    m_failure = {};
    const bool written = writeSet(dir, backupOk, afterStep);
    if (!written && error)
        *error = m_failure.shown;
    return written;
}

bool AccountExporter::writeSet(const QString& dir, bool backupOk, const StepHook& afterStep)
{
    auto failWith = [&](const Words& text) {
        m_failure = text;
        WriteErrLog(3, text.stored, QStringLiteral("cmdOK_Click"));
        return false;
    };
    auto passed = [&](const char* step) {
        if (afterStep)
            afterStep(QString::fromLatin1(step));
    };
    if (const Words refusal = refusalBefore(dir); !refusal.stored.isEmpty())
        return failWith(refusal);
    const QString B = preparedCopyPath();
    const qint64 booksBytes = CiFile::size(B);
    const QString folder = CiFile::resolve(dir);
    const QString dataFile = CiFile::resolve(Paths::join(folder, BackupSet::kDataFileName));
    const QString manifest = CiFile::resolve(Paths::join(folder, BackupSet::kManifestName));
    const QString descriptor = CiFile::resolve(Paths::join(folder, BackupSet::kDescriptorName));
    removeStaleTemps(folder);
    const QString temp = Paths::join(folder, QStringLiteral(".kddata.BA_.%1.tmp").arg(QCoreApplication::applicationPid()));
    CiFile::remove(temp);
    Words why;
    BackupSet::Manifest m;
    if (!writeDataFile(temp, &m, &why))
        return failWith(why);
    passed("data");

    // The earlier set's manifest and descriptor go before its data file is replaced, so neither
    // can ever stand beside a data file they do not describe; until the new descriptor is in
    // place the folder holds no backup set at all.
    for (const QString& old : {manifest, descriptor}) {
        if (!CiFile::remove(old)) {
            CiFile::remove(temp);
            return failWith(said(QT_TRANSLATE_NOOP("AccountExporter", "无法删除 %1。"), old));
        }
    }
    BackupSet::syncPath(folder);
    passed("cleared");
    if (!CiFile::rename(temp, dataFile)) {
        CiFile::remove(temp);
        return failWith(said(QT_TRANSLATE_NOOP("AccountExporter", "无法生成 %1。"), dataFile));
    }
    // Both names can be links to the same prepared copy (an export of it that stopped after this
    // step, tried again): the rename then leaves both in place, and the data file is already it.
    CiFile::remove(temp);
    BackupSet::syncPath(folder);
    passed("renamed");

    if (!BackupSet::writeManifest(manifest, m, &why))
        return failWith(why);
    passed("manifest");

    // Line 13 is the books' size: for a sealed data file it is not the file's, so a program that
    // cannot open the seal refuses the file by its size instead of taking it for books.
    if (!BackupSet::writeDescriptor(descriptor, descriptorInfo(m.seal.isPlain() ? m.bytes : booksBytes, backupOk), &why))
        return failWith(why);
    passed("descriptor");
    removePrepared();
    return true;
}

BackupSet::DescriptorInfo AccountExporter::descriptorInfo(qint64 booksBytes, bool backupOk) const
{
    BackupSet::DescriptorInfo info;
    info.accId = m_accId;
    info.sysId = m_sysId.isNull() ? QString() : m_sysId.toString();
    info.accFolder = accountFolder();
    info.yearFolder = yearFolder();
    info.year = m_year;
    info.date = BackupSet::exportDate();
    info.bytes = booksBytes;
    info.backupOk = backupOk;
    return info;
}
