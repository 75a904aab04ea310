#include "OperatorWork.h"

#include <AuditEvents.h>
#include <Database.h>
#include <ErrLog.h>
#include <PasswordHash.h>
#include <UserIds.h>

#include <QCoreApplication>

using namespace UsersNotice;

namespace {
QString failedToAdd(const QString& id, const QString& why)
{
    return QCoreApplication::translate("OperatorWork", "操作员:[%1]未能增加：%2").arg(id, why);
}
} // namespace

namespace OperatorWork {
AddOutcome checkNew(const OperatorInput& in, const QString& listed)
{
    const QString id = in.id.trimmed();
    if (id.isEmpty() || in.name.trimmed().isEmpty())
        return {};
    if (in.password != in.confirmation)
        return {AddOutcome::Next::Keep, critical(QCoreApplication::translate("OperatorWork", "口令必须一致!"))};
    if (const QString bad = UserIds::refusal(QCoreApplication::translate("OperatorWork", "操作员"), id); !bad.isEmpty())
        return {AddOutcome::Next::Keep, critical(bad)};
    AddOutcome out;
    try {
        out.stored = PasswordHash::hash(in.password);
    } catch (const DbError& e) {
        return {AddOutcome::Next::Keep, critical(failedToAdd(id, e.userText()), kTitleDup)};
    }
    // The mirror is still offered an operator of the list.
    out.next = listed.contains(QLatin1Char(',') + id + QLatin1Char(',')) ? AddOutcome::Next::Skip : AddOutcome::Next::Write;
    if (out.next == AddOutcome::Next::Skip)
        out.notice = critical(QCoreApplication::translate("OperatorWork", "操作员:[%1]已存在，不能增加!").arg(id), kTitleDup);
    return out;
}

AddOutcome add(Database& sysDb, const AuditContext& who, const OperatorInput& in, const QString& stored)
{
    const QString id = in.id.trimmed();
    const AuditEntry entry = Audit::userAdded(id, in.name, in.dept, in.roles);
    try {
        // The operator, its memberships and its log row are written together or not at all.
        Database::Transaction t(sysDb);
        sysDb.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) "
                                     "values (?,?,?,0,?,0,?)"),
                      {in.id, in.name, stored, in.dept, in.tk});
        for (const QString& role : in.roles)
            sysDb.execute(QStringLiteral("insert into SM_role (cGroup_Id,cUser_Id) values (?,?)"), {role, in.id});
        AuditLog::write(sysDb, who, entry);
        t.commit();
    } catch (const DbError& e) {
        AuditLog::record(sysDb, who, entry.failed(e.reasonText()));
        WriteErrLog(3, e.text(), QStringLiteral("cmdAdd_Click"));
        // Nothing was written; what was typed stays for a correction.
        const QString text = isDuplicateKey(e) ? QCoreApplication::translate("OperatorWork", "操作员:[%1]已在系统库中，不能增加!").arg(id)
                                               : failedToAdd(id, e.userText());
        return {AddOutcome::Next::Keep, critical(text, kTitleDup)};
    }
    return {AddOutcome::Next::Clear, {}, stored};
}

Notice addToMirror(const QString& mirrorPath, const OperatorInput& in, const QString& stored)
{
    if (mirrorPath.isEmpty())
        return {};
    const QString id = in.id.trimmed();
    try {
        Database db(mirrorPath);
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState) values (?,?,?,0,?,0)"),
                   {in.id, in.name, stored, in.dept});
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cmdAdd_Click"));
        if (isDuplicateKey(e))
            return exclamation(QCoreApplication::translate("OperatorWork", "操作员:[%1]已在镜像系统库（%2）中，未再写入。").arg(id, mirrorPath));
        return exclamation(QCoreApplication::translate("OperatorWork", "操作员:[%1]未能写入镜像系统库（%2）：%3").arg(id, mirrorPath, e.userText()));
    }
    return {};
}

UsersOutcome checkChange(const OperatorInput& in, bool newPassword)
{
    if (in.name.trimmed().isEmpty())
        return {};
    if (newPassword && in.password != in.confirmation)
        return {false, critical(QCoreApplication::translate("OperatorWork", "口令必须一致!"))};
    return {true, {}};
}

UsersOutcome change(Database& sysDb, const AuditContext& who, const OperatorInput& in, bool newPassword)
{
    AuditEntry logged;
    try {
        // What changes is read from the row as it stands; the password is hashed before the
        // transaction, which it would hold for a good part of a second.
        logged = Audit::userChanged(sysDb, in.id, in.name, in.dept, in.cancelled);
        const QString stored = newPassword ? PasswordHash::hash(in.password) : QString();
        const QVariantList fields{in.name, in.dept, in.cancelled ? 1 : 0};
        Database::Transaction t(sysDb);
        if (newPassword)
            sysDb.execute(QStringLiteral("update SM_User set cUser_Name=?,cDept=?,nState=?,cPassword=? where cUser_Id=?"),
                          fields + QVariantList{stored, in.id});
        else
            sysDb.execute(QStringLiteral("update SM_User set cUser_Name=?,cDept=?,nState=? where cUser_Id=?"), fields + QVariantList{in.id});
        if (sysDb.rowsAffected() == 0)
            return {false, exclamation(QCoreApplication::translate("OperatorWork", "操作员:[%1]已不存在，未能修改。").arg(in.id))};
        AuditLog::write(sysDb, who, logged);
        t.commit();
    } catch (const DbError& e) {
        AuditLog::record(sysDb, who, logged.failed(e.reasonText()));
        WriteErrLog(3, e.text(), QStringLiteral("cmdEdit_Click"));
        return {false, critical(QCoreApplication::translate("OperatorWork", "操作员:[%1]未能修改：%2").arg(in.id, e.userText()))};
    }
    return {true, {}};
}

UsersOutcome remove(Database& sysDb, const AuditContext& who, const QString& id)
{
    try {
        // The holdings, the operator and the log row go together; role memberships stay.
        AuditLog::run(sysDb, who, Audit::userDeleted(id), [&] {
            sysDb.execute(QStringLiteral("delete from SM_HoldAuth where cUser_Id=?"), {id});
            sysDb.execute(QStringLiteral("delete from SM_User where cUser_Id=?"), {id});
        });
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Toolbar1_ButtonClick"));
        return {false, critical(QCoreApplication::translate("OperatorWork", "操作员[%1]未能删除：%2").arg(id, e.userText()))};
    }
    return {true, {}};
}
}
