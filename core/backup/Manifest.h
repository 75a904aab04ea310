#pragma once
// The manifest of a backup set, "KdErpAct.sum" beside the descriptor: the data file's size and
// checksum, so an import can tell a complete, unaltered data file from any other before it
// replaces books. The checksum is XXH3-128 of the data file as written (sealed or not), computed
// while it is copied or sealed, so `verify` checks a sealed set without its passphrase.
//
// Layout (UTF-8, CR LF, one "key=value" a line after the heading):
//   [BackupSum]
//   Version=1
//   File=kddata.BA_
//   Bytes=<size in bytes, decimal>
//   XXH3-128=<32 lowercase hex digits>
// and, for a sealed data file only, the seal's lines (SealedHeader::toFields) and
//   Year=<the books' year, four digits>
// A sealed set's descriptor keeps the books' own size on line 13, so a program that cannot open
// the seal refuses the data file by its size before it reads a byte of it.
#include "Checksum.h"
#include "SealedHeader.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace BackupSet {
inline const QString kManifestName = QStringLiteral("KdErpAct.sum");

struct Manifest {
    qint64 bytes = -1;   // the data file as written
    QString checksum;    // XXH3-128 of those bytes, 32 lowercase hex digits
    SealedHeader seal;   // how the data file is sealed; plain when the manifest says nothing
    int year = 0;        // a sealed set's year (its books cannot be read without unsealing them)

    FileSum sum() const { return {bytes, checksum}; }
    void take(const FileSum& s) { bytes = s.bytes, checksum = s.checksum; }
};

QByteArray manifestText(const Manifest& m);
// Writes the manifest whole under a temporary name, flushed, then renamed into place.
bool writeManifest(const QString& path, const Manifest& m, Words* error = nullptr);
// The manifest at `path`; nothing when there is no such file. A file that is there but is not a
// manifest of this layout, or names a seal this program cannot open, gives nothing and says why
// in `error`.
std::optional<Manifest> readManifest(const QString& path, QString* error = nullptr);
// The same with the reason in both forms: an import's log row keeps it in Chinese.
std::optional<Manifest> readManifest(const QString& path, Words* error);
}
