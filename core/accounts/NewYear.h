#pragma once
// 建立 (年度账): the next year of an account set, made from its latest year. The year's row,
// periods, grants and enabled subsystems in the system database, and its books holding the latest
// year's options, coding scheme, precision and chart of accounts, nothing else: one step that
// either makes all of it or leaves nothing, on files and on a server alike.
#include "AccountSetCreator.h"

#include <AuditLog.h>
#include <Outcome.h>
#include <Words.h>

#include <QString>

class Database;

class NewYear {
public:
    // The last year a set may have: the end of the range its start year is chosen from.
    static constexpr int kLastYear = 2050;

    // `who` is named in the audit-log row written with the year.
    explicit NewYear(Database& sysDb, const AuditContext& who = {});

    struct Plan {
        QString accId, accName;
        QString operatorId;
        int fromYear = 0, newYear = 0;
        Notice refusal;    // why the year cannot be made; empty when it may go on
        Notice question;   // the confirmation to ask, naming the set and both years
        bool ok() const { return refusal.isEmpty(); }
    };

    // What 建立 would do for the set `accId` asked by `operatorId`, who must be its supervisor
    // (its cAcc_Master, or holding 'admin' in SM_HoldAuth for its latest year) or the
    // administrator. Reads only.
    Plan plan(const QString& accId, const QString& operatorId);

    // Makes the plan's year, checking again what plan() checked. Done: `success` says so and
    // `accountDbPath` names the new books (a file, or on a server their schema). Failed: nothing
    // of the year is written and `notice` says why.
    AccountSetOutcome make(const Plan& plan);

private:
    AccountSetOutcome makeYear(const Plan& plan);
    // Why the year after `fromYear` cannot be made now, or empty words.
    Words check(const QString& accId, int fromYear, const QString& operatorId);
    QString serverBooks(const Plan& plan);
    QString fileBooks(const Plan& plan, const QString& accPath, QStringList& made, QString& placed);

    Database& m_sysDb;
    AuditContext m_who;
};
