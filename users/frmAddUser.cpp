#include "frmAddUser.h"
#include "UsersUi.h"

#include <Module1.h>
#include <MsgBox.h>
#include <PasswordHash.h>
#include <UserIds.h>

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Module1;
using namespace UsersUi;

frmAddUser::frmAddUser(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAddUser"));
    setWindowTitle(QStringLiteral("增加操作员"));

    const QString capRoles = QStringLiteral("所属角色：");
    QFormLayout* fields = setupFields(this, QStringLiteral("Tk通号："));
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
    cmdAdd = setupButtons(this, "cmdAdd", QStringLiteral("增加"), buttons, ListView1);

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
    followId(ListView1, txtID->text(), m_rolesLoaded, QStringLiteral("select * from SM_Group order by cGroup_Id"),
             QStringLiteral("cGroup_Id"), QStringLiteral("cGroup_Name"), QStringLiteral("读取角色失败：%1"));
}

void frmAddUser::cmdAdd_Click()
{
    const QString id = txtID->text().trimmed();
    if (id.isEmpty() || txtName->text().trimmed().isEmpty())
        return;
    if (txtPassword->text() != txtAffirmPassword->text()) {
        MsgBox(QStringLiteral("口令必须一致!"), vb::vbCritical | vb::vbOKOnly, kTitleSys);
        return;
    }
    if (const QString bad = UserIds::refusal(QStringLiteral("操作员"), id); !bad.isEmpty()) {
        MsgBox(bad, vb::vbCritical | vb::vbOKOnly, kTitleSys);
        return;
    }
    QString stored;
    try {
        stored = PasswordHash::hash(txtPassword->text());
    } catch (const DbError& e) {
        MsgBox(QStringLiteral("操作员:[%1]未能增加：%2").arg(id, e.userText()), vb::vbCritical | vb::vbOKOnly, kTitleDup);
        return;
    }
    if (IdList.contains(QLatin1Char(',') + id + QLatin1Char(','))) {
        MsgBox(QStringLiteral("操作员:[") + id + QStringLiteral("]已存在，不能增加!"), vb::vbCritical | vb::vbOKOnly, kTitleDup);
    } else {
        if (!gSysDb)
            return;
        try {
            // The operator and its memberships are written together or not at all.
            Database::Transaction t(*gSysDb);
            gSysDb->execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) "
                                           "values (?,?,?,0,?,0,?)"),
                            {txtID->text(), txtName->text(), stored, txtDept->text(), txtTk->text()});
            for (const QString& role : tickedIds(ListView1))
                gSysDb->execute(QStringLiteral("insert into SM_role (cGroup_Id,cUser_Id) values (?,?)"), {role, txtID->text()});
            AuditLog::write(*gSysDb, auditContext(), Audit::userAdded(id, txtName->text(), txtDept->text(), tickedIds(ListView1)));
            t.commit();
        } catch (const DbError& e) {
            AuditLog::record(*gSysDb, auditContext(), Audit::userAdded(id, txtName->text(), txtDept->text(), tickedIds(ListView1)).failed(e.userText()));
            WriteErrLog(3, e.text(), QStringLiteral("cmdAdd_Click"));
            // Nothing was written; what was typed stays for a correction.
            if (isDuplicateKey(e))
                MsgBox(QStringLiteral("操作员:[") + id + QStringLiteral("]已在系统库中，不能增加!"), vb::vbCritical | vb::vbOKOnly, kTitleDup);
            else
                MsgBox(QStringLiteral("操作员:[%1]未能增加：%2").arg(id, e.userText()), vb::vbCritical | vb::vbOKOnly, kTitleDup);
            return;
        }
        IdList += txtID->text() + QLatin1Char(',');
    }
    writeMirror(stored);

    txtID->clear();   // also empties the role list
    txtName->clear();
    txtPassword->clear();
    txtAffirmPassword->clear();
    txtDept->clear();
    txtTk->clear();
    txtID->setFocus();
}

// The mirror system database, when there is one, receives every operator offered here.
void frmAddUser::writeMirror(const QString& storedPassword)
{
    // A server installation has no mirror on the workstation.
    const QString mirror = gServer.isEmpty() ? MirrorSysDbPath() : QString();
    if (mirror.isEmpty())
        return;
    const QString id = txtID->text().trimmed();
    try {
        Database db(mirror);
        db.execute(QStringLiteral("insert into SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState) values (?,?,?,0,?,0)"),
                   {txtID->text(), txtName->text(), storedPassword, txtDept->text()});
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("cmdAdd_Click"));
        if (isDuplicateKey(e))
            MsgBox(QStringLiteral("操作员:[%1]已在镜像系统库（%2）中，未再写入。").arg(id, mirror), vb::vbExclamation | vb::vbOKOnly, kTitleSys);
        else
            MsgBox(QStringLiteral("操作员:[%1]未能写入镜像系统库（%2）：%3").arg(id, mirror, e.userText()), vb::vbExclamation | vb::vbOKOnly, kTitleSys);
    }
}

void frmAddUser::cmdExit_Click()
{
    accept();
}
