#pragma once
// A fresh installation root per test, made by the core alone: the fixture of the core tests,
// which link no widgets. The form tests build their shared state on top of it (TestEnv).
// With REVOZI_TEST_ENGINE=postgresql the installation is a server installation instead, in a
// database of its own on the server the PG* variables name, dropped at the end: the same test
// functions then run against the server (ctest registers such programs a second time).
#include <AccountSetCreator.h>
#include <Engine.h>
#include <InstallationPlace.h>

#include <QString>
#include <QTemporaryDir>

#include <memory>

class Database;
class ServerDatabase;

class TestRoot {
public:
    // Creates ROOT/DeZaduzi/DeZaduzi.mdb from the shipped data, with no system directory set.
    explicit TestRoot(bool withSystemDb = true);
    virtual ~TestRoot();

    // Whether this run's installations are on the server.
    static bool onServer();
    static Engine engine() { return onServer() ? Engine::PostgreSQL : Engine::SQLite; }

    QString root() const;               // without trailing separator; a folder on both engines
    // The system database's file (of the root; a server installation has none).
    QString sysDbPath() const;
    // The installation: the root's files, or the server database.
    InstallationPlace place() const;
    // A connection to the system database for the work under test, assertions and arranging rows.
    Database& db();

    // Makes a mirror system database under a temporary system directory (REVOZI_SYSDIR).
    QString makeMirror();

    // The account-database template beside the executable.
    static QString templatePath();
    // A set as the wizard hands it over: "账套" + acc of the unit 青木, supervised by demo, made from the template.
    static AccountSetInput setInput(const QString& acc, const QString& path, const QString& year, const QString& month = QStringLiteral("1"));

protected:
    void closeDb();

private:
    std::unique_ptr<ServerDatabase> m_server;
    QString m_conninfo;   // the server database of this installation; empty on SQLite
    QTemporaryDir m_dir;
    QTemporaryDir m_sysDir;
    std::unique_ptr<Database> m_db;
    QByteArray m_oldSysDir;
};

// Skips a test, or the rest of one, that is about files of an installation on SQLite only.
#define SKIP_ON_SERVER(why)                 \
    do {                                    \
        if (TestRoot::onServer())           \
            QSKIP(why);                     \
    } while (false)
