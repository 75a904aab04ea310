#pragma once
// Adding, changing and deleting operators. Each change and its audit-log row are one transaction
// of the system database: the row commits with the change or not at all, and a change that fails
// leaves its failed row after the rollback.
#include "UsersOutcome.h"

#include <AuditLog.h>

#include <QStringList>

class Database;

// An operator as typed into its dialog. Identifiers are checked trimmed and kept as typed.
struct OperatorInput {
    QString id;
    QString name;
    QString password;
    QString confirmation;
    QString dept;
    QString tk;           // new operators only: the messenger number
    QStringList roles;    // new operators only: the roles ticked
    bool cancelled = false;   // changes only: 注销
};

namespace OperatorWork {
// The checks of a new operator before anything is written: nothing said for an empty identifier
// or name; differing passwords; an identifier the lists cannot carry; one already in `listed`
// (",id,id,", the dialog's list). Passes (Write) with the password's stored form.
AddOutcome checkNew(const OperatorInput& in, const QString& listed);
// Writes the operator and its roles. A key the engine already holds is told as such.
AddOutcome add(Database& sysDb, const AuditContext& who, const OperatorInput& in, const QString& stored);
// Offers the operator to the mirror system database at `mirrorPath` (nothing when empty): an
// operator the mirror already holds is told, as is any other refusal; the system database keeps it.
Notice addToMirror(const QString& mirrorPath, const OperatorInput& in, const QString& stored);

// The checks of a change before anything is read: nothing said for an empty name, differing
// passwords when `newPassword` (either box was edited). Empty with done == true when it passes.
UsersOutcome checkChange(const OperatorInput& in, bool newPassword);
// Writes the name, department and state, and the password when `newPassword`. An operator
// removed meanwhile is told, and nothing is logged.
UsersOutcome change(Database& sysDb, const AuditContext& who, const OperatorInput& in, bool newPassword);

// Deletes the operator with its holdings; its role memberships stay.
UsersOutcome remove(Database& sysDb, const AuditContext& who, const QString& id);
}
