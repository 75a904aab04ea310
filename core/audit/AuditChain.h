#pragma once
// Checks the chain of the log's rows. Each of the system management's rows (cSub_Id "AA") must
// carry the hash of its own content and no other row's hash; its predecessor's hash must be that of
// a row of the same key, and only a key's first row may have none; each key's head (SM_LogHead)
// must name its last row, with that row's hash and the number of rows before it. So a row changed
// without its hash recomputed, a copy of a row, a row taken out of the middle or the end (the head
// made to match or not), and a row slipped in without the hash scheme are each found. Someone who
// knows the scheme and rewrites every later row and the head is not: the hash has no key.
// Rows that came with an imported backup set are the set's history, not this installation's
// chain: each must still give its hash and follow a row of its key (or begin a history), and no
// head counts them. Other modules' rows are not checked, only counted.
#include <QList>
#include <QSet>
#include <QString>

class Database;

struct AuditProblem {
    qint64 id = -1;    // the row's rowid; -1 when the row concerned is gone
    QString accId;     // its key
    QString date;      // when the row says it was written (empty when it is gone)
    QString time;
    QString text;      // what is wrong, in words
};

struct AuditCheck {
    QList<AuditProblem> problems;   // earliest first; rows that are gone last
    QSet<qint64> broken;            // the rows concerned
    int checked = 0;                // rows of this installation's chain that were checked
    int imported = 0;               // rows of imported history, checked apart
    int foreign = 0;                // other modules' rows, not checked
    QString error;                  // the log could not be read at all

    bool intact() const { return problems.isEmpty() && error.isEmpty(); }
    // "日志已被改动：..." naming the first break; empty when intact.
    QString summary() const;
};

namespace AuditChain {
// Every key's chain.
AuditCheck check(Database& db);
// One set's chain (the empty key: the installation-wide rows).
AuditCheck checkKey(Database& db, const QString& accId);
}
