#include "AccountDb.h"
#include "BooksLock.h"

#include <BuildInfo.h>
#include <CiFile.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QDir>

namespace AccountDb {
QString accountFolder(const QString& accPath, const QString& accId)
{
    return CiFile::resolve(Paths::join(accPath, QStringLiteral("zt") + accId));
}

QString yearFolder(const QString& accPath, const QString& accId, int year)
{
    return CiFile::resolve(Paths::join(accountFolder(accPath, accId), QString::number(year)));
}

QString databasePath(const QString& accPath, const QString& accId, int year)
{
    return CiFile::resolve(Paths::join(yearFolder(accPath, accId, year), QStringLiteral("KdData.mdb")));
}

bool makeFolders(const QString& folder, QStringList& made)
{
    QStringList missing;
    QString d = Paths::withoutTrailingSep(folder);
    while (!d.isEmpty() && !CiFile::isDir(d)) {
        missing.prepend(d);
        const QString parent = Paths::parentDir(d);
        if (parent == d)
            break;
        d = parent;
    }
    for (const QString& m : missing) {
        const QString real = CiFile::resolve(m);
        if (!QDir().mkdir(real) && !CiFile::isDir(real))
            return false;
        made << real;
    }
    return true;
}

void removeFolders(const QStringList& made)
{
    for (auto it = made.crbegin(); it != made.crend(); ++it)
        QDir().rmdir(*it);
}

QString templatePath()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString beside = CiFile::resolve(Paths::join(programDir, QStringLiteral("kddata/KdData.mdb")));
    if (CiFile::isFile(beside))
        return beside;
    // An installed copy keeps it in its data folder, reached from the program's folder, so a copy
    // installed under any prefix uses its own template.
    const QString installed = CiFile::resolve(
        QDir::cleanPath(Paths::join(programDir, QStringLiteral(REVOZI_DATA_FROM_BIN "/kddata/KdData.mdb"))));
    return CiFile::isFile(installed) ? installed : beside;
}

bool locate(Database& sysDb, const QString& accId, int year, QString* accPath, int* foundYear)
{
    Recordset rs = year > 0
        ? sysDb.query(QStringLiteral("select cAcc_Path,iYear from SM_Account where cAcc_Id=? and iYear=?"), {accId, year})
        : sysDb.query(QStringLiteral("select cAcc_Path,iYear from SM_Account where cAcc_Id=? order by iYear"), {accId});
    if (rs.Eof())
        return false;
    if (accPath)
        *accPath = rs.text(QStringLiteral("cAcc_Path"));
    if (foundYear)
        *foundYear = rs.Fields(QStringLiteral("iYear")).toInt();
    return true;
}

QString booksSchema(const QString& accId, int year)
{
    return QStringLiteral("zt%1_%2").arg(accId.toLower()).arg(year);
}

QString location(Database& sysDb, const QString& accId, int year)
{
    QString path;
    int y = 0;
    if (!locate(sysDb, accId, year, &path, &y))
        return QString();
    return sysDb.engine() == Engine::PostgreSQL ? booksSchema(accId, y) : databasePath(path, accId, y);
}

std::unique_ptr<Database> open(Database& sysDb, const QString& accId, int year)
{
    QString path;
    int y = 0;
    if (!locate(sysDb, accId, year, &path, &y))
        throw DbError(Words::of("AccountDb", QT_TRANSLATE_NOOP("AccountDb", "账套[%1]不存在。"), accId));
    if (sysDb.engine() == Engine::PostgreSQL) {
        auto books = std::make_unique<Database>();
        books->openServer(sysDb.conninfo(), booksSchema(accId, y), false);
        // Held while the books are open, so they are not deleted or replaced under this session.
        BooksLock::share(*books, books->schema());
        return books;
    }
    const QString file = databasePath(path, accId, y);
    if (!CiFile::isFile(file))
        throw DbError(Words::of("AccountDb", QT_TRANSLATE_NOOP("AccountDb", "找不到账套[%1]的账套库：%2"), accId, file));
    return std::make_unique<Database>(file);
}

std::unique_ptr<Database> openAt(Database& sysDb, const QString& location)
{
    auto books = std::make_unique<Database>();
    if (sysDb.engine() == Engine::PostgreSQL)
        books->openServer(sysDb.conninfo(), location, false);
    else
        books->open(location);
    return books;
}
}
