#pragma once
// What 建立 copies into a new year's books besides the chart of accounts: the coding scheme
// (GradeDef) and the precision (AccInformation, cID 'Precision'), and how to know later whether
// the year has changed them since.
//
// The rule: a year's coding scheme (or precision) follows the year before it at 结转上年数据 only
// while it is still what 建立 copied. 建立 keeps a fingerprint of each, as it copied it, in the
// new books' AccInformation (cID 'NewYear'); a carry that makes them follow writes the new one.
// Changed since in the year itself (the coding-scheme or precision dialog, books imported over it)
// the fingerprint no longer matches and the year keeps its own. Books without the row (a start
// year, books made before) count as changed: nothing proves them untouched.
#include <QString>
#include <QStringList>

class Database;

namespace YearConfig {
enum class Part { Scheme, Precision };

// The part as it stands in the books reachable as `alias` ("main", or an attached alias).
QString fingerprint(Database& db, Part part, const QString& alias = QStringLiteral("main"));
// The fingerprint recorded when the part was last copied from the year before; empty when none.
QString recorded(Database& db, Part part, const QString& alias = QStringLiteral("main"));
// Whether the part is still what was copied.
bool unchanged(Database& db, Part part, const QString& alias = QStringLiteral("main"));
// Records the part as it now stands as copied (inside the caller's transaction).
void markCopied(Database& db, Part part, const QString& alias = QStringLiteral("main"));
// The columns of `table` that the books `to` and `from` both have, lower case, in `to`'s order
// (books of an older template lack some).
QStringList sharedColumns(Database& db, const QString& table, const QString& to, const QString& from);

// The rows of the marks: left out when a year's options are compared with another's.
inline constexpr const char* kMarkId = "NewYear";
}
