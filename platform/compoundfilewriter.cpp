#include "platform/compoundfilewriter.h"

#include <QtEndian>

#include <algorithm>
#include <numeric>

namespace CompoundFileWriter {

namespace {

constexpr quint32 kSector = 512;
constexpr quint32 kMiniSector = 64;
constexpr quint64 kMiniCutoff = 4096;       // smaller streams live in the mini stream
constexpr quint32 kPerSector = kSector / 4; // table entries in a sector
constexpr quint32 kHeaderDifat = 109;       // FAT sectors the header lists itself
constexpr quint32 kEntrySize = 128;
constexpr qsizetype kMaxName = 31;

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
// Sector numbers stay below the reserved values, and a file within what
// 512-byte-sector readers address (2 GiB).
constexpr quint64 kMaxSectors = (quint64(1) << 31) / kSector;

quint64 ceilDiv(quint64 a, quint64 b)
{
    return (a + b - 1) / b;
}

void put16(QByteArray &b, quint64 at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}

void put32(QByteArray &b, quint64 at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

// A table of sectors' worth of 32-bit entries, all free (0xFFFFFFFF).
QByteArray freeTable(quint64 sectors)
{
    return QByteArray(qsizetype(sectors * kSector), '\xFF');
}

// Marks the chain first, first+1, ... first+count-1 in a table.
void chain(QByteArray &table, quint32 first, quint64 count)
{
    for (quint64 i = 0; i < count; ++i)
        put32(table, (first + i) * 4, i + 1 < count ? quint32(first + i + 1) : kEndOfChain);
}

// Directory order: shorter names first, then by their upper case.
bool lessName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    return a.toUpper() < b.toUpper();
}

struct Entry {
    quint32 left = kNoStream;
    quint32 right = kNoStream;
    quint32 start = kEndOfChain;
    quint64 size = 0;
};

// A balanced tree over the sorted entry ids order[lo, hi); its root's id.
quint32 balance(const std::vector<quint32> &order, qsizetype lo, qsizetype hi, std::vector<Entry> &entries)
{
    if (lo >= hi)
        return kNoStream;
    const qsizetype mid = lo + (hi - lo) / 2;
    Entry &node = entries[order[size_t(mid)]];
    node.left = balance(order, lo, mid, entries);
    node.right = balance(order, mid + 1, hi, entries);
    return order[size_t(mid)];
}

void writeEntry(QByteArray &dir, quint32 id, const QString &name, quint8 type, quint32 child, const Entry &e)
{
    const quint64 at = quint64(id) * kEntrySize;
    std::copy_n(reinterpret_cast<const char *>(name.utf16()), name.size() * 2, dir.data() + at);
    put16(dir, at + 0x40, quint16((name.size() + 1) * 2));
    dir[qsizetype(at + 0x42)] = char(type);
    dir[qsizetype(at + 0x43)] = 1; // black
    put32(dir, at + 0x44, e.left);
    put32(dir, at + 0x48, e.right);
    put32(dir, at + 0x4C, child);
    put32(dir, at + 0x74, e.start);
    put32(dir, at + 0x78, quint32(e.size));
}

} // namespace

bool canName(const QString &name)
{
    return !name.isEmpty() && name.size() <= kMaxName;
}

std::optional<QList<QByteArray>> layOut(const QList<Stream> &streams)
{
    const auto count = quint32(streams.size());
    std::vector<Entry> entries(size_t(count) + 1); // 0 is the root
    for (quint32 i = 0; i < count; ++i) {
        const Stream &s = streams[i];
        if (!canName(s.name))
            return std::nullopt;
        entries[i + 1].size = std::accumulate(s.pieces.cbegin(), s.pieces.cend(), quint64(0),
                                              [](quint64 sum, const QByteArray &p) { return sum + quint64(p.size()); });
        if (entries[i + 1].size > kMaxSectors * kSector)
            return std::nullopt;
    }

    // Sectors in file order: large streams, the mini stream, the mini
    // table, the directory, then the tables of sectors.
    quint64 next = 0;
    quint64 miniSectors = 0;
    for (quint32 i = 1; i <= count; ++i) {
        Entry &e = entries[i];
        if (e.size >= kMiniCutoff) {
            e.start = quint32(next);
            next += ceilDiv(e.size, kSector);
        } else if (e.size > 0) {
            e.start = quint32(miniSectors);
            miniSectors += ceilDiv(e.size, kMiniSector);
        }
    }
    const quint64 miniStreamStart = next;
    const quint64 miniStreamSectors = ceilDiv(miniSectors * kMiniSector, kSector);
    const quint64 miniTableStart = miniStreamStart + miniStreamSectors;
    const quint64 miniTableSectors = ceilDiv(miniSectors, kPerSector);
    const quint64 dirStart = miniTableStart + miniTableSectors;
    const quint64 dirSectors = ceilDiv(quint64(count) + 1, kSector / kEntrySize);
    const quint64 fatStart = dirStart + dirSectors;
    // The table of sectors counts its own sectors and those listing it.
    quint64 fatSectors = 0;
    quint64 difatSectors = 0;
    for (;;) {
        const quint64 fat = ceilDiv(fatStart + fatSectors + difatSectors, kPerSector);
        const quint64 difat = fat > kHeaderDifat ? ceilDiv(fat - kHeaderDifat, kPerSector - 1) : 0;
        if (fat == fatSectors && difat == difatSectors)
            break;
        fatSectors = fat;
        difatSectors = difat;
    }
    const quint64 difatStart = fatStart + fatSectors;
    const quint64 total = difatStart + difatSectors;
    if (total >= kMaxSectors)
        return std::nullopt;

    QByteArray fat = freeTable(fatSectors);
    for (quint32 i = 1; i <= count; ++i) {
        if (entries[i].size >= kMiniCutoff)
            chain(fat, entries[i].start, ceilDiv(entries[i].size, kSector));
    }
    chain(fat, quint32(miniStreamStart), miniStreamSectors);
    chain(fat, quint32(miniTableStart), miniTableSectors);
    chain(fat, quint32(dirStart), dirSectors);
    for (quint64 i = 0; i < fatSectors; ++i)
        put32(fat, (fatStart + i) * 4, kFatSector);
    for (quint64 i = 0; i < difatSectors; ++i)
        put32(fat, (difatStart + i) * 4, kDifatSector);

    QByteArray header(kSector, '\0');
    static constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    std::copy_n(kSignature, 8, header.data());
    put16(header, 0x18, 0x003E); // minor version
    put16(header, 0x1A, 0x0003); // major version 3
    put16(header, 0x1C, 0xFFFE); // little-endian
    put16(header, 0x1E, 9);      // 512-byte sectors
    put16(header, 0x20, 6);      // 64-byte mini sectors
    put32(header, 0x2C, quint32(fatSectors));
    put32(header, 0x30, quint32(dirStart));
    put32(header, 0x38, quint32(kMiniCutoff));
    put32(header, 0x3C, miniTableSectors ? quint32(miniTableStart) : kEndOfChain);
    put32(header, 0x40, quint32(miniTableSectors));
    put32(header, 0x44, difatSectors ? quint32(difatStart) : kEndOfChain);
    put32(header, 0x48, quint32(difatSectors));
    std::fill_n(header.data() + 0x4C, kHeaderDifat * 4, '\xFF');
    QByteArray difat = freeTable(difatSectors);
    for (quint64 i = 0; i < fatSectors; ++i) {
        if (i < kHeaderDifat) {
            put32(header, 0x4C + i * 4, quint32(fatStart + i));
            continue;
        }
        const quint64 k = i - kHeaderDifat;
        put32(difat, (k / (kPerSector - 1)) * kSector + (k % (kPerSector - 1)) * 4, quint32(fatStart + i));
    }
    for (quint64 d = 0; d < difatSectors; ++d) {
        put32(difat, d * kSector + (kPerSector - 1) * 4,
              d + 1 < difatSectors ? quint32(difatStart + d + 1) : kEndOfChain);
    }

    QByteArray miniTable = freeTable(miniTableSectors);
    QByteArray miniStream(qsizetype(miniStreamSectors * kSector), '\0');
    for (quint32 i = 1; i <= count; ++i) {
        const Entry &e = entries[i];
        if (e.size == 0 || e.size >= kMiniCutoff)
            continue;
        chain(miniTable, e.start, ceilDiv(e.size, kMiniSector));
        char *at = miniStream.data() + quint64(e.start) * kMiniSector;
        for (const QByteArray &piece : streams[i - 1].pieces)
            at = std::copy_n(piece.constData(), piece.size(), at);
    }

    std::vector<quint32> order(count);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(),
                     [&](quint32 a, quint32 b) { return lessName(streams[a - 1].name, streams[b - 1].name); });
    const quint32 top = balance(order, 0, qsizetype(order.size()), entries);
    QByteArray dir(qsizetype(dirSectors * kSector), '\0');
    for (quint64 id = count + 1; id < dirSectors * (kSector / kEntrySize); ++id) {
        put32(dir, id * kEntrySize + 0x44, kNoStream);
        put32(dir, id * kEntrySize + 0x48, kNoStream);
        put32(dir, id * kEntrySize + 0x4C, kNoStream);
    }
    Entry root;
    root.start = miniSectors ? quint32(miniStreamStart) : kEndOfChain;
    root.size = miniSectors * kMiniSector;
    writeEntry(dir, 0, QStringLiteral("Root Entry"), 5, top, root);
    for (quint32 i = 1; i <= count; ++i)
        writeEntry(dir, i, streams[i - 1].name, 2, kNoStream, entries[i]);

    QList<QByteArray> pieces{header};
    static const QByteArray kPadding(kSector, '\0');
    for (quint32 i = 1; i <= count; ++i) {
        if (entries[i].size < kMiniCutoff)
            continue;
        pieces.append(streams[i - 1].pieces);
        if (const quint64 tail = entries[i].size % kSector)
            pieces.append(kPadding.left(qsizetype(kSector - tail)));
    }
    for (QByteArray *table : {&miniStream, &miniTable, &dir, &fat, &difat}) {
        if (!table->isEmpty())
            pieces.append(std::move(*table));
    }
    return pieces;
}

} // namespace CompoundFileWriter
