#pragma once
// A fresh installation root per test, and the shared state of a program that has just started.
#include <QString>
#include <QTemporaryDir>

#include <memory>

class Database;

class TestEnv {
public:
    // Creates ROOT/DeZaduzi/DeZaduzi.mdb from the shipped data; resets the shared state and sets the root.
    explicit TestEnv(bool withSystemDb = true);
    ~TestEnv();

    QString root() const;               // without trailing separator
    QString sysDbPath() const;
    // A second connection to the system database for assertions and arranging rows.
    Database& db();
    // Opens the kept handle as the login would.
    void openSysDb();
    // Logs in without the form: shared state of an administrator or a supervisor.
    void loginAdmin();
    void loginSupervisor(const QString& userId, const QString& accId, const QString& accName, const QString& year);

    // Makes a mirror system database under a temporary system directory (REVOZI_SYSDIR).
    QString makeMirror();

    // The account-database template beside the executable.
    static QString templatePath();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_sysDir;
    std::unique_ptr<Database> m_db;
    QByteArray m_oldSysDir;
};
