#include "frmuser.h"
#include "UsersUi.h"
#include "frmAddUser.h"
#include "frmEditUser.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <Session.h>
#include <MsgBox.h>
#include <OperatorWork.h>
#include <ShowModal.h>

#include <QCoreApplication>
#include <QCheckBox>
#include <QLineEdit>

using namespace Module1;

namespace {
enum Col { ColId = 0, ColName, ColDept, ColState, ColMask, ColPassword, ColTk };
// The state column's words, in the console's language: the grid shows them and editRecord reads them back.
QString stateActive() { return QCoreApplication::translate("frmuser", "有效"); }
QString stateCancelled() { return QCoreApplication::translate("frmuser", "注销"); }
}

frmuser::frmuser(const Session& session, QWidget* parent)
    : ManagerForm(parent, QStringLiteral("frmuser"), tr("操作员管理"), {
        tr("增加操作员"), tr("删除操作员"), tr("修改操作员属性"),
        tr("刷新显示内容"), tr("显示当前帮助信息"), tr("退出操作员管理"),
    }, tr("操作员"), 8400)
    , m_session(session)
{
}

void frmuser::Form_Load()
{
    MSFlexGrid1->setCols(7);
    MSFlexGrid1->setFormatString(tr("^操作员ID|^操作员全名|^部门|^状态|^口令||^Tk通号"));
    const int widths[] = {1000, 1400, 2000, 1400, 1000, 0, 1000};
    for (int c = 0; c < 7; ++c)
        MSFlexGrid1->setColWidth(c, widths[c]);
    ShowMSFLG();
}

void frmuser::ShowMSFLG()
{
    if (!m_session.sysDb)
        return;
    try {
        Recordset rs = m_session.sysDb->query(QStringLiteral("select * from sm_user where iAdmin=0 order by cUser_Id"));
        if (rs.Eof())
            return;   // an empty result leaves the grid as it was
        rs.MoveLast();
        MSFlexGrid1->setRows(rs.RecordCount() + 1);
        rs.MoveFirst();
        for (int r = 1; !rs.Eof(); rs.MoveNext(), ++r) {
            const QVariant state = rs.Fields(QStringLiteral("nState"));
            MSFlexGrid1->setTextMatrix(r, ColId, rs.text(QStringLiteral("cUser_Id")));
            MSFlexGrid1->setTextMatrix(r, ColName, rs.text(QStringLiteral("cUser_Name")));
            MSFlexGrid1->setTextMatrix(r, ColDept, rs.text(QStringLiteral("cDept")));
            MSFlexGrid1->setTextMatrix(r, ColState, state.isNull() || state.toInt() == 0 ? stateActive() : stateCancelled());
            MSFlexGrid1->setTextMatrix(r, ColMask, QStringLiteral("******"));
            // The hidden column stays, empty: no password, nor its hash, is ever put in a widget.
            MSFlexGrid1->setTextMatrix(r, ColPassword, QString());
            MSFlexGrid1->setTextMatrix(r, ColTk, rs.text(QStringLiteral("cTkAccount")));
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("ShowMSFLG"));
        MsgBox(tr("读取操作员失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, UsersUi::shown(UsersUi::kTitleSys));
    }
}

void frmuser::addRecord()
{
    frmAddUser dlg(m_session, this);
    dlg.IdList = idList();
    ShowModal(dlg);
    ShowMSFLG();
}

void frmuser::deleteRecord()
{
    const QString id = MSFlexGrid1->TextMatrix(MSFlexGrid1->Row(), ColId);
    if (id.isEmpty() || !m_session.sysDb)
        return;   // no operator on this row
    if (MsgBox(tr("确认删除操作员:[") + id + tr("]吗?"), vb::vbYesNo | vb::vbQuestion, UsersUi::shown(UsersUi::kTitleSys)) != vb::vbYes)
        return;
    const UsersOutcome out = OperatorWork::remove(*m_session.sysDb, m_session.auditContext(), id);
    ShowNotice(out.notice);
    if (out.done)
        ShowMSFLG();
}

void frmuser::editRecord()
{
    const int row = MSFlexGrid1->Row();
    if (MSFlexGrid1->TextMatrix(row, ColId).isEmpty())
        return;   // no operator on this row
    frmEditUser dlg(m_session, this);
    fillFromGrid(dlg.txtID, row, ColId);
    fillFromGrid(dlg.txtName, row, ColName);
    dlg.showPasswordMask();
    fillFromGrid(dlg.txtDept, row, ColDept);
    if (MSFlexGrid1->TextMatrix(row, ColState) == stateActive()) {
        dlg.Check1->setChecked(false);
    } else {
        dlg.Check1->setChecked(true);
        dlg.Check1->setText(tr("启用当前操作员"));
    }
    if (ShowModal(dlg) == QDialog::Accepted)
        ShowMSFLG();
}
