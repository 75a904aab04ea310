#include "AuditQuery.h"
#include "AuditEvents.h"

#include <Database.h>

#include <QCoreApplication>
#include <QHash>
#include <QSaveFile>

namespace {
constexpr int kBatch = 200;

// A spreadsheet takes a field beginning with these as a formula: a name typed into the console
// must stay text.
QString csvField(const QString& text)
{
    QString t = text;
    if (!t.isEmpty() && QStringLiteral("=+-@\t\r").contains(t.front()))
        t.prepend(QLatin1Char('\''));
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}
} // namespace

bool AuditRow::ours() const
{
    return subId.compare(AuditLog::kSubId, Qt::CaseInsensitive) == 0;
}

QString AuditRow::actionText() const
{
    if (ours())
        return Audit::actionName(action);
    return action.isEmpty() ? QStringLiteral("[%1]").arg(subId) : QStringLiteral("[%1] %2").arg(subId, action);
}

QString AuditRow::resultText() const
{
    return ours() ? result : QString();
}

QString AuditRow::checkText(bool broken) const
{
    if (broken)
        return QCoreApplication::translate("AuditRow", "日志已被改动");
    if (!ours())
        return QCoreApplication::translate("AuditRow", "其他模块，未校验");
    return imported() ? QCoreApplication::translate("AuditRow", "引入的历史") : QString();
}

