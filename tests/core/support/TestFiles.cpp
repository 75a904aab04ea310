#include "TestFiles.h"

#include <CiFile.h>

#include <QFile>
#include <QTest>

QByteArray readAll(const QString& path)
{
    QFile f(CiFile::resolve(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
