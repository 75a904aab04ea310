#pragma once
// A box a password is typed into: masked with "*" (the style's own mask character varies) and
// named for assistive technology.
#include <QLineEdit>

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
