#include "TestEnv.h"

#include <Installation.h>

#include <Database.h>
#include <Module1.h>

TestEnv::TestEnv(bool withSystemDb)
    : TestRoot(withSystemDb)
{
    Module1::resetState();
    Module1::setRoot(root());
    Module1::gComputerName = QStringLiteral("WS-TEST");
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
        Installation::openSystemDatabase(*Module1::gSysDb, sysDbPath(), false);
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
