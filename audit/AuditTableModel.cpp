#include "AuditTableModel.h"

#include <Database.h>
#include <ErrLog.h>

#include <QBrush>
#include <QColor>

namespace {
// Pages kept in memory; a person scrolling through the whole log reads them again.
constexpr int kKeptPages = 64;
}

AuditTableModel::AuditTableModel(Database& db, QObject* parent)
    : QAbstractTableModel(parent)
    , m_db(db)
{
}

void AuditTableModel::setIds(QVector<qint64> ids)
{
    beginResetModel();
    m_ids = std::move(ids);
    m_pages.clear();
    endResetModel();
}

void AuditTableModel::setBroken(const QSet<qint64>& broken)
{
    m_broken = broken;
    if (!m_ids.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_ids.size()) - 1, ColumnCount - 1));
}

const QVector<AuditRow>& AuditTableModel::page(int number) const
{
    auto it = m_pages.constFind(number);
    if (it != m_pages.constEnd())
        return *it;
    if (m_pages.size() >= kKeptPages)
        m_pages.clear();
    QVector<AuditRow> rows;
    try {
        rows = AuditQuery(m_db).rows(m_ids.mid(qsizetype(number) * kPage, kPage));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("AuditTableModel"));
    }
    return *m_pages.insert(number, rows);
}

AuditRow AuditTableModel::rowAt(int row) const
{
    if (row < 0 || row >= m_ids.size())
        return {};
    const QVector<AuditRow>& p = page(row / kPage);
    const qint64 id = m_ids[row];
    const int at = row % kPage;
    // A row removed since the ids were read is missing from its page: found by its id, or blank.
    if (at < p.size() && p[at].id == id)
        return p[at];
    for (const AuditRow& r : p)
        if (r.id == id)
            return r;
    AuditRow gone;
    gone.id = id;
    return gone;
}

int AuditTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int AuditTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AuditTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool broken = m_broken.contains(m_ids.value(index.row()));
    if (role == Qt::BackgroundRole)
        return broken ? QVariant(QBrush(QColor(0xff, 0xe4, 0xe1))) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::ForegroundRole)
        return {};
    const AuditRow r = rowAt(index.row());
    if (role == Qt::ForegroundRole) {
        if (broken)
            return QBrush(QColor(0xb0, 0x00, 0x00));
        // Imported history and other modules' rows are not this installation's chain: greyed.
        return r.imported() || !r.ours() ? QVariant(QBrush(QColor(0x70, 0x70, 0x70))) : QVariant();
    }
    switch (index.column()) {
    case ColTime:
        return r.date + QLatin1Char(' ') + r.time;
    case ColStation:
        return r.station;
    case ColOsUser:
        return r.osUser;
    case ColOperator:
        return r.operatorId;
    case ColAcc:
        return r.accId;
    case ColYear:
        return r.year;
    case ColAction:
        return r.actionText();
    case ColResult:
        return shownResult(r.resultText());
    case ColReason:
        return r.reason;
    case ColDetail:
        return r.detail;
    case ColCheck:
        return r.checkText(broken);
    }
    return {};
}

QVariant AuditTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColTime: return tr("时间");
    case ColStation: return tr("站点");
    case ColOsUser: return tr("系统用户");
    case ColOperator: return tr("操作员");
    case ColAcc: return tr("账套");
    case ColYear: return tr("年度");
    case ColAction: return tr("动作");
    case ColResult: return tr("结果");
    case ColReason: return tr("原因");
    case ColDetail: return tr("详细内容");
    case ColCheck: return tr("校验");
    }
    return {};
}

QStringList AuditTableModel::results()
{
    // not translated: the values the log stores and the filter compares
    return {QStringLiteral(QT_TR_NOOP("成功")), QStringLiteral(QT_TR_NOOP("失败")), QStringLiteral(QT_TR_NOOP("拒绝"))};
}

QString AuditTableModel::shownResult(const QString& stored)
{
    return results().contains(stored) ? tr(stored.toUtf8().constData()) : stored;
}
