#pragma once
// The rows of a query, read whole, with a cursor the forms move through (Eof/Bof, MoveNext,
// FindFirst); reading them at once frees the connection for the next statement.
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVector>

class Recordset {
public:
    Recordset() = default;
    Recordset(QSqlRecord columns, QVector<QVector<QVariant>> rows);

    // EOF and BOF are taken by the C library's macros.
    bool Eof() const { return m_pos >= m_rows.size() || m_rows.isEmpty(); }
    bool Bof() const { return m_pos < 0 || m_rows.isEmpty(); }
    void MoveFirst() { m_pos = 0; }
    void MoveNext() { if (m_pos < m_rows.size()) ++m_pos; }
    void MovePrevious() { if (m_pos >= 0) --m_pos; }
    void MoveLast() { m_pos = m_rows.isEmpty() ? 0 : m_rows.size() - 1; }
    void Move(int n) { m_pos = qBound(-1, m_pos + n, int(m_rows.size())); }
    int RecordCount() const { return int(m_rows.size()); }
    int AbsolutePosition() const { return m_pos; }

    // The column of the current row by name (any letter case); a null QVariant for Null.
    QVariant Fields(const QString& name) const;
    QVariant Fields(int index) const;
    // Text of a column, empty for Null.
    QString text(const QString& name) const { return Fields(name).toString(); }
    bool isNull(const QString& name) const { return Fields(name).isNull(); }
    int FieldCount() const { return m_columns.count(); }
    QString FieldName(int index) const { return m_columns.fieldName(index); }

    // Moves to the first row whose column equals value (texts without regard to case, as the
    // engine compares); NoMatch() tells whether one was found. The position stays on no match.
    bool FindFirst(const QString& column, const QVariant& value);
    bool NoMatch() const { return m_noMatch; }

private:
    QSqlRecord m_columns;
    QVector<QVector<QVariant>> m_rows;
    int m_pos = 0;
    bool m_noMatch = false;
};
