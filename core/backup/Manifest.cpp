#include "Manifest.h"
#include "BackupSet.h"

#include <CiFile.h>

#include <QFile>
#include <QRegularExpression>

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

namespace BackupSet {
QByteArray manifestText(const Manifest& m)
{
    return QStringLiteral("[BackupSum]\r\nVersion=1\r\nFile=%1\r\nBytes=%2\r\nXXH3-128=%3\r\n")
        .arg(kDataFileName)
        .arg(m.bytes)
        .arg(m.checksum)
        .toUtf8();
}

bool writeManifest(const QString& path, const Manifest& m, QString* error)
{
    return saveAtomically(path, manifestText(m), error);
}

std::optional<Manifest> readManifest(const QString& path, QString* error)
{
    const QString real = CiFile::resolve(path);
    if (!CiFile::isFile(real))
        return std::nullopt;
    QFile f(real);
    // A manifest is a few lines; anything larger is some other file.
    if (!f.open(QIODevice::ReadOnly) || f.size() > 4096) {
        if (error)
            *error = QStringLiteral("无法读取校验文件 %1").arg(real);
        return std::nullopt;
    }
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    Manifest m;
    bool heading = false;
    bool version = false;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.compare(QLatin1String("[BackupSum]"), Qt::CaseInsensitive) == 0) {
            heading = true;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key.compare(QLatin1String("Version"), Qt::CaseInsensitive) == 0)
            version = value == QLatin1String("1");
        else if (key.compare(QLatin1String("Bytes"), Qt::CaseInsensitive) == 0)
            m.bytes = value.toLongLong();
        else if (key.compare(QLatin1String("XXH3-128"), Qt::CaseInsensitive) == 0)
            m.checksum = value.toLower();
    }
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{32}$"));
    if (!heading || !version || m.bytes < 0 || !hex.match(m.checksum).hasMatch()) {
        if (error)
            *error = QStringLiteral("校验文件 %1 格式不正确").arg(real);
        return std::nullopt;
    }
    return m;
}
}
