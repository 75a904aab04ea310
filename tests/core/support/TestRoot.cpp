#include "TestRoot.h"
#include "TestEngine.h"

#include <Database.h>
#include <Installation.h>
#include <Paths.h>

#include <QCoreApplication>


bool TestRoot::onServer()
{
    return qEnvironmentVariable("REVOZI_TEST_ENGINE").compare(QLatin1String("postgresql"), Qt::CaseInsensitive) == 0;
}

TestRoot::TestRoot(bool withSystemDb)
{
    m_oldSysDir = qgetenv("REVOZI_SYSDIR");
    qunsetenv("REVOZI_SYSDIR");
    if (onServer()) {
        // A database per installation.
        m_server = std::make_unique<ServerDatabase>();
        m_conninfo = m_server->conninfo();
        if (withSystemDb)
            Installation::createServer(ConnInfo(m_conninfo), true);
        return;
    }
    if (withSystemDb)
        Installation::createRoot(m_dir.path(), true);
}

TestRoot::~TestRoot()
{
    m_db.reset();
    m_server.reset();
    if (m_oldSysDir.isEmpty())
        qunsetenv("REVOZI_SYSDIR");
    else
        qputenv("REVOZI_SYSDIR", m_oldSysDir);
}

QString TestRoot::root() const { return m_dir.path(); }

QString TestRoot::sysDbPath() const
{
    return Paths::join(m_dir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb"));
}

InstallationPlace TestRoot::place() const
{
    return m_conninfo.isEmpty() ? InstallationPlace::files(m_dir.path()) : InstallationPlace::server(ConnInfo(m_conninfo));
}

Database& TestRoot::db()
{
    if (!m_db) {
        m_db = std::make_unique<Database>();
        if (m_conninfo.isEmpty())
            m_db->open(sysDbPath());
        else
            Installation::openServerSystem(*m_db, ConnInfo(m_conninfo));
    }
    return *m_db;
}

void TestRoot::closeDb()
{
    m_db.reset();
}

QString TestRoot::makeMirror()
{
    const QString mirror = Paths::join(m_sysDir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb"));
    Installation::createSystemDatabase(mirror, true);
    qputenv("REVOZI_SYSDIR", m_sysDir.path().toUtf8());
    return mirror;
}

QString TestRoot::templatePath()
{
    return Paths::join(QCoreApplication::applicationDirPath(), QStringLiteral("kddata/KdData.mdb"));
}

AccountSetInput TestRoot::setInput(const QString& acc, const QString& path, const QString& year, const QString& month)
{
    return {.accId = acc, .accName = QStringLiteral("账套") + acc, .accPath = path, .year = year, .month = month,
            .unitName = QStringLiteral("青木"), .master = QStringLiteral("[demo]demo"), .templatePath = templatePath()};
}
