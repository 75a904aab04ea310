#include "Recordset.h"

Recordset::Recordset(QSqlRecord columns, QVector<QVector<QVariant>> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{
}

QVariant Recordset::Fields(const QString& name) const
{
    return Fields(m_columns.indexOf(name));
}

QVariant Recordset::Fields(int index) const
{
    if (Eof() || Bof() || index < 0 || index >= m_columns.count())
        return QVariant();
    return m_rows[m_pos].value(index);
}

bool Recordset::FindFirst(const QString& column, const QVariant& value)
{
    const int idx = m_columns.indexOf(column);
    m_noMatch = true;
    if (idx < 0)
        return false;
    const bool text = value.typeId() == QMetaType::QString;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariant& v = m_rows[i].value(idx);
        if (v.isNull())
            continue;
        const bool eq = text ? v.toString().compare(value.toString(), Qt::CaseInsensitive) == 0 : v == value;
        if (eq) {
            m_pos = i;
            m_noMatch = false;
            return true;
        }
    }
    return false;
}
