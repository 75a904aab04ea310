#pragma once
// A backup set: the data file "kddata.BA_" and the descriptor "KdErpAct.Lst" in one folder.
// The descriptor is read by line number, so the line numbers are the format. Export writes it
// (descriptorLines + writeDescriptor); import reads it (readDescriptor, dataFilePath) and may
// point it at a new folder (rewriteFolder).
#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>

class Checksum;

namespace BackupSet {
struct Manifest;
inline const QString kDescriptorName = QStringLiteral("KdErpAct.Lst");
inline const QString kDataFileName = QStringLiteral("kddata.BA_");
// The prepared copy in the set's year folder, named as line 16 and line 18 name it.
inline const QString kPreparedName = QStringLiteral("KDDATA.BAK");
inline constexpr int kLineCount = 18;

// The lines that the import reads (counted from 1).
enum Line : int { LineAccId = 3, LineSysId = 4, LineAccFolder = 5, LineYear = 10, LineBytes = 13 };

// What an export records about the set it wrote.
struct DescriptorInfo {
    QString accId;        // set number
    QString sysId;        // SM_Account.iSysID as text
    QString accFolder;    // the set's account-set folder (a trailing separator is ignored)
    QString yearFolder;   // the set's year folder (a trailing separator is ignored)
    int year = 0;         // SM_Account.iYear
    QString date;         // the day of the export, as exportDate writes it
    qint64 bytes = 0;     // size of the data file
    bool backupOk = true; // false when the preparation raised an error
};

// The day as lines 8 and 18 write it: "yyyy-MM-dd" whatever the locale, so the console and
// revozi-backup write the same descriptor on any workstation.
QString exportDate(const QDate& day = QDate::currentDate());
// Third and fourth characters of the year: 2005 -> "05", 2010 -> "10".
QString twoDigitYear(int year);
// "20" + digits when the first digit is "0", otherwise "19" + digits: "05" -> "2005", "10" -> "1910", "" -> "19".
QString fourDigitYear(const QString& twoDigits);

// The 18 lines of the descriptor, in order.
QStringList descriptorLines(const DescriptorInfo& info);
// Writes the lines as UTF-8 joined by CR LF (none after the last) through a temporary file that
// replaces `path` only when complete. False with a reason in `error` on failure.
bool writeDescriptor(const QString& path, const DescriptorInfo& info, QString* error = nullptr);

// Line `lineNo` (from 1) of a text file without its line end; empty when the file or the line is missing.
QString readLine(const QString& path, int lineNo);
// The text after the first "=" of a line; the whole line when it has none.
QString lineValue(const QString& line);

// What the import takes from a descriptor.
struct Descriptor {
    QString accId;      // line 3
    QString sysId;      // line 4
    QString accFolder;  // line 5: the account-set folder as written (ends with a separator when exported)
    QString year;       // line 10 expanded to four digits
    qint64 bytes = -1;  // line 13: the data file's size; -1 when the line is missing or not a number
};
Descriptor readDescriptor(const QString& path);

// The folder that holds the descriptor, with a trailing separator.
QString sourceDir(const QString& descriptorPath);
// The data file beside the descriptor (matched without regard to case).
QString dataFilePath(const QString& descriptorPath);

// Rewrites the descriptor with line 5 replaced by "cacc_path=" + newAccFolder; every line is written
// back followed by CR LF. The file is replaced only when the new text is complete.
bool rewriteFolder(const QString& descriptorPath, const QString& newAccFolder, QString* error = nullptr);

// Durable file helpers shared by export and import. Their failures are told as writeFailure
// tells them.
// Why writing `path` failed with the system's error number `err`, as a sentence for the user
// that names the path: a full disk, a missing permission or a read-only disk in words of their
// own, any other cause with the system's text after it.
QString writeFailure(const QString& path, int err);
// Writes all of `size` bytes to the open file `fd` (which is `path`); false with writeFailure's
// text in `error`.
bool writeAll(int fd, const char* data, qint64 size, const QString& path, QString* error = nullptr);
// Replaces `path` with `bytes` through a temporary file, flushed, then renamed; the folder's entry
// is flushed too. A file that is replaced keeps its mode. On failure the old file stays as it was.
bool saveAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// Flushes a file (or a folder's entries) to disk; false when it cannot be opened or flushed.
bool syncPath(const QString& path, QString* error = nullptr);
// Makes `to` (which must not exist) a complete, flushed copy of `from`: a hard link when both lie on
// one file system, else a streamed copy. On failure `to` does not exist.
// `placed`, when given, takes the size and checksum of the copy: those of the streamed copy's own
// bytes; for a hard link, `known` when given (what `from` held when it was written and flushed,
// see fileStamp), else one read of the linked file.
bool placeCopy(const QString& from, const QString& to, QString* error = nullptr, Manifest* placed = nullptr,
               const Manifest* known = nullptr);
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
}
