#pragma once
// The rows of each administrative action: its code, its key and its detail in words, written once
// here so every place that performs the action says it the same way. No password, old or new,
// ever appears in a detail.
#include "AuditLog.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QStringList>

class Database;

namespace Audit {
// Action codes, as SM_Log.cAction keeps them.
inline const QString kLogin = QStringLiteral("LOGIN");
inline const QString kLogout = QStringLiteral("LOGOUT");
inline const QString kPassword = QStringLiteral("PASSWORD");
inline const QString kUserAdd = QStringLiteral("USER_ADD");
inline const QString kUserEdit = QStringLiteral("USER_EDIT");
inline const QString kUserCancel = QStringLiteral("USER_CANCEL");
inline const QString kUserDelete = QStringLiteral("USER_DELETE");
inline const QString kRoleAdd = QStringLiteral("ROLE_ADD");
inline const QString kRoleEdit = QStringLiteral("ROLE_EDIT");
inline const QString kRoleDelete = QStringLiteral("ROLE_DELETE");
inline const QString kMemberAdd = QStringLiteral("ROLE_MEMBER_ADD");
inline const QString kMemberRemove = QStringLiteral("ROLE_MEMBER_REMOVE");
inline const QString kMasterSet = QStringLiteral("MASTER_SET");
inline const QString kMasterRemove = QStringLiteral("MASTER_REMOVE");
inline const QString kGrant = QStringLiteral("AUTH_GRANT");
inline const QString kRevoke = QStringLiteral("AUTH_REVOKE");
inline const QString kSetCreate = QStringLiteral("ACC_CREATE");
inline const QString kSetModify = QStringLiteral("ACC_MODIFY");
inline const QString kSubEnable = QStringLiteral("SUB_ENABLE");
inline const QString kSubDisable = QStringLiteral("SUB_DISABLE");
inline const QString kCoding = QStringLiteral("ACC_CODING");
inline const QString kPrecision = QStringLiteral("ACC_PRECISION");
inline const QString kExport = QStringLiteral("ACC_EXPORT");
inline const QString kImport = QStringLiteral("ACC_IMPORT");
inline const QString kDelete = QStringLiteral("ACC_DELETE");
inline const QString kLogExport = QStringLiteral("LOG_EXPORT");
inline const QString kYearCreate = QStringLiteral("YEAR_CREATE");
inline const QString kCarryForward = QStringLiteral("YEAR_CARRY");
inline const QString kYearClear = QStringLiteral("YEAR_CLEAR");
inline const QString kTaskClear = QStringLiteral("TASK_CLEAR");
inline const QString kTaskRelease = QStringLiteral("TASK_RELEASE");
inline const QString kMoveToServer = QStringLiteral("INSTALL_MOVE");
inline const QString kServerPassword = QStringLiteral("SERVER_PASSWORD");

// Every action: its code and its name in the viewer (in the console's language), in the order
// the viewer lists them.
QList<QPair<QString, QString>> actions();
// The name of an action code; the code itself when it is not one of ours.
QString actionName(const QString& code);

// Log-in under the identifier typed; `accId` and `year` are the set a supervisor opens.
AuditEntry login(const QString& typedId, const QString& accId = {}, const QString& year = {});
AuditEntry loginFailed(const QString& typedId, const QString& reason);
AuditEntry logout(const QString& operatorId);
AuditEntry passwordChanged(const QString& operatorId);

AuditEntry userAdded(const QString& id, const QString& name, const QString& dept, const QStringList& roles);
// What changes, read from the operator's row before it is written (call it first): a change of
// state to cancelled is the cancelling of the operator.
AuditEntry userChanged(Database& db, const QString& id, const QString& name, const QString& dept, bool cancelled);
AuditEntry userDeleted(const QString& id);

AuditEntry roleAdded(const QString& id, const QString& name, const QStringList& members);
AuditEntry roleChanged(const QString& id, const QString& name, const QString& memo);
AuditEntry memberChanged(const QString& role, const QString& user, bool added);
AuditEntry roleDeleted(const QString& id);

AuditEntry supervisorSet(const QString& accId, int year, const QString& member);
// A set's action carries the year the operator works in, also when it reaches every year of the set.
AuditEntry supervisorRemoved(const QString& accId, int year, const QString& member, const QStringList& held);
// `perms` as "identifier name" texts (PermissionGrant looks the names up).
AuditEntry granted(const QString& accId, int year, const QString& member, const QStringList& perms);
AuditEntry revoked(const QString& accId, int year, const QString& member, const QStringList& held);

AuditEntry setCreated(const QString& accId, const QString& name, int year, const QString& path, const QString& master);
AuditEntry setModified(const QString& accId, int year, const QString& name);
AuditEntry subsystemEnabled(const QString& accId, const QString& subId, const QDate& date);
AuditEntry subsystemDisabled(const QString& accId, int year, const QString& subId);
// The books' rules and precision as they now stand, read from `books` inside the transaction.
AuditEntry codingScheme(Database* books, const QString& accId, int year);
AuditEntry precision(Database* books, const QString& accId, int year, const QStringList& captions);

// `year`: the year whose books the backup set holds (AccountExporter::year()).
AuditEntry exported(const QString& accId, int year, const QString& folder);
// From the backup set in `sourceDir` into `targetDir`; `over` names what it replaces (empty: a new set).
AuditEntry imported(const QString& accId, const QString& year, const QString& sourceDir, const QString& targetDir,
                    const QString& over);
// Under the empty key, with the year of the set's books.
AuditEntry deleted(const QString& accId, int year, const QString& name);
// `accId` and `year`: the supervisor's own set; empty and 0 for the whole log.
AuditEntry logExported(const QString& accId, int year, const QString& file, int rows);
// 建立: the set's year `year` made from `fromYear`, under the new year.
AuditEntry yearCreated(const QString& accId, int fromYear, int year);
// 引入 of one year into its own set from the backup set in `sourceDir`: a year added, or the
// year's books and rows replaced (`replaced`); the set's other years are not touched.
AuditEntry yearImported(const QString& accId, const QString& year, const QString& sourceDir, const QString& targetDir,
                        bool replaced);
// 清空年度数据: the year's books emptied but for their options, coding scheme and chart, after
// the backup set written into `folder`.
AuditEntry yearCleared(const QString& accId, int year, const QString& folder);
// 结转上年数据 into `year` from the year before; `what` says what was carried, in Chinese.
AuditEntry carriedForward(const QString& accId, int year, const QString& what);
// 清除异常任务, under the empty key: the task (its subsystem, workstation, operator, process and
// last heartbeat) and the functions it held, as "账套[001] 2026年度 输出账套" texts.
AuditEntry taskCleared(const QString& subsystem, const QString& station, const QString& operatorId, qint64 pid,
                       const QDateTime& beat, const QStringList& held);
// A function an abnormal task held, released, under its set and year.
AuditEntry claimReleased(const QString& accId, int year, const QString& function, const QString& station,
                         const QString& operatorId);
// The installation of files at `root` moved onto the server `server` (host:port/database) with
// `books` books of sets and years: the same row in the files' log and in the server's.
AuditEntry movedToServer(const QString& root, const QString& server, int books);
// The password of the server login `role` on `server` changed (never the password itself).
AuditEntry serverPasswordChanged(const QString& role, const QString& server);
}
