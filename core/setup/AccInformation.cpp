#include "AccInformation.h"

namespace AccInformation {
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
        throw DbError(missingRowText(caption));
}

QString missingRowText(const QString& caption)
{
    return QStringLiteral("账套库的选项表（AccInformation）中缺少“%1”一行，账套库可能已损坏。").arg(caption);
}
}
