#include "GrantUi.h"

#include <FlexGrid.h>
#include <Twips.h>

#include <QKeyEvent>
#include <QScrollBar>

namespace GrantUi {
void setupGrid(FlexGrid* g, const QString& format, std::initializer_list<int> widths)
{
    g->setFormatString(format);
    int c = 0;
    int total = 0;
    for (int w : widths) {
        g->setColWidth(c++, w);
        total += w;
    }
    g->setRowHeight(0, 400);
    g->setHeaderFontPointSize(12);
    g->setMinimumWidth(Twips::toPxX(total) + g->verticalScrollBar()->sizeHint().width() + 2 * g->frameWidth());
}

void fitWidth(FlexGrid* g)
{
    g->setMaximumWidth(g->minimumWidth());
}

void clearMarks(FlexGrid* g)
{
    for (int r = 1; r < g->Rows(); ++r)
        g->setCellBackColor(r, 0, kUnmarked);
}

bool isMarked(const FlexGrid* g, int row)
{
    return g->CellBackColor(row, 0) == kMarked;
}

void onActivateKeys(FlexGrid* g, QObject* context, const std::function<void()>& doubleClick)
{
    QObject::connect(g, &FlexGrid::keyPressed, context, [doubleClick](QKeyEvent* e) {
        if (e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            e->accept();
            doubleClick();
        }
    });
}
}
