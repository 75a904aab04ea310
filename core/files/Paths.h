#pragma once
// Stored paths and backup descriptors may separate folders with "\" or "/"; both are read.
// Paths are built with "/"; a trailing separator of either kind is dropped before joining.
#include <QString>

namespace Paths {
QString normalize(const QString& path);            // "\" -> "/"
QString withoutTrailingSep(const QString& path);   // normalized, no trailing "/" (except "/" itself)
QString withTrailingSep(const QString& path);      // normalized, exactly one trailing "/"
QString join(const QString& dir, const QString& name);
QString fileName(const QString& path);              // last component
QString parentDir(const QString& path);             // without trailing separator
}
