#pragma once
// The log viewer's rows: the ids of the rows that pass the filter, newest first, with the rows
// themselves read a page at a time as the view shows them, so a hundred thousand rows open as
// fast as one page.
#include <AuditQuery.h>

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>

class Database;

class AuditTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColTime, ColStation, ColOsUser, ColOperator, ColAcc, ColYear, ColAction, ColResult, ColReason, ColDetail, ColCheck, ColumnCount };
    static constexpr int kPage = 200;

    explicit AuditTableModel(Database& db, QObject* parent = nullptr);

    void setIds(QVector<qint64> ids);
    const QVector<qint64>& ids() const { return m_ids; }
    // Rows whose chain is broken: marked "日志已被改动" and in red.
    void setBroken(const QSet<qint64>& broken);
    const QSet<qint64>& broken() const { return m_broken; }
    // The row at `row` of the view (read when not yet read).
    AuditRow rowAt(int row) const;
    // The outcomes the log stores (成功, 失败, 拒绝), the filter's values.
    static QStringList results();
    // A stored outcome in the words of the console's language; the stored text stays Chinese.
    static QString shownResult(const QString& stored);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const QVector<AuditRow>& page(int number) const;

    Database& m_db;
    QVector<qint64> m_ids;
    QSet<qint64> m_broken;
    mutable QHash<int, QVector<AuditRow>> m_pages;
};
