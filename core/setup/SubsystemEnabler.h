#pragma once
// The writes behind enabling and disabling a module for an account set: the module's
// SM_Account_sub rows in the system database and, for the general ledger, the ledger start
// date in the set's account database.
#include <AuditLog.h>

#include <QCoreApplication>
#include <QDate>
#include <QString>

class Database;

struct SubsystemStart {
    QString accId;       // account set number
    QString subId;       // module code: "FA", "GL", "WA", "GX" (or another two-letter code)
    QDate date;          // the day chosen; its year and month are the module's start period
    // Where the set's books are (AccountDb::location: a file's path, or on a server their
    // schema); needed only for "GL".
    QString accDbPath;
};

class SubsystemEnabler {
    Q_DECLARE_TR_FUNCTIONS(SubsystemEnabler)

public:
    // `who` is named in the audit-log row each change writes in its transaction.
    explicit SubsystemEnabler(Database& sysDb, const AuditContext& who = {}) : m_sysDb(sysDb), m_who(who) {}

    // The refusal message for a chosen start period, or an empty text when it may be used:
    // a module starts in the set's start year, in its start month or later. Blank start
    // values (a set without its SM_Account row) refuse every period.
    static QString checkPeriod(const QString& startYear, const QString& startMonth, int year, int month);

    // Writes the real-year row and the 9999 row of the module (WA keeps its start month minus
    // one in iModiPeri and no date; the others keep 0 and the first day of the month) and, for
    // GL, the chosen day as the ledger start date. Rows the module already has for those two
    // years are replaced, so choosing a new date for an enabled module just moves it.
    // All of it happens in one transaction over both databases: on any failure (DbError is
    // thrown) nothing stays written.
    void enable(const SubsystemStart& start);

    // Deletes every row of the module for the set, whatever its year; the log row names the year
    // the module was enabled in. Throws DbError.
    void disable(const QString& accId, const QString& subId);

private:
    Database& m_sysDb;
    AuditContext m_who;
};
