#include "SealedStream.h"

#include <QThread>

#include <sodium.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr qint64 kStreamHeaderBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr qint64 kChunkOverhead = crypto_secretstream_xchacha20poly1305_ABYTES;
constexpr qint64 kKeyCheckBytes = 32;
// The fastest level: the books compress well even so, and the export stays near a copy's time.
constexpr int kZstdLevel = 1;
// More threads than this add memory (each holds its jobs' buffers) for little speed.
constexpr int kMaxZstdThreads = 4;
// The largest window a reader allows a frame: the writer's level uses far less, and a changed
// data file must not make the import allocate more.
constexpr int kMaxWindowLog = 24;

// What the stream's first record vouches for: the seal as the manifest records it.
void keyCheck(const SealedHeader& header, unsigned char* out)
{
    const QByteArray text = header.toFields().join(QLatin1Char('\n')).toUtf8();
    crypto_generichash(out, kKeyCheckBytes, reinterpret_cast<const unsigned char*>(text.constData()),
                       size_t(text.size()), nullptr, 0);
}
} // namespace

// The stream's state holds the key: kept in memory of its own and wiped when freed.
struct SealKey {
    crypto_secretstream_xchacha20poly1305_state* state = nullptr;
    SealKey() { state = static_cast<crypto_secretstream_xchacha20poly1305_state*>(sodium_malloc(sizeof *state)); }
    ~SealKey() { sodium_free(state); }
    SealKey(const SealKey&) = delete;
    SealKey& operator=(const SealKey&) = delete;

    // The key from the passphrase by the seal's Argon2id limits, into a freshly made stream
    // (`header` written) or one to be read (`header` read); the key itself is wiped at once.
    enum class Dir { Push, Pull };
    static std::unique_ptr<SealKey> derive(const SealedHeader& h, const Passphrase& pass, Dir dir,
                                           unsigned char* header, bool* headerBad, Words* error)
    {
        auto k = std::make_unique<SealKey>();
        auto* key = static_cast<unsigned char*>(sodium_malloc(crypto_secretstream_xchacha20poly1305_KEYBYTES));
        if (!k->state || !key) {
            sodium_free(key);
            *error = Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "内存不足，无法由口令生成密钥"));
            return nullptr;
        }
        if (crypto_pwhash(key, crypto_secretstream_xchacha20poly1305_KEYBYTES, pass.data(),
                          static_cast<unsigned long long>(pass.size()),
                          reinterpret_cast<const unsigned char*>(h.salt.constData()), h.opsLimit,
                          size_t(h.memLimit), crypto_pwhash_ALG_ARGON2ID13)
            != 0) {
            sodium_free(key);
            *error = Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "内存不足，无法由口令生成密钥"));
            return nullptr;
        }
        const int rc = dir == Dir::Push ? crypto_secretstream_xchacha20poly1305_init_push(k->state, header, key)
                                        : crypto_secretstream_xchacha20poly1305_init_pull(k->state, header, key);
        sodium_free(key);
        if (rc != 0) {
            *headerBad = true;
            return nullptr;
        }
        return k;
    }
};

// ---- Passphrase ----

Passphrase::Passphrase(const QString& text)
{
    QByteArray bytes = text.normalized(QString::NormalizationForm_C).toUtf8();
    take(bytes.constData(), bytes.size());
    sodium_memzero(bytes.data(), size_t(bytes.size()));
}

std::unique_ptr<Passphrase> Passphrase::fromUtf8(QByteArray& bytes)
{
    std::unique_ptr<Passphrase> p(new Passphrase);
    p->take(bytes.constData(), bytes.size());
    sodium_memzero(bytes.data(), size_t(bytes.size()));
    bytes.clear();
    return p;
}

void Passphrase::take(const char* bytes, qsizetype size)
{
    if (sodium_init() < 0)
        return;
    m_data = static_cast<char*>(sodium_malloc(size_t(std::max<qsizetype>(size, 1))));
    if (!m_data)
        return;
    std::memcpy(m_data, bytes, size_t(size));
    m_size = size;
}

Passphrase::~Passphrase()
{
    sodium_free(m_data);
}

// ---- SealedWriter ----

struct SealedWriter::Zstd {
    ZSTD_CCtx* ctx = ZSTD_createCCtx();
    QByteArray out = QByteArray(qsizetype(ZSTD_CStreamOutSize()), Qt::Uninitialized);
    ~Zstd() { ZSTD_freeCCtx(ctx); }
};

SealedWriter::SealedWriter(const SealedHeader& header, Sink sink) : m_header(header), m_sink(std::move(sink)) {}

