#pragma once
// What the log viewer reads: the rows that pass a filter, newest first, as their ids (cheap for a
// hundred thousand rows), the rows of one page by id, the values the filters offer, and the
// filtered rows written out as CSV. Only reads: nothing here changes or deletes a row.
#include <AuditLog.h>
#include <Words.h>

#include <QDate>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class Database;

struct AuditFilter {
    QDate from;                       // invalid: no lower bound
    QDate to;                         // invalid: no upper bound
    QString operatorId;               // empty: every operator
    std::optional<QString> accId;     // none: every key; "" the installation-wide rows
    QString action;                   // the console's action code; empty: every action
    QString result;                   // the console's 成功, 失败 or 拒绝; empty: every outcome
};

// A row as the viewer shows it: its content, its id and where it came from.
struct AuditRow : AuditLog::RowContent {
    qint64 id = 0;
    QString origin;   // empty: written here; else it came with an imported backup set

    // A row of the system management (cSub_Id "AA"); another module's row only shares the table.
    bool ours() const;
    bool imported() const { return !origin.isEmpty(); }
    // The action in words for the console's rows; another module's as "[module] its code", so a
    // row of another module is never taken for an action of the console.
    QString actionText() const;
    // The console's outcome; empty for another module's row (its outcome is not the console's).
    QString resultText() const;
    // What the check column says: a break, imported history, another module's row, or nothing.
    QString checkText(bool broken) const;
};

class AuditQuery {
public:
    explicit AuditQuery(Database& db) : m_db(db) {}

    // The ids of the rows that pass, newest first (date, time, then the order they were written).
    QVector<qint64> ids(const AuditFilter& filter);
    // The rows of `ids`, in that order; ids no longer there are left out.
    QVector<AuditRow> rows(const QVector<qint64>& ids);
    // The operators and the sets that appear in the log (of `accId` alone when given), sorted.
    QStringList operators(const std::optional<QString>& accId = std::nullopt);
    QStringList sets();
    // The first and the last day the log holds (invalid when it is empty).
    QPair<QDate, QDate> dateRange(const std::optional<QString>& accId = std::nullopt);

    // The rows of `ids` as a CSV file a spreadsheet opens with its Chinese intact (UTF-8 with a
    // byte-order mark, CR LF, every field quoted); rows in `broken` are marked in the last column.
    // The file is replaced only when complete. False with the reason in `error`.
    bool exportCsv(const QVector<qint64>& ids, const QString& path, const QSet<qint64>& broken, QString* error);
    // The same with the reason in both forms: the export's log row keeps it in Chinese.
    bool exportCsv(const QVector<qint64>& ids, const QString& path, const QSet<qint64>& broken, Words* error);

private:
    Database& m_db;
};
