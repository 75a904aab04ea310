#pragma once
// A backup set: the data file "kddata.BA_" and the descriptor "KdErpAct.Lst" in one folder.
// The descriptor is read by line number, so the line numbers are the format. Export writes it
// (descriptorLines + writeDescriptor); import reads it (readDescriptor, dataFilePath) and may
// point it at a new folder (rewriteFolder).
#include "DurableFile.h"

#include <Words.h>

#include <QDate>
#include <QString>
#include <QStringList>

namespace BackupSet {
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
bool writeDescriptor(const QString& path, const DescriptorInfo& info, Words* error = nullptr);

// Line `lineNo` (from 1) of a text file without its line end; empty when the file or the line is missing.
QString readLine(const QString& path, int lineNo);
// The text after the first "=" of a line; the whole line when it has none.
QString lineValue(const QString& line);

// A descriptor read once: the file is opened and its lines split a single time, and every later
// step of an import (its checks, the plan, the manifest's and the data file's places) takes its
// values from here instead of reading the file again.
struct Descriptor {
    QString path;        // the descriptor as found on disk (matched without regard to case)
    QString folder;      // the folder that holds it, with a trailing separator
    QString dataFile;    // the data file beside it, as found on disk
    Words error;         // why the file could not be read (an import's log row keeps the Chinese); empty when it was read
    int lineCount = 0;   // its lines; 0 when it is far too large to be a descriptor
    QString firstLine;   // line 1 without surrounding blanks
    QString accId;       // line 3
    QString sysId;       // line 4
    QString accFolder;   // line 5: the account-set folder as written (ends with a separator when exported)
    QString yearDigits;  // line 10's value as written: two digits when well formed
    QString year;        // line 10 expanded to four digits
    qint64 bytes = -1;   // line 13: the data file's size; -1 when the line is missing or not a number
    bool readable() const { return error.stored.isEmpty(); }
};
Descriptor readDescriptor(const QString& path);

// The folder that holds the descriptor, with a trailing separator.
QString sourceDir(const QString& descriptorPath);
// The data file beside the descriptor (matched without regard to case).
QString dataFilePath(const QString& descriptorPath);

// Rewrites the descriptor with line 5 replaced by "cacc_path=" + newAccFolder; every line is written
// back followed by CR LF. The file is replaced only when the new text is complete.
bool rewriteFolder(const QString& descriptorPath, const QString& newAccFolder, Words* error = nullptr);
}
