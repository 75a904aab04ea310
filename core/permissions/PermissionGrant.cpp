#include "PermissionGrant.h"

#include <AuditEvents.h>
#include <Database.h>

namespace {
// "identifier name" of each permission, as the log names it.
QStringList described(Database& db, const QStringList& authIds)
{
    QStringList out;
    for (const QString& id : authIds) {
        const QString name = db.scalar(QStringLiteral("select cAuth_Name from SM_Auth where cAuth_Id=?"), {id}).toString();
        out << (name.isEmpty() ? id : id + QLatin1Char(' ') + name);
    }
    return out;
}

QStringList held(Database& db, const QString& accId, const QString& member)
{
    QStringList ids;
    for (Recordset rs = db.query(QStringLiteral("select distinct cAuth_Id from SM_HoldAuth where cAcc_Id=? and cUser_Id=? order by cAuth_Id"),
                                 {accId, member});
         !rs.Eof(); rs.MoveNext())
        ids << rs.Fields(0).toString();
    return ids;
}
} // namespace

void PermissionGrant::save(Database& db, const GrantRequest& r, const AuditContext& who)
{
    if (r.authIds.isEmpty())
        return;
    AuditLog::run(db, who, Audit::granted(r.accId, r.year, r.member, described(db, r.authIds)), [&] {
        for (const QString& id : r.authIds) {
            db.execute(QStringLiteral("delete from sm_holdauth where cAcc_Id=? and iYear=? and cUser_Id=? and cAuth_Id=?"),
                       {r.accId, r.year, r.member, id});
            db.execute(QStringLiteral("insert into sm_holdauth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,?)"),
                       {r.accId, r.year, r.member, id});
        }
    });
}

void PermissionGrant::setSupervisor(Database& db, const QString& accId, int year, const QString& member, const AuditContext& who)
{
    AuditLog::run(db, who, Audit::supervisorSet(accId, year, member), [&] {
        db.execute(QStringLiteral("insert or ignore into SM_HoldAuth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values(?,?,?,'Admin')"),
                   {accId, year, member});
    });
}

void PermissionGrant::removeAll(Database& db, const QString& accId, int year, const QString& member, bool asSupervisor,
                                const AuditContext& who)
{
    const QStringList ids = held(db, accId, member);
    AuditLog::run(db, who, asSupervisor ? Audit::supervisorRemoved(accId, year, member, ids) : Audit::revoked(accId, year, member, ids), [&] {
        db.execute(QStringLiteral("delete from SM_HoldAuth where cAcc_Id=? and cUser_Id=?"), {accId, member});
    });
}
