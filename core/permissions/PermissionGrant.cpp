#include "PermissionGrant.h"

#include <Database.h>

void PermissionGrant::save(Database& db, const GrantRequest& r)
{
    if (r.authIds.isEmpty())
        return;
    Database::Transaction t(db);
    for (const QString& id : r.authIds) {
        db.execute(QStringLiteral("delete from sm_holdauth where cAcc_Id=? and iYear=? and cUser_Id=? and cAuth_Id=?"),
                   {r.accId, r.year, r.member, id});
        db.execute(QStringLiteral("insert into sm_holdauth (cAcc_Id,iYear,cUser_Id,cAuth_Id) values (?,?,?,?)"),
                   {r.accId, r.year, r.member, id});
    }
    t.commit();
}
