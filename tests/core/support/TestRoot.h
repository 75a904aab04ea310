#pragma once
// A fresh installation root per test, made by the core alone: the fixture of the core tests,
// which link no widgets. The form tests build their shared state on top of it (TestEnv).
#include <AccountSetCreator.h>

#include <QString>
#include <QTemporaryDir>

#include <memory>

class Database;

class TestRoot {
public:
    // Creates ROOT/DeZaduzi/DeZaduzi.mdb from the shipped data, with no system directory set.
    explicit TestRoot(bool withSystemDb = true);
    virtual ~TestRoot();

    QString root() const;               // without trailing separator
    QString sysDbPath() const;
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
    QTemporaryDir m_dir;
    QTemporaryDir m_sysDir;
    std::unique_ptr<Database> m_db;
    QByteArray m_oldSysDir;
};
