#include "FlexGrid.h"
#include "Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

namespace {
const QColor kFixedColor(0xE8, 0xE8, 0xE8);
}

FlexGrid::FlexGrid(QWidget* parent)
    : QTableWidget(parent)
{
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(Twips::toPxY(255));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(Twips::toPxX(960));
    horizontalHeader()->setStretchLastSection(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setRowCount(1);
    setCols(2);   // empty headings, not the view's running numbers
    connect(this, &QTableWidget::cellClicked, this, [this](int, int) { emit Click(); });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this](int, int) { emit DblClick(); });
    connect(this, &QTableWidget::currentCellChanged, this, [this](int r, int c, int pr, int pc) {
        if (r != pr || c != pc)
            emit EnterCell();
    });
}

int FlexGrid::Rows() const { return rowCount() + m_fixedRows; }

void FlexGrid::setRows(int rows)
{
    const int old = rowCount();
    setRowCount(qMax(0, rows - m_fixedRows));
    for (int r = old; r < rowCount(); ++r)
        for (int c = 0; c < m_fixedCols && c < columnCount(); ++c)
            styleFixed(r, c);
}

int FlexGrid::Cols() const { return columnCount(); }

void FlexGrid::setCols(int cols)
{
    const int old = columnCount();
    setColumnCount(qMax(0, cols));
    for (int c = old; c < columnCount(); ++c)
        if (!horizontalHeaderItem(c))
            setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
}

void FlexGrid::setFixedRows(int n)
{
    n = qBound(0, n, 1);
    if (n == m_fixedRows)
        return;
    const int rows = Rows();
    m_fixedRows = n;
    horizontalHeader()->setVisible(n == 1);
    setRows(rows);
}

void FlexGrid::setFixedCols(int n)
{
    m_fixedCols = qMax(0, n);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < m_fixedCols && c < columnCount(); ++c)
            styleFixed(r, c);
}

void FlexGrid::styleFixed(int tableRow, int col)
{
    QTableWidgetItem* it = item(tableRow, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(tableRow, col, it);
    }
    it->setBackground(kFixedColor);
    it->setFlags(Qt::ItemIsEnabled);
}

void FlexGrid::setFormatString(const QString& format)
{
    const QStringList fields = format.split(QLatin1Char('|'));
    setCols(fields.size());
    for (int c = 0; c < fields.size(); ++c) {
        QString f = fields[c];
        Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter;
        if (f.startsWith(QLatin1Char('^'))) { a = Qt::AlignCenter; f.remove(0, 1); }
        else if (f.startsWith(QLatin1Char('<'))) { f.remove(0, 1); }
        else if (f.startsWith(QLatin1Char('>'))) { a = Qt::AlignRight | Qt::AlignVCenter; f.remove(0, 1); }
        setTextMatrix(0, c, f);
        if (m_fixedRows == 1)
            horizontalHeaderItem(c)->setTextAlignment(a);
    }
}

QTableWidgetItem* FlexGrid::cell(int row, int col, bool create) const
{
    if (col < 0 || col >= columnCount() || row < 0 || row >= Rows())
        return nullptr;
    auto* self = const_cast<FlexGrid*>(this);
    if (row < m_fixedRows) {
        QTableWidgetItem* it = horizontalHeaderItem(col);
        if (!it && create) {
            it = new QTableWidgetItem;
            self->setHorizontalHeaderItem(col, it);
        }
        return it;
    }
    const int tr = row - m_fixedRows;
    QTableWidgetItem* it = item(tr, col);
    if (!it && create) {
        it = new QTableWidgetItem;
        self->setItem(tr, col, it);
        if (col < m_fixedCols)
            self->styleFixed(tr, col);
    }
    return it;
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    const QTableWidgetItem* it = cell(row, col, false);
    return it ? it->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (QTableWidgetItem* it = cell(row, col, true))
        it->setText(text);
}

int FlexGrid::ColWidth(int col) const
{
    if (col < 0 || col >= columnCount())
        return 0;
    return isColumnHidden(col) ? 0 : Twips::fromPxX(columnWidth(col));
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= columnCount())
        return;
    setColumnHidden(col, twips <= 0);
    if (twips > 0)
        setColumnWidth(col, Twips::toPxX(twips));
}

void FlexGrid::showEvent(QShowEvent* event)
{
    QTableWidget::showEvent(event);
    for (int col : std::as_const(m_fittedCols))
        fitColWidth(col);
}

