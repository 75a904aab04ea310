#include "frmPassword.h"

#include <Module1.h>
#include <MsgBox.h>
#include <OffThread.h>
#include <PasswordHash.h>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Module1;

namespace {
const QString kTitle = QStringLiteral("设置操作员口令");

QLineEdit* passwordBox(QWidget* parent, const char* name, const QString& accessible)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setEchoMode(QLineEdit::Password);
    // The style's own mask character varies; these boxes show "*".
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    e->setMaxLength(PasswordHash::kMaxLength);
    e->setAccessibleName(accessible);
    return e;
}
} // namespace

frmPassword::frmPassword(const QString& userId, const QString& storedPassword, QWidget* parent)
    : QDialog(parent)
    , m_userId(userId)
    , m_stored(storedPassword)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("设置操作口令"));

    txtOldPassword = passwordBox(this, "txtOldPassword", QStringLiteral("旧密码"));
    txtNewPassword = passwordBox(this, "txtNewPassword", QStringLiteral("新密码"));
    txtConfirmPassword = passwordBox(this, "txtConfirmPassword", QStringLiteral("确认密码"));

    auto* form = new QFormLayout;
    auto addRow = [&](const QString& caption, QLineEdit* edit) {
        auto* l = new QLabel(caption, this);
        l->setBuddy(edit);
        form->addRow(l, edit);
    };
    addRow(QStringLiteral("旧密码(&J):"), txtOldPassword);
    addRow(QStringLiteral("新密码(&N):"), txtNewPassword);
    addRow(QStringLiteral("确认密码(&F):"), txtConfirmPassword);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
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
    if (txtNewPassword->text() != txtConfirmPassword->text()) {
        MsgBox(QStringLiteral("输入口令不一致，再试一次！"), vb::vbInformation | vb::vbOKOnly, kTitle);
        return;
    }
    // Checking and hashing take a good part of a second each: the dialog keeps painting meanwhile.
    const QString old = txtOldPassword->text();
    if (!runOffThread([&] { return PasswordHash::verify(old, m_stored); })) {
        if (gSysDb)
            AuditLog::record(*gSysDb, auditContext(), Audit::passwordChanged(m_userId).refused(QStringLiteral("旧口令错误")));
        MsgBox(QStringLiteral("输入的旧口令错误或此用户不存在！"), vb::vbInformation | vb::vbOKOnly, kTitle);
        return;
    }
    if (!gSysDb) {
        MsgBox(QStringLiteral("系统库不存在"), vb::vbExclamation | vb::vbOKOnly, kTitle);
        return;
    }
    try {
        const QString fresh = txtNewPassword->text();
        const QString stored = runOffThread([&] { return PasswordHash::hash(fresh); });
        gSysDb->execute(QStringLiteral("update SM_User set cPassword=? where  cUser_Id=?"), {stored, m_userId});
        if (gSysDb->rowsAffected() == 0) {
            // No operator was chosen, or it has been removed meanwhile.
            MsgBox(QStringLiteral("输入的旧口令错误或此用户不存在！"), vb::vbInformation | vb::vbOKOnly, kTitle);
            return;
        }
        AuditLog::record(*gSysDb, auditContext(), Audit::passwordChanged(m_userId));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cmdOK_Click"));
        MsgBox(QStringLiteral("口令未能保存：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, kTitle);
        return;
    }
    accept();
}

void frmPassword::cmdCancel_Click()
{
    reject();
}
