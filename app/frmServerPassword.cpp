#include "frmServerPassword.h"

#include "PasswordBox.h"

#include <MsgBox.h>
#include <ServerPassword.h>
#include <Session.h>

#include <QFormLayout>
#include <QLabel>


frmServerPassword::frmServerPassword(Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmServerPassword"));
    setWindowTitle(tr("设置SQL Server口令"));
    txtOld = passwordBox(this, "txtOld", tr("原口令"));
    txtNew = passwordBox(this, "txtNew", tr("新口令"));
    txtConfirm = passwordBox(this, "txtConfirm", tr("确认新口令"));

    auto* form = new QFormLayout;
    form->addRow(new QLabel(tr("服务器:"), this), new QLabel(m_session.shownServer(), this));
    addPasswordRow(this, form, tr("原口令(&O):"), txtOld);
    addPasswordRow(this, form, tr("新口令(&N):"), txtNew);
    addPasswordRow(this, form, tr("确认新口令(&F):"), txtConfirm);
    const PasswordButtons buttons = layOutPasswordForm(this, form, tr("确定"), tr("取消"), 360);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;

    connect(cmdOK, &QPushButton::clicked, this, &frmServerPassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmServerPassword::cmdOK_Click()
{
    const QString title = windowTitle();
    if (txtNew->text().isEmpty()) {
        MsgBox(tr("新口令不能为空。"), vb::vbExclamation | vb::vbOKOnly, title);
        txtNew->setFocus();
        return;
    }
    if (txtNew->text() != txtConfirm->text()) {
        MsgBox(tr("两次输入的新口令不一致，请重新输入。"), vb::vbExclamation | vb::vbOKOnly, title);
        txtConfirm->clear();
        txtConfirm->setFocus();
        return;
    }
    const ServerPasswordOutcome out = ServerPassword::change(*m_session.sysDb, txtOld->text(), txtNew->text(), m_session.auditContext());
    ShowNotice(out.notice);
    if (out.done())
        accept();
}
