#include "StatusBar1.h"

#include <Twips.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QStyle>

// A panel of the status bar: wants its width or its text's, whichever is more, and can be made
// narrower by the layout when the window has no room, then cuts its text.
class StatusPanel : public QLabel {
public:
    explicit StatusPanel(int twips, QWidget* parent)
        : QLabel(parent)
        , m_twips(twips)
    {
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }

    int twips() const { return m_twips; }
    // The most this panel asks for, so that the panels beside it keep their whole texts; 0: no cap.
    void setCap(int px)
    {
        if (px == m_cap)
            return;
        m_cap = px;
        updateGeometry();
    }
    void setTwips(int twips)
    {
        m_twips = qMax(0, twips);
        updateGeometry();
    }
    void setWholeText(const QString& text)
    {
        setText(text);
        setAccessibleName(text);
        updateGeometry();
        updateTip();
    }
    bool elided() const { return textWidth() > contentsRect().width(); }

    QSize sizeHint() const override
    {
        const QSize h = QLabel::sizeHint();
        const int whole = textWidth() + chrome();
        int w = qMax(Twips::toPxX(m_twips), whole);
        if (m_cap > 0)
            w = qMax(whole, qMin(w, m_cap));
        return {w, h.height()};
    }
    // Narrower than wanted only when the window is too narrow: enough for a few characters.
    QSize minimumSizeHint() const override
    {
        return {qMin(sizeHint().width(), fontMetrics().horizontalAdvance(QCoreApplication::translate("StatusBar1", "服务器…")) + chrome()),
                QLabel::minimumSizeHint().height()};
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (!elided()) {
            QLabel::paintEvent(e);
            return;
        }
        QFrame::paintEvent(e);
        QPainter p(this);
        const QRect r = contentsRect().adjusted(margin() + indent(), 0, -margin(), 0);
        p.drawText(r, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
    }
    void resizeEvent(QResizeEvent* e) override
    {
        QLabel::resizeEvent(e);
        updateTip();
    }

private:
    int textWidth() const { return fontMetrics().horizontalAdvance(text()); }
    int chrome() const
    {
        const QMargins m = contentsMargins();
        return m.left() + m.right() + 2 * margin() + 6;
    }
    // The whole text in the tooltip only while it is cut.
    void updateTip() { setToolTip(elided() ? text() : QString()); }

    int m_twips;
    int m_cap = 0;
};

StatusBar1::StatusBar1(QWidget* parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    const int widths[] = {2000, 2200, 1900, 1700, 1500};
    for (int i = 0; i < 5; ++i) {
        auto* l = new StatusPanel(widths[i], this);
        l->setObjectName(QStringLiteral("Panel_%1").arg(i + 1));
        addPermanentWidget(l, 0);
        m_panels << l;
    }
}

void StatusBar1::resizeEvent(QResizeEvent* e)
{
    QStatusBar::resizeEvent(e);
    capStretchingPanel();
}

void StatusBar1::capStretchingPanel()
{
    // The set's panel takes what the window gives it (it follows the window's width), but not
    // the room the other panels need for their whole texts.
    StatusPanel* stretching = m_panels.value(kStretchingPanel - 1);
    if (!stretching)
        return;
    int others = 0;
    for (StatusPanel* p : std::as_const(m_panels))
        if (p != stretching)
            others += p->sizeHint().width() + layout()->spacing();
    const QMargins m = layout()->contentsMargins();
    const int grip = isSizeGripEnabled() ? style()->pixelMetric(QStyle::PM_SizeGripSize, nullptr, this) + layout()->spacing() : 0;
    stretching->setCap(qMax(1, width() - others - m.left() - m.right() - grip - 8));
}

QString StatusBar1::panelText(int index) const
{
    return m_panels.value(index - 1) ? m_panels[index - 1]->text() : QString();
}

void StatusBar1::setPanelText(int index, const QString& text)
{
    if (StatusPanel* l = m_panels.value(index - 1)) {
        l->setWholeText(text);
        capStretchingPanel();
    }
}

int StatusBar1::panelWidth(int index) const
{
    StatusPanel* l = m_panels.value(index - 1);
    return l ? l->twips() : 0;
}

void StatusBar1::setPanelWidth(int index, int twips)
{
    if (StatusPanel* l = m_panels.value(index - 1))
        l->setTwips(twips);
}

bool StatusBar1::panelShowsWholeText(int index) const
{
    StatusPanel* l = m_panels.value(index - 1);
    return l && !l->elided();
}
