#include "PageWriter.h"

#include <Database.h>

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
using uchar = unsigned char;
using Pgno = quint32;

// The engine's page kinds and pointer-map entry kinds.
constexpr uchar kIndexInterior = 0x02, kTableInterior = 0x05, kIndexLeaf = 0x0a, kTableLeaf = 0x0d;
constexpr uchar kMapBtree = 5, kMapOverflow1 = 3, kMapOverflow2 = 4;
// The page holding the byte the engine locks files at is never used.
constexpr qint64 kPendingByte = 0x40000000;

// The sentence `source` (context PageWriter) with its %1… filled from `args` (texts).
template <typename... Args>
[[noreturn]] void failed(const char* source, const Args&... args)
{
    throw DbError(Words::of("PageWriter", source, args...));
}

int varintLen(quint64 v)
{
    int n = 1;
    while (n < 9 && (v >> (7 * n)) != 0)
        ++n;
    return n;
}

int putVarint(uchar* p, quint64 v)
{
    if (v <= 0x7f) {
        p[0] = uchar(v);
        return 1;
    }
    if (v & (quint64(0xff000000) << 32)) {
        p[8] = uchar(v);
        v >>= 8;
        for (int i = 7; i >= 0; --i) {
            p[i] = uchar((v & 0x7f) | 0x80);
            v >>= 7;
        }
        return 9;
    }
    uchar buf[10];
    int n = 0;
    do {
        buf[n++] = uchar((v & 0x7f) | 0x80);
        v >>= 7;
    } while (v != 0);
    buf[0] &= 0x7f;
    for (int i = 0, j = n - 1; j >= 0; --j, ++i)
        p[i] = buf[j];
    return n;
}

int getVarint(const uchar* p, quint64* v)
{
    quint64 x = 0;
    for (int i = 0; i < 8; ++i) {
        x = (x << 7) | (p[i] & 0x7f);
        if (!(p[i] & 0x80)) {
            *v = x;
            return i + 1;
        }
    }
    *v = (x << 8) | p[8];
    return 9;
}

void put32(uchar* p, quint32 v)
{
    p[0] = uchar(v >> 24);
    p[1] = uchar(v >> 16);
    p[2] = uchar(v >> 8);
    p[3] = uchar(v);
}

void put16(uchar* p, quint32 v)
{
    p[0] = uchar(v >> 8);
    p[1] = uchar(v);
}

