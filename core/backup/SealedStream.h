#pragma once
// A backup set's data file, sealed as it is written and opened again as it is read: compressed
// with zstd (on several threads), and/or encrypted with a key derived from a passphrase (Argon2id)
// as an authenticated stream of fixed-size chunks (XChaCha20-Poly1305), compressed first.
//
// Layout of an encrypted data file:
//   the stream's header (24 bytes)
//   a first record of 32 bytes: a BLAKE2b hash of the seal's manifest lines, so a wrong
//     passphrase (or a changed salt or limit) is told apart from damaged data
//   chunks of SealedHeader::chunkBytes bytes each, each with its 17 bytes of tag and
//     authenticator; the last, which may be shorter (or empty), tagged final
// A chunk changed, removed, moved or cut off, or a final chunk missing, fails the stream's
// authentication. A compressed data file that is not encrypted is a single zstd frame with its
// content checksum; the manifest's checksum guards it.
//
// Memory stays at a few chunk buffers and zstd's own windows whatever the size of the books; the
// key's derivation takes SealedHeader::memLimit for its moment.
#include "SealedHeader.h"

#include <Words.h>

#include <QCoreApplication>
#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

// A passphrase kept in memory of its own (never swapped out where the system allows, wiped when
// it is freed). What the caller held before is the caller's to wipe.
class Passphrase {
public:
    // The text as typed, in one Unicode form (NFC), so the same words typed on another system
    // give the same key.
    explicit Passphrase(const QString& text);
    // Takes the bytes (a passphrase file's first line, UTF-8) and wipes `bytes`.
    static std::unique_ptr<Passphrase> fromUtf8(QByteArray& bytes);
    ~Passphrase();
    Passphrase(const Passphrase&) = delete;
    Passphrase& operator=(const Passphrase&) = delete;

    const char* data() const { return m_data; }
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

private:
    Passphrase() = default;
    void take(const char* bytes, qsizetype size);
    char* m_data = nullptr;
    qsizetype m_size = 0;
};

struct SealKey;

// Seals the bytes it is given and hands the sealed bytes to a sink (the export's writer, which
// also sums them for the manifest). write() takes pieces of any size; finish() ends the stream.
// After a failure every call returns false and errorString() says why.
class SealedWriter {
    Q_DECLARE_TR_FUNCTIONS(SealedWriter)

public:
    using Sink = std::function<bool(const char* data, qint64 size, QString* error)>;
    SealedWriter(const SealedHeader& header, Sink sink);
    ~SealedWriter();
    SealedWriter(const SealedWriter&) = delete;
    SealedWriter& operator=(const SealedWriter&) = delete;

    // Derives the key (encrypted only; the passphrase may be wiped once this returns) and writes
    // the stream's start.
    bool open(const Passphrase* passphrase);
    bool write(const char* data, qint64 size);
    bool finish();

    QString errorString() const { return m_error.shown; }
    // The same in both forms: the export's log row keeps it in Chinese.
    const Words& errorWords() const { return m_error; }
    // Sealed bytes handed to the sink so far.
    qint64 sealedBytes() const { return m_sealed; }

private:
    bool fail(const Words& why);
    bool emitBytes(const char* data, qint64 size);
    bool sealChunk(bool last);
    bool toSink(const char* data, qint64 size);

    struct Zstd;
    SealedHeader m_header;
    Sink m_sink;
    std::unique_ptr<SealKey> m_key;
    std::unique_ptr<Zstd> m_zstd;
    std::unique_ptr<unsigned char[]> m_chunk;   // data waiting to be sealed
    std::unique_ptr<unsigned char[]> m_sealedChunk;
    qint64 m_fill = 0;
    qint64 m_sealed = 0;
    bool m_open = false;
    bool m_finished = false;
    Words m_error;
};

// Reads a sealed data file back as the books' own bytes: a sequential, read-only device over the
// data file, so the import copies from it as from the file itself. A read fails (-1) as soon as
// anything in the file is not what was sealed; errorString() then says what, in words for the
// person. End of data is only reported after the final chunk and the end of the compressed frame.
class SealedReader : public QIODevice {
    Q_OBJECT

public:
    // `source` is the data file, open for reading at its start.
    SealedReader(const SealedHeader& header, QIODevice& source, QObject* parent = nullptr);
    ~SealedReader() override;

    // Derives the key (encrypted only), checks it against the stream's first record and opens the
    // device; false with errorString() ("口令不正确" for a wrong passphrase).
    bool unseal(const Passphrase* passphrase);

    // True once something in the file was refused (errorString() says what).
    bool failed() const { return m_failed; }
    // errorString() in both forms: the import's log row keeps it in Chinese.
    const Words& errorWords() const { return m_error; }

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    void close() override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 fail(const Words& why);
    bool refuse(const Words& why);
    qint64 readFully(unsigned char* into, qint64 size);
    // The next piece of what was sealed into m_plain; false at its end or on failure.
    bool nextPiece();

    struct Zstd;
    SealedHeader m_header;
    QIODevice& m_source;
    std::unique_ptr<SealKey> m_key;
    std::unique_ptr<Zstd> m_zstd;
    std::unique_ptr<unsigned char[]> m_sealedChunk;
    std::unique_ptr<unsigned char[]> m_plain;
    qint64 m_plainSize = 0;
    qint64 m_plainPos = 0;
    qint64 m_chunkNo = 0;        // chunks opened so far
    bool m_sourceDone = false;   // final chunk opened, or (not encrypted) the file read to its end
    bool m_done = false;         // every byte handed out
    bool m_failed = false;
    Words m_error;
};
