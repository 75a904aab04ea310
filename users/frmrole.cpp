#include "frmrole.h"
#include "UsersUi.h"
#include "frmAddRole.h"
#include "frmEditRole.h"

#include <FlexGrid.h>
#include <Module1.h>
#include <MsgBox.h>
#include <ShowModal.h>
#include <Twips.h>

#include <QAction>
#include <QLineEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Module1;

frmrole::frmrole(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmrole"));
    setWindowTitle(QStringLiteral("角色管理"));

    Toolbar1 = UsersUi::managerToolbar(this, {
        QStringLiteral("增加角色"), QStringLiteral("删除角色"), QStringLiteral("修改角色属性"),
        QStringLiteral("刷新显示内容"), QStringLiteral("显示当前帮助信息"), QStringLiteral("退出角色管理"),
    });
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setAccessibleName(QStringLiteral("角色"));
    MSFlexGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(Toolbar1);
    top->addWidget(MSFlexGrid1, 1);
    resize(Twips::toPxX(8500), Twips::toPxY(5400));

    // The buttons open modal dialogs: let the click finish first.
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmrole::Toolbar1_ButtonClick, Qt::QueuedConnection);
}

void frmrole::Form_Load()
{
    MSFlexGrid1->setCols(3);
    MSFlexGrid1->setFormatString(QStringLiteral("^角色ID|^角色名称|^备注"));
    MSFlexGrid1->setColWidth(0, 1000);
    MSFlexGrid1->setColWidth(1, 2000);
    MSFlexGrid1->setColWidth(2, 5000);
    ShowMSFLG();
}

void frmrole::ShowMSFLG()
{
    if (!gSysDb)
        return;
    try {
        Recordset rs = gSysDb->query(QStringLiteral("select * from sm_group order by cGroup_Id"));
        if (rs.Eof())
            return;   // an empty result leaves the grid as it was
        MSFlexGrid1->setRows(rs.RecordCount() + 1);
        for (int r = 1; !rs.Eof(); rs.MoveNext(), ++r) {
            MSFlexGrid1->setTextMatrix(r, 0, rs.text(QStringLiteral("cGroup_Id")));
            MSFlexGrid1->setTextMatrix(r, 1, rs.text(QStringLiteral("cGroup_Name")));
            MSFlexGrid1->setTextMatrix(r, 2, rs.text(QStringLiteral("cMemo")));
        }
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("ShowMSFLG"));
        MsgBox(QStringLiteral("读取角色失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, UsersUi::kTitleSys);
    }
}

void frmrole::Toolbar1_ButtonClick(QAction* Button)
{
    const QString key = Button->objectName().toLower();
    if (key == QLatin1String("add"))
        addRole();
    else if (key == QLatin1String("delete"))
        deleteRole();
    else if (key == QLatin1String("edit"))
        editRole();
    else if (key == QLatin1String("refresh"))
        ShowMSFLG();
    else if (key == QLatin1String("exit"))
        reject();
}

void frmrole::addRole()
{
    QString ids = QStringLiteral(",");
    for (int r = 1; r < MSFlexGrid1->Rows(); ++r)
        ids += MSFlexGrid1->TextMatrix(r, 0) + QLatin1Char(',');
    frmAddRole dlg(this);
    dlg.IdList = ids;
    ShowModal(dlg);
}

void frmrole::deleteRole()
{
    const QString id = MSFlexGrid1->TextMatrix(MSFlexGrid1->Row(), 0);
    if (id.isEmpty() || !gSysDb)
        return;   // no role on this row
    try {
        Recordset members = gSysDb->query(QStringLiteral("select * from SM_Role where cGroup_Id=?"), {id});
        if (!members.Eof()) {
            MsgBox(QStringLiteral("角色：[") + id + QStringLiteral("]已经启用（定义所属用户），不能删除！"), vb::vbOKOnly, UsersUi::kTitleBracket);
            return;
        }
        if (MsgBox(QStringLiteral("确认删除角色:[") + id + QStringLiteral("]吗?"), vb::vbYesNo | vb::vbQuestion, UsersUi::kTitleSys) != vb::vbYes)
            return;
        gSysDb->execute(QStringLiteral("delete from SM_group where cGroup_Id=?"), {id});
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("Toolbar1_ButtonClick"));
        MsgBox(QStringLiteral("角色[%1]未能删除：%2").arg(id, e.userText()), vb::vbCritical | vb::vbOKOnly, UsersUi::kTitleSys);
        return;
    }
    ShowMSFLG();
}

void frmrole::editRole()
{
    const int row = MSFlexGrid1->Row();
    const QString id = MSFlexGrid1->TextMatrix(row, 0);
    if (id.isEmpty() || !gSysDb)
        return;   // no role on this row
    frmEditRole dlg(this);
    // A value stored longer than the box allows (written by another program) is shown whole.
    auto fill = [&](QLineEdit* box, int col) {
        const QString text = MSFlexGrid1->TextMatrix(row, col);
        box->setMaxLength(qMax(box->maxLength(), int(text.size())));
        box->setText(text);
    };
    fill(dlg.txtID, 0);
    fill(dlg.txtName, 1);
    fill(dlg.txtBZ, 2);
    try {
        Recordset members = gSysDb->query(QStringLiteral("select cUser_Id,cGroup_Id from SM_Role where SM_Role.cGroup_Id=?"), {dlg.txtID->text()});
        Recordset users = gSysDb->query(QStringLiteral("select * from SM_User where iadmin=0"));
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
        MsgBox(QStringLiteral("读取角色成员失败：%1").arg(e.userText()), vb::vbExclamation | vb::vbOKOnly, UsersUi::kTitleSys);
        return;
    }
    ShowModal(dlg);
}