QVector<qint64> AuditQuery::ids(const AuditFilter& f)
{
    QStringList where;
    QVariantList params;
    if (f.from.isValid()) {
        where << QStringLiteral("dDate>=?");
        params << f.from;
    }
    if (f.to.isValid()) {
        where << QStringLiteral("dDate<=?");
        params << f.to;
    }
    if (!f.operatorId.isEmpty()) {
        where << QStringLiteral("cUser_Id=?");
        params << f.operatorId;
    }
    if (f.accId) {
        where << QStringLiteral("coalesce(cAcc_Id,'')=?");
        params << *f.accId;
    }
    // An action and an outcome are the console's: another module's row never passes for one.
    if (!f.action.isEmpty()) {
        where << QStringLiteral("cAction=? AND cSub_Id=?");
        params << f.action << AuditLog::kSubId;
    }
    if (!f.result.isEmpty()) {
        where << QStringLiteral("cResult=? AND cSub_Id=?");
        params << f.result << AuditLog::kSubId;
    }
    const QString sql = QStringLiteral("SELECT rowid FROM SM_Log%1 ORDER BY dDate DESC, cTime DESC, rowid DESC")
                            .arg(where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND ")));
    QVector<qint64> out;
    m_db.forEach(sql, params, [&](const RowView& q) { out << q.value(0).toLongLong(); });
    return out;
}

QVector<AuditRow> AuditQuery::rows(const QVector<qint64>& ids)
{
    QHash<qint64, AuditRow> found;
    for (qsizetype start = 0; start < ids.size(); start += kBatch) {
        const qsizetype n = std::min<qsizetype>(kBatch, ids.size() - start);
        QVariantList params;
        for (qsizetype i = 0; i < n; ++i)
            params << ids[start + i];
        QStringList marks(n, QStringLiteral("?"));
        m_db.forEach(QStringLiteral("SELECT rowid, cOrigin, %1 FROM SM_Log WHERE rowid IN (%2)").arg(AuditLog::kContentColumns, marks.join(QLatin1Char(','))),
                     params, [&](const RowView& q) {
                         AuditRow r;
                         static_cast<AuditLog::RowContent&>(r) = AuditLog::contentAt(q, 2);
                         r.id = q.value(0).toLongLong();
                         r.origin = q.value(1).toString();
                         found.insert(r.id, r);
                     });
    }
    QVector<AuditRow> out;
    out.reserve(found.size());
    for (qint64 id : ids)
        if (found.contains(id))
            out << found.value(id);
    return out;
}

QStringList AuditQuery::operators(const std::optional<QString>& accId)
{
    QStringList out;
    const auto add = [&](const RowView& q) { out << q.value(0).toString(); };
    if (accId)
        m_db.forEach(QStringLiteral("SELECT DISTINCT cUser_Id FROM SM_Log WHERE coalesce(cAcc_Id,'')=? AND cUser_Id<>'' ORDER BY cUser_Id"), {*accId}, add);
    else
        m_db.forEach(QStringLiteral("SELECT DISTINCT cUser_Id FROM SM_Log WHERE cUser_Id<>'' ORDER BY cUser_Id"), {}, add);
    return out;
}

QStringList AuditQuery::sets()
{
    QStringList out;
    m_db.forEach(QStringLiteral("SELECT DISTINCT cAcc_Id FROM SM_Log WHERE cAcc_Id<>'' ORDER BY cAcc_Id"), {},
                 [&](const RowView& q) { out << q.value(0).toString(); });
    return out;
}

QPair<QDate, QDate> AuditQuery::dateRange(const std::optional<QString>& accId)
{
    Recordset r = accId ? m_db.query(QStringLiteral("SELECT min(dDate), max(dDate) FROM SM_Log WHERE coalesce(cAcc_Id,'')=?"), {*accId})
                        : m_db.query(QStringLiteral("SELECT min(dDate), max(dDate) FROM SM_Log"));
    if (r.Eof())
        return {};
    return {QDate::fromString(r.Fields(0).toString(), Qt::ISODate), QDate::fromString(r.Fields(1).toString(), Qt::ISODate)};
}

namespace {
// Why the file could not be written, as a sentence naming it; the system's own words only quoted after it.
Words notWritten(const QString& path, const QSaveFile& file)
{
    return Words::of("AuditQuery", QT_TRANSLATE_NOOP("AuditQuery", "无法写入文件 %1（详情：“%2”）"), path, file.errorString());
}
} // namespace

bool AuditQuery::exportCsv(const QVector<qint64>& ids, const QString& path, const QSet<qint64>& broken, QString* error)
{
    Words why;
    const bool written = exportCsv(ids, path, broken, &why);
    if (!written && error)
        *error = why.shown;
    return written;
}

bool AuditQuery::exportCsv(const QVector<qint64>& ids, const QString& path, const QSet<qint64>& broken, Words* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = notWritten(path, file);
        return false;
    }
    // The headings in the console's language; the values as the log keeps them.
    static const char* const header[] = {
        QT_TRANSLATE_NOOP("AuditQuery", "日期"), QT_TRANSLATE_NOOP("AuditQuery", "时间"), QT_TRANSLATE_NOOP("AuditQuery", "站点"),
        QT_TRANSLATE_NOOP("AuditQuery", "系统用户"), QT_TRANSLATE_NOOP("AuditQuery", "操作员"), QT_TRANSLATE_NOOP("AuditQuery", "账套"),
        QT_TRANSLATE_NOOP("AuditQuery", "年度"), QT_TRANSLATE_NOOP("AuditQuery", "动作"), QT_TRANSLATE_NOOP("AuditQuery", "结果"),
        QT_TRANSLATE_NOOP("AuditQuery", "原因"), QT_TRANSLATE_NOOP("AuditQuery", "详细内容"), QT_TRANSLATE_NOOP("AuditQuery", "校验")};
    QByteArray out("\xEF\xBB\xBF");
    QStringList fields;
    for (const char* h : header)
        fields << csvField(QCoreApplication::translate("AuditQuery", h));
    out += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    for (qsizetype start = 0; start < ids.size(); start += 1000) {
        const QVector<AuditRow> page = rows(ids.mid(start, 1000));
        for (const AuditRow& r : page) {
            fields.clear();
            for (const QString& v : {r.date, r.time, r.station, r.osUser, r.operatorId, r.accId, r.year, r.actionText(), r.resultText(),
                                     r.reason, r.detail, r.checkText(broken.contains(r.id))})
                fields << csvField(v);
            out += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
        }
        if (file.write(out) != out.size()) {
            if (error)
                *error = notWritten(path, file);
            file.cancelWriting();
            return false;
        }
        out.clear();
    }
    if (!file.commit()) {
        if (error)
            *error = notWritten(path, file);
        return false;
    }
    return true;
}
