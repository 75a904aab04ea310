#pragma once
// A grid addressed by row and column: row 0 is the fixed heading row (shown as the
// table's header so it stays in view), Rows and Cols count it, sizes are in twips,
// a height of 0 hides a row and a width of 0 hides a column. Cells are not edited in
// place: forms handle keys themselves through keyPressed.
#include <QColor>
#include <QTableWidget>

class FlexGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);

    int Rows() const;
    void setRows(int rows);            // keeps existing cells
    int Cols() const;
    void setCols(int cols);
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);          // 0 or 1
    int FixedCols() const { return m_fixedCols; }
    void setFixedCols(int n);          // fixed columns are grey and never current

    // "^" centres a heading, "<" left, ">" right; "|" separates columns; sets Cols.
    void setFormatString(const QString& format);

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    int ColWidth(int col) const;        // twips
    void setColWidth(int col, int twips);
    // Widens a column so that its heading and every cell show their whole text (never narrower),
    // again when the grid is shown (its final font is known only then).
    void fitColWidth(int col);
    int RowHeight(int row) const;       // twips
    void setRowHeight(int row, int twips);
    void setRowHeightMin(int twips);
    void setColAlignment(int col, Qt::Alignment a);

    // Current cell, in grid coordinates (row 0 is the heading).
    int Row() const;
    void setRow(int row);
    int Col() const;
    void setCol(int col);
    QString Text() const { return TextMatrix(Row(), Col()); }
    void setText(const QString& t) { setTextMatrix(Row(), Col(), t); }

    int TopRow() const;
    void setTopRow(int row);

    QColor CellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor& c);   // an invalid colour restores the default
    void setCellForeColor(int row, int col, const QColor& c);
    // Sets the background of the current cell (Row, Col).
    void setCellBackColor(const QColor& c) { setCellBackColor(Row(), Col(), c); }
    void setBackColor(const QColor& c);   // background of the scrollable cells
    void setHeaderFontPointSize(int pt);

    // Removes every data row and empties the heading texts' cells (keeps Cols).
    void Clear();

signals:
    void Click();
    void DblClick();
    void EnterCell();
    void keyPressed(QKeyEvent* event);   // set event->accept() to stop default navigation

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QTableWidgetItem* cell(int row, int col, bool create) const;
    void styleFixed(int tableRow, int col);

    int m_fixedRows = 1;
    int m_fixedCols = 0;
    QList<int> m_fittedCols;
    QColor m_backColor;
};
