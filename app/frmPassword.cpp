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
#include <QLabel>
#include <QPushButton>

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
    addPasswordRow(this, form, tr("旧密码(&J):"), txtOldPassword);
    addPasswordRow(this, form, tr("新密码(&N):"), txtNewPassword);
    addPasswordRow(this, form, tr("确认密码(&F):"), txtConfirmPassword);
    const PasswordButtons buttons = layOutPasswordForm(this, form, tr("确定"), tr("取消"), 320);
    cmdOK = buttons.ok;
    cmdCancel = buttons.cancel;

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
