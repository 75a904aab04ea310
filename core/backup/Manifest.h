#pragma once
// The manifest of a backup set, "KdErpAct.sum" beside the descriptor: the data file's size and
// checksum, so an import can tell a complete, unaltered data file from any other before it
// replaces books. The checksum is XXH3-128, computed while the data file is copied.
//
// Layout (UTF-8, CR LF, one "key=value" a line after the heading):
//   [BackupSum]
//   Version=1
//   File=kddata.BA_
//   Bytes=<size in bytes, decimal>
//   XXH3-128=<32 lowercase hex digits>
#include "Checksum.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace BackupSet {
inline const QString kManifestName = QStringLiteral("KdErpAct.sum");

using Manifest = FileSum;

QByteArray manifestText(const Manifest& m);
// Writes the manifest whole under a temporary name, flushed, then renamed into place.
bool writeManifest(const QString& path, const Manifest& m, QString* error = nullptr);
// The manifest at `path`; nothing when there is no such file. A file that is there but is not a
// manifest of this layout gives nothing and says why in `error`.
std::optional<Manifest> readManifest(const QString& path, QString* error = nullptr);
}
