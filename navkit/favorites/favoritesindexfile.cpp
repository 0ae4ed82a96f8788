#include "navkit/favorites/favoritesindexfile.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace FavoritesIndexFile {

namespace {

// Written and read on the same machine only: native byte order, the magic
// telling a file of another one (or another layout) apart.
constexpr char kIndexMagic[8] = {'Q', 'X', 'F', 'I', 'D', 'X', '3', '\0'};
constexpr char kAddedMagic[8] = {'Q', 'X', 'F', 'A', 'D', 'D', '2', '\0'};

struct Identity {
    quint64 device;
    quint64 inode;
    qint64 size;
    qint64 changed;
    quint64 generation;
};

Identity toDisk(const FileIdentity &f)
{
    return {f.device, f.inode, f.size, f.changed, f.generation};
}

FileIdentity fromDisk(const Identity &i)
{
    return {i.device, i.inode, i.size, i.changed, i.generation};
}

struct Header {
    char magic[8];
    Identity store;
    quint64 count;
    quint64 urlCount; // records without an address have no key
    quint64 textUnits;
    quint64 foldedBytes;
};
static_assert(sizeof(Header) == 80 && sizeof(Record) == 24 && sizeof(UrlKey) == 16);

struct AddedHeader {
    char magic[8];
    Identity base;
    Identity store;
    quint64 count;
};

constexpr quint64 padded(quint64 bytes)
{
    return (bytes + 7) & ~quint64(7);
}

// The bytes of a part, not copied.
template <typename T> QByteArray bytesOf(std::span<const T> part)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(part.data()), qsizetype(part.size_bytes()));
}

QString besideStore(const QString &dataFile, const QString &suffix)
{
    const QFileInfo info(dataFile);
    return info.absoluteDir().filePath(info.completeBaseName() + suffix);
}

} // namespace

quint64 urlHash(QStringView trimmedUrl)
{
    // FNV-1a over the UTF-16 units: the same on every run and every Qt.
    quint64 h = 14695981039346656037ULL;
    for (const QChar c : trimmedUrl) {
        h = (h ^ c.unicode()) * 1099511628211ULL;
    }
    return h;
}

QString indexFor(const QString &dataFile)
{
    return besideStore(dataFile, QStringLiteral("_index.dat"));
}

QString addedFor(const QString &dataFile)
{
    return besideStore(dataFile, QStringLiteral("_index_added.dat"));
}

bool write(const QString &path, const FileIdentity &store, const Parts &parts)
{
    if (parts.foldedStarts.size() != parts.records.size() || parts.urls.size() > parts.records.size())
        return false;
    Header header{};
    std::memcpy(header.magic, kIndexMagic, sizeof header.magic);
    header.store = toDisk(store);
    header.count = parts.records.size();
    header.urlCount = parts.urls.size();
    header.textUnits = parts.text.size();
    header.foldedBytes = parts.folded.size();
    const quint64 textBytes = quint64(parts.text.size()) * 2;
    QList<QByteArray> pieces{
        QByteArray(reinterpret_cast<const char *>(&header), sizeof header),
        bytesOf(parts.records),
        bytesOf(parts.foldedStarts),
        bytesOf(parts.urls),
        QByteArray::fromRawData(reinterpret_cast<const char *>(parts.text.data()), qsizetype(textBytes)),
        QByteArray(qsizetype(padded(textBytes) - textBytes), '\0'),
        QByteArray::fromRawData(parts.folded.data(), qsizetype(parts.folded.size())),
    };
    if (!AtomicFile::write(path, pieces)) {
        qCWarning(lcFiles) << "favorites index not written" << path;
        return false;
    }
    return true;
}

std::optional<Mapped> map(const QString &path)
{
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return std::nullopt;
    const quint64 size = quint64(file->size());
    Header header{};
    if (size < sizeof header || file->read(reinterpret_cast<char *>(&header), sizeof header) != sizeof header
        || std::memcmp(header.magic, kIndexMagic, sizeof header.magic) != 0) {
        qCWarning(lcFiles) << "favorites index not of this layout" << path;
        return std::nullopt;
    }
    // Each count bounded first, so the sizes below cannot wrap.
    constexpr quint64 kMax = quint64(1) << 40;
    if (header.count > kMax || header.urlCount > header.count || header.textUnits > kMax || header.foldedBytes > kMax
        || size
            != sizeof header + header.count * (sizeof(Record) + sizeof(quint64)) + header.urlCount * sizeof(UrlKey)
                + padded(header.textUnits * 2) + header.foldedBytes) {
        qCWarning(lcFiles) << "favorites index not whole" << path;
        return std::nullopt;
    }
    const uchar *at = file->map(0, qint64(size));
    if (!at) {
        qCWarning(lcFiles) << "favorites index not mapped" << path << file->errorString();
        return std::nullopt;
    }
    const auto n = size_t(header.count);
    at += sizeof header;
    Mapped m;
    m.parts.records = {reinterpret_cast<const Record *>(at), n};
    at += n * sizeof(Record);
    m.parts.foldedStarts = {reinterpret_cast<const quint64 *>(at), n};
    at += n * sizeof(quint64);
    m.parts.urls = {reinterpret_cast<const UrlKey *>(at), size_t(header.urlCount)};
    at += header.urlCount * sizeof(UrlKey);
    m.parts.text = {reinterpret_cast<const char16_t *>(at), size_t(header.textUnits)};
    at += padded(header.textUnits * 2);
    m.parts.folded = {reinterpret_cast<const char *>(at), size_t(header.foldedBytes)};
    m.store = fromDisk(header.store);
    m.keep = std::move(file); // the mapping lasts as long as the file object
    return m;
}

bool writeAdded(const QString &path, const Added &added)
{
    AddedHeader header{};
    std::memcpy(header.magic, kAddedMagic, sizeof header.magic);
    header.base = toDisk(added.base);
    header.store = toDisk(added.store);
    header.count = quint64(added.records.size());
    QByteArray data(reinterpret_cast<const char *>(&header), sizeof header);
    for (const QString &record : added.records) {
        const quint32 units = quint32(record.size());
        data.append(reinterpret_cast<const char *>(&units), sizeof units);
        data.append(reinterpret_cast<const char *>(record.utf16()), record.size() * 2);
    }
    if (!AtomicFile::write(path, data)) {
        qCWarning(lcFiles) << "favorites added since the index not written" << path;
        return false;
    }
    return true;
}

std::optional<Added> readAdded(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    AddedHeader header{};
    if (data.size() < qsizetype(sizeof header))
        return std::nullopt;
    std::memcpy(&header, data.constData(), sizeof header);
    if (std::memcmp(header.magic, kAddedMagic, sizeof header.magic) != 0)
        return std::nullopt;
    Added added{fromDisk(header.base), fromDisk(header.store), {}};
    qsizetype at = sizeof header;
    for (quint64 i = 0; i < header.count; ++i) {
        quint32 units = 0;
        if (data.size() - at < qsizetype(sizeof units))
            return std::nullopt;
        std::memcpy(&units, data.constData() + at, sizeof units);
        at += sizeof units;
        if (quint64(data.size() - at) / 2 < units)
            return std::nullopt;
        QString record(qsizetype(units), Qt::Uninitialized);
        std::memcpy(record.data(), data.constData() + at, size_t(units) * 2);
        at += qsizetype(units) * 2;
        added.records.append(record);
    }
    if (at != data.size())
        return std::nullopt;
    return added;
}

} // namespace FavoritesIndexFile
