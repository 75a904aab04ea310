// A sealed data file: what is written compressed, encrypted or both reads back byte for byte, and
// nothing changed, lost, moved or cut off in it, no wrong passphrase and no changed seal in the
// manifest gets past the reader.
#include <SealedHeader.h>
#include <SealedStream.h>

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

namespace {
constexpr qint64 kChunk = SealedHeader::kChunkBytes;
// The layout's fixed parts: the stream's header and its first record (a 32-byte check, sealed).
constexpr qint64 kStart = 24 + 32 + 17;
constexpr qint64 kSealedChunk = kChunk + 17;

// A seal as an export makes it, with a derivation cheap enough to run many times over.
SealedHeader quickSeal(bool compress, bool encrypt)
{
    SealedHeader h = SealedHeader::make(compress, encrypt);
    if (encrypt) {
        h.opsLimit = 1;
        h.memLimit = 1 << 20;
    }
    return h;
}

// Rows of vouchers, repetitive as books are, with numbers that differ from row to row.
QByteArray booksLike(qint64 size, quint32 seed = 1)
{
    QRandomGenerator rng(seed);
    QByteArray out;
    out.reserve(size + 200);
    while (out.size() < size) {
        out += QStringLiteral("2024-%1-%2|记-%3|1002 银行存款|借|%4.%5|收到货款 客户%6\n")
                   .arg(rng.bounded(1, 13), 2, 10, QLatin1Char('0'))
                   .arg(rng.bounded(1, 29), 2, 10, QLatin1Char('0'))
                   .arg(rng.bounded(10000))
                   .arg(rng.bounded(1000000))
                   .arg(rng.bounded(100), 2, 10, QLatin1Char('0'))
                   .arg(rng.bounded(500))
                   .toUtf8();
    }
    out.truncate(size);
    return out;
}

QByteArray noise(qint64 size, quint32 seed = 2)
{
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    for (qint64 i = 0; i < size; ++i)
        out[i] = char(rng.bounded(256));
    return out;
}

// Sealed in pieces of uneven sizes, as an export's copy loop hands them over.
QByteArray seal(const SealedHeader& h, const QString& passphrase, const QByteArray& data)
{
    QByteArray sealed;
    SealedWriter w(h, [&sealed](const char* p, qint64 n, QString*) {
        sealed.append(p, n);
        return true;
    });
    const Passphrase pass(passphrase);
    if (!w.open(&pass)) {
        qWarning() << w.errorString();
        return {};
    }
    const qint64 pieces[] = {1, 7, 4093, 65536, 1 << 20, 3 << 19};
    qint64 at = 0;
    for (int i = 0; at < data.size(); ++i) {
        const qint64 n = std::min(pieces[i % 6], data.size() - at);
        if (!w.write(data.constData() + at, n))
            return {};
        at += n;
    }
    if (!w.finish())
        return {};
    return sealed;
}

// The bytes the reader hands out, or nothing with its reason in `error`.
std::optional<QByteArray> unseal(const SealedHeader& h, const QString& passphrase, const QByteArray& sealed,
                                 QString* error)
{
    QBuffer source;
    source.setData(sealed);
    source.open(QIODevice::ReadOnly);
    SealedReader r(h, source);
    const Passphrase pass(passphrase);
    if (!r.unseal(&pass)) {
        *error = r.errorString();
        return std::nullopt;
    }
    QByteArray out;
    QByteArray buffer(300000, Qt::Uninitialized);
    for (;;) {
        const qint64 n = r.read(buffer.data(), buffer.size());
        if (n < 0) {
            *error = r.errorString();
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buffer.constData(), n);
    }
    if (!r.atEnd()) {
        *error = QStringLiteral("read returned 0 before the end");
        return std::nullopt;
    }
    return out;
}

const QString kPass = QStringLiteral("账套备份 2024 口令");
} // namespace