void FlexGrid::fitColWidth(int col)
{
    if (col < 0 || col >= columnCount() || isColumnHidden(col))
        return;
    if (!m_fittedCols.contains(col))
        m_fittedCols << col;
    ensurePolished();
    // Widened to its widest text, heading included, never narrowed: the width set is the least.
    // A cell's text is drawn inside the style's focus margins and the grid line.
    const int pad = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + (showGrid() ? 1 : 0) + 2;
    int need = horizontalHeader()->sectionSizeHint(col);
    for (int r = 0; r < rowCount(); ++r) {
        const QTableWidgetItem* it = item(r, col);
        if (it && !it->text().isEmpty())
            need = qMax(need, QFontMetrics(it->font()).horizontalAdvance(it->text()) + pad);
    }
    if (need > columnWidth(col))
        setColumnWidth(col, need);
}

int FlexGrid::RowHeight(int row) const
{
    if (row < m_fixedRows)
        return horizontalHeader()->isVisible() ? Twips::fromPxY(horizontalHeader()->height()) : 0;
    const int tr = row - m_fixedRows;
    if (tr >= rowCount())
        return 0;
    return isRowHidden(tr) ? 0 : Twips::fromPxY(rowHeight(tr));
}

void FlexGrid::setRowHeight(int row, int twips)
{
    if (row < m_fixedRows) {
        horizontalHeader()->setVisible(twips > 0);
        if (twips > 0)
            horizontalHeader()->setFixedHeight(Twips::toPxY(twips));
        return;
    }
    const int tr = row - m_fixedRows;
    if (tr >= rowCount())
        return;
    setRowHidden(tr, twips <= 0);
    if (twips > 0)
        QTableWidget::setRowHeight(tr, Twips::toPxY(twips));
}

void FlexGrid::setRowHeightMin(int twips)
{
    verticalHeader()->setMinimumSectionSize(Twips::toPxY(twips));
    verticalHeader()->setDefaultSectionSize(qMax(verticalHeader()->defaultSectionSize(), Twips::toPxY(twips)));
}

void FlexGrid::setColAlignment(int col, Qt::Alignment a)
{
    for (int r = m_fixedRows; r < Rows(); ++r)
        if (QTableWidgetItem* it = cell(r, col, true))
            it->setTextAlignment(a);
}

int FlexGrid::Row() const
{
    const int r = currentRow();
    return r < 0 ? (rowCount() > 0 ? m_fixedRows : 0) : r + m_fixedRows;
}

void FlexGrid::setRow(int row)
{
    const int tr = row - m_fixedRows;
    if (tr < 0 || tr >= rowCount())
        return;
    setCurrentCell(tr, qMax(0, currentColumn() < 0 ? m_fixedCols : currentColumn()));
}

int FlexGrid::Col() const
{
    const int c = currentColumn();
    return c < 0 ? m_fixedCols : c;
}

void FlexGrid::setCol(int col)
{
    if (col < 0 || col >= columnCount())
        return;
    const int tr = currentRow() < 0 ? 0 : currentRow();
    if (tr < rowCount())
        setCurrentCell(tr, col);
}

int FlexGrid::TopRow() const
{
    const int tr = rowAt(0);
    return (tr < 0 ? 0 : tr) + m_fixedRows;
}

void FlexGrid::setTopRow(int row)
{
    const int tr = row - m_fixedRows;
    if (tr < 0 || tr >= rowCount())
        return;
    if (QTableWidgetItem* it = item(tr, 0))
        scrollToItem(it, QAbstractItemView::PositionAtTop);
    else
        verticalScrollBar()->setValue(tr);
}

QColor FlexGrid::CellBackColor(int row, int col) const
{
    const QTableWidgetItem* it = cell(row, col, false);
    if (!it || it->background().style() == Qt::NoBrush)
        return m_backColor.isValid() ? m_backColor : palette().color(QPalette::Base);
    return it->background().color();
}

void FlexGrid::setCellBackColor(int row, int col, const QColor& c)
{
    if (QTableWidgetItem* it = cell(row, col, true))
        it->setBackground(c.isValid() ? QBrush(c) : QBrush());
}

void FlexGrid::setCellForeColor(int row, int col, const QColor& c)
{
    if (QTableWidgetItem* it = cell(row, col, true))
        it->setForeground(c.isValid() ? QBrush(c) : QBrush());
}

void FlexGrid::setBackColor(const QColor& c)
{
    m_backColor = c;
    QPalette p = palette();
    p.setColor(QPalette::Base, c);
    setPalette(p);
}

void FlexGrid::setHeaderFontPointSize(int pt)
{
    QFont f = horizontalHeader()->font();
    f.setPointSize(pt);
    horizontalHeader()->setFont(f);
}

void FlexGrid::Clear()
{
    clearContents();
    for (int c = 0; c < columnCount(); ++c)
        if (QTableWidgetItem* h = horizontalHeaderItem(c))
            h->setText(QString());
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
    emit keyPressed(event);
    if (!event->isAccepted())
        QTableWidget::keyPressEvent(event);
}
