#pragma once
// One row of a result read a row at a time (Database::forEach), from either engine: the values of
// its columns by position, as the engine's driver types them.
#include <QVariant>

class QSqlQuery;
namespace ServerStatement {
class Result;
}

class RowView {
public:
    explicit RowView(const QSqlQuery& query)
        : m_query(&query)
    {
    }
    RowView(const ServerStatement::Result& result, int row)
        : m_result(&result)
        , m_row(row)
    {
    }
    // The column at `index`; a null QVariant of the column's type for Null.
    QVariant value(int index) const;

private:
    const QSqlQuery* m_query = nullptr;
    const ServerStatement::Result* m_result = nullptr;
    int m_row = 0;
};