SealedWriter::~SealedWriter()
{
    if (m_chunk)
        sodium_memzero(m_chunk.get(), size_t(m_header.chunkBytes));
}

bool SealedWriter::fail(const Words& why)
{
    if (m_error.stored.isEmpty())
        m_error = why;
    m_open = false;
    return false;
}

bool SealedWriter::toSink(const char* data, qint64 size)
{
    if (size == 0)
        return true;
    QString why;
    if (!m_sink(data, size, &why))
        return fail(Words::same(why));
    m_sealed += size;
    return true;
}

bool SealedWriter::open(const Passphrase* passphrase)
{
    if (m_open || !m_error.stored.isEmpty() || m_finished)
        return false;
    if (sodium_init() < 0)
        return fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "无法初始化加密库")));
    if (m_header.encrypted) {
        if (!passphrase || passphrase->isEmpty())
            return fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "口令不能为空")));
        if (m_header.salt.size() != crypto_pwhash_SALTBYTES || m_header.chunkBytes < SealedHeader::kMinChunkBytes
            || m_header.chunkBytes > SealedHeader::kMaxChunkBytes)
            return fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "备份集清单中的加密参数无效")));
        unsigned char streamHeader[kStreamHeaderBytes];
        Words why;
        bool headerBad = false;
        m_key = SealKey::derive(m_header, *passphrase, SealKey::Dir::Push, streamHeader, &headerBad, &why);
        if (!m_key)
            return fail(headerBad ? Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "无法初始化加密库")) : why);
        m_chunk.reset(new unsigned char[size_t(m_header.chunkBytes)]);
        m_sealedChunk.reset(new unsigned char[size_t(m_header.chunkBytes + kChunkOverhead)]);
        unsigned char check[kKeyCheckBytes];
        keyCheck(m_header, check);
        unsigned long long n = 0;
        crypto_secretstream_xchacha20poly1305_push(m_key->state, m_sealedChunk.get(), &n, check, kKeyCheckBytes,
                                                   nullptr, 0, crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
        if (!toSink(reinterpret_cast<const char*>(streamHeader), kStreamHeaderBytes)
            || !toSink(reinterpret_cast<const char*>(m_sealedChunk.get()), qint64(n)))
            return false;
    }
    if (m_header.compressed) {
        m_zstd = std::make_unique<Zstd>();
        if (!m_zstd->ctx)
            return fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "内存不足，无法压缩备份数据")));
        ZSTD_CCtx_setParameter(m_zstd->ctx, ZSTD_c_compressionLevel, kZstdLevel);
        ZSTD_CCtx_setParameter(m_zstd->ctx, ZSTD_c_checksumFlag, 1);
        // A library built without threads refuses this and compresses on the calling thread.
        const int threads = std::clamp(QThread::idealThreadCount(), 1, kMaxZstdThreads);
        ZSTD_CCtx_setParameter(m_zstd->ctx, ZSTD_c_nbWorkers, threads);
    }
    m_open = true;
    return true;
}

bool SealedWriter::sealChunk(bool last)
{
    unsigned long long n = 0;
    crypto_secretstream_xchacha20poly1305_push(
        m_key->state, m_sealedChunk.get(), &n, m_chunk.get(), static_cast<unsigned long long>(m_fill), nullptr, 0,
        last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    m_fill = 0;
    return toSink(reinterpret_cast<const char*>(m_sealedChunk.get()), qint64(n));
}

bool SealedWriter::emitBytes(const char* data, qint64 size)
{
    if (!m_header.encrypted)
        return toSink(data, size);
    const qint64 chunk = m_header.chunkBytes;
    while (size > 0) {
        // A full chunk is sealed only once more data follows it: the final chunk is never empty
        // unless the whole stream is.
        if (m_fill == chunk && !sealChunk(false))
            return false;
        const qint64 take = std::min(chunk - m_fill, size);
        std::memcpy(m_chunk.get() + m_fill, data, size_t(take));
        m_fill += take;
        data += take;
        size -= take;
    }
    return true;
}

bool SealedWriter::write(const char* data, qint64 size)
{
    if (!m_open)
        return m_error.stored.isEmpty() ? fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "备份数据的写入尚未开始"))) : false;
    if (!m_zstd)
        return emitBytes(data, size);
    ZSTD_inBuffer in{data, size_t(size), 0};
    while (in.pos < in.size) {
        ZSTD_outBuffer out{m_zstd->out.data(), size_t(m_zstd->out.size()), 0};
        const size_t rc = ZSTD_compressStream2(m_zstd->ctx, &out, &in, ZSTD_e_continue);
        if (ZSTD_isError(rc))
            return fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "压缩备份数据时出错：%1"), QString::fromLatin1(ZSTD_getErrorName(rc))));
        if (!emitBytes(m_zstd->out.constData(), qint64(out.pos)))
            return false;
    }
    return true;
}

