#pragma once
#include <TestEngine.h>
// The form tests' fixture: a fresh installation root (TestRoot) and the session of a program
// that has just started on it.
#include <TestRoot.h>

#include <Database.h>
#include <Session.h>
#include <TaskRegistry.h>

#include <memory>

class TestEnv : public TestRoot {
public:
    // Sets the session's root; creates the system database unless told not to.
    explicit TestEnv(bool withSystemDb = true);
    ~TestEnv() override;

    // The session a console of this installation is given: its root, this workstation, then
    // what the login (or loginAdmin, loginSupervisor) sets up.
    Session session;

    // Opens the kept handle as the login would.
    void openSysDb();
    // Logs in without the form: the session of an administrator or a supervisor.
    void loginAdmin();
    void loginSupervisor(const QString& userId, const QString& accId, const QString& accName, const QString& year);
};

// Another workstation's console, registered on its own connection to the same installation.
struct Workstation {
    Database db;
    TaskRegistry task;
    Workstation(TestEnv& env, const QString& station, const QString& user = QStringLiteral("demo"), qint64 pid = 0);
};

// A server installation of its own on the run's PostgreSQL cluster: a fresh database made from
// the cluster's test database, holding a new installation; dropped at the end.
class TestServer {
public:
    TestServer();
    ~TestServer();
    // The installation's connection string ("dbname=..."; host and user from PG* variables).
    QString conninfo() const { return m_conninfo; }
    // The cluster's own connection (the test database): to end another session, say.
    Database& admin() { return *m_admin; }

private:
    ServerDatabase m_database;
    std::unique_ptr<Database> m_admin;
    QString m_conninfo;
};
