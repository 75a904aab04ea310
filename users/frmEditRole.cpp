#include "frmEditRole.h"
#include "UsersUi.h"

#include <Module1.h>
#include <MsgBox.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Module1;
using namespace UsersUi;

frmEditRole::frmEditRole(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEditRole"));
    setWindowTitle(QStringLiteral("修改角色信息"));
    cmdEdit = setupUi(this, "cmdEdit", QStringLiteral("修改"));
    // The identifier is the key of the role being changed.
    txtID->setReadOnly(true);

    connect(cmdEdit, &QPushButton::clicked, this, &frmEditRole::cmdEdit_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmEditRole::cmdExit_Click);
}

void frmEditRole::cmdEdit_Click()
{
    const QString role = txtID->text();
    if (role.trimmed().isEmpty() || txtName->text().trimmed().isEmpty() || !gSysDb)
        return;
    try {
        // The name, the remark and every membership change are kept together or not at all.
        Database::Transaction t(*gSysDb);
        gSysDb->execute(QStringLiteral("update SM_Group set cGroup_Name=?,cMemo=? where cGroup_Id=?"),
                        {txtName->text(), txtBZ->text(), role});
        if (gSysDb->rowsAffected() == 0) {
            MsgBox(QStringLiteral("角色:[%1]已不存在，未能修改。").arg(role), vb::vbExclamation | vb::vbOKOnly, kTitleSys);
            return;
        }
        for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = ListView1->topLevelItem(i);
            const QString user = item->text(0);
            const bool member = !gSysDb->query(QStringLiteral("select * from SM_Role where cGroup_Id=? and cUser_Id=?"), {role, user}).Eof();
            const bool ticked = item->checkState(0) == Qt::Checked;
            if (ticked && !member)
                gSysDb->execute(QStringLiteral("insert into SM_Role (cGroup_Id,cUser_Id) values (?,?)"), {role, user});
            else if (!ticked && member)
                gSysDb->execute(QStringLiteral("delete from SM_Role where cGroup_Id=? and cUser_Id=?"), {role, user});
            if (ticked != member)
                AuditLog::write(*gSysDb, auditContext(), Audit::memberChanged(role, user, ticked));
        }
        AuditLog::write(*gSysDb, auditContext(), Audit::roleChanged(role, txtName->text(), txtBZ->text()));
        t.commit();
    } catch (const DbError& e) {
        AuditLog::record(*gSysDb, auditContext(), Audit::roleChanged(role, txtName->text(), txtBZ->text()).failed(e.userText()));
        WriteErrLog(3, e.text(), QStringLiteral("cmdEdit_Click"));
        MsgBox(QStringLiteral("角色:[%1]未能修改：%2").arg(role, e.userText()), vb::vbCritical | vb::vbOKOnly, kTitleSys);
        return;
    }
    MsgBox(QStringLiteral("修改成功！"), vb::vbOKOnly);
    accept();
}

void frmEditRole::cmdExit_Click()
{
    reject();
}
