#include "Scripts.h"

#include <FlexGrid.h>

#include <QComboBox>
#include <QDialog>

MsgBoxScript::MsgBoxScript()
{
    m_old = setMsgBoxHandler([this](const MsgBoxCall& call) {
        calls << call;
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        if (fallback >= 0)
            return fallback;
        switch (call.buttonSet()) {
        case vb::vbYesNo:
        case vb::vbYesNoCancel: return int(vb::vbYes);
        case vb::vbAbortRetryIgnore: return int(vb::vbAbort);
        case vb::vbRetryCancel: return int(vb::vbRetry);
        default: return int(vb::vbOK);
        }
    });
}

MsgBoxScript::~MsgBoxScript()
{
    setMsgBoxHandler(m_old);
}

QStringList MsgBoxScript::texts() const
{
    QStringList out;
    for (const MsgBoxCall& c : calls)
        out << c.text;
    return out;
}

QStringList MsgBoxScript::seenAll() const
{
    QStringList out;
    for (const MsgBoxCall& c : calls)
        out << seen(c);
    return out;
}

ModalScript::ModalScript()
{
    m_old = setModalRunner([this](QDialog& d) {
        shown << d.objectName();
        auto it = m_reactions.find(d.objectName());
        if (it == m_reactions.end()) {
            d.reject();
            return int(QDialog::Rejected);
        }
        return it.value()(d);
    });
}

ModalScript::~ModalScript()
{
    setModalRunner(m_old);
}

QString seen(const QString& text, const QString& title, int buttons)
{
    return QStringLiteral("%1 |%2 |%3").arg(text, title).arg(buttons & 0xFF);
}

QString seen(const MsgBoxCall& c)
{
    return seen(c.text, c.title, c.buttons);
}

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QString cells(const FlexGrid* g, int row, int n)
{
    QStringList out;
    for (int c = 0; c < n; ++c)
        out << g->TextMatrix(row, c);
    return out.join(QLatin1Char('|'));
}

QStringList column(const FlexGrid* g, int col)
{
    QStringList out;
    for (int r = 1; r < g->Rows(); ++r)
        out << g->TextMatrix(r, col);
    return out;
}

int rowOf(const FlexGrid* g, int col, const QString& text)
{
    return int(column(g, col).indexOf(text)) + 1;
}
