#include "AuditChain.h"
#include "AuditLog.h"

#include <Database.h>

#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <optional>

namespace {
struct Link {
    qint64 id;
    QString key;
    QString prev;
    QString date, time;
};

AuditCheck run(Database& db, const std::optional<QString>& onlyKey)
{
    AuditCheck out;
    QHash<QString, QSet<QString>> hashes;   // key (lower case) -> the hashes its rows carry
    QList<Link> links;
    auto problem = [&](qint64 id, const QString& key, const QString& date, const QString& time, const QString& text) {
        out.problems << AuditProblem{id, key, date, time, text};
        if (id >= 0)
            out.broken.insert(id);
    };
    try {
        QVariantList params{AuditLog::kSubId};
        if (onlyKey)
            params << *onlyKey;
        db.forEach(QStringLiteral("SELECT rowid, cHash, %1 FROM SM_Log WHERE cSub_Id=?%2 ORDER BY rowid")
                       .arg(AuditLog::kContentColumns, onlyKey ? QStringLiteral(" AND cAcc_Id=?") : QString()),
                   params, [&](const QSqlQuery& q) {
                       const qint64 id = q.value(0).toLongLong();
                       const QString stored = q.value(1).toString();
                       const AuditLog::RowContent c = AuditLog::contentAt(q, 2);
                       const QString key = c.accId.toLower();
                       ++out.checked;
                       if (stored.isEmpty())
                           problem(id, c.accId, c.date, c.time, QStringLiteral("这条记录没有校验值，不是系统管理写入的"));
                       else if (AuditLog::hashOf(c) != stored)
                           problem(id, c.accId, c.date, c.time, QStringLiteral("这条记录的内容与校验值不符，已被改动"));
                       if (!stored.isEmpty())
                           hashes[key].insert(stored);
                       if (!c.prevHash.isEmpty())
                           links << Link{id, key, c.prevHash, c.date, c.time};
                   });

        for (const Link& l : links)
            if (!hashes.value(l.key).contains(l.prev) && !out.broken.contains(l.id))
                problem(l.id, l.key, l.date, l.time, QStringLiteral("这条记录之前的记录已被删除或改动"));

        Recordset heads = onlyKey ? db.query(QStringLiteral("SELECT cAcc_Id, cHash FROM SM_LogHead WHERE cAcc_Id=?"), {*onlyKey})
                                  : db.query(QStringLiteral("SELECT cAcc_Id, cHash FROM SM_LogHead"));
        for (; !heads.Eof(); heads.MoveNext()) {
            const QString key = heads.Fields(0).toString();
            if (!hashes.value(key.toLower()).contains(heads.Fields(1).toString()))
                problem(-1, key, QString(), QString(),
                        QStringLiteral("%1最后写入的记录已被删除").arg(key.isEmpty() ? QStringLiteral("系统") : QStringLiteral("账套[%1]").arg(key)));
        }
    } catch (const DbError& e) {
        out.error = e.text();
    }
    std::stable_sort(out.problems.begin(), out.problems.end(), [](const AuditProblem& a, const AuditProblem& b) {
        if ((a.id < 0) != (b.id < 0))
            return b.id < 0;
        if (a.date != b.date)
            return a.date < b.date;
        if (a.time != b.time)
            return a.time < b.time;
        return a.id < b.id;
    });
    return out;
}
} // namespace

QString AuditCheck::summary() const
{
    if (!error.isEmpty())
        return QStringLiteral("日志无法校验：") + error;
    if (problems.isEmpty())
        return QString();
    const AuditProblem& p = problems.first();
    const QString where = p.id >= 0 ? QStringLiteral("最早一处在 %1 %2：").arg(p.date, p.time) : QString();
    return QStringLiteral("日志已被改动（%1 处）。%2%3").arg(QString::number(problems.size()), where, p.text);
}

namespace AuditChain {
AuditCheck check(Database& db)
{
    return run(db, std::nullopt);
}

AuditCheck checkKey(Database& db, const QString& accId)
{
    return run(db, accId);
}
}
