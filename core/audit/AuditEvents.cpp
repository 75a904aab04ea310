#include "AuditEvents.h"

#include <Database.h>

#include <QCoreApplication>

namespace {
const QString kSep = QStringLiteral("、"); // not translated: a stored detail

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
    return items.isEmpty() ? QStringLiteral("无") : items.join(kSep); // not translated: a stored detail
}
} // namespace

namespace Audit {
QList<QPair<QString, QString>> actions()
{
    // Named in the console's language each time: the codes are what the log stores.
    static const QList<QPair<QString, const char*>> list = {
        {kLogin, QT_TRANSLATE_NOOP("Audit", "登录")},
        {kLogout, QT_TRANSLATE_NOOP("Audit", "注销")},
        {kPassword, QT_TRANSLATE_NOOP("Audit", "修改口令")},
        {kUserAdd, QT_TRANSLATE_NOOP("Audit", "增加操作员")},
        {kUserEdit, QT_TRANSLATE_NOOP("Audit", "修改操作员")},
        {kUserCancel, QT_TRANSLATE_NOOP("Audit", "注销操作员")},
        {kUserDelete, QT_TRANSLATE_NOOP("Audit", "删除操作员")},
        {kRoleAdd, QT_TRANSLATE_NOOP("Audit", "增加角色")},
        {kRoleEdit, QT_TRANSLATE_NOOP("Audit", "修改角色")},
        {kRoleDelete, QT_TRANSLATE_NOOP("Audit", "删除角色")},
        {kMemberAdd, QT_TRANSLATE_NOOP("Audit", "角色增加成员")},
        {kMemberRemove, QT_TRANSLATE_NOOP("Audit", "角色移出成员")},
        {kMasterSet, QT_TRANSLATE_NOOP("Audit", "设置账套主管")},
        {kMasterRemove, QT_TRANSLATE_NOOP("Audit", "取消账套主管")},
        {kGrant, QT_TRANSLATE_NOOP("Audit", "授予权限")},
        {kRevoke, QT_TRANSLATE_NOOP("Audit", "收回权限")},
        {kSetCreate, QT_TRANSLATE_NOOP("Audit", "建立账套")},
        {kSetModify, QT_TRANSLATE_NOOP("Audit", "修改账套")},
        {kSubEnable, QT_TRANSLATE_NOOP("Audit", "启用子系统")},
        {kSubDisable, QT_TRANSLATE_NOOP("Audit", "停用子系统")},
        {kCoding, QT_TRANSLATE_NOOP("Audit", "修改编码方案")},
        {kPrecision, QT_TRANSLATE_NOOP("Audit", "修改数据精度")},
        {kExport, QT_TRANSLATE_NOOP("Audit", "输出账套")},
        {kImport, QT_TRANSLATE_NOOP("Audit", "引入账套")},
        {kDelete, QT_TRANSLATE_NOOP("Audit", "删除账套")},
        {kLogExport, QT_TRANSLATE_NOOP("Audit", "导出日志")},
        {kYearCreate, QT_TRANSLATE_NOOP("Audit", "建立年度账")},
        {kCarryForward, QT_TRANSLATE_NOOP("Audit", "结转上年数据")},
        {kYearClear, QT_TRANSLATE_NOOP("Audit", "清空年度数据")},
        {kTaskClear, QT_TRANSLATE_NOOP("Audit", "清除异常任务")},
        {kTaskRelease, QT_TRANSLATE_NOOP("Audit", "释放异常任务的功能")},
        {kMoveToServer, QT_TRANSLATE_NOOP("Audit", "迁移到服务器")},
        {kServerPassword, QT_TRANSLATE_NOOP("Audit", "修改服务器密码")},
    };
    QList<QPair<QString, QString>> named;
    for (const auto& [code, name] : list)
        named.append({code, QCoreApplication::translate("Audit", name)});
    return named;
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
    AuditEntry e = entry(kLogin, accId.isEmpty() ? QStringLiteral("以[%1]登录系统管理").arg(typedId) // not translated: a stored detail
                                                 : QStringLiteral("以[%1]登录账套[%2] %3年度").arg(typedId, accId, year)); // not translated: a stored detail
    e.operatorId = typedId;
    return e;
}

AuditEntry loginFailed(const QString& typedId, const QString& reason)
{
    return login(typedId).failed(reason);
}

AuditEntry logout(const QString& operatorId)
{
    return entry(kLogout, QStringLiteral("[%1]注销").arg(operatorId)); // not translated: a stored detail
}

AuditEntry passwordChanged(const QString& operatorId)
{
    AuditEntry e = entry(kPassword, QStringLiteral("操作员[%1]修改口令").arg(operatorId)); // not translated: a stored detail
    e.operatorId = operatorId;
    return e;
}

AuditEntry userAdded(const QString& id, const QString& name, const QString& dept, const QStringList& roles)
{
    return entry(kUserAdd, QStringLiteral("增加操作员[%1]%2，部门：%3，所属角色：%4").arg(id, name, dept, listOrNone(roles))); // not translated: a stored detail
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
            changes << QStringLiteral("姓名 %1→%2").arg(rs.text(QStringLiteral("cUser_Name")), name); // not translated: a stored detail
        if (rs.text(QStringLiteral("cDept")) != dept)
            changes << QStringLiteral("部门 %1→%2").arg(rs.text(QStringLiteral("cDept")), dept); // not translated: a stored detail
    }
    if (wasCancelled != cancelled)
        changes << (cancelled ? QStringLiteral("状态 有效→注销") : QStringLiteral("状态 注销→有效")); // not translated: a stored detail
    const bool cancelling = cancelled && !wasCancelled;
    return entry(cancelling ? kUserCancel : kUserEdit,
                 QStringLiteral("%1操作员[%2]：%3").arg(cancelling ? QStringLiteral("注销") : QStringLiteral("修改"), id, // not translated: a stored detail
                                                    changes.isEmpty() ? QStringLiteral("姓名、部门、状态未变") : changes.join(QStringLiteral("；")))); // not translated: a stored detail
}

