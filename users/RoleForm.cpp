#include "RoleForm.h"
#include "UsersUi.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace UsersUi;

namespace RoleForm {
Controls build(QDialog* form, const char* actionName, const QString& actionCaption)
{
    const QString capId = QStringLiteral("角色编号："), capName = QStringLiteral("角色名称："),
                  capBZ = QStringLiteral("备注："), capMembers = QStringLiteral("所属用户名称：");
    Controls c{};
    c.txtID = textBox(form, "txtID", kGroupIdLen, capId);
    c.txtName = textBox(form, "txtName", kGroupNameLen, capName);
    c.txtBZ = textBox(form, "txtBZ", kMemoLen, capBZ);
    c.ListView1 = checkList(form, capMembers);

    auto* fields = new QFormLayout;
    fields->addRow(caption(form, capId, c.txtID), c.txtID);
    fields->addRow(caption(form, capName, c.txtName), c.txtName);
    fields->addRow(caption(form, capBZ, c.txtBZ), c.txtBZ);

    auto button = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, form);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    c.cmdAction = button(actionName, actionCaption);
    c.cmdAction->setDefault(true);
    c.cmdChkAll = button("cmdChkAll", QStringLiteral("全选"));
    c.cmdChkC = button("cmdChkC", QStringLiteral("全消"));
    c.cmdExit = button("cmdExit", QStringLiteral("退出"));
    c.cmdHelp = button("cmdHelp", QStringLiteral("帮助"));

    auto* ticks = new QHBoxLayout;
    ticks->addWidget(caption(form, capMembers, c.ListView1));
    ticks->addStretch();
    ticks->addWidget(c.cmdChkAll);
    ticks->addWidget(c.cmdChkC);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(c.cmdAction);
    buttons->addWidget(c.cmdExit);
    buttons->addWidget(c.cmdHelp);

    auto* top = new QVBoxLayout(form);
    top->addLayout(fields);
    top->addLayout(ticks);
    top->addWidget(c.ListView1, 1);
    top->addLayout(buttons);
    form->resize(460, 440);

    QWidget::setTabOrder(c.txtID, c.txtName);
    QWidget::setTabOrder(c.txtName, c.txtBZ);
    QWidget::setTabOrder(c.txtBZ, c.cmdChkAll);
    QWidget::setTabOrder(c.cmdChkAll, c.cmdChkC);
    QWidget::setTabOrder(c.cmdChkC, c.ListView1);
    QWidget::setTabOrder(c.ListView1, c.cmdAction);
    QWidget::setTabOrder(c.cmdAction, c.cmdExit);
    QWidget::setTabOrder(c.cmdExit, c.cmdHelp);

    return c;
}
}
