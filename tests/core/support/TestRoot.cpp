#include "TestRoot.h"

#include <Database.h>
#include <Installation.h>
#include <Paths.h>

#include <QAtomicInt>
#include <QCoreApplication>

namespace {
QAtomicInt g_databases;

// A connection to the database the PG* variables name, for making and dropping the others.
void administer(const QString& statement)
{
    Database admin;
    admin.openServer(QString(), QStringLiteral("public"), false);
    admin.execute(statement);
}
} // namespace

bool TestRoot::onServer()
{
    return qEnvironmentVariable("REVOZI_TEST_ENGINE").compare(QLatin1String("postgresql"), Qt::CaseInsensitive) == 0;
}

TestRoot::TestRoot(bool withSystemDb)
{
    m_oldSysDir = qgetenv("REVOZI_SYSDIR");
    qunsetenv("REVOZI_SYSDIR");
    if (onServer()) {
        // A database per installation: the program's pid keeps parallel test programs apart.
        const QString name = QStringLiteral("rt_%1_%2").arg(QCoreApplication::applicationPid()).arg(g_databases.fetchAndAddRelaxed(1));
        administer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        administer(QStringLiteral("CREATE DATABASE %1").arg(name));
        m_conninfo = QStringLiteral("dbname=") + name;
        if (withSystemDb)
            Installation::createServer(m_conninfo);
        return;
    }
    if (withSystemDb)
        Installation::createRoot(m_dir.path());
}

TestRoot::~TestRoot()
{
    m_db.reset();
    if (!m_conninfo.isEmpty()) {
        try {
            // Sessions a test left open go with it.
            administer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_conninfo.mid(7)));
        } catch (const DbError& e) {
            qWarning("test database not dropped: %s", qPrintable(e.text()));
        }
    }
    if (m_oldSysDir.isEmpty())
        qunsetenv("REVOZI_SYSDIR");
    else
        qputenv("REVOZI_SYSDIR", m_oldSysDir);
}

QString TestRoot::root() const { return m_dir.path(); }

QString TestRoot::sysDbPath() const
{
    if (!m_conninfo.isEmpty())
        return Installation::serverWhere(m_conninfo);
    return Paths::join(m_dir.path(), QStringLiteral("DeZaduzi/DeZaduzi.mdb"));
}

Database& TestRoot::db()
{
    if (!m_db) {
        m_db = std::make_unique<Database>();
        if (m_conninfo.isEmpty())
            m_db->open(sysDbPath());
        else
            Installation::openServerSystem(*m_db, m_conninfo);
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
    Installation::createSystemDatabase(mirror);
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
