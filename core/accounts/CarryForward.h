#pragma once
// 结转上年数据: the configuration of the year before carried into the year logged into. Accounts
// of the year before that this year lacks are added, and accounts of both whose name or flags
// differ take the year before's; an account only this year has is never removed. The coding scheme
// and the precision follow the year before only while this year's are still what 建立 copied
// (YearConfig says how that is known). plan() says what would change and writes nothing; apply()
// writes it in one transaction of the year's books, with its audit-log row.
#include <AuditLog.h>
#include <Outcome.h>

#include <QList>
#include <QString>
#include <QStringList>

class Database;

class CarryForward {
public:
    explicit CarryForward(Database& sysDb, const AuditContext& who = {});

    // One account the carry adds or changes; `change` in the console's language.
    struct Line {
        QString code, name, change;
    };
    struct Plan {
        QString accId;
        int year = 0;              // carried into, from year - 1
        QStringList added;         // codes of the year before missing here
        QStringList changed;       // codes of both whose name or flags differ
        bool scheme = false;       // the coding scheme follows the year before
        bool precision = false;    // so does the precision
        QList<Line> lines;         // one per added or changed account, in code order
        QString summary;           // what will change, or that nothing needs carrying (shown)
        QString stored;            // the same in Chinese, for the log row
        Notice refusal;            // why nothing can be carried; empty when it may go on
        bool ok() const { return refusal.isEmpty(); }
        bool nothing() const { return added.isEmpty() && changed.isEmpty() && !scheme && !precision; }
    };
    struct Outcome {
        bool done = false;
        Notice notice;   // the message to show: the success, or why nothing was written
        QString error;   // the engine's or the refusal's text, for logs and tools
    };

    // What carrying into `year` of `accId` would change. Reads only.
    Plan plan(const QString& accId, int year);
    // Writes the plan. A plan with nothing to carry writes nothing and says so.
    Outcome apply(const Plan& plan);

private:
    Database& m_sysDb;
    AuditContext m_who;
};