quint32 get32(const uchar* p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

// A value as the record keeps it: the serial type and, for numbers, the integer or the double.
struct Stored {
    quint64 type = 0;
    qint64 i = 0;
    double r = 0;
    const char* p = nullptr;
    qint64 n = 0;
    int bytes = 0;   // of the body
};

Stored storedInteger(qint64 i, bool format4)
{
    Stored s;
    s.i = i;
    const quint64 u = i < 0 ? ~quint64(i) : quint64(i);
    if (u <= 127) {
        if (format4 && (i == 0 || i == 1))
            s.type = 8 + quint64(i);
        else
            s.type = 1, s.bytes = 1;
    } else if (u <= 32767) {
        s.type = 2, s.bytes = 2;
    } else if (u <= 8388607) {
        s.type = 3, s.bytes = 3;
    } else if (u <= 2147483647) {
        s.type = 4, s.bytes = 4;
    } else if (u <= 0x7fffffffffffULL) {
        s.type = 5, s.bytes = 6;
    } else {
        s.type = 6, s.bytes = 8;
    }
    return s;
}

// What the engine stores for a value in a column of that affinity; false when it would convert the
// value to another type (text to a number, a number to text), which only its inserts do.
bool storedAs(const PageWriter::Value& v, char affinity, bool format4, Stored* out)
{
    switch (v.type) {
    case PageWriter::Value::Null:
        *out = Stored();
        return true;
    case PageWriter::Value::Integer:
        if (affinity == 'T')
            return false;
        *out = storedInteger(v.i, format4);
        return true;
    case PageWriter::Value::Real: {
        if (affinity == 'T')
            return false;
        if (std::isnan(v.r)) {
            // The engine keeps no NaN: it binds as null.
            *out = Stored();
            return true;
        }
        // A number column keeps a whole real as an integer (read back as a real where the column is REAL).
        if (affinity != 'B' && v.r >= -9223372036854775808.0 && v.r < 9223372036854775808.0) {
            const qint64 ix = qint64(v.r);
            if (double(ix) == v.r && ix > std::numeric_limits<qint64>::min() && ix < std::numeric_limits<qint64>::max()) {
                *out = storedInteger(ix, format4);
                out->r = v.r;
                return true;
            }
        }
        Stored s;
        s.type = 7, s.bytes = 8, s.r = v.r;
        *out = s;
        return true;
    }
    case PageWriter::Value::Text:
    case PageWriter::Value::Bytes: {
        if (v.type == PageWriter::Value::Text && affinity != 'T' && affinity != 'B')
            return false;
        Stored s;
        s.p = v.p;
        s.n = v.n;
        s.bytes = int(v.n);
        s.type = quint64(v.n) * 2 + (v.type == PageWriter::Value::Text ? 13 : 12);
        *out = s;
        return true;
    }
    }
    return false;
}

uchar* putBody(uchar* at, const Stored& s)
{
    switch (s.type) {
    case 0:
    case 8:
    case 9:
        return at;
    case 7: {
        quint64 bits;
        std::memcpy(&bits, &s.r, 8);
        qToBigEndian(bits, at);
        return at + 8;
    }
    default:
        if (s.type <= 6) {
            const quint64 u = quint64(s.i);
            for (int k = 0; k < s.bytes; ++k)
                at[k] = uchar(u >> (8 * (s.bytes - 1 - k)));
            return at + s.bytes;
        }
        std::memcpy(at, s.p, size_t(s.n));
        return at + s.n;
    }
}

// A record in the engine's format: the header's length, the serial types, then the bodies.
void makeRecord(const Stored* values, int count, std::string& rec)
{
    qint64 types = 0, body = 0;
    for (int k = 0; k < count; ++k) {
        types += values[k].type <= 0x7f ? 1 : varintLen(values[k].type);
        body += values[k].bytes;
    }
    qint64 header = types;
    if (header <= 126) {
        header += 1;
    } else {
        const int n = varintLen(quint64(header));
        header += n;
        if (n < varintLen(quint64(header)))
            ++header;
    }
    rec.resize(size_t(header + body));
    auto* at = reinterpret_cast<uchar*>(rec.data());
    at += putVarint(at, quint64(header));
    for (int k = 0; k < count; ++k) {
        if (values[k].type <= 0x7f)
            *at++ = uchar(values[k].type);
        else
            at += putVarint(at, values[k].type);
    }
    for (int k = 0; k < count; ++k)
        at = putBody(at, values[k]);
}

// The values of a record again (text and bytes point into it).
void readRecord(const uchar* rec, std::vector<Stored>& out)
{
    out.clear();
    quint64 header;
    const int first = getVarint(rec, &header);
    const uchar* h = rec + first;
    const uchar* body = rec + header;
    while (h < rec + header) {
        Stored s;
        h += getVarint(h, &s.type);
        if (s.type == 7) {
            quint64 bits = 0;
            for (int k = 0; k < 8; ++k)
                bits = bits << 8 | body[k];
            std::memcpy(&s.r, &bits, 8);
            s.bytes = 8;
        } else if (s.type == 8 || s.type == 9) {
            s.i = qint64(s.type - 8);
        } else if (s.type >= 1 && s.type <= 6) {
            static const int widths[] = {0, 1, 2, 3, 4, 6, 8};
            s.bytes = widths[s.type];
            quint64 u = (body[0] & 0x80) ? ~quint64(0) : 0;
            for (int k = 0; k < s.bytes; ++k)
                u = u << 8 | body[k];
            s.i = qint64(u);
        } else if (s.type >= 12) {
            s.n = qint64((s.type - 12) / 2);
            s.bytes = int(s.n);
            s.p = reinterpret_cast<const char*>(body);
        }
        body += s.bytes;
        out.push_back(s);
    }
}

// ---- the order of an index ----
// Each entry's columns become one byte string whose bytewise order is the index's order: a tag
// that puts null first, then integers by length and value, reals by their bits, text (for NOCASE
// with ASCII upper case folded to lower, as the engine folds: "_" sorts before "a", not after "Z";
// else its bytes) and bytes up to a terminator; a descending column's bytes are inverted.

void keyInteger(std::string& k, qint64 v)
{
    uchar b[9];
    quint64 w = v < 0 ? ~quint64(v) : quint64(v);
    int n = 0;
    while (n < 8 && (w >> (8 * n)) != 0)
        ++n;
    b[0] = uchar(v < 0 ? 0x0a - n : 0x0b + n);
    for (int k2 = 0; k2 < n; ++k2) {
        const uchar byte = uchar(w >> (8 * (n - 1 - k2)));
        b[1 + k2] = v < 0 ? uchar(~byte) : byte;
    }
    k.append(reinterpret_cast<const char*>(b), size_t(1 + n));
}

void keyReal(std::string& k, double r)
{
    if (r == 0)
        r = 0;   // -0.0 and 0.0 are equal
    quint64 bits;
    std::memcpy(&bits, &r, 8);
    bits = (bits >> 63) ? ~bits : bits | (quint64(1) << 63);
    uchar b[9];
    b[0] = 0x02;
    for (int i = 0; i < 8; ++i)
        b[1 + i] = uchar(bits >> (56 - 8 * i));
    k.append(reinterpret_cast<const char*>(b), 9);
}

void keyOf(const Stored& s, PageWriter::Value::Type source, bool nocase, bool desc, std::string& k)
{
    const size_t start = k.size();
    if (s.type == 0) {
        k.push_back(char(0x01));
    } else if (s.type >= 12) {
        k.push_back(char(0x02));
        const bool text = s.type % 2 == 1;
        for (qint64 i = 0; i < s.n; ++i) {
            char c = s.p[i];
            if (text && nocase && c >= 'A' && c <= 'Z')
                c = char(c + ('a' - 'A'));
            k.push_back(c);
            // Bytes may hold a zero; text does not.
            if (!text && c == 0)
                k.push_back(char(0xff));
        }
        k.push_back(0);
        if (!text)
            k.push_back(0);
    } else if (source == PageWriter::Value::Real) {
        keyReal(k, s.type == 7 ? s.r : double(s.i));
    } else {
        keyInteger(k, s.i);
    }
    if (desc)
        for (size_t i = start; i < k.size(); ++i)
            k[i] = char(~uchar(k[i]));
}

struct Entry {
    quint64 k0 = 0, k1 = 0;   // the key's first sixteen bytes
    const uchar* rec = nullptr;
};

void prefix(const std::string& key, Entry& e)
{
    uchar b[16] = {};
    std::memcpy(b, key.data(), std::min<size_t>(16, key.size()));
    for (int i = 0; i < 8; ++i) {
        e.k0 = e.k0 << 8 | b[i];
        e.k1 = e.k1 << 8 | b[8 + i];
    }
}
} // namespace

