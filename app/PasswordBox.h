#pragma once
// A box a password is typed into: masked with "*" (the style's own mask character varies) and
// named for assistive technology; and the layout the two password forms share.
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

inline QLineEdit* passwordBox(QWidget* parent, const char* name, const QString& accessible, int maxLength = 32767)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    e->setMaxLength(maxLength);
    e->setAccessibleName(accessible);
    return e;
}

// A row of `form`: its caption, the box's buddy (the caption's key moves to the box), and the box.
inline void addPasswordRow(QWidget* parent, QFormLayout* form, const QString& caption, QLineEdit* edit)
{
    auto* l = new QLabel(caption, parent);
    l->setBuddy(edit);
    form->addRow(l, edit);
}

// `form` above the buttons `ok` (the default) and `cancel` at the right, in `dialog`.
struct PasswordButtons {
    QPushButton* ok;
    QPushButton* cancel;
};

inline PasswordButtons layOutPasswordForm(QDialog* dialog, QFormLayout* form, const QString& ok, const QString& cancel, int minimumWidth)
{
    PasswordButtons b{new QPushButton(ok, dialog), new QPushButton(cancel, dialog)};
    b.ok->setObjectName(QStringLiteral("cmdOK"));
    b.ok->setDefault(true);
    b.cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(b.ok);
    buttons->addWidget(b.cancel);
    auto* top = new QVBoxLayout(dialog);
    top->addLayout(form);
    top->addLayout(buttons);
    dialog->setMinimumWidth(minimumWidth);
    return b;
}
