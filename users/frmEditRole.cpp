#include "frmEditRole.h"
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

frmEditRole::frmEditRole(const Session& session, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("frmEditRole"));
    setWindowTitle(tr("修改角色信息"));
    cmdEdit = setupUi(this, "cmdEdit", tr("修改"));
    // The identifier is the key of the role being changed.
    txtID->setReadOnly(true);

    connect(cmdEdit, &QPushButton::clicked, this, &frmEditRole::cmdEdit_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmEditRole::cmdExit_Click);
}

void frmEditRole::cmdEdit_Click()
{
    if (!m_session.sysDb)
        return;
    QList<QPair<QString, bool>> offered;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        offered.append({ListView1->topLevelItem(i)->text(0), ListView1->topLevelItem(i)->checkState(0) == Qt::Checked});
    const UsersOutcome out = RoleWork::change(*m_session.sysDb, m_session.auditContext(), {txtID->text(), txtName->text(), txtBZ->text()}, offered);
    ShowNotice(out.notice);
    if (out.done)
        accept();
}

void frmEditRole::cmdExit_Click()
{
    reject();
}