AuditEntry userDeleted(const QString& id)
{
    return entry(kUserDelete, QStringLiteral("删除操作员[%1]及其持有的权限").arg(id)); // not translated: a stored detail
}

AuditEntry roleAdded(const QString& id, const QString& name, const QStringList& members)
{
    return entry(kRoleAdd, QStringLiteral("增加角色[%1]%2，成员：%3").arg(id, name, listOrNone(members))); // not translated: a stored detail
}

AuditEntry roleChanged(const QString& id, const QString& name, const QString& memo)
{
    return entry(kRoleEdit, QStringLiteral("修改角色[%1]：名称 %2，备注 %3").arg(id, name, memo)); // not translated: a stored detail
}

AuditEntry memberChanged(const QString& role, const QString& user, bool added)
{
    return added ? entry(kMemberAdd, QStringLiteral("操作员[%1]加入角色[%2]").arg(user, role)) // not translated: a stored detail
                 : entry(kMemberRemove, QStringLiteral("操作员[%1]移出角色[%2]").arg(user, role)); // not translated: a stored detail
}

AuditEntry roleDeleted(const QString& id)
{
    return entry(kRoleDelete, QStringLiteral("删除角色[%1]").arg(id)); // not translated: a stored detail
}

AuditEntry supervisorSet(const QString& accId, int year, const QString& member)
{
    return entry(kMasterSet, QStringLiteral("设置[%1]为账套[%2] %3年度的账套主管").arg(member, accId, QString::number(year)), accId, year); // not translated: a stored detail
}

AuditEntry supervisorRemoved(const QString& accId, int year, const QString& member, const QStringList& held)
{
    return entry(kMasterRemove, QStringLiteral("取消[%1]在账套[%2]的账套主管，收回其全部权限：%3").arg(member, accId, listOrNone(held)), accId, // not translated: a stored detail
                 year);
}

AuditEntry granted(const QString& accId, int year, const QString& member, const QStringList& perms)
{
    return entry(kGrant, QStringLiteral("授予[%1]账套[%2] %3年度权限：%4").arg(member, accId, QString::number(year), listOrNone(perms)), accId, year); // not translated: a stored detail
}

AuditEntry revoked(const QString& accId, int year, const QString& member, const QStringList& held)
{
    return entry(kRevoke, QStringLiteral("收回[%1]在账套[%2]的全部权限：%3").arg(member, accId, listOrNone(held)), accId, year); // not translated: a stored detail
}

AuditEntry setCreated(const QString& accId, const QString& name, int year, const QString& path, const QString& master)
{
    return entry(kSetCreate, QStringLiteral("建立账套[%1]%2，启用年度 %3，路径 %4，账套主管 [%5]").arg(accId, name, QString::number(year), path, master), // not translated: a stored detail
                 accId, year);
}

AuditEntry setModified(const QString& accId, int year, const QString& name)
{
    return entry(kSetModify, QStringLiteral("修改账套[%1]%2的账套信息").arg(accId, name), accId, year); // not translated: a stored detail
}

AuditEntry subsystemEnabled(const QString& accId, const QString& subId, const QDate& date)
{
    return entry(kSubEnable, QStringLiteral("账套[%1]启用子系统[%2]，启用日期 %3").arg(accId, subId, date.toString(QStringLiteral("yyyy-MM-dd"))), // not translated: a stored detail
                 accId, date.isValid() ? date.year() : 0);
}

