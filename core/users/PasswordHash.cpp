#include "PasswordHash.h"

#include <Database.h>

#include <sodium.h>

#include <QList>
#include <QPair>

namespace {
// Verifying costs about 150-200 ms and 64 MB on the machines the console runs on: slow enough
// to make guessing from a stolen file expensive, quick enough for a login.
const unsigned long long kOps = crypto_pwhash_OPSLIMIT_INTERACTIVE;
const size_t kMem = crypto_pwhash_MEMLIMIT_INTERACTIVE;
const char kPrefix[] = "$argon2id$";

bool ready()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}
} // namespace

namespace PasswordHash {
QString hash(const QString& password)
{
    if (password.isEmpty())
        return QStringLiteral("");
    if (!ready())
        throw DbError(Words::of("PasswordHash", QT_TRANSLATE_NOOP("PasswordHash", "无法初始化口令加密库。")));
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), quint64(utf8.size()), kOps, kMem) != 0)
        throw DbError(Words::of("PasswordHash", QT_TRANSLATE_NOOP("PasswordHash", "内存不足，无法保存口令。")));
    return QString::fromLatin1(out);
}

bool isHash(const QString& stored)
{
    // A password box takes far fewer characters than a hash has, so no typed password looks like one.
    return stored.size() > kMaxLength && stored.startsWith(QLatin1String(kPrefix));
}

bool verify(const QString& typed, const QString& stored)
{
    if (stored.isEmpty())
        return typed.isEmpty();
    if (!isHash(stored))
        return typed == stored;   // a row that could not be converted yet (a read-only file)
    if (!ready())
        return false;
    const QByteArray h = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(h.constData(), utf8.constData(), quint64(utf8.size())) == 0;
}

QString plainExpression(const QString& table, QVariantList* params)
{
    // The table is one of the program's own names, never user text. The test is isHash's.
    *params << kMaxLength << int(qstrlen(kPrefix)) << QString::fromLatin1(kPrefix);
    return QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE cPassword<>'' AND NOT (length(cPassword)>? AND substr(cPassword,1,?)=?))").arg(table);
}

bool hasPlain(Database& db, const QString& table)
{
    QVariantList params;
    const QString sql = QStringLiteral("SELECT ") + plainExpression(table, &params);
    return db.scalar(sql, params).toBool();
}

int convertTable(Database& db, const QString& table)
{
    // The table is one of the program's own names, never user text.
    QList<QPair<QString, QString>> plain;
    for (Recordset rs = db.query(QStringLiteral("SELECT cUser_Id,cPassword FROM %1 WHERE cPassword<>''").arg(table));
         !rs.Eof(); rs.MoveNext()) {
        const QString stored = rs.text(QStringLiteral("cPassword"));
        if (!isHash(stored))
            plain << qMakePair(rs.text(QStringLiteral("cUser_Id")), stored);
    }
    if (plain.isEmpty())
        return 0;
    // Hashed before the write lock is taken, so other programs wait only for the updates.
    QList<QString> hashes;
    for (const auto& row : plain)
        hashes << hash(row.second);
    // The replaced text is zeroed in the file (a server keeps no such file on the workstation).
    const bool file = db.engine() == Engine::SQLite;
    const int secure = file ? db.scalar(QStringLiteral("PRAGMA secure_delete")).toInt() : 0;
    if (file)
        db.execute(QStringLiteral("PRAGMA secure_delete=ON"));
    try {
        Database::Transaction t(db);
        for (int i = 0; i < plain.size(); ++i)
            db.execute(QStringLiteral("UPDATE %1 SET cPassword=? WHERE cUser_Id=? AND cPassword=? COLLATE BINARY").arg(table),
                       {hashes[i], plain[i].first, plain[i].second});
        t.commit();
    } catch (...) {
        if (file)
            db.execute(QStringLiteral("PRAGMA secure_delete=%1").arg(secure));
        throw;
    }
    if (file)
        db.execute(QStringLiteral("PRAGMA secure_delete=%1").arg(secure));
    return plain.size();
}
}