class TestSealed : public QObject {
    Q_OBJECT

private slots:
    // Every combination over the sizes around a chunk's edges and several chunks.
    void roundTrip_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<bool>("encrypt");
        QTest::addColumn<qint64>("size");
        const qint64 sizes[] = {0, 1, kChunk - 1, kChunk, kChunk + 1, 5 * kChunk + 12345};
        const struct {
            const char* name;
            bool compress, encrypt;
        } modes[] = {{"compress", true, false}, {"encrypt", false, true}, {"both", true, true}};
        for (const auto& m : modes)
            for (qint64 size : sizes)
                QTest::addRow("%s %lld", m.name, size) << m.compress << m.encrypt << size;
    }
    void roundTrip()
    {
        QFETCH(bool, compress);
        QFETCH(bool, encrypt);
        QFETCH(qint64, size);
        const SealedHeader h = quickSeal(compress, encrypt);
        const QByteArray data = booksLike(size);
        const QByteArray sealed = seal(h, kPass, data);
        QVERIFY(!sealed.isEmpty());
        QString error;
        const auto back = unseal(h, kPass, sealed, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(back->size(), data.size());
        QVERIFY(*back == data);
        if (encrypt && !compress) {
            // Every chunk full but the final one, which holds the rest (a full chunk when the data
            // ends on a chunk's edge, empty only for no data at all).
            const qint64 chunks = std::max<qint64>(1, (size + kChunk - 1) / kChunk);
            QCOMPARE(sealed.size(), kStart + size + chunks * 17);
        }
        if (size > kChunk) {
            // A voucher's row never appears in clear in an encrypted file; compression halves books.
            if (encrypt)
                QVERIFY(!sealed.contains(data.mid(data.size() / 2, 40)));
            if (compress)
                QVERIFY2(sealed.size() * 2 < data.size(), qPrintable(QString::number(sealed.size())));
        }
    }

    // Incompressible data sealed both ways still round-trips (zstd's stored blocks), and the seal's
    // own defaults (the slow derivation) work as a reader reads them from the manifest.
    void defaultsThroughTheManifestLines()
    {
        const SealedHeader h = SealedHeader::make(true, true);
        QCOMPARE(h.salt.size(), 16);
        QVERIFY(h.memLimit >= quint64(64) << 20);
        QString error;
        const auto read = SealedHeader::fromFields(QStringList{QStringLiteral("Version=1")} + h.toFields(), &error);
        QVERIFY2(read, qPrintable(error));
        QCOMPARE(read->toFields(), h.toFields());
        const QByteArray data = noise(kChunk + 99);
        const QByteArray sealed = seal(h, kPass, data);
        const auto back = unseal(*read, kPass, sealed, &error);
        QVERIFY2(back, qPrintable(error));
        QVERIFY(*back == data);
        // Two exports never share a salt, so one passphrase gives each set its own key.
        QVERIFY(SealedHeader::make(false, true).salt != h.salt);
        // A plain set's manifest carries no seal, and reads back as plain.
        QVERIFY(SealedHeader::make(false, false).toFields().isEmpty());
        QVERIFY(SealedHeader::fromFields({QStringLiteral("Bytes=12")})->isPlain());
    }

    // A manifest whose seal this program cannot open, or which would make it spend without bound.
    void manifestRefused_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("unknown cipher") << "Cipher" << "aes";
        QTest::newRow("unknown compression") << "Compression" << "lz4";
        QTest::newRow("short salt") << "Salt" << "00ff";
        QTest::newRow("salt not hex") << "Salt" << QString(32, QLatin1Char('z'));
        QTest::newRow("memory beyond limit") << "MemLimit" << QString::number(quint64(1) << 34);
        QTest::newRow("no passes") << "OpsLimit" << "0";
        QTest::newRow("huge chunk") << "ChunkBytes" << QString::number(1 << 30);
        QTest::newRow("tiny chunk") << "ChunkBytes" << "16";
    }
    void manifestRefused()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QStringList lines = SealedHeader::make(true, true).toFields();
        for (QString& line : lines)
            if (line.startsWith(key + QLatin1Char('=')))
                line = key + QLatin1Char('=') + value;
        QString error;
        QVERIFY(!SealedHeader::fromFields(lines, &error));
        QVERIFY(!error.isEmpty());
    }

    // Every change to an encrypted data file is refused, wherever it lies.
    void tampered_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("said");
        for (bool compress : {false, true}) {
            const char* m = compress ? "both" : "encrypt";
            QTest::addRow("%s: byte flipped in the first chunk", m) << compress << "flip 0" << "第 1 块";
            QTest::addRow("%s: byte flipped in a middle chunk", m) << compress << "flip 2" << "第 3 块";
            QTest::addRow("%s: byte flipped in the last chunk", m) << compress << "flip last" << "第 6 块";
            QTest::addRow("%s: chunk removed", m) << compress << "remove 1" << "第 2 块";
            QTest::addRow("%s: chunks swapped", m) << compress << "swap 1 2" << "第 2 块";
            QTest::addRow("%s: final chunk cut off", m) << compress << "drop last" << "不完整";
            QTest::addRow("%s: cut inside a chunk", m) << compress << "cut 100" << "第 6 块";
            // The final chunk read with them is no longer the one sealed.
            QTest::addRow("%s: bytes after the end", m) << compress << "append" << "第 6 块";
            QTest::addRow("%s: stream header changed", m) << compress << "flip header" << "口令不正确";
            QTest::addRow("%s: cut inside the start", m) << compress << "cut start" << "不完整";
        }
    }
    void tampered()
    {
        QFETCH(bool, compress);
        QFETCH(QString, change);
        QFETCH(QString, said);
        const SealedHeader h = quickSeal(compress, true);
        // Six chunks, the last one short; noise, so compression keeps them six.
        const QByteArray sealed = seal(h, kPass, noise(5 * kChunk + 4000));
        const qint64 chunks = (sealed.size() - kStart + kSealedChunk - 1) / kSealedChunk;
        QCOMPARE(chunks, 6);
        auto at = [](qint64 chunk) { return kStart + chunk * kSealedChunk; };
        QByteArray bad = sealed;
        const QStringList w = change.split(QLatin1Char(' '));
        if (change == QLatin1String("flip last"))
            bad[at(5) + 10] = char(bad[at(5) + 10] ^ 0x01);
        else if (w[0] == QLatin1String("flip") && w[1] == QLatin1String("header"))
            bad[3] = char(bad[3] ^ 0x80);
        else if (w[0] == QLatin1String("flip"))
            bad[at(w[1].toInt()) + kChunk / 2] = char(bad[at(w[1].toInt()) + kChunk / 2] ^ 0x40);
        else if (w[0] == QLatin1String("remove"))
            bad.remove(at(w[1].toInt()), kSealedChunk);
        else if (w[0] == QLatin1String("swap"))
            bad = sealed.left(at(1)) + sealed.mid(at(2), kSealedChunk) + sealed.mid(at(1), kSealedChunk)
                + sealed.mid(at(3));
        else if (change == QLatin1String("drop last"))
            bad.truncate(at(5));
        else if (change == QLatin1String("cut start"))
            bad.truncate(kStart - 5);
        else if (w[0] == QLatin1String("cut"))
            bad.chop(w[1].toInt());
        else if (w[0] == QLatin1String("append"))
            bad.append("\0\0\0\0", 4);
        QVERIFY(bad != sealed);
        QString error;
        QVERIFY(!unseal(h, kPass, bad, &error));
        QVERIFY2(error.contains(said), qPrintable(error));
        // The untouched file still opens.
        QVERIFY(unseal(h, kPass, sealed, &error));
    }

    // After a final chunk of full size the reader reads on, and refuses what follows it.
    void bytesAfterFullFinalChunk()
    {
        const SealedHeader h = quickSeal(false, true);
        const QByteArray sealed = seal(h, kPass, booksLike(2 * kChunk));
        QCOMPARE(sealed.size(), kStart + 2 * kSealedChunk);
        QString error;
        QVERIFY(unseal(h, kPass, sealed, &error));
        QVERIFY(!unseal(h, kPass, sealed + QByteArray(1, '\0'), &error));
        QVERIFY2(error.contains(QStringLiteral("多余")), qPrintable(error));
    }

    // A wrong passphrase, and a manifest whose seal was changed, are told before a byte is read.
    void wrongKey_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("said");
        for (bool compress : {false, true}) {
            const char* m = compress ? "both" : "encrypt";
            QTest::addRow("%s: wrong passphrase", m) << compress << "passphrase" << "口令不正确";
            QTest::addRow("%s: passphrase with one more space", m) << compress << "space" << "口令不正确";
            QTest::addRow("%s: salt changed", m) << compress << "salt" << "口令不正确";
            QTest::addRow("%s: passes changed", m) << compress << "ops" << "口令不正确";
            QTest::addRow("%s: chunk size changed", m) << compress << "chunk" << "不符";
            QTest::addRow("%s: compression dropped", m) << compress << "compression" << "不符";
            QTest::addRow("%s: no passphrase", m) << compress << "none" << "需要口令";
        }
    }
    void wrongKey()
    {
        QFETCH(bool, compress);
        QFETCH(QString, change);
        QFETCH(QString, said);
        const SealedHeader h = quickSeal(compress, true);
        const QByteArray sealed = seal(h, kPass, booksLike(3 * kChunk));
        SealedHeader read = h;
        QString pass = kPass;
        if (change == QLatin1String("passphrase"))
            pass = QStringLiteral("账套备份 2025 口令");
        else if (change == QLatin1String("space"))
            pass += QLatin1Char(' ');
        else if (change == QLatin1String("salt"))
            read.salt[7] = char(read.salt[7] ^ 0x01);
        else if (change == QLatin1String("ops"))
            read.opsLimit = 2;
        else if (change == QLatin1String("chunk"))
            read.chunkBytes = kChunk / 2;
        else if (change == QLatin1String("compression"))
            read.compressed = !read.compressed;
        else if (change == QLatin1String("none"))
            pass.clear();
        QBuffer source;
        source.setData(sealed);
        source.open(QIODevice::ReadOnly);
        SealedReader r(read, source);
        const Passphrase p(pass);
        QVERIFY(!r.unseal(&p));
        QVERIFY2(r.errorString().contains(said), qPrintable(r.errorString()));
        QVERIFY(!r.isOpen());
        char c;
        QCOMPARE(r.read(&c, 1), qint64(-1));
    }

    // Compressed alone: the frame's own checksum and end catch what the manifest's sum would.
    void compressedTampered_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("said");
        QTest::newRow("byte flipped") << "flip" << "损坏";
        QTest::newRow("cut short") << "cut" << "不完整";
        QTest::newRow("bytes after the end") << "append" << "多余";
    }
    void compressedTampered()
    {
        QFETCH(QString, change);
        QFETCH(QString, said);
        const SealedHeader h = quickSeal(true, false);
        const QByteArray sealed = seal(h, {}, booksLike(4 * kChunk));
        QByteArray bad = sealed;
        if (change == QLatin1String("flip"))
            bad[bad.size() / 2] = char(bad[bad.size() / 2] ^ 0x10);
        else if (change == QLatin1String("cut"))
            bad.chop(1000);
        else
            bad.append(sealed.left(100));
        QString error;
        QVERIFY(!unseal(h, {}, bad, &error));
        QVERIFY2(error.contains(said), qPrintable(error));
    }

    // The same words typed in another Unicode form open the set; the passphrase is needed at all.
    void passphraseForms()
    {
        const SealedHeader h = quickSeal(false, true);
        const QByteArray data = booksLike(5000);
        const QByteArray sealed = seal(h, QStringLiteral("caf\u00e9 口令"), data);
        QString error;
        const auto back = unseal(h, QStringLiteral("cafe\u0301 口令"), sealed, &error);
        QVERIFY2(back, qPrintable(error));
        QVERIFY(*back == data);
        QByteArray fileLine("caf\xc3\xa9 \xe5\x8f\xa3\xe4\xbb\xa4");
        const auto fromFile = Passphrase::fromUtf8(fileLine);
        QVERIFY(fileLine.isEmpty());
        QCOMPARE(QByteArray(fromFile->data(), fromFile->size()), QStringLiteral("café 口令").toUtf8());

        SealedWriter w(h, [](const char*, qint64, QString*) { return true; });
        const Passphrase empty{QString()};
        QVERIFY(!w.open(&empty));
        QVERIFY(w.errorString().contains(QStringLiteral("口令")));
    }

    // A sink that fails (a full disk) stops the writer with the sink's own words, for good.
    void sinkFailure()
    {
        for (bool compress : {false, true}) {
            qint64 room = 3 * kChunk;
            SealedWriter w(quickSeal(compress, true), [&room](const char*, qint64 n, QString* why) {
                room -= n;
                if (room >= 0)
                    return true;
                *why = QStringLiteral("磁盘空间不足");
                return false;
            });
            const Passphrase pass(kPass);
            QVERIFY(w.open(&pass));
            const QByteArray data = noise(kChunk);
            bool ok = true;
            for (int i = 0; i < 6 && ok; ++i)
                ok = w.write(data.constData(), data.size());
            QVERIFY(!ok || !w.finish());
            QCOMPARE(w.errorString(), QStringLiteral("磁盘空间不足"));
            QVERIFY(!w.write("x", 1));
            QVERIFY(!w.finish());
        }
    }
};

QTEST_GUILESS_MAIN(TestSealed)
#include "tst_core_sealed.moc"
