#include "BackupRetention.h"
#include "BackupSet.h"
#include "Manifest.h"

#include <Paths.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Whether an entry is a backup of the set and year that the scheduled export wrote; `names`
// takes the three files' names as the folder spells them, descriptor first.
QString examine(const QString& folder, const QString& accId, int year, QStringList* names = nullptr)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return QCoreApplication::translate("BackupRetention", "无法读取（%1）").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISLNK(st.st_mode))
        return QCoreApplication::translate("BackupRetention", "是指向 %1 的符号链接").arg(QFileInfo(folder).symLinkTarget());
    if (!S_ISDIR(st.st_mode))
        return QCoreApplication::translate("BackupRetention", "不是文件夹");
    if (!timeOf(Paths::fileName(folder)).isValid())
        return QCoreApplication::translate("BackupRetention", "名称不是备份时间（yyyyMMdd-HHmmss）");

    // Exactly the three files, each once: a note, a copy someone made or a killed export's
    // temporary file means the folder is not only the scheduled export's.
    const QStringList ours = {BackupSet::kDescriptorName, BackupSet::kManifestName, BackupSet::kDataFileName};
    QStringList found(ours.size());
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        qsizetype i = 0;
        while (i < ours.size() && entry.compare(ours[i], Qt::CaseInsensitive) != 0)
            ++i;
        if (i == ours.size() || !found[i].isEmpty())
            return QCoreApplication::translate("BackupRetention", "其中还有其他文件 %1").arg(entry);
        found[i] = entry;
    }
    for (qsizetype i = 0; i < ours.size(); ++i) {
        if (found[i].isEmpty())
            return QCoreApplication::translate("BackupRetention", "其中缺少 %1").arg(ours[i]);
        const QString path = Paths::join(folder, found[i]);
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            return QCoreApplication::translate("BackupRetention", "无法读取其中的 %1").arg(found[i]);
        if (S_ISLNK(st.st_mode))
            return QCoreApplication::translate("BackupRetention", "其中的 %1 是指向 %2 的符号链接").arg(found[i], QFileInfo(path).symLinkTarget());
        if (!S_ISREG(st.st_mode))
            return QCoreApplication::translate("BackupRetention", "其中的 %1 不是普通文件").arg(found[i]);
    }
    // The manifest is what this program's export always writes: without a readable one the folder
    // is an older console's backup, or none.
    if (!BackupSet::readManifest(Paths::join(folder, found[1])).has_value())
        return QCoreApplication::translate("BackupRetention", "校验清单 %1 无法读取").arg(found[1]);
    // A backup of another set or year filed here would otherwise count as this one's, and go.
    const BackupSet::Descriptor descriptor = BackupSet::readDescriptor(Paths::join(folder, found[0]));
    const QString& namedSet = descriptor.accId;
    if (namedSet != accId)
        return QCoreApplication::translate("BackupRetention", "描述文件记的是账套[%1]，不是账套[%2]").arg(namedSet, accId);
    const QString& namedYear = descriptor.yearDigits;
    if (namedYear != BackupSet::twoDigitYear(year))
        return QCoreApplication::translate("BackupRetention", "描述文件记的年度是 YYear=%1，不是%2年度").arg(namedYear).arg(year);
    if (names)
        *names = found;
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

QString whyNotOurs(const QString& folder, const QString& accId, int year)
{
    return examine(folder, accId, year);
}

QList<Backup> scan(const QString& setFolder, const QString& accId, int year, QList<Skipped>* skipped)
{
    QList<Backup> out;
    const QStringList names = QDir(setFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString why = examine(Paths::join(setFolder, name), accId, year);
        if (why.isEmpty())
            out.append({name, timeOf(name)});
        else if (skipped)
            skipped->append({name, why});
    }
    std::sort(out.begin(), out.end(), [](const Backup& a, const Backup& b) { return a.when > b.when; });
    return out;
}

Plan plan(const QString& setFolder, const QString& accId, int year, const QDateTime& now, const Policy& policy, const QString& adding)
{
    Plan p;
    QList<Backup> backups = scan(setFolder, accId, year, &p.skipped);
    if (!adding.isEmpty() && timeOf(adding).isValid())
        backups.append({adding, timeOf(adding)});
    p.remove = toDelete(backups, now, policy);
    return p;
}

bool removeBackup(const QString& folder, const QString& accId, int year, QString* error)
{
    auto refuse = [&](const QString& why) {
        if (error)
            *error = QCoreApplication::translate("BackupRetention", "备份目录 %1 已保留：%2").arg(folder, why);
        return false;
    };
    QStringList files;
    const QString why = examine(folder, accId, year, &files);
    if (!why.isEmpty())
        return refuse(why);
    // Everything below goes through the folder opened without following a link: a link put in
    // its place since it was examined is refused, and each name is removed inside it alone.
    const QString parent = Paths::parentDir(folder);
    const int parentFd = ::open(QFile::encodeName(parent.isEmpty() ? QStringLiteral(".") : parent).constData(),
                                O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    const QByteArray leaf = QFile::encodeName(Paths::fileName(folder));
    const int dirFd = ::openat(parentFd, leaf.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0) {
        ::close(parentFd);
        return refuse(QCoreApplication::translate("BackupRetention", "不是文件夹"));
    }
    // The descriptor first: a folder left half removed is then no backup set an import would take.
    QString failed;
    for (const QString& name : files) {
        const QByteArray n = QFile::encodeName(name);
        struct stat st {};
        if (::fstatat(dirFd, n.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
            failed = QCoreApplication::translate("BackupRetention", "备份目录 %1 已保留：其中的 %2 已不是普通文件").arg(folder, name);
            break;
        }
        if (::unlinkat(dirFd, n.constData(), 0) != 0) {
            failed = QCoreApplication::translate("BackupRetention", "无法删除 %1（%2）").arg(Paths::join(folder, name), QString::fromLocal8Bit(std::strerror(errno)));
            break;
        }
    }
    ::close(dirFd);
    // Removes only an empty folder: anything that appeared meanwhile stays, with its folder.
    if (failed.isEmpty() && ::unlinkat(parentFd, leaf.constData(), AT_REMOVEDIR) != 0)
        failed = QCoreApplication::translate("BackupRetention", "备份目录 %1 中还有其他文件，已保留").arg(folder);
    ::close(parentFd);
    if (!failed.isEmpty()) {
        if (error)
            *error = failed;
        return false;
    }
    return true;
}
}
