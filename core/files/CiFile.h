#pragma once
// File names match without regard to letter case: stored paths, backup descriptors and people
// spell the same file in different cases, and each must find it.
// Every existence test, open, copy, delete and rename goes through these helpers.
#include <QString>

namespace CiFile {
// The existing path that matches `path` component by component without regard to case;
// components that do not exist are kept as given. Hidden and read-only entries count.
QString resolve(const QString& path);
bool exists(const QString& path);        // file or folder
bool isFile(const QString& path);
bool isDir(const QString& path);
qint64 size(const QString& path);        // -1 when missing
bool remove(const QString& path);        // a file; true when it is gone afterwards
// Copies a file; fails when the destination exists (callers remove it first when they mean to replace).
bool copy(const QString& from, const QString& to);
// Renames, replacing an existing destination file.
bool rename(const QString& from, const QString& to);
// Creates every missing level, reusing existing folders whose names differ only in case.
bool mkpath(const QString& path);
}
