#include "SqlScript.h"
#include "Database.h"

#include <CiFile.h>
#include <DataResources.h>
#include <Paths.h>

#include <QFile>
#include <QRegularExpression>

namespace {
void initResources()
{
    static bool done = false;
    if (!done) {
        revoziInitDataResources();
        done = true;
    }
}
} // namespace

namespace SqlScript {
QString readResource(const QString& path)
{
    initResources();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(Words::of("SqlScript", QT_TRANSLATE_NOOP("SqlScript", "缺少安装数据：%1"), path));
    return QString::fromUtf8(f.readAll());
}

void run(Database& db, const QString& resourcePath)
{
    QString text = readResource(resourcePath);
    // SQLite's REAL and INTEGER are eight bytes; the server's are four (a login's lock time in
    // milliseconds since 1970 would not fit).
    if (db.engine() == Engine::PostgreSQL) {
        text.replace(QRegularExpression(QStringLiteral("\\bREAL\\b")), QStringLiteral("DOUBLE PRECISION"));
        text.replace(QRegularExpression(QStringLiteral("\\bINTEGER\\b")), QStringLiteral("BIGINT"));
    }
    QString statement;
    QStringList statements;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = QString(raw).remove(QLatin1Char('\r'));
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        statement += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            statements << statement.trimmed();
            statement.clear();
        }
    }
    if (!statement.trimmed().isEmpty())
        statements << statement.trimmed();
    // On a server the whole script is one round trip.
    db.executeScript(statements);
}

void createFile(const QString& path, const std::function<void(Database&)>& fill)
{
    if (CiFile::exists(path))
        throw DbError(Words::of("SqlScript", QT_TRANSLATE_NOOP("SqlScript", "文件已存在，不会覆盖：%1"), path));
    CiFile::mkpath(Paths::parentDir(path));
    const QString tmp = path + QStringLiteral(".new");
    CiFile::remove(tmp);
    {
        Database db(tmp, true);
        Database::Transaction t(db);
        fill(db);
        t.commit();
    }
    if (!CiFile::rename(tmp, path)) {
        CiFile::remove(tmp);
        throw DbError(Words::of("SqlScript", QT_TRANSLATE_NOOP("SqlScript", "无法写入：%1"), path));
    }
}
}
