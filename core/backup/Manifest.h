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
#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// A streaming XXH3-128 of everything added.
class Checksum {
public:
    Checksum();
    ~Checksum();
    Checksum(const Checksum&) = delete;
    Checksum& operator=(const Checksum&) = delete;

    void add(const char* data, qint64 size);
    qint64 bytes() const { return m_bytes; }
    // 32 lowercase hex digits of what was added so far.
    QString hex() const;

    // The checksum of a whole file; empty when it cannot be read.
    static QString ofFile(const QString& path, qint64* bytes = nullptr);

private:
    struct State;
    std::unique_ptr<State> m_state;
    qint64 m_bytes = 0;
};

namespace BackupSet {
inline const QString kManifestName = QStringLiteral("KdErpAct.sum");

struct Manifest {
    qint64 bytes = -1;
    QString checksum;   // XXH3-128, 32 lowercase hex digits
};

QByteArray manifestText(const Manifest& m);
// Writes the manifest whole under a temporary name, flushed, then renamed into place.
bool writeManifest(const QString& path, const Manifest& m, QString* error = nullptr);
// The manifest at `path`; nothing when there is no such file. A file that is there but is not a
// manifest of this layout gives nothing and says why in `error`.
std::optional<Manifest> readManifest(const QString& path, QString* error = nullptr);
}
