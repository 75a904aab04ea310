#pragma once
// An operator changes its own password: the old one typed must match the stored form the login
// read, the new one is typed twice. The new password and its audit-log row are one transaction.
#include "UsersOutcome.h"

#include <AuditLog.h>

#include <QCoreApplication>

#include <functional>

class Database;

class PasswordChange {
    Q_DECLARE_TR_FUNCTIONS(PasswordChange)

public:
    // Runs a slow step (checking the old password, hashing the new one: a good part of a second
    // each); the console runs it off its window's thread so the window keeps painting. Empty: here.
    using SlowStep = std::function<void(const std::function<void()>& step)>;

    // `sysDb` may be null: the system database is not open, which is told once the old password matched.
    PasswordChange(Database* sysDb, const AuditContext& who, SlowStep slow = {});

    // `stored`: the password column as the login read it for `userId`. A wrong old password leaves
    // a refused row; an operator removed meanwhile is told as a wrong old password.
    UsersOutcome change(const QString& userId, const QString& stored, const QString& oldPassword, const QString& newPassword,
                        const QString& confirmation);

    // The title of its messages, in the console's language.
    static QString title() { return tr("设置操作员口令"); }

private:
    Database* m_db;
    AuditContext m_who;
    SlowStep m_slow;
};
