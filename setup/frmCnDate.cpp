#include "frmCnDate.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmCnDate::frmCnDate(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCnDate"));
    setWindowTitle(tr("启用日期"));

    Calendar1 = new QCalendarWidget(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setAccessibleName(tr("启用日期"));
    Calendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar1->setGridVisible(true);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAccessibleName(tr("选定日期"));

    cmdOk = new QPushButton(tr("确定"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdExit = new QPushButton(tr("取消"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label1);
    bottom->addStretch();
    bottom->addWidget(cmdOk);
    bottom->addWidget(cmdExit);
    auto* top = new QVBoxLayout(this);
    top->addWidget(Calendar1);
    top->addLayout(bottom);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(Calendar1, cmdOk);
    setTabOrder(cmdOk, cmdExit);

    connect(Calendar1, &QCalendarWidget::selectionChanged, this, &frmCnDate::Calendar1_SelChange);
    // Double-clicking a day (or Enter on it) chooses it, as "确定" does.
    connect(Calendar1, &QCalendarWidget::activated, this, &frmCnDate::cmdOk_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmCnDate::cmdOk_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCnDate::cmdExit_Click);
}

void frmCnDate::Form_Load()
{
    confirmed = false;
    Calendar1_SelChange();
    Calendar1->setFocus();
}

void frmCnDate::Calendar1_SelChange()
{
    Label1->setText(Calendar1->selectedDate().toString(dateFormat()));
}

void frmCnDate::cmdOk_Click()
{
    confirmed = true;
    accept();
}

void frmCnDate::cmdExit_Click()
{
    confirmed = false;
    reject();
}
