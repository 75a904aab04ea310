#include "Help.h"
#include "HelpWindow.h"
#include "Manual.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QKeySequence>
#include <QRegularExpression>
#include <QShortcut>

namespace Help {
bool isHelpCaption(const QString& caption)
{
    QString c = caption;
    c.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    c.remove(QLatin1Char('&'));
    // The English of the forms' captions is "Help" when the person's language is not Chinese.
    c = c.trimmed();
    return c == QStringLiteral("帮助") || c.compare(QLatin1String("Help"), Qt::CaseInsensitive) == 0;
}

HelpWindow* open(QWidget* from, const QString& topic)
{
    // A child window of the form: a modal form leaves it usable, and it goes with the form.
    QWidget* owner = from ? from->window() : nullptr;
    HelpWindow* w = owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!w)
        w = new HelpWindow(owner);
    w->showUrl(Manual::instance().topic(topic));
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void attach(QDialog& form)
{
    static const char* const kAttached = "revoziHelpAttached";
    if (form.property(kAttached).toBool())
        return;
    form.setProperty(kAttached, true);
    QDialog* f = &form;
    auto show = [f] { open(f, f->objectName()); };
    for (QAbstractButton* b : form.findChildren<QAbstractButton*>())
        if (isHelpCaption(b->text()) || (b->text().isEmpty() && isHelpCaption(b->accessibleName())))
            QObject::connect(b, &QAbstractButton::clicked, f, show);
    for (QAction* a : form.findChildren<QAction*>())
        if (isHelpCaption(a->text()))
            QObject::connect(a, &QAction::triggered, f, show);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, f);
    f1->setObjectName(QStringLiteral("helpShortcut"));
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, f, show);
}
}
