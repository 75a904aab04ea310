#include "CiFile.h"
#include "FileModes.h"
#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {
const QDir::Filters kAll = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

QString matchIn(const QString& dir, const QString& name)
{
    if (QFileInfo::exists(Paths::join(dir, name)))
        return name;
    const QStringList entries = QDir(dir).entryList(kAll);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    return QString();
}
} // namespace

namespace CiFile {
QString resolve(const QString& path)
{
    const QString p = Paths::withoutTrailingSep(path);
    if (p.isEmpty() || QFileInfo::exists(p))
        return p;
    const bool absolute = p.startsWith(QLatin1Char('/'));
    const QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    int i = 0;
    for (; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part == QLatin1String(".") || part == QLatin1String("..")) {
            current = current.isEmpty() ? part : Paths::join(current, part);
            continue;
        }
        const QString base = current.isEmpty() ? QStringLiteral(".") : current;
        const QString found = matchIn(base, part);
        if (found.isEmpty())
            break;
        current = current.isEmpty() ? found : Paths::join(current, found);
    }
    for (; i < parts.size(); ++i)
        current = current.isEmpty() ? parts[i] : Paths::join(current, parts[i]);
    return current;
}

bool exists(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(resolve(path));
}

bool isFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(resolve(path)).isFile();
}

bool isDir(const QString& path)
{
    return !path.isEmpty() && QFileInfo(resolve(path)).isDir();
}

qint64 size(const QString& path)
{
    QFileInfo fi(resolve(path));
    return fi.isFile() ? fi.size() : -1;
}

bool remove(const QString& path)
{
    const QString r = resolve(path);
    if (!QFileInfo(r).isFile())
        return !QFileInfo::exists(r);
    QFile f(r);
    // Read-only files count as files to delete.
    f.setPermissions(f.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    return f.remove();
}

bool copy(const QString& from, const QString& to)
{
    const QString src = resolve(from);
    const QString dst = resolve(to);
    if (!QFileInfo(src).isFile() || QFileInfo::exists(dst))
        return false;
    if (!QFile::copy(src, dst))
        return false;
    // A copy gets the mode of a new file (and stays writable when its source was read-only).
    FileModes::restrict(dst);
    return true;
}

bool rename(const QString& from, const QString& to)
{
    const QString src = resolve(from);
    const QString dst = resolve(to);
    if (!QFileInfo(src).exists())
        return false;
    // POSIX rename replaces the destination in one step, so a reader never sees it missing.
    if (std::rename(QFile::encodeName(src).constData(), QFile::encodeName(dst).constData()) == 0)
        return true;
    if (QFileInfo(dst).isFile() && src != dst && !remove(dst))
        return false;
    return QDir().rename(src, dst);
}

bool mkpath(const QString& path)
{
    const QString r = resolve(path);
    if (QFileInfo(r).isDir())
        return true;
    return QDir().mkpath(r);
}
}
