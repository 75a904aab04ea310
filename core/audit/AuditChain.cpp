#include "AuditChain.h"
#include "AuditLog.h"

#include <Database.h>

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <optional>

namespace {
struct Link {
    qint64 id;
    QString key;
    bool imported;
    QString prev;
    QString date, time;
};

// One key's rows of one kind (this installation's, or imported history), as far as read.
struct KeyRows {
    QSet<QString> hashes;
    qint64 rows = 0;
    qint64 lastId = -1;
    QString lastHash;
};

QString keyName(const QString& key)
{
    return key.isEmpty() ? QCoreApplication::translate("AuditCheck", "系统") : QCoreApplication::translate("AuditCheck", "账套[%1]").arg(key);
}

// One check of the log: each row against its hash, each link against the rows before it, each head
// against its key's last row.
class ChainCheck {
public:
    AuditCheck out;

    void readRows(Database& db, const std::optional<QString>& onlyKey)
    {
        QVariantList params{AuditLog::kSubId};
        if (onlyKey)
            params << *onlyKey;
        const QString keyFilter = onlyKey ? QStringLiteral(" AND cAcc_Id=?") : QString();
        db.forEach(QStringLiteral("SELECT rowid, cHash, cOrigin, %1 FROM SM_Log WHERE cSub_Id=?%2 ORDER BY rowid")
                       .arg(AuditLog::kContentColumns, keyFilter),
                   params, [&](const RowView& q) { readRow(q); });
        out.foreign = db.scalar(QStringLiteral("SELECT count(*) FROM SM_Log WHERE (cSub_Id IS NULL OR cSub_Id<>?)%1").arg(keyFilter), params)
                          .toInt();
    }

    // This installation's rows follow its own; imported history may also follow a row that is
    // here already (rows of the set that went out from here and came back).
    void checkLinks()
    {
        for (const Link& l : links) {
            const bool found = own.value(l.key).hashes.contains(l.prev) || (l.imported && imported.value(l.key).hashes.contains(l.prev));
            if (!found && !out.broken.contains(l.id))
                problem(l.id, l.key, l.date, l.time, QCoreApplication::translate("AuditCheck", "这条记录之前的记录已被删除或改动"));
        }
    }

    // The head names the key's last row, its hash and the count of its rows.
    void checkHeads(Database& db, const std::optional<QString>& onlyKey)
    {
        Recordset heads = onlyKey ? db.query(QStringLiteral("SELECT cAcc_Id, cHash, iRows, iLastId FROM SM_LogHead WHERE cAcc_Id=?"), {*onlyKey})
                                  : db.query(QStringLiteral("SELECT cAcc_Id, cHash, iRows, iLastId FROM SM_LogHead"));
        QSet<QString> headed;
        for (; !heads.Eof(); heads.MoveNext()) {
            const QString key = heads.Fields(0).toString();
            headed << key.toLower();
            const KeyRows k = own.value(key.toLower());
            const QVariant rows = heads.Fields(2);
            const QString name = keyName(key);
            auto gone = [&](const QString& text) { problem(-1, key, QString(), QString(), text); };
            if (rows.isNull())
                gone(QCoreApplication::translate("AuditCheck", "%1的日志头已被删除或改动，最后写入的记录无从核对").arg(name));
            else if (k.rows < rows.toLongLong())
                gone(QCoreApplication::translate("AuditCheck", "%1最后写入的 %2 条记录已被删除").arg(name).arg(rows.toLongLong() - k.rows));
            else if (k.rows > rows.toLongLong())
                gone(QCoreApplication::translate("AuditCheck", "%1多出 %2 条记录，是在日志之外加入的").arg(name).arg(k.rows - rows.toLongLong()));
            else if (k.lastHash != heads.Fields(1).toString() || k.lastId != heads.Fields(3).toLongLong())
                gone(QCoreApplication::translate("AuditCheck", "%1最后写入的记录已被删除或替换").arg(name));
        }
        for (auto it = own.cbegin(); it != own.cend(); ++it)
            if (!headed.contains(it.key()))
                problem(-1, it.key(), QString(), QString(), QCoreApplication::translate("AuditCheck", "%1的日志头已被删除").arg(keyName(it.key())));
    }

