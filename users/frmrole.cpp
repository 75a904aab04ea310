#include "frmrole.h"
#include "UsersUi.h"
#include "frmAddRole.h"
#include "frmEditRole.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <RoleWork.h>
#include <ShowModal.h>

#include <QLineEdit>
#include <QTreeWidget>

using namespace Module1;

frmrole::frmrole(const Session& session, QWidget* parent)
    : ManagerForm(parent, QStringLiteral("frmrole"), tr("角色管理"), {
        tr("增加角色"), tr("删除角色"), tr("修改角色属性"),
        tr("刷新显示内容"), tr("显示当前帮助信息"), tr("退出角色管理"),
    }, tr("角色"), 8500)
    , m_session(session)
{
}

void frmrole::Form_Load()
{
    MSFlexGrid1->setCols(3);
    MSFlexGrid1->setFormatString(tr("^角色ID|^角色名称|^备注"));
    MSFlexGrid1->setColWidth(0, 1000);
    MSFlexGrid1->setColWidth(1, 2000);
    MSFlexGrid1->setColWidth(2, 5000);
    ShowMSFLG();
}

void frmrole::ShowMSFLG()
{
    if (!m_session.sysDb)
        return;
    try {
        Recordset rs = m_session.sysDb->query(QStringLiteral("select * from sm_group order by cGroup_Id"));
        if (rs.Eof())
            return;   // an empty result leaves the grid as it was
        MSFlexGrid1->setRows(rs.RecordCount() + 1);
        for (int r = 1; !rs.Eof(); rs.MoveNext(), ++r) {
            MSFlexGrid1->setTextMatrix(r, 0, rs.text(QStringLiteral("cGroup_Id")));
            MSFlexGrid1->setTextMatrix(r, 1, rs.text(QStringLiteral("cGroup_Name")));
            MSFlexGrid1->setTextMatrix(r, 2, rs.text(QStringLiteral("cMemo")));
        }
        // Identifiers such as DATA-MANAGER and the shipped roles' notes are wider than the columns.
        for (int c = 0; c < MSFlexGrid1->Cols(); ++c)
            MSFlexGrid1->fitColWidth(c);
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("ShowMSFLG"));
        MsgBox(tr("读取角色失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, UsersUi::shown(UsersUi::kTitleSys));
    }
}

void frmrole::addRecord()
{
    frmAddRole dlg(m_session, this);
    dlg.IdList = idList();
    ShowModal(dlg);
}

void frmrole::deleteRecord()
{
    const QString id = MSFlexGrid1->TextMatrix(MSFlexGrid1->Row(), 0);
    if (id.isEmpty() || !m_session.sysDb)
        return;   // no role on this row
    UsersOutcome out = RoleWork::mayDelete(*m_session.sysDb, m_session.auditContext(), id);
    if (out.done) {
        if (MsgBox(tr("确认删除角色:[") + id + tr("]吗?"), vb::vbYesNo | vb::vbQuestion, UsersUi::shown(UsersUi::kTitleSys)) != vb::vbYes)
            return;
        out = RoleWork::remove(*m_session.sysDb, m_session.auditContext(), id);
    }
    ShowNotice(out.notice);
    if (out.done)
        ShowMSFLG();
}

void frmrole::editRecord()
{
    const int row = MSFlexGrid1->Row();
    const QString id = MSFlexGrid1->TextMatrix(row, 0);
    if (id.isEmpty() || !m_session.sysDb)
        return;   // no role on this row
    frmEditRole dlg(m_session, this);
    fillFromGrid(dlg.txtID, row, 0);
    fillFromGrid(dlg.txtName, row, 1);
    fillFromGrid(dlg.txtBZ, row, 2);
    try {
        Recordset members = m_session.sysDb->query(QStringLiteral("select cUser_Id,cGroup_Id from SM_Role where SM_Role.cGroup_Id=?"), {dlg.txtID->text()});
        Recordset users = m_session.sysDb->query(QStringLiteral("select * from SM_User where iadmin=0 order by cUser_Id"));
        for (; !users.Eof(); users.MoveNext()) {
            const QString user = users.text(QStringLiteral("cuser_id"));
            bool member = false;
            // Identifiers compare as the engine compares them: without regard to letter case.
            for (members.MoveFirst(); !members.Eof() && !member; members.MoveNext())
                member = members.text(QStringLiteral("cuser_id")).compare(user, Qt::CaseInsensitive) == 0;
            UsersUi::addCheckItem(dlg.ListView1, user, users.text(QStringLiteral("cuser_name")), member);
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Toolbar1_ButtonClick"));
        MsgBox(tr("读取角色成员失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, UsersUi::shown(UsersUi::kTitleSys));
        return;
    }
    ShowModal(dlg);
}
