#include "TestEnv.h"

#include <Database.h>
#include <Installation.h>

#include <QSettings>
#include <QCoreApplication>

TestEnv::TestEnv(bool withSystemDb)
    : TestRoot(withSystemDb)
{
    session.setRoot(root());
    session.computerName = QStringLiteral("WS-TEST");
    // The workstation's remembered choices (the login's servers) start empty for each test.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root() + QStringLiteral("/config"));
}

TestEnv::~TestEnv()
{
    // A console's task ends on the handle it registered on.
    session.task.reset();
    session.sysDb.reset();
    closeDb();
}

void TestEnv::openSysDb()
{
    session.sysDb = std::make_unique<Database>();
    if (onServer())
        Installation::openSystemDatabase(*session.sysDb, place(), false);
    else
        session.sysDb->open(sysDbPath());
}

void TestEnv::loginAdmin()
{
    openSysDb();
    session.user.id = QStringLiteral("admin");
    session.user.name = db().scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id='admin'")).toString();
    session.user.isAdmin = true;
}

void TestEnv::loginSupervisor(const QString& userId, const QString& accId, const QString& accName, const QString& year)
{
    openSysDb();
    session.user.id = userId;
    session.user.name = db().scalar(QStringLiteral("select cUser_Name from SM_User where cUser_Id=?"), {userId}).toString();
    session.user.isAdmin = false;
    session.account.id = accId;
    session.account.name = accName;
    session.account.year = year;
}

namespace {
Database& opened(TestEnv& env, Database& db)
{
    db.open(env.sysDbPath());
    return db;
}
} // namespace

Workstation::Workstation(TestEnv& env, const QString& station, const QString& user, qint64 pid)
    : task(opened(env, db), TaskInfo{Tasks::kConsole, user, station, QString(), pid})
{
    task.start();
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
