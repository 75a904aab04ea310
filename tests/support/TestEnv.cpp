#include "TestEnv.h"

#include <Installation.h>

#include <Database.h>
#include <Installation.h>
#include <Module1.h>

#include <QSettings>
#include <QCoreApplication>

TestEnv::TestEnv(bool withSystemDb)
    : TestRoot(withSystemDb)
{
    Module1::resetState();
    Module1::setRoot(root());
    Module1::gComputerName = QStringLiteral("WS-TEST");
    // The workstation's remembered choices (the login's servers) start empty for each test.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root() + QStringLiteral("/config"));
}

TestEnv::~TestEnv()
{
    Module1::resetState();
    closeDb();
}

void TestEnv::openSysDb()
{
    Module1::gSysDb = std::make_unique<Database>();
    if (onServer())
        Installation::openSystemDatabase(*Module1::gSysDb, place(), false);
    else
        Module1::gSysDb->open(sysDbPath());
}

void TestEnv::loginAdmin()
{
    openSysDb();
    Module1::gUserId = QStringLiteral("admin");
    Module1::gUserName = db().scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='admin'")).toString();
    Module1::gIsAdmin = true;
}

void TestEnv::loginSupervisor(const QString& userId, const QString& accId, const QString& accName, const QString& year)
{
    openSysDb();
    Module1::gUserId = userId;
    Module1::gUserName = db().scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id=?"), {userId}).toString();
    Module1::gIsAdmin = false;
    Module1::gAccId = accId;
    Module1::gAccName = accName;
    Module1::gYear = year;
}

TestServer::TestServer()
    : m_admin(std::make_unique<Database>())
{
    m_admin->openServer(QString(), QStringLiteral("public"), false);
    m_conninfo = m_database.conninfo();
    Installation::createServer(ConnInfo(m_conninfo), true);
}

TestServer::~TestServer()
{
    m_admin.reset();
}
