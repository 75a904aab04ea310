#include "frmPassword.h"

#include <Module1.h>
#include <Session.h>
#include "PasswordBox.h"

#include <MsgBox.h>
#include <OffThread.h>
#include <PasswordChange.h>
#include <PasswordHash.h>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Module1;


frmPassword::frmPassword(const Session& session, const QString& userId, const QString& storedPassword, QWidget* parent)
    : QDialog(parent)
    , m_userId(userId)
    , m_stored(storedPassword)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(tr("设置操作口令"));

    txtOldPassword = passwordBox(this, "txtOldPassword", tr("旧密码"), PasswordHash::kMaxLength);
    txtNewPassword = passwordBox(this, "txtNewPassword", tr("新密码"), PasswordHash::kMaxLength);
    txtConfirmPassword = passwordBox(this, "txtConfirmPassword", tr("确认密码"), PasswordHash::kMaxLength);

    auto* form = new QFormLayout;
    auto addRow = [&](const QString& caption, QLineEdit* edit) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(edit);
        form->addRow(l, edit);
    };
    addRow(tr("旧密码(&J):"), txtOldPassword);
    addRow(tr("新密码(&N):"), txtNewPassword);
    addRow(tr("确认密码(&F):"), txtConfirmPassword);

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
    setMinimumWidth(320);

    connect(cmdOK, &QPushButton::clicked, this, &frmPassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPassword::cmdCancel_Click);
}

void frmPassword::cmdOK_Click()
{
    // Checking and hashing take a good part of a second each: the dialog keeps painting meanwhile.
    PasswordChange work(m_session.sysDb.get(), m_session.auditContext(), [](const std::function<void()>& step) {
        runOffThread([&] {
            step();
            return true;
        });
    });
    const UsersOutcome out = work.change(m_userId, m_stored, txtOldPassword->text(), txtNewPassword->text(), txtConfirmPassword->text());
    ShowNotice(out.notice);
    if (out.done)
        accept();
}

void frmPassword::cmdCancel_Click()
{
    reject();
}
