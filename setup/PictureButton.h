#pragma once
// The configuration dialogs' buttons carry a picture and no caption; the meaning goes to the
// tooltip and to assistive technology.
#include <QIcon>
#include <QPushButton>
#include <QStyle>

inline QPushButton* PictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap, const QString& meaning)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(parent->style()->standardIcon(pixmap));
    b->setIconSize(QSize(24, 24));
    b->setToolTip(meaning);
    b->setAccessibleName(meaning);
    b->setMinimumSize(56, 34);
    return b;
}
