#include "frmAddUser.h"
#include "UsersUi.h"

#include <Module1.h>
#include <Session.h>
#include <SysInfo.h>
#include <MsgBox.h>
#include <OperatorWork.h>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Module1;
using namespace UsersUi;

frmAddUser::frmAddUser(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmAddUser"));
    setWindowTitle(tr("增加操作员"));

    const QString capRoles = tr("所属角色：");
    QFormLayout* fields = setupFields(this, tr("Tk通号："));
    ListView1 = checkList(this, capRoles);
    setTabOrder(txtDept, txtTk);
    setTabOrder(txtTk, ListView1);

    auto* roles = new QVBoxLayout;
    roles->addWidget(caption(this, capRoles, ListView1));
    roles->addWidget(ListView1, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(fields, 1);
    body->addSpacing(12);
    body->addLayout(roles, 1);

    auto* buttons = new QHBoxLayout;
    cmdAdd = setupButtons(this, "cmdAdd", tr("增加"), buttons, ListView1);

    auto* top = new QVBoxLayout(this);
    top->addLayout(body, 1);
    top->addLayout(buttons);
    resize(560, 300);

    connect(txtID, &QLineEdit::textChanged, this, &frmAddUser::txtID_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAddUser::cmdAdd_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAddUser::cmdExit_Click);
}

void frmAddUser::txtID_Change()
{
    followId(m_session.db(), ListView1, txtID->text(), m_rolesLoaded, QStringLiteral("select * from SM_Group order by cGroup_Id"),
             QStringLiteral("cGroup_Id"), QStringLiteral("cGroup_Name"), tr("读取角色失败：%1"));
}

void frmAddUser::cmdAdd_Click()
{
    const OperatorInput in{txtID->text(), txtName->text(), txtPassword->text(), txtAffirmPassword->text(),
                           txtDept->text(), txtTk->text(), tickedIds(ListView1)};
    AddOutcome out = OperatorWork::checkNew(in, IdList);
    if (out.next == AddOutcome::Next::Write) {
        if (!m_session.sysDb)
            return;
        out = OperatorWork::add(*m_session.sysDb, m_session.auditContext(), in, out.stored);
        if (out.next == AddOutcome::Next::Clear)
            IdList += txtID->text() + QLatin1Char(',');
    }
    ShowNotice(out.notice);
    if (out.next == AddOutcome::Next::Keep)
        return;
    // The mirror system database, when there is one, receives every operator offered here; a
    // server installation has none on the workstation.
    ShowNotice(OperatorWork::addToMirror(m_session.onServer() ? QString() : SysInfo::mirrorSysDbPath(), in, out.stored));

    txtID->clear();   // also empties the role list
    txtName->clear();
    txtPassword->clear();
    txtAffirmPassword->clear();
    txtDept->clear();
    txtTk->clear();
    txtID->setFocus();
}

void frmAddUser::cmdExit_Click()
{
    accept();
}