    // Rows in the order they were written, then what is missing at the ends.
    void sortProblems()
    {
        std::stable_sort(out.problems.begin(), out.problems.end(), [](const AuditProblem& a, const AuditProblem& b) {
            if ((a.id < 0) != (b.id < 0))
                return b.id < 0;
            if (a.date != b.date)
                return a.date < b.date;
            if (a.time != b.time)
                return a.time < b.time;
            return a.id < b.id;
        });
    }

private:
    QHash<QString, KeyRows> own, imported;   // key (lower case) -> its rows
    QList<Link> links;

    void problem(qint64 id, const QString& key, const QString& date, const QString& time, const QString& text)
    {
        out.problems << AuditProblem{id, key, date, time, text};
        if (id >= 0)
            out.broken.insert(id);
    }

    void readRow(const RowView& q)
    {
        const qint64 id = q.value(0).toLongLong();
        const QString stored = q.value(1).toString();
        const bool fromImport = !q.value(2).toString().isEmpty();
        const AuditLog::RowContent c = AuditLog::contentAt(q, 3);
        const QString key = c.accId.toLower();
        KeyRows& k = (fromImport ? imported : own)[key];
        ++(fromImport ? out.imported : out.checked);
        const QString which = fromImport ? QCoreApplication::translate("AuditCheck", "这条引入的记录") : QCoreApplication::translate("AuditCheck", "这条记录");
        const bool first = k.rows == 0;
        ++k.rows;
        k.lastId = id;
        k.lastHash = stored;
        if (stored.isEmpty())
            problem(id, c.accId, c.date, c.time, which + QCoreApplication::translate("AuditCheck", "没有校验值，不是系统管理写入的"));
        else if (AuditLog::hashOf(c) != stored)
            problem(id, c.accId, c.date, c.time, which + QCoreApplication::translate("AuditCheck", "的内容与校验值不符，已被改动"));
        else if (k.hashes.contains(stored))
            problem(id, c.accId, c.date, c.time, which + QCoreApplication::translate("AuditCheck", "与前面的一条记录完全相同，是复制出来的"));
        // A chain begins once per key; imported history may hold several (each
        // installation the set has passed through began its own).
        else if (c.prevHash.isEmpty() && !first && !fromImport)
            problem(id, c.accId, c.date, c.time, QCoreApplication::translate("AuditCheck", "这条记录不接在任何记录之后，却不是%1的第一条记录").arg(keyName(c.accId)));
        if (!stored.isEmpty())
            k.hashes.insert(stored);
        if (!c.prevHash.isEmpty())
            links << Link{id, key, fromImport, c.prevHash, c.date, c.time};
    }
};

AuditCheck run(Database& db, const std::optional<QString>& onlyKey)
{
    ChainCheck check;
    try {
        check.readRows(db, onlyKey);
        check.checkLinks();
        check.checkHeads(db, onlyKey);
    } catch (const DbError& e) {
        check.out.error = e.text();
    }
    check.sortProblems();
    return check.out;
}
} // namespace

QString AuditCheck::summary() const
{
    if (!error.isEmpty())
        return QCoreApplication::translate("AuditCheck", "日志无法校验：") + error;
    if (problems.isEmpty())
        return QString();
    const AuditProblem& p = problems.first();
    const QString where = p.id >= 0 ? QCoreApplication::translate("AuditCheck", "最早一处在 %1 %2：").arg(p.date, p.time) : QString();
    return QCoreApplication::translate("AuditCheck", "日志已被改动（%1 处）。%2%3").arg(QString::number(problems.size()), where, p.text);
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
