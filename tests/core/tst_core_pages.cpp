// A data file filled through its pages holds what the engine's own inserts would: every value with
// its type, every index in the engine's order, a sound file the engine goes on changing (its pointer
// map included); and what the pages cannot take is refused, never written half.
#include "BackupFixture.h"

#include <Database.h>
#include <PageWriter.h>

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>
#include <thread>

namespace {
using V = PageWriter::Value;

// The tables under test: a rowid column with text, real and bytes beside it and an index over
// text (NOCASE) and a real descending; no rowid column with a text key, an index on bytes and one
// on text compared bytewise; numbers at their edges; and an empty table with an index.
const QStringList kSchema = {
    QStringLiteral("CREATE TABLE lines (id INTEGER PRIMARY KEY, code TEXT COLLATE NOCASE, amount REAL, n INTEGER, memo TEXT, data BLOB, UNIQUE (n))"),
    QStringLiteral("CREATE INDEX lines_code ON lines (code, amount DESC)"),
    QStringLiteral("CREATE TABLE names (name TEXT COLLATE NOCASE PRIMARY KEY, note TEXT, data BLOB)"),
    QStringLiteral("CREATE INDEX names_data ON names (data)"),
    QStringLiteral("CREATE INDEX names_note ON names (note)"),
    QStringLiteral("CREATE TABLE numbers (r REAL, i INTEGER, x)"),
    QStringLiteral("CREATE INDEX numbers_r ON numbers (r, i)"),
    QStringLiteral("CREATE TABLE empty (a INTEGER PRIMARY KEY, b TEXT)"),
    QStringLiteral("CREATE INDEX empty_b ON empty (b)"),
};

struct Row {
    QList<QVariant> values;   // as bound to the engine
};

// Text of every length class: short, with case to fold, Chinese, and long enough to overflow a
// page (and an index's share of one). The signs between the upper and the lower letters
// ([\]^_`) sort after every letter when compared bytewise, before the letters when NOCASE folds
// to lower case, as it does, and after them if it folded to upper case.
QString textFor(int i)
{
    static const QStringList bases = {QStringLiteral("Abc"), QStringLiteral("aBC"), QStringLiteral("abd"), QStringLiteral("ABD"),
                                      QStringLiteral("现金"), QStringLiteral("z"), QString(), QStringLiteral("A_b"), QStringLiteral("a[c"),
                                      QStringLiteral("_"), QStringLiteral("A`"), QStringLiteral("Z^"), QStringLiteral("a\\"),
                                      QStringLiteral("Z]")};
    QString t = bases[i % bases.size()] + QString::number(i % 37);
    if (i % 97 == 0)
        t += QString(3000 + i % 5000, QLatin1Char('x'));
    return t;
}

QList<Row> linesRows()
{
    QList<Row> out;
    for (int i = 1; i <= 3000; ++i) {
        Row r;
        const int id = i * 3 - 2000;   // negative ones too, ascending
        QVariant amount = (i % 11 == 0) ? QVariant() : QVariant(i % 5 == 0 ? double(i) : i * 1.25 - 900.5);
        QVariant data = (i % 13 == 0) ? QVariant(QByteArray(i % 41 == 0 ? 70000 : i % 7, char(i % 3))) : QVariant();
        r.values = {id, i % 17 == 0 ? QVariant() : QVariant(textFor(i)), amount, qint64(i) * 1000003 - 5, textFor(i * 7), data};
        out << r;
    }
    return out;
}

QList<Row> namesRows()
{
    QList<Row> out;
    for (int i = 0; i < 800; ++i) {
        QByteArray data;
        for (int k = 0; k < i % 9; ++k)
            data.append(char((i * 7 + k) % 3));   // zeros inside bytes
        out << Row{{QStringLiteral("名称%1").arg(i) + (i % 2 ? QStringLiteral("a") : QStringLiteral("A")), textFor(i), i % 4 ? QVariant(data) : QVariant()}};
    }
    return out;
}

QList<Row> numbersRows()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QList<double> reals = {0.0, -0.0, 1.0, -1.0, 0.5, 1e300, -1e300, 4503599627370496.0, 9.3e18, -9.3e18, nan, 2.0, 1e-300};
    const QList<qint64> ints = {0, 1, -1, 127, 128, -128, -129, 32767, 32768, 8388608, -8388609, 2147483648LL, 140737488355328LL,
                                std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()};
    QList<Row> out;
    for (int i = 0; i < 600; ++i)
        out << Row{{reals[i % reals.size()], ints[i % ints.size()], i % 3 ? QVariant(ints[(i + 1) % ints.size()]) : QVariant()}};
    return out;
}

