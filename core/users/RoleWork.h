#pragma once
// Adding, changing and deleting roles and their members. Each change and its audit-log rows are
// one transaction of the system database; a change that fails leaves its failed row after the
// rollback, a refused deletion its refused row.
#include "UsersOutcome.h"

#include <AuditLog.h>

#include <QList>
#include <QPair>
#include <QStringList>

class Database;

// A role as typed into its dialog. The identifier is checked trimmed and kept as typed.
struct RoleInput {
    QString id;
    QString name;
    QString memo;
};

namespace RoleWork {
// The checks of a new role before anything is written: nothing said for an empty identifier or
// name; an identifier the lists cannot carry; one already in `listed` (",id,id,").
AddOutcome checkNew(const RoleInput& in, const QString& listed);
// Writes the role with `members` (operator identifiers). A key the engine already holds is told as such.
AddOutcome add(Database& sysDb, const AuditContext& who, const RoleInput& in, const QStringList& members);

// Writes the name and the remark, and each offered operator's membership as ticked (an operator
// not offered keeps what it has). Nothing is done for an empty identifier or name; a role removed
// meanwhile is told. Done: the notice says so.
UsersOutcome change(Database& sysDb, const AuditContext& who, const RoleInput& in, const QList<QPair<QString, bool>>& offered);

// Whether the role may be deleted (done): not while it has a member, even one whose operator is
// gone (the refused row is written and the notice says why).
UsersOutcome mayDelete(Database& sysDb, const AuditContext& who, const QString& id);
// Deletes the role; its holdings stay.
UsersOutcome remove(Database& sysDb, const AuditContext& who, const QString& id);
}
