#include "StatusBar1.h"

#include <Twips.h>

#include <QLabel>

StatusBar1::StatusBar1(QWidget* parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    const int widths[] = {2000, 2200, 1900, 1700, 1500};
    for (int i = 0; i < 5; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("Panel_%1").arg(i + 1));
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(Twips::toPxX(widths[i]));
        l->setMaximumWidth(Twips::toPxX(widths[i]));
        addPermanentWidget(l, 0);
        m_panels << l;
    }
}

QString StatusBar1::panelText(int index) const
{
    return m_panels.value(index - 1) ? m_panels[index - 1]->text() : QString();
}

void StatusBar1::setPanelText(int index, const QString& text)
{
    if (QLabel* l = m_panels.value(index - 1)) {
        l->setText(text);
        l->setAccessibleName(text);
    }
}

int StatusBar1::panelWidth(int index) const
{
    QLabel* l = m_panels.value(index - 1);
    return l ? Twips::fromPxX(l->maximumWidth()) : 0;
}

void StatusBar1::setPanelWidth(int index, int twips)
{
    if (QLabel* l = m_panels.value(index - 1)) {
        const int px = Twips::toPxX(qMax(0, twips));
        l->setMinimumWidth(px);
        l->setMaximumWidth(px);
    }
}

void StatusBar1::fitPanel(int index)
{
    if (QLabel* l = m_panels.value(index - 1)) {
        const QMargins m = l->contentsMargins();
        const int need = l->fontMetrics().horizontalAdvance(l->text()) + m.left() + m.right() + 2 * l->frameWidth() + 8;
        // Only the most it may take grows: the window is not made wider for it (the console
        // widens its panels from the window's width, not the other way round).
        if (need > l->maximumWidth())
            l->setMaximumWidth(need);
        l->setToolTip(l->text());
    }
}
