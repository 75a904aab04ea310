#include "AccountDeletion.h"

#include <AccountDb.h>
#include <CiFile.h>
#include <Database.h>
#include <ErrLog.h>
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

void deleteRows(Database& db, const QString& accId)
{
    // CreateAcc is made by the first set created on an installation; before that it has no rows to lose.
    const bool hasCreateAcc = db.hasTable(QStringLiteral("CreateAcc"));
    Database::Transaction t(db);
    for (const char* sql : kDeletes) {
        const QString statement = QString::fromLatin1(sql);
        if (!hasCreateAcc && statement.contains(QLatin1String("CreateAcc")))
            continue;
        db.execute(statement, {accId});
    }
    t.commit();
}
} // namespace

namespace AccountDeletion {
bool DelAccFiles(Database& sysDb, const QString& accId)
{
    try {
        Recordset rs = sysDb.query(QStringLiteral("Select * From Sm_Account Where cAcc_Id=?"), {accId});
        if (rs.Eof())
            return true;
        const QString file = AccountDb::databasePath(rs.text(QStringLiteral("cAcc_Path")), accId,
                                                     rs.Fields(QStringLiteral("iYear")).toInt());
        if (!CiFile::exists(file))
            return true;
        // A file that another program is writing to is not pulled from under it: taking the
        // exclusive lock also rolls back what a crashed writer left in a journal.
        std::unique_ptr<Database> lock;
        try {
            lock = std::make_unique<Database>(file);
            lock->execute(QStringLiteral("PRAGMA busy_timeout=1000"));
            lock->execute(QStringLiteral("BEGIN EXCLUSIVE"));
        } catch (const DbError& e) {
            if (e.isLocked())
                throw;
            lock.reset();   // not a database we can open: still only a file to delete
        }
        const bool removed = CiFile::remove(file);
        lock.reset();
        if (!removed)
            throw DbError(QStringLiteral("无法删除文件 %1").arg(file));
        return true;
    } catch (const DbError& e) {
        WriteErrLog(3, e.userText(), QStringLiteral("DelAccFiles"));
        return false;
    }
}

bool DelDbInfo(Database& sysDb, const QString& accId)
{
    try {
        std::unique_ptr<Database> mirror;
        const QString mirrorPath = SysInfo::mirrorSysDbPath();
        if (!mirrorPath.isEmpty()) {
            try {
                mirror = std::make_unique<Database>(mirrorPath);
            } catch (const DbError& e) {
                WriteErrLog(3, e.userText(), QStringLiteral("DelDbInfo"));
            }
        }
        deleteRows(sysDb, accId);
        if (mirror) {
            // The mirror is a copy kept for safety; a failure there does not undo the deletion.
            try {
                deleteRows(*mirror, accId);
            } catch (const DbError& e) {
                WriteErrLog(3, e.userText(), QStringLiteral("DelDbInfo"));
            }
        }
        return true;
    } catch (const DbError& e) {
        WriteErrLog(3, e.userText(), QStringLiteral("DelDbInfo"));
        return false;
    }
}
}
