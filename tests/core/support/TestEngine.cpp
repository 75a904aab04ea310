#include "TestEngine.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QtTest>

namespace {
QAtomicInt g_schemas;
}

void TestEngine::addRows()
{
    QTest::addColumn<Engine>("engine");
    QTest::newRow("sqlite") << Engine::SQLite;
    QTest::newRow("postgresql") << Engine::PostgreSQL;
}

QString TestEngine::serverMissing()
{
    if (qEnvironmentVariableIsEmpty("PGHOST") || qEnvironmentVariableIsEmpty("PGDATABASE"))
        return QStringLiteral("no PostgreSQL server for this run: PGHOST/PGDATABASE unset (ctest starts one)");
    return QString();
}

void TestEngine::refuseInserts(Database& db, const QString& table, const QString& text, const QString& when)
{
    const QString condition = when.isEmpty() ? QString() : QStringLiteral(" WHEN (%1)").arg(when);
    if (db.engine() == Engine::PostgreSQL) {
        db.execute(QStringLiteral("CREATE FUNCTION refuse_%1() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE EXCEPTION '%2'; END$$")
                       .arg(table, text));
        db.execute(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1 FOR EACH ROW%2 EXECUTE FUNCTION refuse_%1()")
                       .arg(table, condition));
        return;
    }
    db.execute(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1%3 BEGIN SELECT RAISE(ABORT,'%2'); END").arg(table, text, condition));
}

void TestEngine::allowInserts(Database& db, const QString& table)
{
    if (db.engine() == Engine::PostgreSQL) {
        db.execute(QStringLiteral("DROP FUNCTION refuse_%1() CASCADE").arg(table));
        return;
    }
    db.execute(QStringLiteral("DROP TRIGGER refuse_%1").arg(table));
}

void TestEngine::refuseWrites(Database& db, const QString& table, const QString& text)
{
    if (db.engine() == Engine::PostgreSQL) {
        db.execute(QStringLiteral("CREATE FUNCTION refuse_%1() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE EXCEPTION '%2'; END$$")
                       .arg(table, text));
        db.execute(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE INSERT OR UPDATE OR DELETE ON %1 FOR EACH ROW EXECUTE FUNCTION refuse_%1()")
                       .arg(table));
        return;
    }
    for (const char* when : {"INSERT", "UPDATE", "DELETE"})
        db.execute(QStringLiteral("CREATE TRIGGER refuse_%1_%2 BEFORE %2 ON %1 BEGIN SELECT RAISE(ABORT,'%3'); END")
                       .arg(table, QLatin1String(when), text));
}

void TestEngine::allowWrites(Database& db, const QString& table)
{
    if (db.engine() == Engine::PostgreSQL) {
        allowInserts(db, table);
        return;
    }
    for (const char* when : {"INSERT", "UPDATE", "DELETE"})
        db.execute(QStringLiteral("DROP TRIGGER refuse_%1_%2").arg(table, QLatin1String(when)));
}

ScratchDb::ScratchDb(Engine engine)
{
    if (engine == Engine::PostgreSQL)
        m_db.openServer(QString(), QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(g_schemas.fetchAndAddRelaxed(1)));
    else
        m_db.open(m_dir.path() + QStringLiteral("/scratch.mdb"), true);
}

ScratchDb::~ScratchDb()
{
    if (m_db.engine() != Engine::PostgreSQL || !m_db.isOpen())
        return;
    try {
        m_db.execute(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(m_db.schema()));
    } catch (const DbError&) {
    }
}

void ScratchDb::openAnother(Database& other)
{
    if (m_db.engine() == Engine::PostgreSQL)
        other.openServer(QString(), m_db.schema());
    else
        other.open(m_db.path());
}

ServerDatabase::ServerDatabase()
    : m_name(QStringLiteral("t_%1_%2").arg(QCoreApplication::applicationPid()).arg(g_schemas.fetchAndAddRelaxed(1)))
{
    Database admin;
    admin.openServer(QString(), QStringLiteral("public"), false);
    // One left by an earlier run that was killed, under a process id used again.
    admin.execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    admin.execute(QStringLiteral("CREATE DATABASE %1").arg(m_name));
}

ServerDatabase::~ServerDatabase()
{
    try {
        // Sessions a test left open go with it.
        Database admin;
        admin.openServer(QString(), QStringLiteral("public"), false);
        admin.execute(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name));
    } catch (const DbError& e) {
        qWarning("test database not dropped: %s", qPrintable(e.text()));
    }
}
