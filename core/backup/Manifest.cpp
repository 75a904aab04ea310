#include "Manifest.h"
#include "BackupSet.h"
#include "DurableFile.h"

#include <CiFile.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

namespace BackupSet {
QByteArray manifestText(const Manifest& m)
{
    QString text = QStringLiteral("[BackupSum]\r\nVersion=1\r\nFile=%1\r\nBytes=%2\r\nXXH3-128=%3\r\n")
                       .arg(kDataFileName)
                       .arg(m.bytes)
                       .arg(m.checksum);
    // A plain set's manifest stays exactly as it always was.
    if (!m.seal.isPlain()) {
        for (const QString& line : m.seal.toFields())
            text += line + QStringLiteral("\r\n");
        text += QStringLiteral("Year=%1\r\n").arg(m.year);
    }
    return text.toUtf8();
}

bool writeManifest(const QString& path, const Manifest& m, Words* error)
{
    return saveAtomically(path, manifestText(m), error);
}

std::optional<Manifest> readManifest(const QString& path, QString* error)
{
    Words why;
    std::optional<Manifest> m = readManifest(path, &why);
    if (!why.shown.isEmpty() && error)
        *error = why.shown;
    return m;
}

std::optional<Manifest> readManifest(const QString& path, Words* error)
{
    const QString real = CiFile::resolve(path);
    if (!CiFile::isFile(real))
        return std::nullopt;
    QFile f(real);
    // A manifest is a few lines; anything larger is some other file.
    if (!f.open(QIODevice::ReadOnly) || f.size() > 4096) {
        if (error)
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法读取校验文件 %1"), real);
        return std::nullopt;
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    Manifest m;
    bool heading = false;
    bool version = false;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.compare(QLatin1String("[BackupSum]"), Qt::CaseInsensitive) == 0) {
            heading = true;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("Version"), Qt::CaseInsensitive) == 0)
            version = value == QLatin1String("1");
        else if (key.compare(QLatin1String("Bytes"), Qt::CaseInsensitive) == 0)
            m.bytes = value.toLongLong();
        else if (key.compare(QLatin1String("XXH3-128"), Qt::CaseInsensitive) == 0)
            m.checksum = value.toLower();
        else if (key.compare(QLatin1String("Year"), Qt::CaseInsensitive) == 0)
            m.year = value.toInt();
    }
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    if (!heading || !version || m.bytes < 0 || !hex.match(m.checksum).hasMatch()) {
        if (error)
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "校验文件 %1 格式不正确"), real);
        return std::nullopt;
    }
    Words why;
    const std::optional<SealedHeader> seal = SealedHeader::fromFields(lines, &why);
    if (!seal) {
        if (error)
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "校验文件 %1：%2"), real, why);
        return std::nullopt;
    }
    m.seal = *seal;
    if (!m.seal.isPlain() && (m.year < 1000 || m.year > 9999)) {
        if (error)
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "校验文件 %1 中的年度无效"), real);
        return std::nullopt;
    }
    return m;
}
}
