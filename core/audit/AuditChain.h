#pragma once
// Checks the chain of the log's rows: each of the system management's rows (cSub_Id "AA") must
// carry the hash of its own content, its predecessor's hash must be that of a row of the same key,
// and each key's last hash (SM_LogHead) must be that of one of its rows. So a row changed without
// its hash recomputed, a row taken out of the middle or the end, and a row slipped in without the
// hash scheme are each found. Someone who knows the scheme and rewrites every later row and the
// head is not: the hash has no key.
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
    int checked = 0;                // rows whose chain was checked
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
