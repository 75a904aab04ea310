#include "frmAddRole.h"
#include "RoleForm.h"
#include "UsersUi.h"

#include <Module1.h>
#include <MsgBox.h>

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
    const RoleForm::Controls c = RoleForm::build(this, "cmdAdd", QStringLiteral("增加"));
    txtID = c.txtID;
    txtName = c.txtName;
    txtBZ = c.txtBZ;
    ListView1 = c.ListView1;
    cmdAdd = c.cmdAction;
    cmdChkAll = c.cmdChkAll;
    cmdChkC = c.cmdChkC;
    cmdExit = c.cmdExit;
    cmdHelp = c.cmdHelp;

    connect(txtID, &QLineEdit::textChanged, this, &frmAddRole::txtID_Change);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAddRole::cmdAdd_Click);
    connect(cmdChkAll, &QPushButton::clicked, this, &frmAddRole::cmdChkAll_Click);
    connect(cmdChkC, &QPushButton::clicked, this, &frmAddRole::cmdChkC_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAddRole::cmdExit_Click);
}

void frmAddRole::txtID_Change()
{
    if (txtID->text().isEmpty()) {
        clearList(ListView1);
        m_membersLoaded = false;
        return;
    }
    if (m_membersLoaded || !gSysDb)
        return;
    try {
        Recordset rs = gSysDb->query(QStringLiteral("select * from SM_User where iadmin=0"));
        for (; !rs.Eof(); rs.MoveNext())
            addCheckItem(ListView1, rs.text(QStringLiteral("cUser_Id")), rs.text(QStringLiteral("cUser_Name")));
        m_membersLoaded = true;
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("txtID_Change"));
        MsgBox(QStringLiteral("读取操作员失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, kTitleSys);
    }
}

void frmAddRole::cmdAdd_Click()
{
    const QString id = txtID->text().trimmed();
    if (id.isEmpty() || txtName->text().trimmed().isEmpty())
        return;
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
            for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
                const QTreeWidgetItem* item = ListView1->topLevelItem(i);
                if (item->checkState(0) == Qt::Checked)
                    gSysDb->execute(QStringLiteral("insert into SM_role (cGroup_Id,cUser_Id) values (?,?)"), {txtID->text(), item->text(0)});
            }
            t.commit();
        } catch (const DbError& e) {
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

void frmAddRole::cmdChkAll_Click() { tickAll(ListView1, true); }
void frmAddRole::cmdChkC_Click() { tickAll(ListView1, false); }

void frmAddRole::cmdExit_Click()
{
    accept();
}
