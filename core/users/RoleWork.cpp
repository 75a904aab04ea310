#include "RoleWork.h"

#include <AuditEvents.h>
#include <Database.h>
#include <ErrLog.h>
#include <UserIds.h>

#include <QCoreApplication>

using namespace UsersNotice;

namespace {
Notice notDeleted(const QString& id, const DbError& e)
{
    WriteErrLog(3, e.text(), QStringLiteral("Toolbar1_ButtonClick"));
    return critical(QCoreApplication::translate("RoleWork", "角色[%1]未能删除：%2").arg(id, e.userText()));
}

// Brings one offered operator's membership to what was ticked; logs a change.
void setMember(Database& sysDb, const AuditContext& who, const QString& role, const QString& user, bool ticked)
{
    const bool member = !sysDb.query(QStringLiteral("select * from SM_Role where cGroup_Id=? and cUser_Id=?"), {role, user}).Eof();
    if (ticked && !member)
        sysDb.execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values (?,?)"), {role, user});
    else if (!ticked && member)
        sysDb.execute(QStringLiteral("delete from SM_Role where cGroup_Id=? and cUser_Id=?"), {role, user});
    if (ticked != member)
        AuditLog::write(sysDb, who, Audit::memberChanged(role, user, ticked));
}
} // namespace

namespace RoleWork {
AddOutcome checkNew(const RoleInput& in, const QString& listed)
{
    const QString id = in.id.trimmed();
    if (id.isEmpty() || in.name.trimmed().isEmpty())
        return {};
    if (const QString bad = UserIds::refusal(QCoreApplication::translate("RoleWork", "角色"), id); !bad.isEmpty())
        return {AddOutcome::Next::Keep, critical(bad)};
    if (listed.contains(QLatin1Char(',') + id + QLatin1Char(',')))
        return {AddOutcome::Next::Skip, critical(QCoreApplication::translate("RoleWork", "角色:[%1]已存在，不能增加!").arg(id), kTitleDup)};
    return {AddOutcome::Next::Write, {}};
}

AddOutcome add(Database& sysDb, const AuditContext& who, const RoleInput& in, const QStringList& members)
{
    const QString id = in.id.trimmed();
    const AuditEntry entry = Audit::roleAdded(id, in.name, members);
    try {
        // The role, its members and its log row are written together or not at all.
        Database::Transaction t(sysDb);
        sysDb.execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name,cMemo,cTradeKinds,cTrade_Kinds) values (?,?,?,?,?)"),
                      {in.id, in.name, in.memo, QStringLiteral("BZ"), QStringLiteral("BZ")});
        for (const QString& user : members)
            sysDb.execute(QStringLiteral("insert into SM_role (cGroup_Id,cUser_Id) values (?,?)"), {in.id, user});
        AuditLog::write(sysDb, who, entry);
        t.commit();
    } catch (const DbError& e) {
        AuditLog::record(sysDb, who, entry.failed(e.reasonText()));
        WriteErrLog(3, e.text(), QStringLiteral("cmdAdd_Click"));
        // Nothing was written; what was typed stays for a correction.
        const QString text = isDuplicateKey(e) ? QCoreApplication::translate("RoleWork", "角色:[%1]已在系统库中，不能增加!").arg(id)
                                               : QCoreApplication::translate("RoleWork", "角色:[%1]未能增加：%2").arg(id, e.userText());
        return {AddOutcome::Next::Keep, critical(text, kTitleDup)};
    }
    return {AddOutcome::Next::Clear, {}};
}

UsersOutcome change(Database& sysDb, const AuditContext& who, const RoleInput& in, const QList<QPair<QString, bool>>& offered)
{
    if (in.id.trimmed().isEmpty() || in.name.trimmed().isEmpty())
        return {};
    try {
        // The name, the remark, every membership change and their log rows: together or not at all.
        Database::Transaction t(sysDb);
        sysDb.execute(QStringLiteral("update SM_Group set cGroup_Name=?,cMemo=? where cGroup_Id=?"), {in.name, in.memo, in.id});
        if (sysDb.rowsAffected() == 0)
            return {false, exclamation(QCoreApplication::translate("RoleWork", "角色:[%1]已不存在，未能修改。").arg(in.id))};
        for (const auto& [user, ticked] : offered)
            setMember(sysDb, who, in.id, user, ticked);
        AuditLog::write(sysDb, who, Audit::roleChanged(in.id, in.name, in.memo));
        t.commit();
    } catch (const DbError& e) {
        AuditLog::record(sysDb, who, Audit::roleChanged(in.id, in.name, in.memo).failed(e.reasonText()));
        WriteErrLog(3, e.text(), QStringLiteral("cmdEdit_Click"));
        return {false, critical(QCoreApplication::translate("RoleWork", "角色:[%1]未能修改：%2").arg(in.id, e.userText()))};
    }
    return {true, {QCoreApplication::translate("RoleWork", "修改成功！"), QString(), Notice::Icon::None}};
}

UsersOutcome mayDelete(Database& sysDb, const AuditContext& who, const QString& id)
{
    try {
        if (sysDb.query(QStringLiteral("select * from SM_Role where cGroup_Id=?"), {id}).Eof())
            return {true, {}};
        AuditLog::record(sysDb, who, Audit::roleDeleted(id).refused(QStringLiteral("角色已有成员"))); // not translated: the log keeps Chinese
        return {false, {QCoreApplication::translate("RoleWork", "角色：[%1]已经启用（定义所属用户），不能删除！").arg(id), title(kTitleBracket), Notice::Icon::None}};
    } catch (const DbError& e) {
        return {false, notDeleted(id, e)};
    }
}

UsersOutcome remove(Database& sysDb, const AuditContext& who, const QString& id)
{
    try {
        AuditLog::run(sysDb, who, Audit::roleDeleted(id), [&] {
            sysDb.execute(QStringLiteral("delete from SM_group where cGroup_Id=?"), {id});
        });
    } catch (const DbError& e) {
        return {false, notDeleted(id, e)};
    }
    return {true, {}};
}
}