bool SealedWriter::finish()
{
    if (!m_open)
        return m_error.stored.isEmpty() ? fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "备份数据的写入尚未开始"))) : false;
    if (m_zstd) {
        for (;;) {
            ZSTD_inBuffer in{nullptr, 0, 0};
            ZSTD_outBuffer out{m_zstd->out.data(), size_t(m_zstd->out.size()), 0};
            const size_t left = ZSTD_compressStream2(m_zstd->ctx, &out, &in, ZSTD_e_end);
            if (ZSTD_isError(left))
                return fail(Words::of("SealedWriter", QT_TRANSLATE_NOOP("SealedWriter", "压缩备份数据时出错：%1"), QString::fromLatin1(ZSTD_getErrorName(left))));
            if (!emitBytes(m_zstd->out.constData(), qint64(out.pos)))
                return false;
            if (left == 0)
                break;
        }
        m_zstd.reset();
    }
    if (m_header.encrypted && !sealChunk(true))
        return false;
    m_key.reset();
    m_open = false;
    m_finished = true;
    return true;
}

// ---- SealedReader ----

struct SealedReader::Zstd {
    ZSTD_DCtx* ctx = ZSTD_createDCtx();
    bool frameDone = false;
    ~Zstd() { ZSTD_freeDCtx(ctx); }
};

SealedReader::SealedReader(const SealedHeader& header, QIODevice& source, QObject* parent)
    : QIODevice(parent), m_header(header), m_source(source)
{
}

SealedReader::~SealedReader()
{
    if (m_plain)
        sodium_memzero(m_plain.get(), size_t(m_header.encrypted ? m_header.chunkBytes : 0));
}

qint64 SealedReader::fail(const Words& why)
{
    if (!m_failed) {
        setErrorString(why.shown);
        m_error = why;
    }
    m_failed = true;
    return -1;
}

bool SealedReader::refuse(const Words& why)
{
    fail(why);
    return false;
}

qint64 SealedReader::readFully(unsigned char* into, qint64 size)
{
    qint64 got = 0;
    while (got < size) {
        const qint64 n = m_source.read(reinterpret_cast<char*>(into) + got, size - got);
        if (n < 0)
            return fail(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "读取备份数据时出错：%1"), m_source.errorString()));
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

bool SealedReader::unseal(const Passphrase* passphrase)
{
    if (isOpen() || m_failed)
        return false;
    if (sodium_init() < 0)
        return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "无法初始化加密库")));
    if (m_header.encrypted) {
        if (!passphrase || passphrase->isEmpty())
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份集已加密，需要口令")));
        if (m_header.salt.size() != crypto_pwhash_SALTBYTES || m_header.chunkBytes < SealedHeader::kMinChunkBytes
            || m_header.chunkBytes > SealedHeader::kMaxChunkBytes)
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份集清单中的加密参数无效")));
        unsigned char streamHeader[kStreamHeaderBytes];
        const qint64 n = readFully(streamHeader, kStreamHeaderBytes);
        if (n < 0)
            return false;
        if (n < kStreamHeaderBytes)
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据不完整：数据文件比加密的开头还短")));
        Words why;
        bool headerBad = false;
        m_key = SealKey::derive(m_header, *passphrase, SealKey::Dir::Pull, streamHeader, &headerBad, &why);
        if (!m_key)
            return refuse(headerBad ? Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "口令不正确")) : why);
        unsigned char sealedCheck[kKeyCheckBytes + kChunkOverhead];
        const qint64 got = readFully(sealedCheck, sizeof sealedCheck);
        if (got < 0)
            return false;
        if (got != qint64(sizeof sealedCheck))
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据不完整：数据文件比加密的开头还短")));
        unsigned char check[kKeyCheckBytes];
        unsigned char expected[kKeyCheckBytes];
        unsigned char tag = 0;
        unsigned long long checkBytes = 0;
        // A wrong passphrase, or a salt or limit changed in the manifest, gives another key, which
        // the first record does not open.
        if (crypto_secretstream_xchacha20poly1305_pull(m_key->state, check, &checkBytes, &tag, sealedCheck,
                                                       sizeof sealedCheck, nullptr, 0)
                != 0
            || checkBytes != kKeyCheckBytes || tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE)
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "口令不正确")));
        keyCheck(m_header, expected);
        if (sodium_memcmp(check, expected, kKeyCheckBytes) != 0)
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份集清单中的加密参数与数据文件不符")));
        m_sealedChunk.reset(new unsigned char[size_t(m_header.chunkBytes + kChunkOverhead)]);
        m_plain.reset(new unsigned char[size_t(m_header.chunkBytes)]);
    } else {
        m_plain.reset(new unsigned char[ZSTD_DStreamInSize()]);
    }
    if (m_header.compressed) {
        m_zstd = std::make_unique<Zstd>();
        if (!m_zstd->ctx)
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "内存不足，无法解压缩备份数据")));
        ZSTD_DCtx_setParameter(m_zstd->ctx, ZSTD_d_windowLogMax, kMaxWindowLog);
    }
    return QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool SealedReader::nextPiece()
{
    m_plainSize = m_plainPos = 0;
    if (m_sourceDone || m_failed)
        return false;
    if (!m_header.encrypted) {
        const qint64 n = m_source.read(reinterpret_cast<char*>(m_plain.get()), qint64(ZSTD_DStreamInSize()));
        if (n < 0)
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "读取备份数据时出错：%1"), m_source.errorString()));
        if (n == 0) {
            m_sourceDone = true;
            return false;
        }
        m_plainSize = n;
        return true;
    }
    const qint64 n = readFully(m_sealedChunk.get(), m_header.chunkBytes + kChunkOverhead);
    if (n < 0)
        return false;
    const qint64 number = m_chunkNo + 1;
    if (n == 0)
        return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据不完整：数据文件被截断，缺少结尾")));
    unsigned long long plainBytes = 0;
    unsigned char tag = 0;
    if (n < kChunkOverhead
        || crypto_secretstream_xchacha20poly1305_pull(m_key->state, m_plain.get(), &plainBytes, &tag,
                                                      m_sealedChunk.get(), static_cast<unsigned long long>(n),
                                                      nullptr, 0)
               != 0)
        return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据已损坏或被改动：第 %1 块未通过校验"), number));
    m_chunkNo = number;
    if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
        m_sourceDone = true;
        char extra = 0;
        if (m_source.read(&extra, 1) != 0)
            return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据在结尾之后还有多余的内容")));
    } else if (tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE) {
        return refuse(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据已损坏或被改动：第 %1 块未通过校验"), number));
    }
    m_plainSize = qint64(plainBytes);
    return true;
}

