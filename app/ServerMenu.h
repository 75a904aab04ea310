#pragma once
// The system menu's two server items, the administrator's: 升级SQL Server数据 moves an
// installation of files onto a server (the server chosen as the login chooses one, then
// frmMigrate) and switches the console to it; 设置SQL Server口令 changes the password of a server
// installation's login (frmServerPassword). On the other kind of installation each says why not.
#include <QCoreApplication>

class frmMain;
struct Session;

class ServerMenu {
    Q_DECLARE_TR_FUNCTIONS(ServerMenu)
public:
    ServerMenu(Session& session, frmMain& console);

    void moveToServer();
    void changePassword();

private:
    Session& m_session;
    frmMain& m_console;
};
