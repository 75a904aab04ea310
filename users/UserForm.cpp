#include "UserForm.h"
#include "UsersUi.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace UsersUi;

namespace UserForm {
QFormLayout* Controls::setupFields(QDialog* form, const QString& tkCaption)
{
    const QString capId = QCoreApplication::translate("UserForm", "编号:"), capName = QCoreApplication::translate("UserForm", "姓名:"),
                  capPassword = QCoreApplication::translate("UserForm", "口令:"), capAffirm = QCoreApplication::translate("UserForm", "确认口令:"),
                  capDept = QCoreApplication::translate("UserForm", "所属部门:");
    txtID = textBox(form, "txtID", kUserIdLen, capId);
    txtName = textBox(form, "txtName", kUserNameLen, capName);
    txtPassword = passwordBox(form, "txtPassword", kPasswordLen, capPassword);
    txtAffirmPassword = passwordBox(form, "txtAffirmPassword", kPasswordLen, capAffirm);
    txtDept = textBox(form, "txtDept", kDeptLen, capDept);
    txtTk = textBox(form, "txtTk", kTkLen, tkCaption);

    auto* fields = new QFormLayout;
    fields->addRow(caption(form, capId, txtID), txtID);
    fields->addRow(caption(form, capName, txtName), txtName);
    fields->addRow(caption(form, capPassword, txtPassword), txtPassword);
    fields->addRow(caption(form, capAffirm, txtAffirmPassword), txtAffirmPassword);
    fields->addRow(caption(form, capDept, txtDept), txtDept);
    fields->addRow(caption(form, tkCaption, txtTk), txtTk);

    QWidget::setTabOrder(txtID, txtName);
    QWidget::setTabOrder(txtName, txtPassword);
    QWidget::setTabOrder(txtPassword, txtAffirmPassword);
    QWidget::setTabOrder(txtAffirmPassword, txtDept);
    return fields;
}

QPushButton* Controls::setupButtons(QDialog* form, const char* actionName, const QString& actionCaption, QHBoxLayout* row,
                                    QWidget* before)
{
    auto* action = new QPushButton(actionCaption, form);
    action->setObjectName(QString::fromLatin1(actionName));
    action->setDefault(true);
    cmdExit = button(form, "cmdExit", QCoreApplication::translate("UserForm", "退出"));
    cmdHelp = button(form, "cmdHelp", QCoreApplication::translate("UserForm", "帮助(&H)"));
    row->addStretch();
    row->addWidget(action);
    row->addWidget(cmdExit);
    row->addWidget(cmdHelp);

    QWidget::setTabOrder(before, action);
    QWidget::setTabOrder(action, cmdExit);
    QWidget::setTabOrder(cmdExit, cmdHelp);
    return action;
}
}