AuditEntry subsystemDisabled(const QString& accId, int year, const QString& subId)
{
    return entry(kSubDisable, QStringLiteral("账套[%1]停用子系统[%2]").arg(accId, subId), accId, year); // not translated: a stored detail
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
    return entry(kCoding, QStringLiteral("账套[%1]编码方案：%2").arg(accId, listOrNone(rules)), accId, year); // not translated: a stored detail
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
    return entry(kPrecision, QStringLiteral("账套[%1]数据精度：%2").arg(accId, listOrNone(values)), accId, year); // not translated: a stored detail
}

AuditEntry exported(const QString& accId, int year, const QString& folder)
{
    if (year == 0)
        return entry(kExport, QStringLiteral("输出账套[%1]到 %2").arg(accId, folder), accId); // not translated: a stored detail
    return entry(kExport, QStringLiteral("输出账套[%1] %2年度到 %3").arg(accId, QString::number(year), folder), accId, year); // not translated: a stored detail
}

AuditEntry imported(const QString& accId, const QString& year, const QString& sourceDir, const QString& targetDir, const QString& over)
{
    const QString what = over.isEmpty() ? QStringLiteral("新建账套") : QStringLiteral("覆盖原有账套：") + over; // not translated: a stored detail
    return entry(kImport, QStringLiteral("从备份 %1 引入账套[%2] %3年度到 %4，%5").arg(sourceDir, accId, year, targetDir, what), accId, // not translated: a stored detail
                 year.toInt());
}

AuditEntry deleted(const QString& accId, int year, const QString& name)
{
    // Under the empty key: the set's own rows go with it.
    AuditEntry e = entry(kDelete, QStringLiteral("删除账套[%1]%2（账套库及其在系统库中的记录）").arg(accId, name)); // not translated: a stored detail
    e.year = year;
    return e;
}

AuditEntry logExported(const QString& accId, int year, const QString& file, int rows)
{
    return entry(kLogExport, QStringLiteral("导出上机日志 %1 条到 %2").arg(QString::number(rows), file), accId, year); // not translated: a stored detail
}

AuditEntry yearCreated(const QString& accId, int fromYear, int year)
{
    return entry(kYearCreate, QStringLiteral("账套[%1]建立%2年度，沿用%3年度的选项、编码方案、数据精度、会计科目、权限和已启用的子系统") // not translated: a stored detail
                                  .arg(accId, QString::number(year), QString::number(fromYear)),
                 accId, year);
}

AuditEntry yearImported(const QString& accId, const QString& year, const QString& sourceDir, const QString& targetDir, bool replaced)
{
    const QString what = replaced ? QStringLiteral("覆盖原有年度") : QStringLiteral("新增年度"); // not translated: a stored detail
    return entry(kImport, QStringLiteral("从备份 %1 引入账套[%2] %3年度到 %4，%5").arg(sourceDir, accId, year, targetDir, what), accId, // not translated: a stored detail
                 year.toInt());
}

AuditEntry yearCleared(const QString& accId, int year, const QString& folder)
{
    return entry(kYearClear, QStringLiteral("清空账套[%1] %2年度的数据（保留选项、编码方案和会计科目），清空前已备份到 %3") // not translated: a stored detail
                                 .arg(accId, QString::number(year), folder),
                 accId, year);
}

AuditEntry carriedForward(const QString& accId, int year, const QString& what)
{
    return entry(kCarryForward, QStringLiteral("账套[%1]从%2年度结转到%3年度：%4").arg(accId, QString::number(year - 1), QString::number(year), what), // not translated: a stored detail
                 accId, year);
}

AuditEntry taskCleared(const QString& subsystem, const QString& station, const QString& operatorId, qint64 pid,
                       const QDateTime& beat, const QStringList& held)
{
    return entry(kTaskClear, QStringLiteral("清除异常任务[%1]：工作站[%2]，操作员[%3]，进程 %4，最后心跳 %5，执行的功能：%6") // not translated: a stored detail
                                 .arg(subsystem, station, operatorId, QString::number(pid),
                                      beat.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), listOrNone(held)));
}

AuditEntry claimReleased(const QString& accId, int year, const QString& function, const QString& station,
                         const QString& operatorId)
{
    return entry(kTaskRelease, QStringLiteral("释放工作站[%1]上操作员[%2]的异常任务在账套[%3] %4年度执行的“%5”") // not translated: a stored detail
                                   .arg(station, operatorId, accId, QString::number(year), function),
                 accId, year);
}

AuditEntry movedToServer(const QString& root, const QString& server, int books)
{
    return entry(kMoveToServer, QStringLiteral("安装目录 %1 的系统库和 %2 个账套年度的账套库迁移到服务器 %3") // not translated: a stored detail
                                    .arg(root, QString::number(books), server));
}

AuditEntry serverPasswordChanged(const QString& role, const QString& server)
{
    return entry(kServerPassword, QStringLiteral("修改服务器 %1 上登录名[%2]的密码").arg(server, role)); // not translated: a stored detail
}
}
