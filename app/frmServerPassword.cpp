#include "frmServerPassword.h"

#include "PasswordBox.h"

#include <MsgBox.h>
#include <ServerPassword.h>
#include <Session.h>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>


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
    auto addRow = [&](const QString& caption, QLineEdit* edit) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(edit);
        form->addRow(l, edit);
    };
    form->addRow(new QLabel(tr("服务器:"), this), new QLabel(m_session.shownServer(), this));
    addRow(tr("原口令(&O):"), txtOld);
    addRow(tr("新口令(&N):"), txtNew);
    addRow(tr("确认新口令(&F):"), txtConfirm);

    cmdOK = new QPushButton(tr("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);
    setMinimumWidth(360);

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
