#include "AccInformation.h"

namespace AccInformation {
namespace {
Words missingRow(const QString& caption)
{
    return Words::of("AccInformation", QT_TRANSLATE_NOOP("AccInformation", "账套库的选项表（AccInformation）中缺少“%1”一行，账套库可能已损坏。"),
                     caption);
}
} // namespace

QString value(Database& db, const QString& caption, bool* found)
{
    Recordset rs = db.query(QStringLiteral("select * from AccInformation where cCaption=?"), {caption});
    if (found)
        *found = !rs.Eof();
    return rs.Eof() ? QString() : rs.text(QStringLiteral("cValue"));
}

void setValue(Database& db, const QString& caption, const QString& value)
{
    db.execute(QStringLiteral("update AccInformation set cValue=? where cCaption=?"), {value, caption});
    if (db.rowsAffected() == 0)
        throw DbError(missingRow(caption));
}

QString missingRowText(const QString& caption)
{
    return missingRow(caption).shown;
}
}
