#pragma once
// The options table of an account database: one row per option, addressed by its caption.
// The rows come with the template; a missing row means a damaged database, so writing to
// one is an error rather than a silent no-op.
#include <Database.h>

#include <QString>

namespace AccInformation {
// The cValue of the row whose cCaption is `caption`; `found` tells whether the row exists.
QString value(Database& db, const QString& caption, bool* found = nullptr);
// Sets cValue of the row whose cCaption is `caption`. Throws DbError naming the caption
// when the row is missing; run it inside a transaction to keep a group of rows together.
void setValue(Database& db, const QString& caption, const QString& value);
// The text shown for a missing row.
QString missingRowText(const QString& caption);
}
