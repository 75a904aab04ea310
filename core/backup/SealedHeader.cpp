#include "SealedHeader.h"

#include <QHash>

#include <sodium.h>

namespace {
// The manifest's keys and values; data, not words for the person.
const char kCompression[] = "Compression";
const char kCipher[] = "Cipher";          
const char kKdf[] = "Kdf";
const char kSalt[] = "Salt";
const char kOps[] = "OpsLimit";
const char kMem[] = "MemLimit";
const char kChunk[] = "ChunkBytes";
const char kZstd[] = "zstd";
const char kStream[] = "xchacha20poly1305-secretstream";
const char kArgon2id[] = "argon2id13";

QString field(const char* key, const QString& value)
{
    return QLatin1String(key) + QLatin1Char('=') + value;
}

bool readNumber(const QString& text, quint64 min, quint64 max, quint64* value)
{
    bool ok = false;
    const quint64 n = text.toULongLong(&ok);
    if (!ok || n < min || n > max)
        return false;
    *value = n;
    return true;
}
} // namespace

SealedHeader SealedHeader::make(bool compress, bool encrypt)
{
    SealedHeader h;
    h.compressed = compress;
    h.encrypted = encrypt;
    if (encrypt) {
        if (sodium_init() < 0)
            return h;   // randombytes below would abort; the writer then refuses the empty salt
        h.salt.resize(crypto_pwhash_SALTBYTES);
        randombytes_buf(h.salt.data(), size_t(h.salt.size()));
        // Memory-hard enough that each offline guess costs 64 MB and a tenth of a second, cheap
        // enough that a nightly export or an import waits for it no longer than for its copy. A
        // set records its own limits, so sets sealed with others still open.
        h.opsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
        h.memLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;
        h.chunkBytes = kChunkBytes;
    }
    return h;
}

QStringList SealedHeader::toFields() const
{
    QStringList lines;
    if (compressed)
        lines << field(kCompression, QLatin1String(kZstd));
    if (encrypted) {
        lines << field(kCipher, QLatin1String(kStream)) << field(kKdf, QLatin1String(kArgon2id))
              << field(kSalt, QString::fromLatin1(salt.toHex())) << field(kOps, QString::number(opsLimit))
              << field(kMem, QString::number(memLimit)) << field(kChunk, QString::number(chunkBytes));
    }
    return lines;
}

std::optional<SealedHeader> SealedHeader::fromFields(const QStringList& lines, QString* error)
{
    Words why;
    std::optional<SealedHeader> h = fromFields(lines, &why);
    if (!h && error)
        *error = why.shown;
    return h;
}

std::optional<SealedHeader> SealedHeader::fromFields(const QStringList& lines, Words* error)
{
    QHash<QString, QString> values;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            values.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    auto refuse = [error](const Words& why) -> std::optional<SealedHeader> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    SealedHeader h;
    if (values.contains(QLatin1String(kCompression))) {
        const QString c = values.value(QLatin1String(kCompression));
        if (c != QLatin1String(kZstd))
            return refuse(Words::of("SealedHeader", QT_TRANSLATE_NOOP("SealedHeader", "备份集使用了本程序不认识的压缩方式：%1"), c));
        h.compressed = true;
    }
    if (!values.contains(QLatin1String(kCipher)))
        return h;
    const QString cipher = values.value(QLatin1String(kCipher));
    if (cipher != QLatin1String(kStream) || values.value(QLatin1String(kKdf)) != QLatin1String(kArgon2id))
        return refuse(Words::of("SealedHeader", QT_TRANSLATE_NOOP("SealedHeader", "备份集使用了本程序不认识的加密方式：%1"), cipher));
    h.encrypted = true;
    h.salt = QByteArray::fromHex(values.value(QLatin1String(kSalt)).toLatin1());
    quint64 chunk = 0;
    const bool ok = h.salt.size() == crypto_pwhash_SALTBYTES
        && values.value(QLatin1String(kSalt)).size() == 2 * crypto_pwhash_SALTBYTES
        && readNumber(values.value(QLatin1String(kOps)), crypto_pwhash_OPSLIMIT_MIN, kMaxOpsLimit, &h.opsLimit)
        && readNumber(values.value(QLatin1String(kMem)), crypto_pwhash_MEMLIMIT_MIN, kMaxMemLimit, &h.memLimit)
        && readNumber(values.value(QLatin1String(kChunk)), kMinChunkBytes, kMaxChunkBytes, &chunk);
    if (!ok)
        return refuse(Words::of("SealedHeader", QT_TRANSLATE_NOOP("SealedHeader", "备份集清单中的加密参数无效")));
    h.chunkBytes = qint32(chunk);
    return h;
}
