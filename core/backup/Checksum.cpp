#include "Checksum.h"

#include <CiFile.h>

#include <QFile>

#include <xxhash.h>

struct Checksum::State {
    XXH3_state_t* s = XXH3_createState();
    ~State() { XXH3_freeState(s); }
};

Checksum::Checksum()
    : m_state(std::make_unique<State>())
{
    XXH3_128bits_reset(m_state->s);
}

Checksum::~Checksum() = default;

void Checksum::add(const char* data, qint64 size)
{
    XXH3_128bits_update(m_state->s, data, size_t(size));
    m_bytes += size;
}

QString Checksum::hex() const
{
    const XXH128_hash_t h = XXH3_128bits_digest(m_state->s);
    return QStringLiteral("%1%2").arg(h.high64, 16, 16, QLatin1Char('0')).arg(h.low64, 16, 16, QLatin1Char('0'));
}

QString Checksum::ofFile(const QString& path, qint64* bytes)
{
    QFile f(CiFile::resolve(path));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    Checksum sum;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = f.read(buffer.data(), buffer.size());
        if (n < 0)
            return QString();
        if (n == 0)
            break;
        sum.add(buffer.constData(), n);
    }
    if (bytes)
        *bytes = sum.bytes();
    return sum.hex();
}