// ---- the file ----

struct PageWriter::Impl {
    QString path;
    int fd = -1;
    quint32 pageSize = 0;
    quint32 usable = 0;
    bool autoVacuum = false;
    bool format4 = true;
    Pgno firstNew = 0;   // the first page this writer adds
    Pgno pages = 0;      // pages in the file now
    Pgno pendingPage = 0;
    // The pointer map's entries of the added pages, from firstNew on.
    std::vector<uchar> mapKind;
    std::vector<Pgno> mapParent;
    // Page numbers and pointer-map entries are handed out to the parts' threads one at a time.
    std::mutex lock;
    // Pages in order of their numbers, written together: one run for each thread that writes.
    struct Run {
        std::vector<uchar> buf;
        Pgno first = 0;
        int count = 0;
    };
    Run mainRun;

    struct IndexBuild {
        PageWriter::Index spec;
        QList<Value::Type> sources;   // per index column
        std::vector<Entry> entries;
        std::vector<std::unique_ptr<uchar[]>> chunks;   // the entries' records
        std::thread sorter;
    };
    std::vector<std::unique_ptr<IndexBuild>> indexes;

    // A range of the table's rows, filled by a thread of its own: its leaves, and its rows'
    // index entries until the table ends.
    struct Part {
        Run run;
        qint64 rowid = 0;
        qint64 firstRowid = 0;
        bool anyRow = false;
        // The leaf being filled: rowids and records (kept for the next leaf, as buffers to reuse).
        std::vector<std::pair<qint64, std::string>> leafCells;
        size_t leafCount = 0;
        int leafBytes = 0;
        std::vector<std::pair<Pgno, qint64>> leaves;             // page and its last rowid
        struct Entries {
            std::vector<Entry> entries;
            std::vector<std::unique_ptr<uchar[]>> chunks;
            size_t chunkUsed = 0, chunkSize = 0;
        };
        std::vector<Entries> indexes;
        std::vector<Stored> stored, entry;
        std::string record, key;
    };

    // The table being written.
    bool inTable = false;
    PageWriter::Table table;
    std::vector<std::unique_ptr<Part>> parts;
    std::vector<IndexBuild*> current;

    ~Impl()
    {
        for (auto& ix : indexes)
            if (ix && ix->sorter.joinable())
                ix->sorter.join();
        if (fd >= 0)
            ::close(fd);
    }

    // The pointer-map page whose entries cover page `p` (p >= 2): each covers the usable/5 pages after it.
    Pgno mapPageOf(Pgno p) const
    {
        const Pgno per = usable / 5 + 1;
        Pgno m = ((p - 2) / per) * per + 2;
        if (m == pendingPage)
            ++m;
        return m;
    }

    bool isMapPage(Pgno p) const
    {
        return autoVacuum && p >= 2 && mapPageOf(p) == p;
    }

    Pgno allocate()
    {
        const std::lock_guard<std::mutex> hold(lock);
        Pgno p = pages + 1;
        while (p == pendingPage || isMapPage(p))
            ++p;
        pages = p;
        const size_t need = size_t(p - firstNew + 1);
        if (mapKind.size() < need) {
            mapKind.resize(need, 0);
            mapParent.resize(need, 0);
        }
        return p;
    }

