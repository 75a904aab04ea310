#include "frmEditUser.h"
#include "UsersUi.h"

#include <Module1.h>
#include <MsgBox.h>
#include <PasswordHash.h>

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
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

    QFormLayout* fields = setupFields(this, QStringLiteral("Tk通号:"));
    // The identifier is the key of the row being changed.
    txtID->setReadOnly(true);
    // The messenger number is not changed here: nothing typed into it would be kept.
    txtTk->setEnabled(false);
    Check1 = new QCheckBox(QStringLiteral("注销当前操作员"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    fields->addRow(QString(), Check1);
    setTabOrder(txtDept, Check1);

    auto* buttons = new QHBoxLayout;
    cmdEdit = setupButtons(this, "cmdEdit", QStringLiteral("修改"), buttons, Check1);

    auto* top = new QVBoxLayout(this);
    top->addLayout(fields);
    top->addStretch();
    top->addLayout(buttons);
    setMinimumWidth(340);

    // Every change of the value, by a click or by the opener, sets the caption.
    connect(Check1, &QCheckBox::toggled, this, &frmEditUser::Check1_Click);
    connect(cmdEdit, &QPushButton::clicked, this, &frmEditUser::cmdEdit_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmEditUser::cmdExit_Click);
    for (QLineEdit* box : {txtPassword, txtAffirmPassword})
        connect(box, &QLineEdit::textChanged, this, [this] { m_passwordEdited = true; });
}

void frmEditUser::showPasswordMask()
{
    txtPassword->setText(kPasswordMask);
    txtAffirmPassword->setText(kPasswordMask);
    m_passwordEdited = false;
}

void frmEditUser::Check1_Click()
{
    Check1->setText(Check1->isChecked() ? QStringLiteral("注销当前操作员") : QStringLiteral("启用当前操作员"));
}

void frmEditUser::cmdEdit_Click()
{
    if (txtName->text().trimmed().isEmpty())
        return;
    if (m_passwordEdited && txtPassword->text() != txtAffirmPassword->text()) {
        MsgBox(QStringLiteral("口令必须一致!"), vb::vbCritical | vb::vbOKOnly, kTitleSys);
        return;
    }
    if (!gSysDb)
        return;
    AuditEntry logged;
    try {
        logged = Audit::userChanged(*gSysDb, txtID->text(), txtName->text(), txtDept->text(), Check1->isChecked());
        const QVariantList fields{txtName->text(), txtDept->text(), Check1->isChecked() ? 1 : 0};
        if (m_passwordEdited)
            gSysDb->execute(QStringLiteral("update SM_User set cUser_Name=?,cDept=?,nState=?,cPassword=? where cUser_Id=?"),
                            fields + QVariantList{PasswordHash::hash(txtPassword->text()), txtID->text()});
        else
            gSysDb->execute(QStringLiteral("update SM_User set cUser_Name=?,cDept=?,nState=? where cUser_Id=?"),
                            fields + QVariantList{txtID->text()});
        if (gSysDb->rowsAffected() == 0) {
            MsgBox(QStringLiteral("操作员:[%1]已不存在，未能修改。").arg(txtID->text()), vb::vbExclamation | vb::vbOKOnly, kTitleSys);
            return;
        }
        AuditLog::record(*gSysDb, auditContext(), logged);
    } catch (const DbError& e) {
        AuditLog::record(*gSysDb, auditContext(), logged.failed(e.userText()));
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
