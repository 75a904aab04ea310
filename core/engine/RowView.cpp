#include "RowView.h"
#include "ServerStatement.h"

#include <QSqlQuery>

QVariant RowView::value(int index) const
{
    return m_query ? m_query->value(index) : m_result->value(m_row, index);
}