    void mapEntry(Pgno page, uchar kind, Pgno parent)
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (page >= firstNew) {
            mapKind[page - firstNew] = kind;
            mapParent[page - firstNew] = parent;
        }
    }

    void pwriteAll(const uchar* data, size_t size, qint64 offset)
    {
        while (size > 0) {
            const ssize_t n = ::pwrite(fd, data, size, offset);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                failed(QT_TRANSLATE_NOOP("PageWriter", "无法写入数据文件 %1：%2"), path, QString::fromLocal8Bit(std::strerror(errno)));
            data += n;
            size -= size_t(n);
            offset += n;
        }
    }

    void flushRun(Run& run)
    {
        if (run.count)
            pwriteAll(run.buf.data(), size_t(run.count) * pageSize, qint64(run.first - 1) * pageSize);
        run.count = 0;
    }

    void writePage(Run& run, Pgno p, const uchar* data)
    {
        constexpr int kRun = 256;
        if (run.count && (p != run.first + Pgno(run.count) || run.count == kRun))
            flushRun(run);
        if (!run.count) {
            run.first = p;
            run.buf.resize(size_t(kRun) * pageSize);
        }
        std::memcpy(run.buf.data() + size_t(run.count) * pageSize, data, pageSize);
        ++run.count;
    }

    void readPage(Pgno p, uchar* data)
    {
        flushRun(mainRun);
        size_t done = 0;
        while (done < pageSize) {
            const ssize_t n = ::pread(fd, data + done, pageSize - done, qint64(p - 1) * pageSize + qint64(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                failed(QT_TRANSLATE_NOOP("PageWriter", "无法读取数据文件 %1"), path);
            done += size_t(n);
        }
    }

    // How much of a payload stays on its page; the rest goes to overflow pages.
    qint64 local(qint64 payload, bool tableLeaf) const
    {
        const qint64 u = usable;
        const qint64 x = tableLeaf ? u - 35 : ((u - 12) * 64 / 255) - 23;
        if (payload <= x)
            return payload;
        const qint64 m = ((u - 12) * 32 / 255) - 23;
        const qint64 k = m + ((payload - m) % (u - 4));
        return k <= x ? k : m;
    }

    // Writes the part of a payload beyond `keep` to overflow pages whose first has `parent` on
    // its pointer-map entry; returns the first.
    Pgno overflow(Run& run, const uchar* payload, qint64 size, qint64 keep, Pgno parent)
    {
        const qint64 per = usable - 4;
        const qint64 count = (size - keep + per - 1) / per;
        std::vector<Pgno> chain(static_cast<size_t>(count));
        for (auto& p : chain)
            p = allocate();
        std::vector<uchar> page(pageSize, 0);
        for (qint64 k = 0; k < count; ++k) {
            std::fill(page.begin(), page.end(), 0);
            put32(page.data(), k + 1 < count ? chain[size_t(k + 1)] : 0);
            const qint64 from = keep + k * per;
            std::memcpy(page.data() + 4, payload + from, size_t(std::min(per, size - from)));
            writePage(run, chain[size_t(k)], page.data());
            mapEntry(chain[size_t(k)], k == 0 ? kMapOverflow1 : kMapOverflow2, k == 0 ? parent : chain[size_t(k - 1)]);
        }
        return chain.front();
    }

    // One page being filled: cells from the end, their pointers after the header.
    struct Page {
        std::vector<uchar> data;
        int header = 8;
        int cells = 0;
        int top = 0;   // where the cell content starts
        // `usable`: the bytes before the page's reserved end, where the cells end.
        void start(quint32 size, quint32 usable, uchar kind)
        {
            data.assign(size, 0);
            data[0] = kind;
            header = (kind == kIndexLeaf || kind == kTableLeaf) ? 8 : 12;
            cells = 0;
            top = int(usable);
        }
        uchar* add(int size)
        {
            top -= size;
            put16(data.data() + header + 2 * cells, quint32(top));
            ++cells;
            return data.data() + top;
        }
        void close(Pgno right)
        {
            put16(data.data() + 3, quint32(cells));
            put16(data.data() + 5, quint32(top) == 65536 ? 0 : quint32(top));
            if (header == 12)
                put32(data.data() + 8, right);
        }
    };

    // The size a cell takes on its page (the engine never has one of fewer than four bytes).
    int cellSize(qint64 payload, bool tableLeaf, int before) const
    {
        const qint64 keep = local(payload, tableLeaf);
        return std::max<int>(4, before + varintLen(quint64(payload)) + int(keep) + (keep < payload ? 4 : 0));
    }

    bool fits(int headerSize, int cells, int used, int more) const
    {
        return headerSize + 2 * (cells + 1) + used + more <= int(usable);
    }

    // Writes a cell's payload (and its overflow pages) into the cell at `cell`.
    void putPayload(Run& run, uchar* cell, const std::string& payload, bool tableLeaf, Pgno page)
    {
        const qint64 size = qint64(payload.size());
        const qint64 keep = local(size, tableLeaf);
        const auto* bytes = reinterpret_cast<const uchar*>(payload.data());
        std::memcpy(cell, bytes, size_t(keep));
        if (keep < size)
            put32(cell + keep, overflow(run, bytes, size, keep, page));
    }

    // ---- tables ----

    void writeLeaf(Part& part, Pgno p)
    {
        Page page;
        page.start(pageSize, usable, kTableLeaf);
        for (size_t k = 0; k < part.leafCount; ++k) {
            const auto& [id, rec] = part.leafCells[k];
            const int size = cellSize(qint64(rec.size()), true, varintLen(quint64(id)));
            uchar* c = page.add(size);
            int at = putVarint(c, rec.size());
            at += putVarint(c + at, quint64(id));
            putPayload(part.run, c + at, rec, true, p);
        }
        page.close(0);
        writePage(part.run, p, page.data.data());
    }

    void closeLeaf(Part& part)
    {
        const Pgno p = allocate();
        writeLeaf(part, p);
        part.leaves.emplace_back(p, part.leafCells[part.leafCount - 1].first);
        part.leafCount = 0;
        part.leafBytes = 0;
    }

    // The interior levels of a table over its leaves, the top one at the root.
    void tableInterior(std::vector<std::pair<Pgno, qint64>> children)
    {
        while (children.size() > 1) {
            // Pages as runs of children: cells for all but the last, which is the right pointer.
            std::vector<std::pair<size_t, size_t>> groups;
            size_t s = 0;
            const size_t n = children.size();
            while (s < n) {
                size_t k = s;
                int used = 0;
                while (k + 1 < n) {
                    const int size = 4 + varintLen(quint64(children[k].second));
                    if (!fits(12, int(k - s), used, size))
                        break;
                    used += size;
                    ++k;
                }
                // Child k is the right pointer; a lone child after it would make a page of no cells.
                if (k + 2 == n && k > s + 1)
                    --k;
                groups.emplace_back(s, k);
                s = k + 1;
            }
            std::vector<std::pair<Pgno, qint64>> parents;
            for (const auto& [from, to] : groups) {
                const Pgno p = groups.size() == 1 ? table.root : allocate();
                Page page;
                page.start(pageSize, usable, kTableInterior);
                for (size_t k = from; k < to; ++k) {
                    uchar* c = page.add(4 + varintLen(quint64(children[k].second)));
                    put32(c, children[k].first);
                    putVarint(c + 4, quint64(children[k].second));
                }
                page.close(children[to].first);
                writePage(mainRun, p, page.data.data());
                for (size_t k = from; k <= to; ++k)
                    mapEntry(children[k].first, kMapBtree, p);
                parents.emplace_back(p, children[to].second);
            }
            if (parents.size() >= children.size())
                failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 的页无法分层"), table.name);
            children.swap(parents);
        }
    }

    // ---- indexes ----

    static const uchar* keepRecord(Part::Entries& ix, const std::string& rec)
    {
        if (ix.chunkUsed + rec.size() > ix.chunkSize) {
            ix.chunkSize = std::max<size_t>(size_t(1) << 20, rec.size());
            ix.chunks.emplace_back(new uchar[ix.chunkSize]);
            ix.chunkUsed = 0;
        }
        uchar* at = ix.chunks.back().get() + ix.chunkUsed;
        std::memcpy(at, rec.data(), rec.size());
        ix.chunkUsed += rec.size();
        return at;
    }

    static void fullKey(const IndexBuild& ix, const uchar* rec, std::vector<Stored>& values, std::string& k)
    {
        readRecord(rec, values);
        k.clear();
        const int n = int(ix.spec.columns.size());
        for (int c = 0; c < n; ++c)
            keyOf(values[size_t(c)], ix.sources[c], ix.spec.nocase[c], ix.spec.desc[c], k);
        keyInteger(k, values.back().i);
    }

    static void sortEntries(IndexBuild* ix)
    {
        std::vector<Stored> va, vb;
        std::string ka, kb;
        std::sort(ix->entries.begin(), ix->entries.end(), [&](const Entry& a, const Entry& b) {
            if (a.k0 != b.k0)
                return a.k0 < b.k0;
            if (a.k1 != b.k1)
                return a.k1 < b.k1;
            fullKey(*ix, a.rec, va, ka);
            fullKey(*ix, b.rec, vb, kb);
            return ka < kb;
        });
    }

    static qint64 recordSize(const uchar* rec)
    {
        static const int widths[] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
        quint64 header;
        const uchar* h = rec + getVarint(rec, &header);
        qint64 size = qint64(header);
        while (h < rec + header) {
            quint64 type;
            h += getVarint(h, &type);
            size += type < 10 ? widths[type] : qint64((type - 12) / 2);
        }
        return size;
    }

    void writeIndexPage(Pgno p, uchar kind, const std::vector<const uchar*>& recs, const std::vector<qint64>& sizes,
                        const std::vector<Pgno>& lefts, Pgno right)
    {
        Page page;
        page.start(pageSize, usable, kind);
        const bool interior = kind == kIndexInterior;
        for (size_t k = 0; k < recs.size(); ++k) {
            const qint64 size = sizes[k];
            uchar* c = page.add(cellSize(size, false, interior ? 4 : 0));
            int at = 0;
            if (interior) {
                put32(c, lefts[k]);
                at = 4;
            }
            at += putVarint(c + at, quint64(size));
            const qint64 keep = local(size, false);
            std::memcpy(c + at, recs[k], size_t(keep));
            if (keep < size)
                put32(c + at + keep, overflow(mainRun, recs[k], size, keep, p));
        }
        page.close(right);
        writePage(mainRun, p, page.data.data());
        if (interior) {
            for (Pgno child : lefts)
                mapEntry(child, kMapBtree, p);
            mapEntry(right, kMapBtree, p);
        }
    }

    // A b-tree of an index over its sorted entries: leaves of entries, and above them pages whose
    // cells are the entries between their children (each entry is in the tree once).
    // The items of one level as pages [from, to): their cells. Item `to`, when there is one, goes
    // up to the level above; above the leaves child `to` is the page's right pointer.
    std::vector<std::pair<size_t, size_t>> pageGroups(const std::vector<qint64>& sizes, bool leafLevel, Pgno root)
    {
        const size_t n = sizes.size();
        const int header = leafLevel ? 8 : 12;
        const int before = leafLevel ? 0 : 4;
        std::vector<std::pair<size_t, size_t>> groups;
        for (size_t s = 0;;) {
            size_t k = s;
            int used = 0;
            while (k < n) {
                const int size = cellSize(sizes[k], false, before);
                if (!fits(header, int(k - s), used, size))
                    break;
                used += size;
                ++k;
            }
            if (k == n) {
                groups.emplace_back(s, k);
                break;
            }
            // A page after item k needs a cell of its own: the item before k goes up instead.
            if (k + 1 == n)
                --k;
            if (k <= s)
                failed(QT_TRANSLATE_NOOP("PageWriter", "索引 %1 的条目过大"), root);
            groups.emplace_back(s, k);
            s = k + 1;
        }
        return groups;
    }

    void writeIndex(IndexBuild& ix)
    {
        std::vector<const uchar*> items;
        std::vector<qint64> sizes;
        items.reserve(ix.entries.size());
        sizes.reserve(ix.entries.size());
        for (const Entry& e : ix.entries) {
            items.push_back(e.rec);
            sizes.push_back(recordSize(e.rec));
        }
        std::vector<Entry>().swap(ix.entries);
        std::vector<Pgno> children;   // above the leaves: one more than the items
        for (bool leafLevel = true;; leafLevel = false) {
            const size_t n = items.size();
            const std::vector<std::pair<size_t, size_t>> groups = pageGroups(sizes, leafLevel, ix.spec.root);
            const bool top = groups.size() == 1;
            std::vector<Pgno> parents;
            std::vector<const uchar*> upItems;
            std::vector<qint64> upSizes;
            for (const auto& [from, to] : groups) {
                const Pgno p = top ? ix.spec.root : allocate();
                const std::vector<const uchar*> recs(items.begin() + long(from), items.begin() + long(to));
                const std::vector<qint64> sz(sizes.begin() + long(from), sizes.begin() + long(to));
                std::vector<Pgno> lefts;
                Pgno right = 0;
                if (!leafLevel) {
                    lefts.assign(children.begin() + long(from), children.begin() + long(to));
                    right = children[to];
                }
                writeIndexPage(p, leafLevel ? kIndexLeaf : kIndexInterior, recs, sz, lefts, right);
                parents.push_back(p);
                if (to < n) {
                    upItems.push_back(items[to]);
                    upSizes.push_back(sizes[to]);
                }
            }
            if (top)
                return;
            children.swap(parents);
            items.swap(upItems);
            sizes.swap(upSizes);
        }
    }
};

PageWriter::PageWriter(const QString& path)
    : d(std::make_unique<Impl>())
{
    d->path = path;
    d->fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (d->fd < 0)
        failed(QT_TRANSLATE_NOOP("PageWriter", "无法打开数据文件 %1：%2"), path, QString::fromLocal8Bit(std::strerror(errno)));
    uchar h[100];
    if (::pread(d->fd, h, 100, 0) != 100 || std::memcmp(h, "SQLite format 3", 16) != 0)
        failed(QT_TRANSLATE_NOOP("PageWriter", "%1 不是数据文件"), path);
    const quint32 size = quint32(h[16]) << 8 | h[17];
    d->pageSize = size == 1 ? 65536 : size;
    d->usable = d->pageSize - h[20];
    // A file in WAL mode or not in UTF-8 is not one this writer understands.
    if (h[18] != 1 || h[19] != 1 || get32(h + 56) != 1 || d->pageSize < 512 || (d->pageSize & (d->pageSize - 1)) != 0)
        failed(QT_TRANSLATE_NOOP("PageWriter", "数据文件 %1 的格式不能直接写入"), path);
    d->format4 = get32(h + 44) >= 4;
    d->autoVacuum = get32(h + 52) != 0;
    const off_t bytes = ::lseek(d->fd, 0, SEEK_END);
    Pgno count = get32(h + 28);
    if (count == 0 || get32(h + 24) != get32(h + 92))
        count = Pgno(bytes / d->pageSize);
    d->pages = count;
    d->firstNew = count + 1;
    d->pendingPage = Pgno(kPendingByte / d->pageSize) + 1;
}

PageWriter::~PageWriter() = default;

void PageWriter::beginTable(const Table& table, int parts)
{
    if (d->inTable)
        failed(QT_TRANSLATE_NOOP("PageWriter", "上一个表还没有写完"));
    // Ranges need the rows' own numbers: without a rowid column they are numbered as they come.
    if (parts < 1 || (parts > 1 && table.alias < 0))
        failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 不能分段写入"), table.name);
    d->inTable = true;
    d->table = table;
    d->parts.clear();
    for (int k = 0; k < parts; ++k) {
        d->parts.push_back(std::make_unique<Impl::Part>());
        d->parts.back()->indexes.resize(size_t(table.indexes.size()));
    }
    d->current.clear();
    for (const Index& spec : table.indexes) {
        auto ix = std::make_unique<Impl::IndexBuild>();
        ix->spec = spec;
        for (int c : spec.columns)
            ix->sources << (c < 0 ? Value::Integer : table.source.value(c, Value::Null));
        d->current.push_back(ix.get());
        d->indexes.push_back(std::move(ix));
    }
}

void PageWriter::addRow(const Value* values, int part)
{
    Impl& w = *d;
    Impl::Part& r = *w.parts.at(size_t(part));
    const Table& t = w.table;
    const int columns = int(t.affinity.size());
    // The row's number: its rowid column's value, ascending, or the next one.
    qint64 id;
    if (t.alias >= 0) {
        if (values[t.alias].type != Value::Integer)
            failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 的行号不是整数"), t.name);
        id = values[t.alias].i;
        if (r.anyRow && id <= r.rowid)
            failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 的行没有按行号的顺序送来"), t.name);
    } else {
        if (r.rowid == std::numeric_limits<qint64>::max())
            failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 的行数超出范围"), t.name);
        id = r.rowid + 1;
    }
    if (!r.anyRow)
        r.firstRowid = id;
    r.rowid = id;
    r.anyRow = true;
    r.stored.resize(size_t(columns));
    for (int c = 0; c < columns; ++c) {
        if (values[c].type != Value::Null && values[c].type != t.source.value(c))
            failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 的列 %2 的值类型不对"), t.name, QString::number(c + 1));
        if (!storedAs(values[c], t.affinity[c], w.format4, &r.stored[size_t(c)]))
            failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 的列 %2 的值不能直接写入"), t.name, QString::number(c + 1));
    }
    // Index entries: the indexed columns as the table keeps them, then the rowid.
    for (size_t i = 0; i < w.current.size(); ++i) {
        const Impl::IndexBuild& ix = *w.current[i];
        r.entry.clear();
        r.key.clear();
        const int n = int(ix.spec.columns.size());
        for (int k = 0; k < n; ++k) {
            const int c = ix.spec.columns[k];
            const Stored s = c < 0 || c == t.alias ? storedInteger(id, w.format4) : r.stored[size_t(c)];
            r.entry.push_back(s);
            keyOf(s, ix.sources[k], ix.spec.nocase[k], ix.spec.desc[k], r.key);
        }
        r.entry.push_back(storedInteger(id, w.format4));
        keyInteger(r.key, id);
        makeRecord(r.entry.data(), int(r.entry.size()), r.record);
        Entry e;
        prefix(r.key, e);
        e.rec = Impl::keepRecord(r.indexes[i], r.record);
        r.indexes[i].entries.push_back(e);
    }
    // The rowid column is the row's number; the record keeps a null in its place.
    if (t.alias >= 0)
        r.stored[size_t(t.alias)] = Stored();
    makeRecord(r.stored.data(), columns, r.record);
    const int size = w.cellSize(qint64(r.record.size()), true, varintLen(quint64(id)));
    if (r.leafCount && !w.fits(8, int(r.leafCount), r.leafBytes, size))
        w.closeLeaf(r);
    if (r.leafCount == r.leafCells.size())
        r.leafCells.emplace_back();
    r.leafCells[r.leafCount].first = id;
    r.leafCells[r.leafCount++].second.assign(r.record);
    r.leafBytes += size;
}

void PageWriter::endTable()
{
    Impl& w = *d;
    if (!w.inTable)
        return;
    size_t closed = 0;
    Impl::Part* pending = nullptr;
    int pendingParts = 0;
    for (auto& r : w.parts) {
        closed += r->leaves.size();
        if (r->leafCount)
            pending = r.get(), ++pendingParts;
    }
    if (closed == 0 && pendingParts <= 1) {
        // One leaf holds the table: it is the root.
        w.writeLeaf(pending ? *pending : *w.parts.front(), w.table.root);
    } else {
        // The parts' leaves in the order of their ranges, which must follow each other.
        std::vector<std::pair<Pgno, qint64>> leaves;
        bool any = false;
        qint64 last = 0;
        for (auto& r : w.parts) {
            if (r->leafCount)
                w.closeLeaf(*r);
            if (r->anyRow) {
                if (any && r->firstRowid <= last)
                    failed(QT_TRANSLATE_NOOP("PageWriter", "表 %1 的行没有按行号的顺序送来"), w.table.name);
                any = true;
                last = r->rowid;
            }
            leaves.insert(leaves.end(), r->leaves.begin(), r->leaves.end());
        }
        w.tableInterior(leaves);
    }
    for (auto& r : w.parts)
        w.flushRun(r->run);
    // Each index's entries from all parts sort on another thread while the next table's rows come in.
    for (size_t i = 0; i < w.current.size(); ++i) {
        Impl::IndexBuild& ix = *w.current[i];
        for (auto& r : w.parts) {
            Impl::Part::Entries& e = r->indexes[i];
            if (ix.entries.empty())
                ix.entries.swap(e.entries);
            else
                ix.entries.insert(ix.entries.end(), e.entries.begin(), e.entries.end());
            for (auto& c : e.chunks)
                ix.chunks.push_back(std::move(c));
        }
        ix.sorter = std::thread(&Impl::sortEntries, &ix);
    }
    w.parts.clear();
    w.current.clear();
    w.inTable = false;
}

void PageWriter::finish()
{
    Impl& w = *d;
    endTable();
    for (auto& ix : w.indexes) {
        ix->sorter.join();
        w.writeIndex(*ix);
        ix.reset();
    }
    w.indexes.clear();
    // The pointer map: every added page's parent, on the map pages that cover them.
    if (w.autoVacuum && w.pages >= w.firstNew) {
        std::vector<uchar> page(w.pageSize);
        Pgno map = 0;
        for (Pgno p = w.firstNew; p <= w.pages; ++p) {
            if (w.isMapPage(p) || p == w.pendingPage)
                continue;
            const Pgno m = w.mapPageOf(p);
            if (m != map) {
                if (map)
                    w.writePage(w.mainRun, map, page.data());
                map = m;
                if (m < w.firstNew)
                    w.readPage(m, page.data());
                else
                    std::fill(page.begin(), page.end(), 0);
            }
            const size_t at = size_t(5) * (p - m - 1);
            if (w.mapKind[p - w.firstNew] == 0)
                failed(QT_TRANSLATE_NOOP("PageWriter", "数据文件第 %1 页没有归属"), QString::number(p));
            page[at] = w.mapKind[p - w.firstNew];
            put32(page.data() + at + 1, w.mapParent[p - w.firstNew]);
        }
        if (map)
            w.writePage(w.mainRun, map, page.data());
    }
    w.flushRun(w.mainRun);
    // The header: the page count, valid for the new change counter.
    uchar h[100];
    if (::pread(w.fd, h, 100, 0) != 100)
        failed(QT_TRANSLATE_NOOP("PageWriter", "无法读取数据文件 %1"), w.path);
    const quint32 counter = get32(h + 24) + 1;
    put32(h + 24, counter);
    put32(h + 28, w.pages);
    put32(h + 92, counter);
    put32(h + 96, quint32(sqlite3_libversion_number()));
    w.pwriteAll(h, 100, 0);
    if (::ftruncate(w.fd, off_t(w.pages) * w.pageSize) != 0)
        failed(QT_TRANSLATE_NOOP("PageWriter", "无法写入数据文件 %1"), w.path);
    if (::close(w.fd) != 0) {
        w.fd = -1;
        failed(QT_TRANSLATE_NOOP("PageWriter", "无法写入数据文件 %1"), w.path);
    }
    w.fd = -1;
}

// ---- what the file declares ----

namespace {
char affinityOf(const QString& declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return 'I';
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return 'T';
    if (t.contains(QLatin1String("BLOB")) || t.isEmpty())
        return 'B';
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return 'R';
    return 'N';
}
} // namespace

namespace {
// What the declared primary key is: one INTEGER column without an index of its own is the rowid.
struct PrimaryKey {
    int columns = 0;
    int column = -1;
    QString type;
    bool indexed = false;
};

// Each column's affinity and name, and the primary key's columns; a reason when the table holds
// what the writer does not write (a hidden column).
QString describeColumns(Database& file, const QString& table, PageWriter::Table& t, PrimaryKey* key)
{
    for (Recordset rs = file.query(QStringLiteral("SELECT cid, type, pk, hidden, lower(name) FROM pragma_table_xinfo(?) ORDER BY cid"), {table});
         !rs.Eof(); rs.MoveNext()) {
        if (rs.Fields(3).toInt() != 0)
            return QStringLiteral("hidden column");
        t.affinity.append(affinityOf(rs.Fields(1).toString()));
        t.names << rs.Fields(4).toString();
        if (rs.Fields(2).toInt() > 0) {
            ++key->columns;
            key->column = rs.Fields(0).toInt();
            key->type = rs.Fields(1).toString();
        }
    }
    return QString();
}

// Each index's root page and its columns (collation, order); a reason when one cannot be written.
QString describeIndexes(Database& file, const QString& table, const QList<PageWriter::Value::Type>& source, PageWriter::Table& t,
                        PrimaryKey* key)
{
    for (Recordset rs = file.query(QStringLiteral("SELECT l.name, l.origin, l.partial, s.rootpage FROM pragma_index_list(?) l "
                                                  "LEFT JOIN sqlite_schema s ON s.type='index' AND s.name=l.name"),
                                   {table});
         !rs.Eof(); rs.MoveNext()) {
        if (rs.Fields(2).toInt() != 0)
            return QStringLiteral("partial index");
        if (rs.Fields(1).toString() == QLatin1String("pk"))
            key->indexed = true;
        PageWriter::Index ix;
        const QString name = rs.Fields(0).toString();
        ix.root = rs.Fields(3).toUInt();
        if (ix.root == 0)
            return QStringLiteral("index root");
        for (Recordset c = file.query(QStringLiteral("SELECT cid, \"desc\", coll FROM pragma_index_xinfo(?) WHERE key=1 ORDER BY seqno"), {name});
             !c.Eof(); c.MoveNext()) {
            const int cid = c.Fields(0).toInt();
            const QString coll = c.Fields(2).toString().toUpper();
            if (cid < -1 || (coll != QLatin1String("BINARY") && coll != QLatin1String("NOCASE")))
                return QStringLiteral("index column");
            if (cid >= 0 && source.value(cid) == PageWriter::Value::Bytes && coll == QLatin1String("NOCASE"))
                return QStringLiteral("index column");
            ix.columns << cid;
            ix.nocase << (coll == QLatin1String("NOCASE"));
            ix.desc << c.Fields(1).toBool();
        }
        if (ix.columns.isEmpty())
            return QStringLiteral("index column");
        t.indexes << ix;
    }
    return QString();
}
} // namespace

bool PageWriter::describe(Database& file, const QString& table, const QList<Value::Type>& source, Table* out, QString* why)
{
    auto refuse = [&](const QString& text) {
        if (why)
            *why = text;
        return false;
    };
    Table t;
    t.name = table;
    t.source = source;
    const Recordset declared = file.query(QStringLiteral("SELECT sql, rootpage FROM sqlite_schema WHERE type='table' AND name=? COLLATE NOCASE"), {table});
    const QString sql = declared.Eof() ? QString() : declared.Fields(0).toString();
    t.root = declared.Eof() ? 0 : declared.Fields(1).toUInt();
    if (sql.isEmpty() || t.root == 0)
        return refuse(QStringLiteral("no such table"));
    static const QRegularExpression special(QStringLiteral("\\b(WITHOUT\\s+ROWID|AUTOINCREMENT|CHECK|GENERATED)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (special.match(sql).hasMatch())
        return refuse(QStringLiteral("declaration"));
    if (file.scalar(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type='trigger' AND tbl_name=? COLLATE NOCASE"), {table}).toInt() > 0)
        return refuse(QStringLiteral("triggers"));
    PrimaryKey key;
    if (const QString reason = describeColumns(file, table, t, &key); !reason.isEmpty())
        return refuse(reason);
    if (t.affinity.size() != source.size())
        return refuse(QStringLiteral("columns differ"));
    if (const QString reason = describeIndexes(file, table, source, t, &key); !reason.isEmpty())
        return refuse(reason);
    // A single INTEGER PRIMARY KEY is the rowid itself (unless the engine keeps an index for it).
    if (key.columns == 1 && !key.indexed && key.type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
        t.alias = key.column;
        if (source.value(key.column) != Value::Integer)
            return refuse(QStringLiteral("rowid column"));
    }
    for (int c = 0; c < source.size(); ++c) {
        Value v;
        v.type = source[c];
        Stored s;
        if (c != t.alias && !storedAs(v, t.affinity[c], true, &s))
            return refuse(QStringLiteral("column %1 converts").arg(c + 1));
    }
    *out = t;
    return true;
}
