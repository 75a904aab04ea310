#include "frmEditUser.h"
#include "UsersUi.h"

#include <Module1.h>
#include <MsgBox.h>

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Module1;
using namespace UsersUi;

frmEditUser::frmEditUser(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEditUser"));
    setWindowTitle(QStringLiteral("修改操作员信息"));

    const QString capId = QStringLiteral("编号:"), capName = QStringLiteral("姓名:"),
                  capPassword = QStringLiteral("口令:"), capAffirm = QStringLiteral("确认口令:"),
                  capDept = QStringLiteral("所属部门:"), capTk = QStringLiteral("Tk通号:");
    txtID = textBox(this, "txtID", kUserIdLen, capId);
    // The identifier is the key of the row being changed.
    txtID->setReadOnly(true);
    txtName = textBox(this, "txtName", kUserNameLen, capName);
    txtPassword = passwordBox(this, "txtPassword", kPasswordLen, capPassword);
    txtAffirmPassword = passwordBox(this, "txtAffirmPassword", kPasswordLen, capAffirm);
    txtDept = textBox(this, "txtDept", kDeptLen, capDept);
    txtTk = textBox(this, "txtTk", kTkLen, capTk);
    // The messenger number is not changed here: nothing typed into it would be kept.
    txtTk->setEnabled(false);
    Check1 = new QCheckBox(QStringLiteral("注销当前操作员"), this);
    Check1->setObjectName(QStringLiteral("Check1"));

    auto* fields = new QFormLayout;
    fields->addRow(caption(this, capId, txtID), txtID);
    fields->addRow(caption(this, capName, txtName), txtName);
    fields->addRow(caption(this, capPassword, txtPassword), txtPassword);
    fields->addRow(caption(this, capAffirm, txtAffirmPassword), txtAffirmPassword);
    fields->addRow(caption(this, capDept, txtDept), txtDept);
    fields->addRow(caption(this, capTk, txtTk), txtTk);
    fields->addRow(QString(), Check1);

    cmdEdit = new QPushButton(QStringLiteral("修改"), this);
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    cmdEdit->setDefault(true);
    cmdExit = new QPushButton(QStringLiteral("退出"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setAutoDefault(false);
    cmdHelp = new QPushButton(QStringLiteral("帮助(&H)"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdHelp);

    auto* top = new QVBoxLayout(this);
    top->addLayout(fields);
    top->addStretch();
    top->addLayout(buttons);
    setMinimumWidth(340);

    setTabOrder(txtID, txtName);
    setTabOrder(txtName, txtPassword);
    setTabOrder(txtPassword, txtAffirmPassword);
    setTabOrder(txtAffirmPassword, txtDept);
    setTabOrder(txtDept, Check1);
    setTabOrder(Check1, cmdEdit);
    setTabOrder(cmdEdit, cmdExit);
    setTabOrder(cmdExit, cmdHelp);

    // Every change of the value, by a click or by the opener, sets the caption.
    connect(Check1, &QCheckBox::toggled, this, &frmEditUser::Check1_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmEditUser::cmdEdit_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmEditUser::cmdExit_Click);
}

void frmEditUser::Check1_Click()
{
    Check1->setText(Check1->isChecked() ? QStringLiteral("注销当前操作员") : QStringLiteral("启用当前操作员"));
}

void frmEditUser::cmdEdit_Click()
{
    if (txtName->text().trimmed().isEmpty())
        return;
    if (txtPassword->text() != txtAffirmPassword->text()) {
        MsgBox(QStringLiteral("口令必须一致!"), vb::vbCritical | vb::vbOKOnly, kTitleSys);
        return;
    }
    if (!gSysDb)
        return;
    try {
        gSysDb->execute(QStringLiteral("update SM_User set cUser_Name=?,cPassword=?,cDept=?,nState=? where cUser_Id=?"),
                        {txtName->text(), txtPassword->text(), txtDept->text(), Check1->isChecked() ? 1 : 0, txtID->text()});
        if (gSysDb->rowsAffected() == 0) {
            MsgBox(QStringLiteral("操作员:[%1]已不存在，未能修改。").arg(txtID->text()), vb::vbExclamation | vb::vbOKOnly, kTitleSys);
            return;
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cmdEdit_Click"));
        MsgBox(QStringLiteral("操作员:[%1]未能修改：%2").arg(txtID->text(), e.userText()), vb::vbCritical | vb::vbOKOnly, kTitleSys);
        return;
    }
    accept();
}

void frmEditUser::cmdExit_Click()
{
    reject();
}
