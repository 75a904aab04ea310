#include "WizardPage.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

WizardPage::WizardPage(QWidget* parent, const char* name, int number, const QString& title, const QString& note)
    : QFrame(parent)
{
    setObjectName(QString::fromLatin1(name));
    setFrameShape(QFrame::NoFrame);
    body = new QVBoxLayout(this);
    body->setContentsMargins(16, 12, 16, 12);
    lblTitle = new QLabel(title, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle_%1").arg(number));
    QFont f = lblTitle->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    lblTitle->setFont(f);
    lblNote = new QLabel(note, this);
    lblNote->setObjectName(QStringLiteral("lblNote_%1").arg(number));
    lblNote->setWordWrap(true);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    body->addWidget(lblTitle);
    body->addWidget(lblNote);
    body->addWidget(line);
    body->addSpacing(8);
}

QGridLayout* WizardPage::fieldGrid()
{
    auto* g = new QGridLayout;
    g->setVerticalSpacing(10);
    body->addLayout(g);
    body->addStretch();
    return g;
}

namespace WizardUi {
bool filled(const QLineEdit* box)
{
    return !box->text().trimmed().isEmpty();
}

QString plain(const QString& caption)
{
    QString s = caption;
    s.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    s.remove(QLatin1Char('&'));
    while (s.endsWith(QLatin1Char(':')) || s.endsWith(QChar(0xFF1A)))
        s.chop(1);
    return s.trimmed();
}

QLabel* captionFor(QWidget* parent, const char* name, const QString& caption, QWidget* buddy)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (buddy) {
        l->setBuddy(buddy);
        if (buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(plain(caption));
    }
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength)
{
    auto* e = named<QLineEdit>(name, parent);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = named<QPushButton>(name, caption, parent);
    b->setAutoDefault(false);
    return b;
}

void place(QGridLayout* g, int row, int col, int span, QLabel* caption, QWidget* field, Qt::Alignment align)
{
    g->addWidget(caption, row, col);
    g->addWidget(field, row, col + 1, 1, span, align);
}
}
