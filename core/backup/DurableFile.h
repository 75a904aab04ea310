#pragma once
// Files written so that a crash leaves either the old file or the whole new one: each is written
// under a temporary name, flushed, then renamed, and the folder's entry flushed too. Shared by the
// export, the import, the deletion and the manifest. Failures are told as writeFailure tells them.
#include "Checksum.h"

#include <Words.h>

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace BackupSet {
// Why writing `path` failed with the system's error number `err`, as a sentence for the user
// that names the path: a full disk, a missing permission or a read-only disk in words of their
// own, any other cause with the system's text after it.
QString writeFailure(const QString& path, int err);
// The same sentence in both forms: a failed export's or import's log row keeps the Chinese. The
// functions below that take Words give their failure so too.
Words writeFailureWords(const QString& path, int err);
// Writes all of `size` bytes to the open file `fd` (which is `path`); false with writeFailure's
// text in `error`.
bool writeAll(int fd, const char* data, qint64 size, const QString& path, Words* error = nullptr);
// Replaces `path` with `bytes` through a temporary file, flushed, then renamed; the folder's entry
// is flushed too. A file that is replaced keeps its mode. On failure the old file stays as it was.
bool saveAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
bool saveAtomically(const QString& path, const QByteArray& bytes, Words* error);
// Flushes a file (or a folder's entries) to disk; false when it cannot be opened or flushed.
bool syncPath(const QString& path, QString* error = nullptr);
// Makes `to` (which must not exist) a complete, flushed copy of `from`: a hard link when both lie on
// one file system, else a streamed copy. On failure `to` does not exist.
// `placed`, when given, takes the size and checksum of the copy: those of the streamed copy's own
// bytes; for a hard link, `known` when given (what `from` held when it was written and flushed,
// see fileStamp), else one read of the linked file.
bool placeCopy(const QString& from, const QString& to, Words* error = nullptr, FileSum* placed = nullptr,
               const FileSum* known = nullptr);
// Identifies a file's present contents cheaply (device, inode, size, time of the last change, to
// the nanosecond): equal stamps mean nothing wrote to it in between. Empty when it is missing.
QByteArray fileStamp(const QString& path);
// Copies what is left to read in `in` into the new file `to` with a fixed buffer and flushes it to disk.
// On failure `to` does not exist.
// `sum`, when given, takes every byte of the copy, so a checksum costs no second pass of its own
// (read back from the copy by a second thread while the kernel copies, or from the buffer).
// Without `flush` the caller flushes later: a copy that is changed again before it is kept
// (compacted in place) is written to disk once, not twice.
bool copyInto(QIODevice& in, const QString& to, QString* error = nullptr, Checksum* sum = nullptr, bool flush = true);
bool copyInto(QIODevice& in, const QString& to, Words* error, Checksum* sum = nullptr, bool flush = true);
}
