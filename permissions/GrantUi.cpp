#include "GrantUi.h"

#include <FlexGrid.h>
#include <Twips.h>

#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace GrantUi {
namespace {
QPushButton* button(QDialog* d, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, d);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(Twips::toPxX(1100));
    return b;
}

FlexGrid* grid(QGroupBox* frame, const char* name, const QString& accessibleName)
{
    auto* g = new FlexGrid(frame);
    g->setObjectName(QString::fromLatin1(name));
    g->setAccessibleName(accessibleName);
    // The grids paint their own marks and highlight.
    g->setSelectionMode(QAbstractItemView::NoSelection);
    return g;
}
} // namespace

Controls build(QDialog* d, QWidget* rightExtra)
{
    Controls c;
    c.Frame1 = new QGroupBox(QStringLiteral("产品分类选择"), d);
    c.Frame1->setObjectName(QStringLiteral("Frame1"));
    c.MSFlexGrid1 = grid(c.Frame1, "MSFlexGrid1", QStringLiteral("产品分类"));
    auto* l1 = new QVBoxLayout(c.Frame1);
    l1->addWidget(c.MSFlexGrid1);

    c.Frame2 = new QGroupBox(QStringLiteral("明细权限选择"), d);
    c.Frame2->setObjectName(QStringLiteral("Frame2"));
    c.MSFlexGrid2 = grid(c.Frame2, "MSFlexGrid2", QStringLiteral("明细权限"));
    auto* l2 = new QHBoxLayout(c.Frame2);
    if (rightExtra) {
        rightExtra->setParent(c.Frame2);
        l2->addWidget(rightExtra, 1);
    }
    l2->addWidget(c.MSFlexGrid2, 1);

    c.lblsm = new QLabel(QStringLiteral("说明：在“授权”列处进行双击，左边为模块大类授权，右边为明细类授权；先通过左边大类选择双击后，再在明细权限进行选择。"), d);
    c.lblsm->setObjectName(QStringLiteral("lblsm"));
    c.lblsm->setWordWrap(true);

    c.cmdOK = button(d, "cmdOK", QStringLiteral("确定"));
    c.cmdCancel = button(d, "cmdCancel", QStringLiteral("取消"));
    c.cmdHelp = button(d, "cmdHelp", QStringLiteral("帮助(&H)"));

    auto* grids = new QHBoxLayout;
    grids->addWidget(c.Frame1);
    grids->addWidget(c.Frame2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c.lblsm, 1);
    buttons->addSpacing(12);
    buttons->addWidget(c.cmdOK, 0, Qt::AlignBottom);
    buttons->addWidget(c.cmdCancel, 0, Qt::AlignBottom);
    buttons->addWidget(c.cmdHelp, 0, Qt::AlignBottom);
    auto* top = new QVBoxLayout(d);
    top->addLayout(grids, 1);
    top->addLayout(buttons);

    d->setTabOrder(c.MSFlexGrid1, rightExtra ? rightExtra : c.MSFlexGrid2);
    if (rightExtra)
        d->setTabOrder(rightExtra, c.MSFlexGrid2);
    d->setTabOrder(c.MSFlexGrid2, c.cmdOK);
    d->setTabOrder(c.cmdOK, c.cmdCancel);
    d->setTabOrder(c.cmdCancel, c.cmdHelp);
    return c;
}

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
}
