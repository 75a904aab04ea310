#include "frmEditUser.h"
#include "UsersUi.h"

#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <OperatorWork.h>

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Module1;
using namespace UsersUi;

frmEditUser::frmEditUser(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmEditUser"));
    setWindowTitle(tr("修改操作员信息"));

    QFormLayout* fields = setupFields(this, tr("Tk通号:"));
    // The identifier is the key of the row being changed.
    txtID->setReadOnly(true);
    // The messenger number is not changed here: nothing typed into it would be kept.
    txtTk->setEnabled(false);
    Check1 = new QCheckBox(tr("注销当前操作员"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    fields->addRow(QString(), Check1);
    setTabOrder(txtDept, Check1);

    auto* buttons = new QHBoxLayout;
    cmdEdit = setupButtons(this, "cmdEdit", tr("修改"), buttons, Check1);

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
    Check1->setText(Check1->isChecked() ? tr("注销当前操作员") : tr("启用当前操作员"));
}

void frmEditUser::cmdEdit_Click()
{
    OperatorInput in{txtID->text(), txtName->text(), txtPassword->text(), txtAffirmPassword->text(), txtDept->text()};
    in.cancelled = Check1->isChecked();
    UsersOutcome out = OperatorWork::checkChange(in, m_passwordEdited);
    if (out.done) {
        if (!m_session.sysDb)
            return;
        out = OperatorWork::change(*m_session.sysDb, m_session.auditContext(), in, m_passwordEdited);
    }
    ShowNotice(out.notice);
    if (out.done)
        accept();
}

void frmEditUser::cmdExit_Click()
{
    reject();
}
