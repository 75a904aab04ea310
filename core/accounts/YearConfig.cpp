#include "YearConfig.h"

#include <Database.h>

#include <QCryptographicHash>
#include <QStringList>

namespace YearConfig {
namespace {
QString markName(Part part)
{
    return part == Part::Scheme ? QStringLiteral("cSchemeCopied") : QStringLiteral("cPrecisionCopied");
}

QStringList columnsOf(Database& db, const QString& alias, const QString& table)
{
    const Recordset rs = db.query(QStringLiteral("select * from %1.%2 where 1=0").arg(alias, table));
    QStringList out;
    for (int i = 0; i < rs.FieldCount(); ++i)
        out << rs.FieldName(i).toLower();
    return out;
}

QString statement(Part part, const QString& alias)
{
    if (part == Part::Scheme)
        return QStringLiteral("select keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE from %1.GradeDef order by keyword").arg(alias);
    return QStringLiteral("select cName,cValue from %1.AccInformation where cID='Precision' order by cName").arg(alias);
}
} // namespace

QString fingerprint(Database& db, Part part, const QString& alias)
{
    // Keys and rules in order, each row on a line; a text, so Null and '' read alike on both engines.
    QStringList lines;
    for (Recordset rs = db.query(statement(part, alias)); !rs.Eof(); rs.MoveNext()) {
        QStringList cols;
        for (int i = 0; i < rs.FieldCount(); ++i)
            cols << rs.Fields(i).toString().toLower();
        lines << cols.join(QLatin1Char('|'));
    }
    return QString::fromLatin1(QCryptographicHash::hash(lines.join(QLatin1Char('\n')).toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

QStringList sharedColumns(Database& db, const QString& table, const QString& to, const QString& from)
{
    const QStringList source = columnsOf(db, from, table);
    QStringList shared;
    for (const QString& c : columnsOf(db, to, table))
        if (source.contains(c))
            shared << c;
    return shared;
}

QString recorded(Database& db, Part part, const QString& alias)
{
    return db.scalar(QStringLiteral("select cValue from %1.AccInformation where cSysID='AA' and cName=?").arg(alias), {markName(part)})
        .toString();
}

bool unchanged(Database& db, Part part, const QString& alias)
{
    const QString mark = recorded(db, part, alias);
    return !mark.isEmpty() && mark == fingerprint(db, part, alias);
}

void markCopied(Database& db, Part part, const QString& alias)
{
    db.execute(QStringLiteral("insert or replace into %1.AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) "
                              "values ('AA',?,?,null,'Text',?,null)").arg(alias),
               {QString::fromLatin1(kMarkId), markName(part), fingerprint(db, part, alias)});
}
}
