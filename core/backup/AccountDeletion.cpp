#include "AccountDeletion.h"
#include "BackupSet.h"
#include "WorkLock.h"

#include <AccountDb.h>
#include <BooksLock.h>
#include <AuditEvents.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
#include <Paths.h>
#include <SysInfo.h>

#include <memory>

namespace {
const char* const kDeletes[] = {
    "Delete From Sm_HoldAuth Where cAcc_Id=?",
    "Delete From CreateAcc Where cAcc_Id=?",
    "Delete From Sm_Period Where cAcc_Id=?",
    "Delete From SM_Account_Sub Where cAcc_Id=?",
    "Delete From SM_Log Where cAcc_Id=?",
    "Delete From Sm_Account Where cAcc_Id=?",
};

// `logged`, when given, is written in the same transaction (the system database's, not the mirror's),
// and `first` runs in it before the rows go (a server's books go with them).
void deleteRows(Database& db, const QString& accId, const AuditContext& who = {}, const AuditEntry* logged = nullptr,
                const std::function<void()>& first = {})
{
    // CreateAcc is made by the first set created on an installation; before that it has no rows to lose.
    const bool hasCreateAcc = db.hasTable(QStringLiteral("CreateAcc"));
    Database::Transaction t(db);
    if (first)
        first();
    for (const char* sql : kDeletes) {
        const QString statement = QString::fromLatin1(sql);
        if (!hasCreateAcc && statement.contains(QLatin1String("CreateAcc")))
            continue;
        db.execute(statement, {accId});
    }
    AuditLog::dropKey(db, accId);
    if (logged)
        AuditLog::write(db, who, *logged);
    t.commit();
}

// The row of a deletion: the set's name and the year of its books (its first SM_Account row).
AuditEntry deletionEntry(Database& sysDb, const QString& accId)
{
    try {
        Recordset rs = sysDb.query(QStringLiteral("Select cAcc_Name, iYear From Sm_Account Where cAcc_Id=? Order By iYear"), {accId});
        if (!rs.Eof())
            return Audit::deleted(accId, rs.Fields(1).toInt(), rs.Fields(0).toString());
    } catch (const DbError&) {
    }
    return Audit::deleted(accId, 0, QString());
}
const QString kPendingName = QStringLiteral("DelAcc.pending");

// The books of every year of the set, oldest first, as their SM_Account rows place them; empty
// when the set has no row.
QStringList booksOf(Database& sysDb, const QString& accId)
{
    QStringList books;
    for (Recordset rs = sysDb.query(QStringLiteral("Select cAcc_Path, iYear From Sm_Account Where cAcc_Id=? Order By iYear"), {accId});
         !rs.Eof(); rs.MoveNext())
        books << AccountDb::databasePath(rs.text(QStringLiteral("cAcc_Path")), accId, rs.Fields(QStringLiteral("iYear")).toInt());
    return books;
}

// Runs `take` on the books while holding their exclusive lock. A file that another program is
// writing to is not pulled from under it (DbError isLocked); taking the lock also rolls back what
// a crashed writer left in a journal, so what is taken is the committed state.
bool underExclusiveLock(const QString& file, const std::function<bool()>& take)
{
    std::unique_ptr<Database> lock;
    try {
        lock = std::make_unique<Database>(file);
        lock->execute(QStringLiteral("PRAGMA busy_timeout=1000"));
        lock->execute(QStringLiteral("BEGIN EXCLUSIVE"));
    } catch (const DbError& e) {
        if (e.isLocked())
            throw;
        lock.reset();   // not a database we can open: still only a file to take
    }
    const bool taken = take();
    lock.reset();
    return taken;
}

void deleteMirrorRows(const QString& accId, const QString& routine)
{
    const QString mirrorPath = SysInfo::mirrorSysDbPath();
    if (mirrorPath.isEmpty())
        return;
    // The mirror is a copy kept for safety; a failure there does not undo the deletion.
    try {
        Database mirror(mirrorPath);
        deleteRows(mirror, accId);
    } catch (const DbError& e) {
        WriteErrLog(3, e.reasonText(), routine);
    }
}

// One year's books and the name they have while the deletion is under way.
struct YearBooks {
    QString books;
    QString tombstone;
};

// The pending file: the set and every year's books with their tombstone, a "Books=" and a
// "Tombstone=" line each (a file of one year is what earlier versions wrote).
struct Pending {
    QString accId;
    QList<YearBooks> years;
};

QByteArray pendingText(const Pending& p)
{
    QString text = QStringLiteral("[DelAcc]\r\ncAcc_Id=%1\r\n").arg(p.accId);
    for (const YearBooks& y : p.years)
        text += QStringLiteral("Books=%1\r\nTombstone=%2\r\n").arg(y.books, y.tombstone);
    return text.toUtf8();
}

// Empty (no set) when the file is not a pending deletion or a year lacks either name.
Pending readPending(const QString& path)
{
    Pending p;
    if (BackupSet::readLine(path, 1) != QLatin1String("[DelAcc]"))
        return p;
    const QString accId = BackupSet::lineValue(BackupSet::readLine(path, 2));
    for (int line = 3;; line += 2) {
        const QString books = BackupSet::readLine(path, line);
        if (books.isEmpty())
            break;
        const YearBooks y{BackupSet::lineValue(books), BackupSet::lineValue(BackupSet::readLine(path, line + 1))};
        if (!books.startsWith(QLatin1String("Books=")) || y.books.isEmpty() || y.tombstone.isEmpty())
            return {};
        p.years << y;
    }
    if (!p.years.isEmpty())
        p.accId = accId;
    return p;
}

// A server installation: every year's books schema of the set and its rows, in one transaction.
// Books another session has open stop it before anything changes, naming that workstation.
AccountDeletion::Result deleteOnServer(Database& sysDb, const QString& accId, const AuditEntry& logged, const AuditContext& who,
                                       const AccountDeletion::StepHook& afterStep, QString* why)
{
    bool refused = false;
    try {
        QStringList schemas;
        for (Recordset rs = sysDb.query(QStringLiteral("Select iYear From Sm_Account Where cAcc_Id=? Order By iYear"), {accId}); !rs.Eof(); rs.MoveNext())
            schemas << AccountDb::booksSchema(accId, rs.Fields(0).toInt());
        deleteRows(sysDb, accId, who, &logged, [&] {
            sysDb.execute(QStringLiteral("SET LOCAL lock_timeout = '5s'"));
            for (const QString& schema : schemas) {
                refused = true;
                BooksLock::claim(sysDb, schema, accId, QStringLiteral("删除")); // not translated: BooksLock shows it translated
                refused = false;
                sysDb.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
            }
        });
    } catch (const DbError& e) {
        WriteErrLog(3, e.reasonText(), QStringLiteral("DelDbInfo"));
        AuditLog::record(sysDb, who, logged.failed(e.reasonText()));
        if (why)
            *why = e.userText();
        return refused ? AccountDeletion::Result::BooksKept : AccountDeletion::Result::RowsKept;
    }
    if (afterStep)
        afterStep(QStringLiteral("rows"));
    return AccountDeletion::Result::Deleted;
}
} // namespace

