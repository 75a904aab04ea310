#include "AuditEvents.h"

#include <Database.h>

namespace {
const QString kSep = QStringLiteral("、");

AuditEntry entry(const QString& action, const QString& detail, const QString& accId = {}, int year = 0)
{
    AuditEntry e;
    e.action = action;
    e.detail = detail;
    e.accId = accId;
    e.year = year;
    return e;
}

QString listOrNone(const QStringList& items)
{
    return items.isEmpty() ? QStringLiteral("无") : items.join(kSep);
}
} // namespace

namespace Audit {
const QList<QPair<QString, QString>>& actions()
{
    static const QList<QPair<QString, QString>> list = {
        {kLogin, QStringLiteral("登录")},
        {kLogout, QStringLiteral("注销")},
        {kPassword, QStringLiteral("修改口令")},
        {kUserAdd, QStringLiteral("增加操作员")},
        {kUserEdit, QStringLiteral("修改操作员")},
        {kUserCancel, QStringLiteral("注销操作员")},
        {kUserDelete, QStringLiteral("删除操作员")},
        {kRoleAdd, QStringLiteral("增加角色")},
        {kRoleEdit, QStringLiteral("修改角色")},
        {kRoleDelete, QStringLiteral("删除角色")},
        {kMemberAdd, QStringLiteral("角色增加成员")},
        {kMemberRemove, QStringLiteral("角色移出成员")},
        {kMasterSet, QStringLiteral("设置账套主管")},
        {kMasterRemove, QStringLiteral("取消账套主管")},
        {kGrant, QStringLiteral("授予权限")},
        {kRevoke, QStringLiteral("收回权限")},
        {kSetCreate, QStringLiteral("建立账套")},
        {kSetModify, QStringLiteral("修改账套")},
        {kSubEnable, QStringLiteral("启用子系统")},
        {kSubDisable, QStringLiteral("停用子系统")},
        {kCoding, QStringLiteral("修改编码方案")},
        {kPrecision, QStringLiteral("修改数据精度")},
        {kExport, QStringLiteral("输出账套")},
        {kImport, QStringLiteral("引入账套")},
        {kDelete, QStringLiteral("删除账套")},
        {kLogExport, QStringLiteral("导出日志")},
    };
    return list;
}

QString actionName(const QString& code)
{
    for (const auto& a : actions())
        if (a.first == code)
            return a.second;
    return code;
}

AuditEntry login(const QString& typedId, const QString& accId, const QString& year)
{
    AuditEntry e = entry(kLogin, accId.isEmpty() ? QStringLiteral("以[%1]登录系统管理").arg(typedId)
                                                 : QStringLiteral("以[%1]登录账套[%2] %3年度").arg(typedId, accId, year));
    e.operatorId = typedId;
    return e;
}

AuditEntry loginFailed(const QString& typedId, const QString& reason)
{
    return login(typedId).failed(reason);
}

AuditEntry logout(const QString& operatorId)
{
    return entry(kLogout, QStringLiteral("[%1]注销").arg(operatorId));
}

AuditEntry passwordChanged(const QString& operatorId)
{
    AuditEntry e = entry(kPassword, QStringLiteral("操作员[%1]修改口令").arg(operatorId));
    e.operatorId = operatorId;
    return e;
}

AuditEntry userAdded(const QString& id, const QString& name, const QString& dept, const QStringList& roles)
{
    return entry(kUserAdd, QStringLiteral("增加操作员[%1]%2，部门：%3，所属角色：%4").arg(id, name, dept, listOrNone(roles)));
}

AuditEntry userChanged(Database& db, const QString& id, const QString& name, const QString& dept, bool cancelled)
{
    Recordset rs = db.query(QStringLiteral("SELECT cUser_Name, cDept, nState FROM SM_User WHERE cUser_Id=?"), {id});
    QStringList changes;
    bool wasCancelled = false;
    if (!rs.Eof()) {
        const QVariant state = rs.Fields(QStringLiteral("nState"));
        wasCancelled = !state.isNull() && state.toInt() != 0;
        if (rs.text(QStringLiteral("cUser_Name")) != name)
            changes << QStringLiteral("姓名 %1→%2").arg(rs.text(QStringLiteral("cUser_Name")), name);
        if (rs.text(QStringLiteral("cDept")) != dept)
            changes << QStringLiteral("部门 %1→%2").arg(rs.text(QStringLiteral("cDept")), dept);
    }
    if (wasCancelled != cancelled)
        changes << (cancelled ? QStringLiteral("状态 有效→注销") : QStringLiteral("状态 注销→有效"));
    const bool cancelling = cancelled && !wasCancelled;
    return entry(cancelling ? kUserCancel : kUserEdit,
                 QStringLiteral("%1操作员[%2]：%3").arg(cancelling ? QStringLiteral("注销") : QStringLiteral("修改"), id,
                                                    changes.isEmpty() ? QStringLiteral("姓名、部门、状态未变") : changes.join(QStringLiteral("；"))));
}

AuditEntry userDeleted(const QString& id)
{
    return entry(kUserDelete, QStringLiteral("删除操作员[%1]及其持有的权限").arg(id));
}

AuditEntry roleAdded(const QString& id, const QString& name, const QStringList& members)
{
    return entry(kRoleAdd, QStringLiteral("增加角色[%1]%2，成员：%3").arg(id, name, listOrNone(members)));
}

AuditEntry roleChanged(const QString& id, const QString& name, const QString& memo)
{
    return entry(kRoleEdit, QStringLiteral("修改角色[%1]：名称 %2，备注 %3").arg(id, name, memo));
}

AuditEntry memberChanged(const QString& role, const QString& user, bool added)
{
    return added ? entry(kMemberAdd, QStringLiteral("操作员[%1]加入角色[%2]").arg(user, role))
                 : entry(kMemberRemove, QStringLiteral("操作员[%1]移出角色[%2]").arg(user, role));
}

AuditEntry roleDeleted(const QString& id)
{
    return entry(kRoleDelete, QStringLiteral("删除角色[%1]").arg(id));
}

AuditEntry supervisorSet(const QString& accId, int year, const QString& member)
{
    return entry(kMasterSet, QStringLiteral("设置[%1]为账套[%2] %3年度的账套主管").arg(member, accId, QString::number(year)), accId, year);
}

AuditEntry supervisorRemoved(const QString& accId, int year, const QString& member, const QStringList& held)
{
    return entry(kMasterRemove, QStringLiteral("取消[%1]在账套[%2]的账套主管，收回其全部权限：%3").arg(member, accId, listOrNone(held)), accId,
                 year);
}

AuditEntry granted(const QString& accId, int year, const QString& member, const QStringList& perms)
{
    return entry(kGrant, QStringLiteral("授予[%1]账套[%2] %3年度权限：%4").arg(member, accId, QString::number(year), listOrNone(perms)), accId, year);
}

AuditEntry revoked(const QString& accId, int year, const QString& member, const QStringList& held)
{
    return entry(kRevoke, QStringLiteral("收回[%1]在账套[%2]的全部权限：%3").arg(member, accId, listOrNone(held)), accId, year);
}

AuditEntry setCreated(const QString& accId, const QString& name, int year, const QString& path, const QString& master)
{
    return entry(kSetCreate, QStringLiteral("建立账套[%1]%2，启用年度 %3，路径 %4，账套主管 [%5]").arg(accId, name, QString::number(year), path, master),
                 accId, year);
}

AuditEntry setModified(const QString& accId, int year, const QString& name)
{
    return entry(kSetModify, QStringLiteral("修改账套[%1]%2的账套信息").arg(accId, name), accId, year);
}

AuditEntry subsystemEnabled(const QString& accId, const QString& subId, const QDate& date)
{
    return entry(kSubEnable, QStringLiteral("账套[%1]启用子系统[%2]，启用日期 %3").arg(accId, subId, date.toString(QStringLiteral("yyyy-MM-dd"))),
                 accId, date.isValid() ? date.year() : 0);
}

AuditEntry subsystemDisabled(const QString& accId, int year, const QString& subId)
{
    return entry(kSubDisable, QStringLiteral("账套[%1]停用子系统[%2]").arg(accId, subId), accId, year);
}

AuditEntry codingScheme(Database* books, const QString& accId, int year)
{
    QStringList rules;
    if (books) {
        for (Recordset rs = books->query(QStringLiteral("SELECT GRADECLSNAME, keyword, CODINGRULE FROM GradeDef ORDER BY keyword")); !rs.Eof();
             rs.MoveNext()) {
            const QString name = rs.text(QStringLiteral("GRADECLSNAME"));
            rules << QStringLiteral("%1 %2").arg(name.isEmpty() ? rs.text(QStringLiteral("keyword")) : name, rs.text(QStringLiteral("CODINGRULE")));
        }
    }
    return entry(kCoding, QStringLiteral("账套[%1]编码方案：%2").arg(accId, listOrNone(rules)), accId, year);
}

namespace {
// An option of the books as their options table keeps it. Read here with its own statement: the
// log is written by setup's work, so it reads nothing through setup.
QString optionValue(Database& books, const QString& caption)
{
    Recordset rs = books.query(QStringLiteral("select cValue from AccInformation where cCaption=?"), {caption});
    return rs.Eof() ? QString() : rs.text(QStringLiteral("cValue"));
}
} // namespace

AuditEntry precision(Database* books, const QString& accId, int year, const QStringList& captions)
{
    QStringList values;
    if (books)
        for (const QString& c : captions)
            values << QStringLiteral("%1 %2").arg(c, optionValue(*books, c));
    return entry(kPrecision, QStringLiteral("账套[%1]数据精度：%2").arg(accId, listOrNone(values)), accId, year);
}

AuditEntry exported(const QString& accId, int year, const QString& folder)
{
    if (year == 0)
        return entry(kExport, QStringLiteral("输出账套[%1]到 %2").arg(accId, folder), accId);
    return entry(kExport, QStringLiteral("输出账套[%1] %2年度到 %3").arg(accId, QString::number(year), folder), accId, year);
}

AuditEntry imported(const QString& accId, const QString& year, const QString& sourceDir, const QString& targetDir, const QString& over)
{
    const QString what = over.isEmpty() ? QStringLiteral("新建账套") : QStringLiteral("覆盖原有账套：") + over;
    return entry(kImport, QStringLiteral("从备份 %1 引入账套[%2] %3年度到 %4，%5").arg(sourceDir, accId, year, targetDir, what), accId,
                 year.toInt());
}

AuditEntry deleted(const QString& accId, int year, const QString& name)
{
    // Under the empty key: the set's own rows go with it.
    AuditEntry e = entry(kDelete, QStringLiteral("删除账套[%1]%2（账套库及其在系统库中的记录）").arg(accId, name));
    e.year = year;
    return e;
}

AuditEntry logExported(const QString& accId, int year, const QString& file, int rows)
{
    return entry(kLogExport, QStringLiteral("导出上机日志 %1 条到 %2").arg(QString::number(rows), file), accId, year);
}
}
