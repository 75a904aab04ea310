#include "UpDown.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    auto make = [this](Qt::ArrowType arrow, const char* name) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        // The widget itself takes the focus, so Tab stops once and the arrow keys work.
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(20);
        return b;
    };
    upButton = make(Qt::UpArrow, "upButton");
    downButton = make(Qt::DownArrow, "downButton");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 2, 2, 2);   // room for the focus frame
    lay->setSpacing(0);
    lay->addWidget(upButton);
    lay->addWidget(downButton);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    connect(upButton, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(downButton, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setValue(int value)
{
    value = qBound(m_min, value, m_max);
    if (value == m_value)
        return;
    m_value = value;
    emit Change();
}

void UpDown::setRange(int min, int max)
{
    m_min = min;
    m_max = qMax(min, max);
    setValue(m_value);
}

void UpDown::setAccessibleBaseName(const QString& name)
{
    setAccessibleName(name);
    upButton->setAccessibleName(tr("%1加一").arg(name));
    upButton->setToolTip(upButton->accessibleName());
    downButton->setAccessibleName(tr("%1减一").arg(name));
    downButton->setToolTip(downButton->accessibleName());
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up: case Qt::Key_PageUp: stepUp(); break;
    case Qt::Key_Down: case Qt::Key_PageDown: stepDown(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void UpDown::paintEvent(QPaintEvent*)
{
    if (!hasFocus())
        return;
    QStylePainter p(this);
    QStyleOptionFocusRect opt;
    opt.initFrom(this);
    p.drawPrimitive(QStyle::PE_FrameFocusRect, opt);
}
