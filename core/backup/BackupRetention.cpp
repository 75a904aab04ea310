#include "BackupRetention.h"
#include "BackupSet.h"
#include "Manifest.h"

#include <CiFile.h>
#include <Paths.h>

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>

namespace BackupRetention {
namespace {
const QString kNameFormat = QStringLiteral("yyyyMMdd-HHmmss");

// Index of the ISO week of `d` counted from a fixed Monday, so consecutive weeks differ by one
// across year ends.
qint64 weekIndex(const QDate& d)
{
    static const QDate monday(2000, 1, 3);
    return (monday.daysTo(d) - (d.dayOfWeek() - 1)) / 7;
}

qint64 monthIndex(const QDate& d)
{
    return qint64(d.year()) * 12 + (d.month() - 1);
}

// The first entry of `folder` that is not one of a backup set's three files. Anything else (a
// note, a copy someone made, a killed export's temporary file) means the folder is not only the
// scheduled export's: it is neither counted nor removed.
QString foreignEntry(const QString& folder)
{
    static const QSet<QString> ours = {BackupSet::kDescriptorName.toLower(), BackupSet::kManifestName.toLower(),
                                       BackupSet::kDataFileName.toLower()};
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (!ours.contains(entry.toLower()))
            return entry;
    return QString();
}
} // namespace

QString folderName(const QDateTime& when)
{
    return when.toString(kNameFormat);
}

QDateTime timeOf(const QString& name)
{
    if (name.size() != kNameFormat.size())
        return {};
    QDateTime t = QDateTime::fromString(name, kNameFormat);
    return t.isValid() && folderName(t) == name ? t : QDateTime();
}

QStringList toDelete(const QList<Backup>& backups, const QDateTime& now, const Policy& policy)
{
    if (!policy.any())
        return {};
    QList<Backup> sorted = backups;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Backup& a, const Backup& b) { return a.when > b.when; });
    const QDate today = now.date();
    QSet<qint64> daysSeen, weeksSeen, monthsSeen;
    QStringList out;
    for (const Backup& b : sorted) {
        if (!b.when.isValid() || b.when > now)
            continue;
        const QDate d = b.when.date();
        bool keep = false;
        // Newest first, so the first backup met in a day, week or month is that one's newest.
        const qint64 day = d.daysTo(today);
        if (day < policy.days && !daysSeen.contains(day)) {
            daysSeen.insert(day);
            keep = true;
        }
        const qint64 week = weekIndex(today) - weekIndex(d);
        if (week < policy.weeks && !weeksSeen.contains(week)) {
            weeksSeen.insert(week);
            keep = true;
        }
        const qint64 month = monthIndex(today) - monthIndex(d);
        if (month < policy.months && !monthsSeen.contains(month)) {
            monthsSeen.insert(month);
            keep = true;
        }
        if (!keep)
            out << b.name;
    }
    return out;
}

QList<Backup> scan(const QString& setFolder)
{
    QList<Backup> out;
    const QStringList names = QDir(setFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QDateTime when = timeOf(name);
        if (!when.isValid())
            continue;
        const QString dir = Paths::join(setFolder, name);
        // The manifest is what this program's export always writes; a folder without a readable
        // one was not written by it and is none of its business.
        const QString manifest = CiFile::resolve(Paths::join(dir, BackupSet::kManifestName));
        if (!CiFile::isFile(manifest) || !BackupSet::readManifest(manifest).has_value())
            continue;
        if (!CiFile::isFile(Paths::join(dir, BackupSet::kDescriptorName)) || !CiFile::isFile(Paths::join(dir, BackupSet::kDataFileName))
            || !foreignEntry(dir).isEmpty())
            continue;
        out.append({name, when});
    }
    std::sort(out.begin(), out.end(), [](const Backup& a, const Backup& b) { return a.when > b.when; });
    return out;
}

bool removeBackup(const QString& folder, QString* error)
{
    const QString other = foreignEntry(folder);
    if (!other.isEmpty()) {
        if (error)
            *error = QStringLiteral("备份目录 %1 中还有其他文件（%2），已保留").arg(folder, other);
        return false;
    }
    // The descriptor first: a folder left half removed is then no backup set an import would take.
    for (const QString& name : {BackupSet::kDescriptorName, BackupSet::kManifestName, BackupSet::kDataFileName}) {
        const QString path = CiFile::resolve(Paths::join(folder, name));
        if (CiFile::exists(path) && !QFile::remove(path)) {
            if (error)
                *error = QStringLiteral("无法删除 %1").arg(path);
            return false;
        }
    }
    // rmdir removes only an empty folder: anything that appeared meanwhile stays, with its folder.
    if (!QDir().rmdir(folder)) {
        if (error)
            *error = QStringLiteral("备份目录 %1 中还有其他文件，已保留").arg(folder);
        return false;
    }
    return true;
}
}
