#include "ServerMenu.h"
#include "UsedServers.h"
#include "frmMain.h"
#include "frmMigrate.h"
#include "frmServerPassword.h"
#include "frmWeb.h"

#include <MsgBox.h>
#include <Session.h>
#include <ShowModal.h>

ServerMenu::ServerMenu(Session& session, frmMain& console)
    : m_session(session)
    , m_console(console)
{
}

void ServerMenu::moveToServer()
{
    const QString title = tr("升级SQL Server数据");
    if (m_session.onServer()) {
        MsgBox(tr("本安装已经在服务器[%1]上。").arg(m_session.shownServer()), vb::vbInformation | vb::vbOKOnly, title);
        return;
    }
    if (!m_session.sysDb)
        return;
    frmWeb web(&m_console);
    web.setCurrent(ConnInfo());
    if (ShowModal(web) != QDialog::Accepted || web.chosen().isEmpty())
        return;
    const ConnInfo server = web.chosen();
    if (MsgBox(tr("把本安装（系统库和全部账套的各年度账）复制到服务器[%1]吗？\n本机的文件保留不变；复制期间请不要在其他工作站使用本安装。").arg(server.label()),
               vb::vbYesNo | vb::vbQuestion | vb::vbDefaultButton2, title) != vb::vbYes)
        return;
    frmMigrate move(m_session, server, &m_console);
    if (ShowModal(move) != QDialog::Accepted)
        return;
    // The console goes on on the server: the logout, then the login on the server just filled.
    UsedServers::remember(server);
    m_console.mnuSysU_Click();
    QMetaObject::invokeMethod(&m_console, &frmMain::mnuSysReg_Click, Qt::QueuedConnection);
}

void ServerMenu::changePassword()
{
    if (!m_session.onServer()) {
        MsgBox(tr("本安装的数据在本机的文件中，没有服务器口令。\n“升级SQL Server数据”可以把本安装复制到服务器上，之后在这里修改服务器的口令。"),
               vb::vbInformation | vb::vbOKOnly, tr("设置SQL Server口令"));
        return;
    }
    if (!m_session.sysDb)
        return;
    frmServerPassword dlg(m_session, &m_console);
    ShowModal(dlg);
}