// A row as the writer takes it; the bytes live in `keep` until the row is written.
std::vector<V> values(const Row& r, QList<QByteArray>& keep)
{
    std::vector<V> out;
    keep.clear();
    for (const QVariant& v : r.values) {
        V x;
        // A null byte array binds as null, as the engine's driver binds it.
        if (v.isNull() || (v.typeId() == QMetaType::QByteArray && v.toByteArray().isNull())) {
        } else if (v.typeId() == QMetaType::Double) {
            x.type = V::Real, x.r = v.toDouble();
        } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
            x.type = V::Integer, x.i = v.toLongLong();
        } else if (v.typeId() == QMetaType::QByteArray) {
            keep << v.toByteArray();
            x.type = V::Bytes, x.p = keep.last().constData(), x.n = keep.last().size();
        } else {
            keep << v.toString().toUtf8();
            x.type = V::Text, x.p = keep.last().constData(), x.n = keep.last().size();
        }
        out.push_back(x);
    }
    return out;
}

// A new database of `pageSize` pages, `reserved` bytes at the end of each kept free for another
// program's use (the header's byte 20, as a file with a checksum on every page has it).
void makeSchema(const QString& path, int pageSize, int reserved = 0)
{
    {
        Database db(path, true);
        db.execute(QStringLiteral("PRAGMA page_size=%1").arg(pageSize));
        db.execute(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL"));
        db.execute(QStringLiteral("PRAGMA user_version=1"));
    }
    if (reserved) {
        // No statement sets it: the first page of the empty file gets it in its header and its
        // empty page's content start, and VACUUM writes every page anew with it.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray head = f.read(108);
        head[20] = char(reserved);
        const int usable = pageSize - reserved;
        head[105] = char(usable >> 8);
        head[106] = char(usable & 0xff);
        QVERIFY(f.seek(0));
        QCOMPARE(f.write(head), qint64(head.size()));
        f.close();
        Database(path).execute(QStringLiteral("VACUUM"));
    }
    Database db(path);
    for (const QString& s : kSchema)
        db.execute(s);
}

int reservedBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? quint8(f.read(21).at(20)) : -1;
}

void insertRows(Database& db, const QString& table, const QList<Row>& rows)
{
    db.execute(QStringLiteral("BEGIN"));
    for (const Row& r : rows) {
        const QString marks = QStringList(r.values.size(), QStringLiteral("?")).join(QLatin1Char(','));
        db.execute(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks), r.values);
    }
    db.execute(QStringLiteral("COMMIT"));
}

// Every row in rowid order and every index in its own order, each value with its type.
QStringList contents(Database& db)
{
    QStringList out;
    const QList<QPair<QString, QString>> scans = {
        {QStringLiteral("lines"), QStringLiteral("rowid")},
        {QStringLiteral("lines INDEXED BY lines_code"), QStringLiteral("code, amount DESC, rowid")},
        {QStringLiteral("lines INDEXED BY sqlite_autoindex_lines_1"), QStringLiteral("n")},
        {QStringLiteral("names"), QStringLiteral("rowid")},
        {QStringLiteral("names INDEXED BY sqlite_autoindex_names_1"), QStringLiteral("name")},
        {QStringLiteral("names INDEXED BY names_data"), QStringLiteral("data, rowid")},
        {QStringLiteral("names INDEXED BY names_note"), QStringLiteral("note, rowid")},
        {QStringLiteral("numbers"), QStringLiteral("rowid")},
        {QStringLiteral("numbers INDEXED BY numbers_r"), QStringLiteral("r, i, rowid")},
        {QStringLiteral("empty"), QStringLiteral("rowid")},
    };
    for (const auto& [from, order] : scans) {
        const QString table = from.section(QLatin1Char(' '), 0, 0);
        QStringList cols{QStringLiteral("rowid")};
        for (Recordset rs = db.query(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {table}); !rs.Eof(); rs.MoveNext())
            cols << QStringLiteral("typeof(%1)||':'||quote(%1)").arg(rs.Fields(0).toString());
        out << from << rows(db, QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(cols.join(QLatin1Char(',')), from, order));
    }
    return out;
}
} // namespace

class TestPageWriter : public QObject {
    Q_OBJECT
private slots:
    void sameAsTheEnginesInserts_data();
    void sameAsTheEnginesInserts();
    void everyShapeOfTree();
    void refusesWhatItCannotWrite();
};

void TestPageWriter::sameAsTheEnginesInserts_data()
{
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("reserved");
    // Small pages: trees three levels deep, many pointer-map pages, overflow chains of many pages.
    QTest::newRow("512") << 512 << 0;
    QTest::newRow("4096") << 4096 << 0;
    // Cells, overflow shares and pointer maps end where a page's reserved bytes begin.
    QTest::newRow("512, 32 reserved") << 512 << 32;
}

