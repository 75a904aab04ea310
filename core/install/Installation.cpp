#include "Installation.h"
#include "InstallationUpkeep.h"

#include <Database.h>
#include <SqlScript.h>

#include <CiFile.h>
#include <ErrLog.h>
#include <FileModes.h>
#include <AuditLog.h>
#include <LoginCheck.h>
#include <PasswordHash.h>
#include <SysInfo.h>
#include <Paths.h>

namespace {
struct Chart {
    const char* file;
    const char* tradeName;
};
const Chart kCharts[] = {
    {":/data/charts/2007.tsv", "2007年新会计准则"}, // not translated: the trade's name in GL_BTrade
    {":/data/charts/small2013.tsv", "小企业会计准则"}, // not translated: the trade's name in GL_BTrade
    {":/data/charts/ent2001.tsv", "企业会计制度"}, // not translated: the trade's name in GL_BTrade
};

void loadCharts(Database& db)
{
    for (const Chart& c : kCharts) {
        const QString name = QString::fromUtf8(c.tradeName);
        const QVariant tradeId = db.scalar(QStringLiteral("SELECT itrade_id FROM GL_BTrade WHERE ctrade_name=?"), {name});
        if (tradeId.isNull())
            throw DbError(Words::of("Installation", QT_TRANSLATE_NOOP("Installation", "行业不存在：%1"), name));
        const QStringList lines = SqlScript::readResource(QString::fromLatin1(c.file)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList header = lines.value(0).trimmed().split(QLatin1Char('\t'));
        QStringList marks;
        for (int i = 0; i < header.size(); ++i)
            marks << QStringLiteral("?");
        const QString sql = QStringLiteral("INSERT INTO GL_DPrecode (itrade_id,%1) VALUES (?,%2)")
                                .arg(header.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        for (int i = 1; i < lines.size(); ++i) {
            const QStringList f = QString(lines[i]).remove(QLatin1Char('\r')).split(QLatin1Char('\t'));
            QVariantList params{tradeId};
            for (int k = 0; k < header.size(); ++k) {
                const QString v = f.value(k);
                const QString col = header[k];
                if (col == QLatin1String("igrade") || col == QLatin1String("bproperty") || col == QLatin1String("bend"))
                    params << v.toInt();
                else
                    params << v;
            }
            db.execute(sql, params);
        }
    }
}
} // namespace

namespace Installation {
namespace {
// Books an earlier import filled with the system database's collation take their own, so a
// dump of one set's books restores alone; nothing waits long for books another session reads.
void takeOwnCollations(Database& db)
{
    try {
        Database::Transaction t(db);
        db.execute(QStringLiteral("SET LOCAL lock_timeout = '1s'"));
        if (db.ownCollations() > 0)
            t.commit();
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("openServerSystem"));
    }
}
// What every program does to a system database it has opened: asks in one statement what is
// missing or left (InstallationUpkeep), makes only that (a read-only file is logged and left: the
// login still reads it), and, with `convert`, hashes plain passwords. What is left is returned.
Opened readyForLogins(Database& db, bool convert, const char* where, const QList<Database::Statement>& alsoRead)
{
    InstallationUpkeep::State state;
    QList<Recordset> read;
    try {
        state = InstallationUpkeep::ask(db, alsoRead, &read);
    } catch (const DbError& e) {
        if (db.engine() == Engine::PostgreSQL)
            throw;
        WriteErrLog(3, e.text(), QString::fromLatin1(where));
        state.tablesMissing = state.logBehind = true;
    }
    if (db.engine() == Engine::PostgreSQL && !state.installed)
        return {false, false, {}};
    InstallationUpkeep::bringUpToDate(db, state);
    if (state.foreignCollations)
        takeOwnCollations(db);
    // Read again when it was not read with the question (asked again without it) or the
    // passwords it read have just become hashes.
    bool readAgain = read.isEmpty();
    // A file installation's mirror is converted with it, whatever the system database holds.
    if (convert && (state.plainPasswords || db.engine() == Engine::SQLite)) {
        convertPasswords(db);
        readAgain = readAgain || state.plainPasswords;
        state.plainPasswords = false;
    }
    if (readAgain && !alsoRead.isEmpty())
        read = db.batch(alsoRead);
    return {true, state.plainPasswords, read};
}

} // namespace

void createSystemDatabase(const QString& path, bool demo)
{
    SqlScript::createFile(path, [demo](Database& db) {
        SqlScript::run(db, QStringLiteral(":/data/system_schema.sql"));
        SqlScript::run(db, QStringLiteral(":/data/system_rows.sql"));
        if (demo)
            SqlScript::run(db, QStringLiteral(":/data/demo_rows.sql"));
        loadCharts(db);
    });
}

void createServer(const ConnInfo& server, bool demo)
{
    Database db;
    db.openServer(server.connectString(), QString::fromLatin1(kSystemSchema));
    // Another console or tool may be making one at the same moment: one waits for the other.
    Database::Transaction t(db);
    db.execute(QStringLiteral("SELECT pg_advisory_xact_lock(7406)"));
    if (db.hasTable(QStringLiteral("SM_User")))
        throw DbError(Words::of("Installation", QT_TRANSLATE_NOOP("Installation", "这个服务器数据库中已有一个安装，不会覆盖：%1"), server.label()));
    SqlScript::run(db, QStringLiteral(":/data/system_schema.sql"));
    SqlScript::run(db, QStringLiteral(":/data/system_rows.sql"));
    if (demo)
        SqlScript::run(db, QStringLiteral(":/data/demo_rows.sql"));
    loadCharts(db);
    LoginCheck::ensureTable(db);
    AuditLog::upgrade(db);
    t.commit();
}

namespace {
Words noInstallation(const ConnInfo& server)
{
    return Words::of("Installation", QT_TRANSLATE_NOOP("Installation", "这个服务器数据库中没有安装：%1"), server.label());
}

void openSystemSchema(Database& db, const ConnInfo& server)
{
    try {
        db.openServer(server.connectString(), QString::fromLatin1(kSystemSchema), false);
    } catch (const DbError& e) {
        // A database the server has, without the system schema: no installation.
        if (e.nativeCode() == QLatin1String(kNoSuchSchema))
            throw DbError(noInstallation(server));
        throw;
    }
}
} // namespace

Opened openServerSystem(Database& db, const ConnInfo& server, bool convert, const QList<Database::Statement>& alsoRead)
{
    openSystemSchema(db, server);
    const Opened opened = readyForLogins(db, convert, "openServerSystem", alsoRead);
    if (!opened.installed) {
        db.close();
        throw DbError(noInstallation(server));
    }
    return opened;
}

QString sysDbPath(const QString& root)
{
    return InstallationPlace::sysDbPathUnder(root);
}

void createRoot(const QString& root, bool demo)
{
    const QString sysDb = sysDbPath(root);
    if (CiFile::exists(sysDb))
        throw DbError(Words::of("Installation", QT_TRANSLATE_NOOP("Installation", "安装目录已存在系统库，不会覆盖：%1"), sysDb));
    FileModes::applyFor(root);
    createSystemDatabase(sysDb, demo);
}

Opened openSystemDatabase(Database& db, const InstallationPlace& place, bool convert, const QList<Database::Statement>& alsoRead)
{
    if (place.onServer()) {
        FileModes::applyForServer();
        return openServerSystem(db, place.conn(), convert, alsoRead);
    }
    FileModes::applyFor(place.root());
    db.open(place.sysDbPath());
    return readyForLogins(db, convert, "openSystemDatabase", alsoRead);
}

void openToRead(Database& db, const InstallationPlace& place)
{
    if (place.onServer()) {
        FileModes::applyForServer();
        openSystemSchema(db, place.conn());
        return;
    }
    FileModes::applyFor(place.root());
    db.open(place.sysDbPath());
}

void convertPasswords(Database& db)
{
    try {
        PasswordHash::convertTable(db, QStringLiteral("SM_User"));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("convertPasswords"));
    }
    // A server installation has no mirror on the workstation.
    const QString mirror = db.engine() == Engine::PostgreSQL ? QString() : SysInfo::mirrorSysDbPath();
    if (mirror.isEmpty())
        return;
    try {
        Database m(mirror);
        PasswordHash::convertTable(m, QStringLiteral("SM_User"));
    } catch (const DbError& e) {
        WriteErrLog(3, e.text(), QStringLiteral("convertPasswords"));
    }
}
}
