#include "TestEnv.h"

#include <CiFile.h>
#include <Database.h>
#include <Installation.h>
#include <Module1.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QTest>

TestEnv::TestEnv(bool withSystemDb)
{
    m_oldSysDir = qgetenv("REVOZI_SYSDIR");
    qunsetenv("REVOZI_SYSDIR");
    Module1::resetState();
    Module1::setRoot(m_dir.path());
    Module1::gComputerName = QStringLiteral("WS-TEST");
    if (withSystemDb)
        Installation::createRoot(m_dir.path());
}

TestEnv::~TestEnv()
{
    Module1::resetState();
    m_db.reset();
    if (m_oldSysDir.isEmpty())
        qunsetenv("REVOZI_SYSDIR");
    else
        qputenv("REVOZI_SYSDIR", m_oldSysDir);
}

QString TestEnv::root() const { return m_dir.path(); }

QString TestEnv::sysDbPath() const
{
    return Paths::join(m_dir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb"));
}

Database& TestEnv::db()
{
    if (!m_db)
        m_db = std::make_unique<Database>(sysDbPath());
    return *m_db;
}

void TestEnv::openSysDb()
{
    Module1::gSysDb = std::make_unique<Database>(sysDbPath());
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

QString TestEnv::makeMirror()
{
    const QString mirror = Paths::join(m_sysDir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb"));
    Installation::createSystemDatabase(mirror);
    qputenv("REVOZI_SYSDIR", m_sysDir.path().toUtf8());
    return mirror;
}

QString TestEnv::templatePath()
{
    return Paths::join(QCoreApplication::applicationDirPath(), QStringLiteral("kddata/KdData.mdb"));
}
