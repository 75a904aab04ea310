#include "BackupSet.h"

#include <CiFile.h>
#include <Paths.h>

#include <QCoreApplication>
#include <QFile>

namespace BackupSet {
namespace {
const QByteArray kCrLf("\r\n");

QString withSep(const QString& folder)
{
    return Paths::withTrailingSep(folder);
}
} // namespace

QString exportDate(const QDate& day)
{
    // A format of its own, not the locale's: the same set exported from the console and from a
    // timer's revozi-backup must carry the same date.
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString twoDigitYear(int year)
{
    return QString::number(year).mid(2, 2);
}

QString fourDigitYear(const QString& twoDigits)
{
    return (twoDigits.startsWith(QLatin1Char('0')) ? QStringLiteral("20") : QStringLiteral("19")) + twoDigits;
}

QStringList descriptorLines(const DescriptorInfo& info)
{
    const QString bytes = QString::number(info.bytes);
    const QString accFolder = withSep(info.accFolder);
    return {
        QStringLiteral("[BackRetInfo]"),
        QStringLiteral("Type=Account"),
        QStringLiteral("cAcc_Id=") + info.accId,
        QStringLiteral("iSysId=") + info.sysId,
        QStringLiteral("cacc_path=") + accFolder,
        QStringLiteral("Version=1.00"),
        QStringLiteral("VersionEx=V8.520"),
        QStringLiteral("Date=") + info.date,
        QStringLiteral("YCount=1"),
        QStringLiteral("YYear=") + twoDigitYear(info.year),
        QStringLiteral("Backup=") + (info.backupOk ? QStringLiteral("true") : QStringLiteral("false")),
        QStringLiteral("Disks=0"),
        QStringLiteral("Bytes=") + bytes,
        QStringLiteral("[FileInfo]"),
        QStringLiteral("Count=1"),
        QStringLiteral("File1=") + withSep(info.yearFolder) + kPreparedName,
        QStringLiteral("[Files]"),
        QStringLiteral("File1=1,,KDDATA.BA_,KDDATA.BAK,") + accFolder + QStringLiteral(",,,") + info.date
            + QLatin1Char(',') + bytes,
    };
}

bool writeDescriptor(const QString& path, const DescriptorInfo& info, Words* error)
{
    return saveAtomically(path, descriptorLines(info).join(QString::fromLatin1(kCrLf)).toUtf8(), error);
}

QString readLine(const QString& path, int lineNo)
{
    if (lineNo <= 0 || !CiFile::isFile(path))
        return QString();
    QFile f(CiFile::resolve(path));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (int count = 1; !f.atEnd(); ++count) {
        QByteArray line = f.readLine();
        if (f.error() != QFileDevice::NoError)
            return QString();
        if (count == lineNo) {
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            return QString::fromUtf8(line);
        }
    }
    return QString();
}

QString lineValue(const QString& line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.mid(eq + 1);
}

namespace {
// A descriptor is a few hundred bytes; anything far larger is some other file.
constexpr qint64 kMaxDescriptorBytes = 64 * 1024;

// The lines of `text` without their line ends (a last line end starts no line).
QStringList splitLines(const QByteArray& text)
{
    QList<QByteArray> parts = text.split('\n');
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList lines;
    lines.reserve(parts.size());
    for (QByteArray& line : parts) {
        while (line.endsWith('\r'))
            line.chop(1);
        lines << QString::fromUtf8(line);
    }
    return lines;
}

void takeLines(Descriptor& d, const QStringList& lines)
{
    auto value = [&lines](int lineNo) { return lineNo <= lines.size() ? lineValue(lines.at(lineNo - 1)) : QString(); };
    d.lineCount = int(lines.size());
    d.firstLine = lines.isEmpty() ? QString() : lines.first().trimmed();
    d.accId = value(LineAccId);
    d.sysId = value(LineSysId);
    d.accFolder = value(LineAccFolder);
    d.yearDigits = value(LineYear);
    const QString bytesLine = LineBytes <= lines.size() ? lines.at(LineBytes - 1) : QString();
    bool ok = false;
    const qint64 bytes = lineValue(bytesLine).trimmed().toLongLong(&ok);
    if (bytesLine.startsWith(QLatin1String("Bytes="), Qt::CaseInsensitive) && ok && bytes >= 0)
        d.bytes = bytes;
}
} // namespace

Descriptor readDescriptor(const QString& path)
{
    Descriptor d;
    d.path = CiFile::resolve(path);
    d.folder = withSep(Paths::parentDir(d.path));
    d.dataFile = CiFile::resolve(d.folder + kDataFileName);
    QFile f(d.path);
    // Our sentence first, the system's words (if any) only quoted after it.
    if (!CiFile::isFile(d.path)) {
        d.error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "该文件不存在，或不是文件"));
    } else if (!f.open(QIODevice::ReadOnly)) {
        d.error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法打开该文件（详情：“%1”）"), f.errorString());
    } else {
        const QByteArray text = f.read(kMaxDescriptorBytes + 1);
        if (f.error() != QFileDevice::NoError)
            d.error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法读取该文件（详情：“%1”）"), f.errorString());
        else if (text.size() <= kMaxDescriptorBytes)
            takeLines(d, splitLines(text));
    }
    d.year = fourDigitYear(d.yearDigits);
    return d;
}

QString sourceDir(const QString& descriptorPath)
{
    return withSep(Paths::parentDir(CiFile::resolve(descriptorPath)));
}

QString dataFilePath(const QString& descriptorPath)
{
    return CiFile::resolve(sourceDir(descriptorPath) + kDataFileName);
}

bool rewriteFolder(const QString& descriptorPath, const QString& newAccFolder, Words* error)
{
    const QString path = CiFile::resolve(descriptorPath);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法读取文件 %1：%2"), path, f.errorString());
        return false;
    }
    QByteArray out;
    for (int count = 1; !f.atEnd(); ++count) {
        QByteArray line = f.readLine();
        if (f.error() != QFileDevice::NoError) {
            if (error)
                *error = Words::of("BackupSet", QT_TRANSLATE_NOOP("BackupSet", "无法读取文件 %1：%2"), path, f.errorString());
            return false;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (count == LineAccFolder)
            line = (QStringLiteral("cacc_path=") + newAccFolder).toUtf8();
        out += line + kCrLf;
    }
    f.close();
    return saveAtomically(path, out, error);
}
}
