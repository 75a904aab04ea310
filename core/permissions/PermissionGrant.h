#pragma once
// Adds holdings to an operator or a role for one account set and year.
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
    static void save(Database& db, const GrantRequest& request);
};