void TestPageWriter::sameAsTheEnginesInserts()
{
    QFETCH(int, pageSize);
    QFETCH(int, reserved);
    QTemporaryDir dir;
    const QString byEngine = dir.filePath(QStringLiteral("engine.db"));
    const QString byPages = dir.filePath(QStringLiteral("pages.db"));
    makeSchema(byEngine, pageSize, reserved);
    makeSchema(byPages, pageSize, reserved);
    QCOMPARE(reservedBytes(byPages), reserved);
    const QList<QPair<QString, QList<Row>>> data = {{QStringLiteral("lines"), linesRows()},
                                                   {QStringLiteral("names"), namesRows()},
                                                   {QStringLiteral("numbers"), numbersRows()},
                                                   {QStringLiteral("empty"), {}}};
    {
        Database db(byEngine);
        for (const auto& [table, rows] : data)
            insertRows(db, table, rows);
    }
    QList<PageWriter::Table> layouts;
    {
        Database db(byPages);
        const QList<QList<V::Type>> sources = {{V::Integer, V::Text, V::Real, V::Integer, V::Text, V::Bytes},
                                               {V::Text, V::Text, V::Bytes},
                                               {V::Real, V::Integer, V::Integer},
                                               {V::Integer, V::Text}};
        for (int t = 0; t < data.size(); ++t) {
            PageWriter::Table layout;
            QString why;
            QVERIFY2(PageWriter::describe(db, data[t].first, sources[t], &layout, &why), qPrintable(data[t].first + QStringLiteral(": ") + why));
            layouts << layout;
        }
        QCOMPARE(layouts[0].alias, 0);
        QCOMPARE(layouts[1].alias, -1);
    }
    {
        PageWriter pages(byPages);
        for (int t = 0; t < data.size(); ++t) {
            // The table with a rowid column comes in two ranges, the upper one from another thread.
            const int parts = layouts[t].alias >= 0 && !data[t].second.isEmpty() ? 2 : 1;
            const qsizetype half = data[t].second.size() / 2;
            auto send = [&](int part, qsizetype from, qsizetype to) {
                for (qsizetype i = from; i < to; ++i) {
                    QList<QByteArray> keep;
                    std::vector<V> v = values(data[t].second[i], keep);
                    pages.addRow(v.data(), part);
                }
            };
            pages.beginTable(layouts[t], parts);
            if (parts == 2) {
                std::thread upper(send, 1, half, data[t].second.size());
                send(0, 0, half);
                upper.join();
            } else {
                send(0, 0, data[t].second.size());
            }
            pages.endTable();
        }
        pages.finish();
    }
    Database engine(byEngine);
    Database written(byPages);
    QCOMPARE(written.integrityProblems(), QStringList());
    QCOMPARE(contents(written), contents(engine));

    // The engine goes on with the file: more rows, half of them gone, the free pages released
    // through the pointer map, and the file still sound.
    written.execute(QStringLiteral("BEGIN"));
    for (int i = 0; i < 500; ++i)
        written.execute(QStringLiteral("INSERT INTO lines (code, amount, n, memo) VALUES (?,?,?,?)"),
                        {textFor(i), i * 0.5, 100000000000LL + i, QString(i % 50 == 0 ? 5000 : 10, QLatin1Char('m'))});
    written.execute(QStringLiteral("DELETE FROM lines WHERE id % 2 = 0"));
    written.execute(QStringLiteral("DELETE FROM names WHERE rowid % 3 = 0"));
    written.execute(QStringLiteral("COMMIT"));
    QVERIFY(written.scalar(QStringLiteral("PRAGMA freelist_count")).toInt() > 0);
    QCOMPARE(written.releaseFreePages(), 0);
    QCOMPARE(written.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

void TestPageWriter::everyShapeOfTree()
{
    // Rows and entries of one size on small pages (two rows a leaf, thirty entries): every count of
    // rows up to three levels of table and of index pages, so each way a level's last page can end
    // (a lone entry or child left over) comes by.
    QTemporaryDir dir;
    for (int n = 0; n <= 1000; ++n) {
        const QString path = dir.filePath(QStringLiteral("t%1.db").arg(n));
        {
            Database db(path, true);
            db.execute(QStringLiteral("PRAGMA page_size=512"));
            db.execute(QStringLiteral("PRAGMA auto_vacuum=INCREMENTAL"));
            db.execute(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY, k TEXT, pad TEXT)"));
            db.execute(QStringLiteral("CREATE INDEX t_k ON t (k)"));
        }
        PageWriter::Table layout;
        {
            Database db(path);
            QVERIFY(PageWriter::describe(db, QStringLiteral("t"), {V::Integer, V::Text, V::Text}, &layout, nullptr));
        }
        const QByteArray pad(200, 'p');
        {
            PageWriter pages(path);
            pages.beginTable(layout);
            for (int i = 0; i < n; ++i) {
                const QByteArray k = QByteArray::number(100000 + (i * 7919) % 100000);
                V row[3];
                row[0].type = V::Integer, row[0].i = i + 1000;
                row[1].type = V::Text, row[1].p = k.constData(), row[1].n = k.size();
                row[2].type = V::Text, row[2].p = pad.constData(), row[2].n = pad.size();
                pages.addRow(row);
            }
            pages.finish();
        }
        Database db(path);
        const QString check = db.scalar(QStringLiteral("PRAGMA integrity_check")).toString();
        QVERIFY2(check == QLatin1String("ok"), qPrintable(QStringLiteral("%1 rows: %2").arg(n).arg(check)));
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM t INDEXED BY t_k WHERE k > ''")).toInt(), n);
        db.close();
        QFile::remove(path);
    }
}

void TestPageWriter::refusesWhatItCannotWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.db"));
    {
        Database db(path, true);
        db.execute(QStringLiteral("CREATE TABLE plain (id INTEGER PRIMARY KEY, t TEXT, n INTEGER)"));
        for (const QString& s : {QStringLiteral("CREATE TABLE norowid (a INTEGER PRIMARY KEY, b TEXT) WITHOUT ROWID"),
                                 QStringLiteral("CREATE TABLE checked (a INTEGER CHECK (a > 0), b TEXT)"),
                                 QStringLiteral("CREATE TABLE counted (a INTEGER PRIMARY KEY AUTOINCREMENT, b TEXT)"),
                                 QStringLiteral("CREATE TABLE triggered (a INTEGER, b TEXT)"),
                                 QStringLiteral("CREATE TRIGGER tr AFTER INSERT ON triggered BEGIN SELECT 1; END"),
                                 QStringLiteral("CREATE TABLE expr (a INTEGER, b TEXT)"), QStringLiteral("CREATE INDEX expr_i ON expr (lower(b))"),
                                 QStringLiteral("CREATE TABLE part (a INTEGER, b TEXT)"), QStringLiteral("CREATE INDEX part_i ON part (b) WHERE a > 0"),
                                 QStringLiteral("CREATE TABLE rtrim (a INTEGER, b TEXT COLLATE RTRIM)"), QStringLiteral("CREATE INDEX rtrim_i ON rtrim (b)")})
            db.execute(s);
        PageWriter::Table layout;
        QString why;
        const QList<V::Type> two = {V::Integer, V::Text};
        for (const QString& t : {QStringLiteral("norowid"), QStringLiteral("checked"), QStringLiteral("counted"), QStringLiteral("triggered"),
                                 QStringLiteral("expr"), QStringLiteral("part"), QStringLiteral("rtrim")})
            QVERIFY2(!PageWriter::describe(db, t, two, &layout, &why), qPrintable(t));
        // Values the column would convert (text into a number column, a number into text).
        QVERIFY(!PageWriter::describe(db, QStringLiteral("plain"), {V::Integer, V::Text, V::Text}, &layout, &why));
        QVERIFY(!PageWriter::describe(db, QStringLiteral("plain"), {V::Integer, V::Real, V::Integer}, &layout, &why));
        QVERIFY(!PageWriter::describe(db, QStringLiteral("plain"), {V::Integer, V::Text}, &layout, &why));
        QVERIFY(PageWriter::describe(db, QStringLiteral("plain"), {V::Integer, V::Text, V::Real}, &layout, &why));
    }
    PageWriter::Table layout;
    {
        Database db(path);
        QVERIFY(PageWriter::describe(db, QStringLiteral("plain"), {V::Integer, V::Text, V::Integer}, &layout, nullptr));
    }
    // Rows whose rowid does not ascend, or a value of another type than declared, stop the writer.
    PageWriter pages(path);
    pages.beginTable(layout);
    V row[3];
    row[0].type = V::Integer, row[0].i = 5;
    pages.addRow(row);
    row[0].i = 5;
    QVERIFY_THROWS_EXCEPTION(DbError, pages.addRow(row));
    row[0].i = 6;
    row[2].type = V::Real;
    QVERIFY_THROWS_EXCEPTION(DbError, pages.addRow(row));
    // Ranges that overlap, and ranges of a table without a rowid column.
    PageWriter ranges(path);
    ranges.beginTable(layout, 2);
    row[2].type = V::Null;
    row[0].i = 10;
    ranges.addRow(row, 1);
    row[0].i = 10;
    ranges.addRow(row, 0);
    QVERIFY_THROWS_EXCEPTION(DbError, ranges.endTable());
    PageWriter::Table numbered = layout;
    numbered.alias = -1;
    PageWriter other(path);
    QVERIFY_THROWS_EXCEPTION(DbError, other.beginTable(numbered, 2));
}

QObject* newPageWriterTests()
{
    return new TestPageWriter;
}

#include "tst_core_pages.moc"
