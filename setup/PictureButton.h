#pragma once
// The configuration dialogs' buttons carry a picture and no caption; the meaning goes to the
// tooltip and to assistive technology.
#include <QCoreApplication>
#include <QHBoxLayout>
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

// The 确定 / 放弃 / 帮助 row at the foot of a configuration dialog, pushed to the right.
inline QHBoxLayout* OkCancelHelpRow(QWidget* parent, QPushButton*& ok, QPushButton*& cancel, QPushButton*& help)
{
    ok = PictureButton(parent, "cmdOK", QStyle::SP_DialogOkButton, QCoreApplication::translate("PictureButton", "确定"));
    cancel = PictureButton(parent, "cmdCancel", QStyle::SP_DialogCancelButton, QCoreApplication::translate("PictureButton", "放弃"));
    help = PictureButton(parent, "cmdHelp", QStyle::SP_MessageBoxQuestion, QCoreApplication::translate("PictureButton", "帮助"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    row->addWidget(help);
    return row;
}
