#include "AccountDb.h"

#include <CiFile.h>
#include <Paths.h>

#include <QCoreApplication>

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

QString templatePath()
{
    return CiFile::resolve(Paths::join(QCoreApplication::applicationDirPath(), QStringLiteral("kddata/KdData.mdb")));
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

std::unique_ptr<Database> open(Database& sysDb, const QString& accId, int year)
{
    QString path;
    int y = 0;
    if (!locate(sysDb, accId, year, &path, &y))
        throw DbError(QStringLiteral("账套[%1]不存在。").arg(accId));
    const QString file = databasePath(path, accId, y);
    if (!CiFile::isFile(file))
        throw DbError(QStringLiteral("找不到账套[%1]的账套库：%2").arg(accId, file));
    return std::make_unique<Database>(file);
}
}