qint64 SealedReader::readData(char* data, qint64 maxSize)
{
    if (m_failed)
        return -1;
    if (m_done || maxSize <= 0)
        return 0;
    // The next bytes of what was sealed; false once there are none (or on failure).
    auto haveInput = [this] {
        while (m_plainPos == m_plainSize)
            if (!nextPiece())
                return false;
        return true;
    };
    if (!m_zstd) {
        if (!haveInput()) {
            if (m_failed)
                return -1;
            m_done = true;
            return 0;
        }
        const qint64 n = std::min(maxSize, m_plainSize - m_plainPos);
        std::memcpy(data, m_plain.get() + m_plainPos, size_t(n));
        m_plainPos += n;
        return n;
    }
    ZSTD_outBuffer out{data, size_t(maxSize), 0};
    while (out.pos == 0) {
        const bool more = haveInput();
        if (m_failed)
            return -1;
        if (!more) {
            if (m_zstd->frameDone) {
                m_done = true;
                return 0;
            }
            // What the decoder still holds comes out with no more input; a frame without its end
            // is a data file cut short.
            ZSTD_inBuffer none{nullptr, 0, 0};
            const size_t rc = ZSTD_decompressStream(m_zstd->ctx, &out, &none);
            if (ZSTD_isError(rc))
                return fail(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据已损坏，无法解压缩（%1）"), QString::fromLatin1(ZSTD_getErrorName(rc))));
            m_zstd->frameDone = rc == 0;
            if (out.pos == 0)
                return fail(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据不完整：压缩的数据缺少结尾")));
            break;
        }
        if (m_zstd->frameDone)
            return fail(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据在结尾之后还有多余的内容")));
        ZSTD_inBuffer in{m_plain.get(), size_t(m_plainSize), size_t(m_plainPos)};
        const size_t rc = ZSTD_decompressStream(m_zstd->ctx, &out, &in);
        if (ZSTD_isError(rc))
            return fail(Words::of("SealedReader", QT_TRANSLATE_NOOP("SealedReader", "备份数据已损坏，无法解压缩（%1）"), QString::fromLatin1(ZSTD_getErrorName(rc))));
        m_plainPos = qint64(in.pos);
        m_zstd->frameDone = rc == 0;
    }
    return qint64(out.pos);
}

bool SealedReader::atEnd() const
{
    return m_done || m_failed;
}

void SealedReader::close()
{
    m_key.reset();
    QIODevice::close();
}
