#pragma once
// The writes on an operator's or a role's holdings in one account set: grants, the supervisor
// right and the removal of everything held. Each is one transaction with its audit-log row.
#include <AuditLog.h>

#include <QString>
#include <QStringList>

class Database;

struct GrantRequest {
    QString accId;
    int year = 0;
    QString member;          // operator or role identifier
    QStringList authIds;     // written in this order
};

class PermissionGrant {
public:
    // Each permission is deleted and added again, so one already held stays one row.
    // All or nothing: a refused statement rolls the whole grant back and throws DbError.
    static void save(Database& db, const GrantRequest& request, const AuditContext& who = {});
    // The member becomes the set's supervisor for the year; already one, the one row stays.
    static void setSupervisor(Database& db, const QString& accId, int year, const QString& member, const AuditContext& who = {});
    // Removes everything the member holds in the set, every year: the supervisor right with the
    // rest (`asSupervisor` says which of the two the person asked for). `year`, the one the person
    // works in, is the log row's. Throws DbError.
    static void removeAll(Database& db, const QString& accId, int year, const QString& member, bool asSupervisor,
                          const AuditContext& who = {});
};
