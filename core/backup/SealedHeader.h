#pragma once
// How a backup set's data file is sealed: compressed, encrypted with a passphrase, or both
// (compressed first). The manifest carries these settings as "key=value" lines, so an import knows
// how to open the data file and `verify` can tell what it checks; a plain set has none of them.
#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <Words.h>

#include <optional>

struct SealedHeader {
    Q_DECLARE_TR_FUNCTIONS(SealedHeader)

public:
    bool compressed = false;
    bool encrypted = false;
    // Encrypted only: the key's derivation from the passphrase (Argon2id) and the stream's chunks.
    QByteArray salt;         // random for every set
    quint64 opsLimit = 0;    // Argon2id passes
    quint64 memLimit = 0;    // Argon2id memory in bytes
    qint32 chunkBytes = 0;   // bytes of data sealed in each chunk (the last one may hold fewer)

    // A new seal with a fresh random salt and the program's own limits.
    static SealedHeader make(bool compress, bool encrypt);
    bool isPlain() const { return !compressed && !encrypted; }

    // The manifest's lines for this seal, one "key=value" each; none for a plain set.
    QStringList toFields() const;
    // Reads the seal from a manifest's lines, ignoring the keys that are not its own; no such key
    // means a plain set. Nothing, with the reason in `error`, for a value this program cannot open
    // or a limit beyond what it is willing to spend (a changed manifest must not make it allocate
    // gigabytes).
    static std::optional<SealedHeader> fromFields(const QStringList& lines, QString* error = nullptr);
    // The same with the reason in both forms: an import's log row keeps it in Chinese.
    static std::optional<SealedHeader> fromFields(const QStringList& lines, Words* error);

    // The limits a reader accepts and a writer uses.
    static constexpr qint32 kChunkBytes = 1 << 20;
    static constexpr qint32 kMinChunkBytes = 1 << 12;
    static constexpr qint32 kMaxChunkBytes = 1 << 24;
    static constexpr quint64 kMaxMemLimit = quint64(1) << 30;
    static constexpr quint64 kMaxOpsLimit = 16;
};