namespace AccountDeletion {
QString pendingPath(const Database& sysDb)
{
    return Paths::join(Paths::parentDir(sysDb.path()), kPendingName);
}

namespace {
bool settlePending(Database& sysDb);
}

// The books back under their name when their rows stay: every year already taken. The pending
// file goes once all are back.
void putBack(const Pending& p, const QString& pending)
{
    bool all = true;
    for (const YearBooks& y : p.years) {
        if (!CiFile::exists(y.tombstone))
            continue;
        if (CiFile::rename(y.tombstone, y.books))
            BackupSet::syncPath(Paths::parentDir(y.books));
        else
            all = false;
    }
    if (all)
        CiFile::remove(pending);
}

// Every year's books renamed to their tombstone under an exclusive lock, the pending file
// recorded first: whatever happens next, the next start knows where each year's books are.
// DbError when it cannot be done; the years already taken are then back and the pending file gone.
void setAside(const Pending& p, const QString& pending, const StepHook& afterStep)
{
    Words why;
    if (!BackupSet::saveAtomically(pending, pendingText(p), &why))
        throw DbError(why);
    if (afterStep)
        afterStep(QStringLiteral("pending"));
    for (const YearBooks& y : p.years) {
        bool taken = false;
        try {
            taken = underExclusiveLock(y.books, [&] {
                if (!CiFile::rename(y.books, y.tombstone))
                    return false;
                BackupSet::syncPath(Paths::parentDir(y.books));
                return true;
            });
        } catch (const DbError&) {
            putBack(p, pending);
            throw;
        }
        if (!taken) {
            putBack(p, pending);
            throw DbError(Words::of("AccountDeletion", QT_TRANSLATE_NOOP("AccountDeletion", "无法删除文件 %1"), y.books));
        }
        if (afterStep)
            afterStep(QStringLiteral("tombstone"));
    }
}

// The tombstones removed once the rows are gone; the pending file stays when one could not go, so
// the next start tries again.
void removeTombstones(const Pending& p, const QString& pending, const StepHook& afterStep)
{
    bool all = true;
    for (const YearBooks& y : p.years) {
        if (!CiFile::remove(y.tombstone) && CiFile::exists(y.tombstone)) {
            WriteErrLog(3, QStringLiteral("无法删除文件 %1").arg(y.tombstone), QStringLiteral("DelAccFiles")); // not translated: the error log
            all = false;
        }
        BackupSet::syncPath(Paths::parentDir(y.books));
    }
    if (afterStep)
        afterStep(QStringLiteral("removed"));
    if (all)
        CiFile::remove(pending);
}

Result deleteSet(Database& sysDb, const QString& accId, const StepHook& afterStep, const AuditContext& who, QString* why)
{
    const AuditEntry logged = deletionEntry(sysDb, accId);
    if (sysDb.engine() == Engine::PostgreSQL)
        return deleteOnServer(sysDb, accId, logged, who, afterStep, why);
    // The row keeps the reason in Chinese; the caller shows it in the console's language.
    auto kept = [&](Result r, const Words& reason) {
        AuditLog::record(sysDb, who, logged.failed(reason.stored));
        if (why)
            *why = reason.shown;
        return r;
    };
    auto passed = [&](const char* step) {
        if (afterStep)
            afterStep(QString::fromLatin1(step));
    };
    // Held to the end: recovery elsewhere leaves this deletion's pending file and tombstone alone.
    const WorkLock lock(sysDb, WorkLock::Mode::Wait);
    if (!settlePending(sysDb))
        return kept(Result::BooksKept, Words::of("AccountDeletion", QT_TRANSLATE_NOOP("AccountDeletion", "上次删除账套未完成，无法恢复")));
    const QString pending = pendingPath(sysDb);
    Pending p;
    try {
        for (const QString& books : booksOf(sysDb, accId)) {
            if (CiFile::exists(books))
                p.years << YearBooks{CiFile::resolve(books), CiFile::resolve(books) + QStringLiteral(".deleting")};
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.reasonText(), QStringLiteral("DelAccFiles"));
        return kept(Result::BooksKept, {e.reasonText(), e.userText()});
    }
    if (!p.years.isEmpty()) {
        p.accId = accId;
        try {
            setAside(p, pending, afterStep);
        } catch (const DbError& e) {
            WriteErrLog(3, e.reasonText(), QStringLiteral("DelAccFiles"));
            CiFile::remove(pending);
            return kept(Result::BooksKept, {e.reasonText(), e.userText()});
        }
    }
    try {
        deleteRows(sysDb, accId, who, &logged);
    } catch (const DbError& e) {
        WriteErrLog(3, e.reasonText(), QStringLiteral("DelDbInfo"));
        AuditLog::record(sysDb, who, logged.failed(e.reasonText()));
        if (why)
            *why = e.userText();
        // The rows stay, so the books come back under their name.
        if (!p.years.isEmpty())
            putBack(p, pending);
        return Result::RowsKept;
    }
    passed("rows");
    deleteMirrorRows(accId, QStringLiteral("DelDbInfo"));
    passed("mirror");
    if (!p.years.isEmpty())
        removeTombstones(p, pending, afterStep);
    return Result::Deleted;
}

namespace {
// One year's books after a crash: the tombstone goes when the rows are gone, else it becomes the
// books again. DbError when that cannot be done.
void settleYear(const YearBooks& y, bool rowsGone)
{
    if (rowsGone) {
        if (!CiFile::remove(y.tombstone) && CiFile::exists(y.tombstone))
            throw DbError(Words::of("AccountDeletion", QT_TRANSLATE_NOOP("AccountDeletion", "无法删除文件 %1"), y.tombstone));
    } else if (CiFile::exists(y.tombstone)) {
        // Books under their own name as well would be newer than the tombstone: they stay.
        if (CiFile::exists(y.books))
            throw DbError(Words::of("AccountDeletion", QT_TRANSLATE_NOOP("AccountDeletion", "文件 %1 与 %2 同时存在"), y.books, y.tombstone));
        if (!CiFile::rename(y.tombstone, y.books))
            throw DbError(Words::of("AccountDeletion", QT_TRANSLATE_NOOP("AccountDeletion", "无法恢复文件 %1"), y.books));
    }
    BackupSet::syncPath(Paths::parentDir(y.books));
}

// recover's work, with the installation's work lock already held.
bool settlePending(Database& sysDb)
{
    // A server's deletion is one transaction: nothing is left pending.
    if (sysDb.engine() == Engine::PostgreSQL)
        return true;
    const QString pending = pendingPath(sysDb);
    if (!CiFile::exists(pending))
        return true;
    const Pending p = readPending(pending);
    if (p.accId.isEmpty()) {
        WriteErrLog(3, QStringLiteral("无法识别文件 %1").arg(pending), QStringLiteral("recover")); // not translated: the error log
        return false;
    }
    try {
        // The rows' transaction committed exactly when the set's SM_Account rows are gone.
        const bool rowsGone = sysDb.scalar(QStringLiteral("Select count(*) From Sm_Account Where cAcc_Id=?"), {p.accId}).toInt() == 0;
        if (rowsGone)
            deleteMirrorRows(p.accId, QStringLiteral("recover"));
        // Each year on its own: a crash between two years left some taken and others not.
        for (const YearBooks& y : p.years)
            settleYear(y, rowsGone);
    } catch (const DbError& e) {
        WriteErrLog(3, e.reasonText(), QStringLiteral("recover"));
        return false;
    }
    CiFile::remove(pending);
    BackupSet::syncPath(Paths::parentDir(pending));
    return true;
}
} // namespace

bool recover(Database& sysDb)
{
    // A deletion another program is doing right now is not a crash's leftover.
    const WorkLock lock(sysDb, WorkLock::Mode::Try);
    return !lock.held() || settlePending(sysDb);
}

bool DelAccFiles(Database& sysDb, const QString& accId)
{
    try {
        for (const QString& file : booksOf(sysDb, accId)) {
            if (!CiFile::exists(file))
                continue;
            const bool removed = underExclusiveLock(file, [&] { return CiFile::remove(file); });
            if (!removed)
                throw DbError(Words::of("AccountDeletion", QT_TRANSLATE_NOOP("AccountDeletion", "无法删除文件 %1"), file));
        }
        return true;
    } catch (const DbError& e) {
        WriteErrLog(3, e.reasonText(), QStringLiteral("DelAccFiles"));
        return false;
    }
}

bool DelDbInfo(Database& sysDb, const QString& accId)
{
    try {
        deleteRows(sysDb, accId);
        deleteMirrorRows(accId, QStringLiteral("DelDbInfo"));
        return true;
    } catch (const DbError& e) {
        WriteErrLog(3, e.reasonText(), QStringLiteral("DelDbInfo"));
        return false;
    }
}
}
