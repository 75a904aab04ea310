#include "frmAddRole.h"
#include "UsersUi.h"

#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <RoleWork.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Module1;
using namespace UsersUi;

frmAddRole::frmAddRole(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmAddRole"));
    setWindowTitle(tr("增加角色"));
    cmdAdd = setupUi(this, "cmdAdd", tr("增加"));

    connect(txtID, &QLineEdit::textChanged, this, &frmAddRole::txtID_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAddRole::cmdAdd_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAddRole::cmdExit_Click);
}

void frmAddRole::txtID_Change()
{
    followId(m_session.db(), ListView1, txtID->text(), m_membersLoaded, QStringLiteral("select * from SM_User where iadmin=0 order by cUser_Id"),
             QStringLiteral("cUser_Id"), QStringLiteral("cUser_Name"), tr("读取操作员失败：%1"));
}

void frmAddRole::cmdAdd_Click()
{
    const RoleInput in{txtID->text(), txtName->text(), txtBZ->text()};
    AddOutcome out = RoleWork::checkNew(in, IdList);
    if (out.next == AddOutcome::Next::Write) {
        if (!m_session.sysDb)
            return;
        out = RoleWork::add(*m_session.sysDb, m_session.auditContext(), in, tickedIds(ListView1));
        if (out.next == AddOutcome::Next::Clear)
            IdList += txtID->text() + QLatin1Char(',');
    }
    ShowNotice(out.notice);
    if (out.next == AddOutcome::Next::Keep)
        return;
    txtID->clear();   // also empties the member list
    txtName->clear();
    txtBZ->clear();
    txtID->setFocus();
}

void frmAddRole::cmdExit_Click()
{
    accept();
}
