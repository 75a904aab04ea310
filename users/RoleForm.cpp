#include "RoleForm.h"
#include "UsersUi.h"

#include <QCoreApplication>
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
QPushButton* Controls::setupUi(QDialog* form, const char* actionName, const QString& actionCaption)
{
    const QString capId = QCoreApplication::translate("RoleForm", "角色编号："), capName = QCoreApplication::translate("RoleForm", "角色名称："),
                  capBZ = QCoreApplication::translate("RoleForm", "备注："), capMembers = QCoreApplication::translate("RoleForm", "所属用户名称：");
    txtID = textBox(form, "txtID", kGroupIdLen, capId);
    txtName = textBox(form, "txtName", kGroupNameLen, capName);
    txtBZ = textBox(form, "txtBZ", kMemoLen, capBZ);
    ListView1 = checkList(form, capMembers);

    auto* fields = new QFormLayout;
    fields->addRow(caption(form, capId, txtID), txtID);
    fields->addRow(caption(form, capName, txtName), txtName);
    fields->addRow(caption(form, capBZ, txtBZ), txtBZ);

    QPushButton* action = button(form, actionName, actionCaption);
    action->setDefault(true);
    cmdChkAll = button(form, "cmdChkAll", QCoreApplication::translate("RoleForm", "全选"));
    cmdChkC = button(form, "cmdChkC", QCoreApplication::translate("RoleForm", "全消"));
    cmdExit = button(form, "cmdExit", QCoreApplication::translate("RoleForm", "退出"));
    cmdHelp = button(form, "cmdHelp", QCoreApplication::translate("RoleForm", "帮助"));

    auto* ticks = new QHBoxLayout;
    ticks->addWidget(caption(form, capMembers, ListView1));
    ticks->addStretch();
    ticks->addWidget(cmdChkAll);
    ticks->addWidget(cmdChkC);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(action);
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdHelp);

    auto* top = new QVBoxLayout(form);
    top->addLayout(fields);
    top->addLayout(ticks);
    top->addWidget(ListView1, 1);
    top->addLayout(buttons);
    form->resize(460, 440);

    QWidget::setTabOrder(txtID, txtName);
    QWidget::setTabOrder(txtName, txtBZ);
    QWidget::setTabOrder(txtBZ, cmdChkAll);
    QWidget::setTabOrder(cmdChkAll, cmdChkC);
    QWidget::setTabOrder(cmdChkC, ListView1);
    QWidget::setTabOrder(ListView1, action);
    QWidget::setTabOrder(action, cmdExit);
    QWidget::setTabOrder(cmdExit, cmdHelp);

    QObject::connect(cmdChkAll, &QPushButton::clicked, form, [this] { tickAll(ListView1, true); });
    QObject::connect(cmdChkC, &QPushButton::clicked, form, [this] { tickAll(ListView1, false); });
    return action;
}
}
