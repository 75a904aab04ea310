#include "YearClearer.h"
#include "AccountExporter.h"
#include "AccountImporter.h"
#include "BackupRetention.h"
#include "BackupSet.h"
#include "Manifest.h"

#include <AccountDb.h>
#include <AuditEvents.h>
#include <BooksLock.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>

namespace {
const QString kRoutine = QStringLiteral("YearClear");
// The year's books as the emptying's statements name them.
const QString kBooks = QStringLiteral("yb");
const QString kCrLf = QStringLiteral("\r\n");
// What BooksLock names when another workstation has the books open (its sentence translates it).
const char* const kClaimAction = QT_TRANSLATE_NOOP("BooksLock", "清空");

template <typename... Args>
Words said(const char* source, const Args&... args)
{
    return Words::of("YearClearer", source, args...);
}
Words operator+(const Words& a, const Words& b)
{
    return {a.stored + b.stored, a.shown + b.shown};
}
Words operator+(const Words& a, const QString& same)
{
    return {a.stored + same, a.shown + same};
}

// The tables of the attached books, as the engine names them.
QStringList booksTables(Database& db)
{
    QStringList tables;
    const bool server = db.engine() == Engine::PostgreSQL;
    Recordset rs = server ? db.query(QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema=? AND table_type='BASE TABLE'"),
                                     {db.schemaOf(kBooks)})
                          : db.query(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'").arg(kBooks));
    for (; !rs.Eof(); rs.MoveNext())
        tables << rs.Fields(0).toString();
    return tables;
}

// A pragma's value of the attached books `old`, as a number for the same pragma of the new books.
int pragmaOf(Database& db, const char* pragma)
{
    return db.scalar(QStringLiteral("PRAGMA old.%1").arg(QLatin1String(pragma))).toInt();
}

// The year's books at `books` as a new file at `copy` with every table, index, view and trigger
// they have, the kept tables' rows and nothing else, in the books' page size and vacuum mode.
// Making it reads the kept tables alone, so it takes as long for 500 MB of vouchers as for none;
// emptying the books where they lie would visit every page. Why not, or empty words.
Words emptiedCopy(const QString& books, const QString& copy)
{
    try {
        Database db(copy, true);
        db.attach(books, QStringLiteral("old"));
        for (const char* pragma : {"page_size", "auto_vacuum"})
            db.execute(QStringLiteral("PRAGMA main.%1=%2").arg(QLatin1String(pragma)).arg(pragmaOf(db, pragma)));
        // The copy is this work's alone until it takes the books' place, and is flushed before.
        db.execute(QStringLiteral("PRAGMA main.journal_mode=OFF"));
        db.execute(QStringLiteral("PRAGMA main.synchronous=OFF"));
        Database::Transaction tx(db);
        QStringList tables;
        for (Recordset rs = db.query(QStringLiteral("SELECT type, name, sql FROM old.sqlite_master WHERE sql IS NOT NULL AND name NOT LIKE 'sqlite_%' "
                                                    "ORDER BY CASE type WHEN 'table' THEN 0 WHEN 'index' THEN 1 WHEN 'view' THEN 2 ELSE 3 END, rowid"));
             !rs.Eof(); rs.MoveNext()) {
            db.execute(rs.Fields(2).toString());
            if (rs.Fields(0).toString() == QLatin1String("table"))
                tables << rs.Fields(1).toString();
        }
        for (const QString& t : tables) {
            if (YearClearer::keptTables().contains(t, Qt::CaseInsensitive))
                db.execute(QStringLiteral("INSERT INTO main.\"%1\" SELECT * FROM old.\"%1\"").arg(QString(t).replace(QLatin1Char('"'), QStringLiteral("\"\""))));
        }
        // Numbers already given stay given, as emptying the tables in place would leave them.
        if (db.hasTable(QStringLiteral("sqlite_sequence")))
            db.execute(QStringLiteral("INSERT INTO main.sqlite_sequence SELECT * FROM old.sqlite_sequence"));
        for (const char* pragma : {"user_version", "application_id"})
            db.execute(QStringLiteral("PRAGMA main.%1=%2").arg(QLatin1String(pragma)).arg(pragmaOf(db, pragma)));
        tx.commit();
        db.detach(QStringLiteral("old"));
    } catch (const DbError& e) {
        return {e.reasonText(), e.userText()};
    }
    return {};
}

// A folder the backup may go into: missing, or empty (an earlier backup set is never replaced).
bool emptyOrMissing(const QString& folder)
{
    return !CiFile::exists(folder)
        || (CiFile::isDir(folder) && QDir(CiFile::resolve(folder)).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}
} // namespace

YearClearer::YearClearer(Database& sysDb, const QString& accId, int year, const AuditContext& who)
    : m_sysDb(sysDb)
    , m_accId(accId)
    , m_year(year)
    , m_who(who)
{
}

const QStringList& YearClearer::keptTables()
{
    static const QStringList kept{QStringLiteral("AccInformation"), QStringLiteral("GradeDef"), QStringLiteral("code")};
    return kept;
}

QString YearClearer::backupFolder(const QString& accId, int year, const QDateTime& when, const QString& backups)
{
    const QString root = backups.isEmpty() ? Paths::join(QDir::homePath(), QStringLiteral("revozi-backups")) : backups;
    return Paths::join(Paths::join(root, QStringLiteral("%1-%2").arg(accId).arg(year)), BackupRetention::folderName(when));
}

QString YearClearer::title()
{
    return QCoreApplication::translate("YearClearer", "清空年度数据");
}

YearClearer::Result YearClearer::failed(const QString& folder, const Words& why)
{
    WriteErrLog(1, why.stored, kRoutine);
    AuditLog::record(m_sysDb, m_who, Audit::yearCleared(m_accId, m_year, folder).failed(why.stored));
    return {Result::Status::Failed, {why.shown, title(), Notice::Icon::Exclamation}, why.stored};
}

YearClearer::Result YearClearer::clear(const QString& folder, const WorkControl& control, const StepHook& afterStep)
{
    bool stopped = false;
    const auto cancelled = [&] {
        AuditLog::record(m_sysDb, m_who, Audit::yearCleared(m_accId, m_year, folder).failed(QStringLiteral("已取消"))); // not translated: the log keeps Chinese
        return Result{Result::Status::Cancelled, {}, {}};
    };
    if (const Words why = writeBackup(folder, control, &stopped); !why.stored.isEmpty())
        return failed(folder, why);
    if (stopped)
        return cancelled();
    if (afterStep)
        afterStep(QStringLiteral("backup"));
    control.report(80);
    if (const Words why = empty(folder, control, afterStep, &stopped); !why.stored.isEmpty())
        return failed(folder, why + kCrLf + said(QT_TRANSLATE_NOOP("YearClearer", "年度数据未清空；清空前的备份已写入：")) + folder);
    if (stopped)
        return cancelled();
    control.report(100);
    const Words done = said(QT_TRANSLATE_NOOP("YearClearer", "账套[%1] %2年度的数据已清空，清空前的数据已备份到：%3"), m_accId,
                            QString::number(m_year), folder);
    return {Result::Status::Done, {done.shown, title(), Notice::Icon::Information}, {}};
}

Words YearClearer::writeBackup(const QString& folder, const WorkControl& control, bool* cancelled)
{
    const Words notCleared = said(QT_TRANSLATE_NOOP("YearClearer", "无法备份账套[%1] %2年度的数据，年度数据未清空："), m_accId, QString::number(m_year));
    if (folder.trimmed().isEmpty() || !QDir::isAbsolutePath(folder))
        return notCleared + kCrLf + said(QT_TRANSLATE_NOOP("YearClearer", "备份目录必须是绝对路径：")) + folder;
    if (!emptyOrMissing(folder))
        return notCleared + kCrLf + said(QT_TRANSLATE_NOOP("YearClearer", "备份目录不是空目录：")) + folder;
    AccountExporter exporter(m_sysDb, m_accId, m_year);
    if (!exporter.found())
        return said(QT_TRANSLATE_NOOP("YearClearer", "账套[%1]没有%2年度，无法清空。"), m_accId, QString::number(m_year));
    if (!CiFile::mkpath(folder) || !CiFile::isDir(folder))
        return notCleared + kCrLf + said(QT_TRANSLATE_NOOP("YearClearer", "无法创建备份目录：")) + folder;
    WorkControl copying = control;
    copying.progress = [&control](int p) { control.report(p * 70 / 100); };
    // A backup set that says Backup=false lacks some of the year: nothing is emptied after it.
    if (!exporter.prepare(copying)) {
        CiFile::remove(exporter.preparedCopyPath());
        return notCleared + kCrLf + Words::same(exporter.errors().join(kCrLf));
    }
    if (control.cancelled()) {
        CiFile::remove(exporter.preparedCopyPath());
        *cancelled = true;
        return {};
    }
    if (!exporter.writeBackupSet(folder, true)) {
        CiFile::remove(exporter.preparedCopyPath());
        return notCleared + kCrLf + exporter.failure();
    }
    // Written whole, with its manifest: the data file is the one the manifest sums.
    QString error;
    const auto manifest = BackupSet::readManifest(Paths::join(folder, BackupSet::kManifestName), &error);
    const QString data = Paths::join(folder, BackupSet::kDataFileName);
    if (!manifest || CiFile::size(data) != manifest->bytes)
        return notCleared + kCrLf + said(QT_TRANSLATE_NOOP("YearClearer", "备份不完整：")) + folder + kCrLf + error;
    *cancelled = control.cancelled();
    return {};
}

void YearClearer::emptyTables()
{
    // Books another session has open are not emptied under it; a session reading them without
    // saying so is waited for a while, not for ever.
    m_sysDb.execute(QStringLiteral("SET LOCAL lock_timeout = '5s'"));
    BooksLock::claim(m_sysDb, m_sysDb.schemaOf(kBooks), m_accId, QString::fromUtf8(kClaimAction));
    QStringList emptied;
    for (const QString& t : booksTables(m_sysDb)) {
        if (!keptTables().contains(t, Qt::CaseInsensitive))
            emptied << QStringLiteral("%1.\"%2\"").arg(kBooks, QString(t).replace(QLatin1Char('"'), QStringLiteral("\"\"")));
    }
    if (!emptied.isEmpty())
        m_sysDb.execute(QStringLiteral("TRUNCATE ") + emptied.join(QLatin1Char(',')));
}

namespace {
// The year's books reachable as kBooks for as long as it lives, whatever way the work ends.
struct AttachedBooks {
    Database& db;
    bool attached = false;
    void attach(const QString& location)
    {
        db.attach(location, kBooks);
        attached = true;
    }
    ~AttachedBooks()
    {
        try {
            if (attached)
                db.detach(kBooks);
        } catch (const DbError& e) {
            WriteErrLog(1, e.text(), kRoutine);
        }
    }
};
} // namespace

bool YearClearer::commitRow(const QString& folder, const WorkControl& control, const StepHook& afterStep, bool* cancelled)
{
    AuditLog::write(m_sysDb, m_who, Audit::yearCleared(m_accId, m_year, folder));
    if (afterStep)
        afterStep(QStringLiteral("emptied"));
    control.report(95);
    *cancelled = control.cancelled();
    return !*cancelled;
}

Words YearClearer::empty(const QString& folder, const WorkControl& control, const StepHook& afterStep, bool* cancelled)
{
    Words why;
    try {
        const QString location = AccountDb::location(m_sysDb, m_accId, m_year);
        if (location.isEmpty())
            return said(QT_TRANSLATE_NOOP("YearClearer", "账套[%1]没有%2年度，无法清空。"), m_accId, QString::number(m_year));
        if (m_sysDb.engine() == Engine::SQLite) {
            if (!CiFile::isFile(location))
                return said(QT_TRANSLATE_NOOP("YearClearer", "找不到账套库：")) + location;
            // New books of the kept tables take the books' place, committed with the row.
            why = AccountImporter::replaceBooks(m_sysDb, m_accId, Paths::parentDir(location),
                                                [&](const QString& copy) { return emptiedCopy(CiFile::resolve(location), copy); },
                                                [&](Database&) { return commitRow(folder, control, afterStep, cancelled); });
        } else {
            AttachedBooks books{m_sysDb};
            books.attach(location);
            Database::Transaction tx(m_sysDb);
            emptyTables();
            // Not committed: the transaction's end rolls everything back.
            if (commitRow(folder, control, afterStep, cancelled))
                tx.commit();
        }
    } catch (const DbError& e) {
        why = {e.reasonText(), e.userText()};
    }
    if (why.stored.isEmpty())
        return why;
    WriteErrLog(1, why.stored, kRoutine);
    return said(QT_TRANSLATE_NOOP("YearClearer", "清空账套[%1] %2年度的数据失败："), m_accId, QString::number(m_year)) + why;
}
