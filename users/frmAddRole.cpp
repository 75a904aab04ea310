#include "frmAddRole.h"
#include "UsersUi.h"

#include <Module1.h>
#include <MsgBox.h>
#include <UserIds.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Module1;
using namespace UsersUi;

frmAddRole::frmAddRole(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddRole"));
    setWindowTitle(QStringLiteral("增加角色"));
    cmdAdd = setupUi(this, "cmdAdd", QStringLiteral("增加"));

    connect(txtID, &QLineEdit::textChanged, this, &frmAddRole::txtID_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAddRole::cmdAdd_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAddRole::cmdExit_Click);
}

void frmAddRole::txtID_Change()
{
    followId(ListView1, txtID->text(), m_membersLoaded, QStringLiteral("select * from SM_User where iadmin=0 order by cUser_Id"),
             QStringLiteral("cUser_Id"), QStringLiteral("cUser_Name"), QStringLiteral("读取操作员失败：%1"));
}

void frmAddRole::cmdAdd_Click()
{
    const QString id = txtID->text().trimmed();
    if (id.isEmpty() || txtName->text().trimmed().isEmpty())
        return;
    if (const QString bad = UserIds::refusal(QStringLiteral("角色"), id); !bad.isEmpty()) {
        MsgBox(bad, vb::vbCritical | vb::vbOKOnly, kTitleSys);
        return;
    }
    if (IdList.contains(QLatin1Char(',') + id + QLatin1Char(','))) {
        MsgBox(QStringLiteral("角色:[") + id + QStringLiteral("]已存在，不能增加!"), vb::vbCritical | vb::vbOKOnly, kTitleDup);
    } else {
        if (!gSysDb)
            return;
        try {
            // The role and its members are written together or not at all.
            Database::Transaction t(*gSysDb);
            gSysDb->execute(QStringLiteral("insert into SM_Group (cGroup_Id,cGroup_Name,cMemo,cTradeKinds,cTrade_Kinds) values (?,?,?,?,?)"),
                            {txtID->text(), txtName->text(), txtBZ->text(), QStringLiteral("BZ"), QStringLiteral("BZ")});
            for (const QString& user : tickedIds(ListView1))
                gSysDb->execute(QStringLiteral("insert into SM_role (cGroup_Id,cUser_Id) values (?,?)"), {txtID->text(), user});
            AuditLog::write(*gSysDb, auditContext(), Audit::roleAdded(id, txtName->text(), tickedIds(ListView1)));
            t.commit();
        } catch (const DbError& e) {
            AuditLog::record(*gSysDb, auditContext(), Audit::roleAdded(id, txtName->text(), tickedIds(ListView1)).failed(e.userText()));
            WriteErrLog(3, e.text(), QStringLiteral("cmdAdd_Click"));
            // Nothing was written; what was typed stays for a correction.
            if (isDuplicateKey(e))
                MsgBox(QStringLiteral("角色:[") + id + QStringLiteral("]已在系统库中，不能增加!"), vb::vbCritical | vb::vbOKOnly, kTitleDup);
            else
                MsgBox(QStringLiteral("角色:[%1]未能增加：%2").arg(id, e.userText()), vb::vbCritical | vb::vbOKOnly, kTitleDup);
            return;
        }
        IdList += txtID->text() + QLatin1Char(',');
    }
    txtID->clear();   // also empties the member list
    txtName->clear();
    txtBZ->clear();
    txtID->setFocus();
}

void frmAddRole::cmdExit_Click()
{
    accept();
}
