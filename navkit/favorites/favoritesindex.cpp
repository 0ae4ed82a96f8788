#include "navkit/favorites/favoritesindex.h"

#include "navkit/favorites/favoritesstore.h"
#include "platform/fileidentity.h"
#include "platform/logging.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <algorithm>
#include <mutex>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

using FavoritesIndexFile::UrlKey;

// The last file's index, shared by every thread.
struct Kept {
    QMutex mutex;
    QString file;
    FileIdentity key;
    std::shared_ptr<const FavoritesIndex> index;
};

Kept &kept()
{
    static Kept k;
    return k;
}

// A store smaller than this is read faster than its index file is written:
// none is kept for it.
constexpr qint64 kIndexFileFrom = 256 * 1024;
// Records added since the index file was written go to a file of their
// own, rewritten at each add, until there are this many (or an eighth of
// the index's): then the index file is written again.
constexpr qsizetype kAddedBeforeRewrite = 2000;

// The buffers of an index made in memory.
struct Owned {
    QByteArray text; // UTF-16
    std::vector<FavoritesIndexFile::Record> records;
    QByteArray folded;
    std::vector<quint64> starts;
    std::vector<UrlKey> urls;
};

// Hands the memory of a store read whole back to the system once it has
// been written as the index file and is used mapped from there: the
// allocator keeps freed blocks of that size otherwise.
void releaseFreed()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// n records as at(i) gives them, copied into one text, and views of them
// there (the views stay valid when the text is moved).
template <typename At> std::pair<QByteArray, std::vector<QStringView>> joined(qsizetype n, At at)
{
    QByteArray text;
    std::vector<qsizetype> lengths;
    lengths.reserve(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        const QStringView r = at(i);
        text.append(reinterpret_cast<const char *>(r.utf16()), r.size() * 2);
        lengths.push_back(r.size());
    }
    std::vector<QStringView> views;
    views.reserve(size_t(n));
    const auto *units = reinterpret_cast<const char16_t *>(text.constData());
    for (const qsizetype length : lengths) {
        views.emplace_back(units, length);
        units += length;
    }
    return {std::move(text), std::move(views)};
}

} // namespace

std::shared_ptr<const FavoritesIndex> FavoritesIndex::ifRead(const QString &dataFile)
{
    Kept &k = kept();
    const std::unique_lock<QMutex> lock(k.mutex, std::try_to_lock);
    if (!lock.owns_lock())
        return nullptr;
    const std::optional<FileIdentity> key = FileIdentity::of(dataFile);
    if (!key)
        return std::make_shared<const FavoritesIndex>(); // nothing to read
    return k.index && k.file == dataFile && k.key == *key ? k.index : nullptr;
}

void FavoritesIndex::forgetKept()
{
    Kept &k = kept();
    const QMutexLocker lock(&k.mutex);
    k.file.clear();
    k.index.reset();
}

std::shared_ptr<const FavoritesIndex> FavoritesIndex::of(const QString &dataFile)
{
    Kept &k = kept();
    const QMutexLocker lock(&k.mutex);
    const std::optional<FileIdentity> key = FileIdentity::of(dataFile);
    if (!key)
        return std::make_shared<const FavoritesIndex>();
    if (k.index && k.file == dataFile && k.key == *key)
        return k.index;

    // The key is read before the file: a save in between makes the next
    // call read it again rather than keep what was read.
    const bool onDisk = key->size >= kIndexFileFrom;
    std::shared_ptr<const FavoritesIndex> index = onDisk ? fromFile(dataFile, *key) : nullptr;
    if (!index) {
        std::vector<QStringView> views;
        QByteArray text = FavoritesStore::visit(dataFile, [&views](QStringView record) { views.push_back(record); });
        // A store that did not open (held, damaged) is not written down as
        // empty: it is read again at the next start.
        const bool read = !text.isEmpty();
        std::shared_ptr<const FavoritesIndex> inMemory = built(std::move(text), views);
        if (read && onDisk)
            index = inMemory->saved(dataFile, *key);
        if (index) {
            inMemory.reset();
            std::vector<QStringView>().swap(views);
            releaseFreed();
        } else {
            index = std::move(inMemory);
        }
    }
    k.file = dataFile;
    k.key = *key;
    k.index = index;
    return index;
}

void FavoritesIndex::extend(const QString &dataFile, const FavoritesStore::Appended &appended)
{
    if (!appended.kept)
        return;
    Kept &k = kept();
    const QMutexLocker lock(&k.mutex);
    // Two versions can look alike (an inode used again, the same size, a
    // change time within the clock's tick): the number of records must
    // agree as well.
    if (!k.index || k.file != dataFile || k.key != appended.before || k.index->count() != appended.storedBefore)
        return; // what is kept is of another version: the next call reads the file
    std::shared_ptr<const FavoritesIndex> index = withAdded(k.index, appended.records);
    k.key = appended.after;
    k.index = index;

    // The next start finds the added records beside the index file.
    const FavoritesIndex &root = *index->m_base;
    if (!root.m_mappedFor)
        return;
    const qsizetype added = index->count() - index->m_baseCount;
    if (added > std::max(kAddedBeforeRewrite, root.count() / 8)) {
        if (auto rewritten = index->saved(dataFile, appended.after))
            k.index = std::move(rewritten);
        return;
    }
    FavoritesIndexFile::Added file{*root.m_mappedFor, appended.after, {}};
    for (qsizetype i = index->m_baseCount; i < index->count(); ++i)
        file.records.append(index->record(i).toString());
    FavoritesIndexFile::writeAdded(FavoritesIndexFile::addedFor(dataFile), file);
}

std::shared_ptr<FavoritesIndex> FavoritesIndex::built(QByteArray text, const std::vector<QStringView> &views)
{
    auto owned = std::make_shared<Owned>();
    owned->text = std::move(text);
    const auto *base = reinterpret_cast<const char16_t *>(owned->text.constData());
    owned->records.reserve(views.size());
    owned->starts.reserve(views.size());
    owned->urls.reserve(views.size());
    // A byte a character, and per record its end and the separators' second bytes.
    owned->folded.reserve(owned->text.size() / 2 + 3 * qsizetype(views.size()));
    const QString sep = FavoriteRecord::kFieldSeparator;
    for (const QStringView view : views) {
        // A record is far below 2 GiB: the store is read whole into memory.
        FavoritesIndexFile::Record r{quint64(view.utf16() - base), quint32(view.size()), qint32(view.size()), -1, 0};
        if (const qsizetype first = view.indexOf(sep); first >= 0) {
            const qsizetype start = first + sep.size();
            const qsizetype second = view.indexOf(sep, start);
            r.titleLength = qint32(first);
            r.urlStart = qint32(start);
            r.urlLength = qint32((second < 0 ? view.size() : second) - start);
            if (const QStringView url = view.sliced(start, r.urlLength).trimmed(); !url.isEmpty())
                owned->urls.push_back({FavoritesIndexFile::urlHash(url), quint64(owned->records.size())});
        }
        owned->records.push_back(r);
        FoldedText::append(owned->folded, owned->starts, view);
    }
    std::sort(owned->urls.begin(), owned->urls.end());
    auto index = std::make_shared<FavoritesIndex>();
    index->view({owned->records, owned->starts, owned->urls, std::u16string_view(base, size_t(owned->text.size() / 2)),
                 std::string_view(owned->folded.constData(), size_t(owned->folded.size()))});
    index->m_keep = std::move(owned);
    return index;
}

std::shared_ptr<FavoritesIndex> FavoritesIndex::withAdded(const std::shared_ptr<const FavoritesIndex> &base,
                                                          const QStringList &added)
{
    auto index = std::make_shared<FavoritesIndex>();
    // One level deep: an index extended again shares the same base.
    const FavoritesIndex &old = *base;
    index->m_base = old.m_base ? old.m_base : base;
    index->m_baseCount = index->m_base->count();
    // The base's records stay where they are; those after it are copied
    // with the new ones.
    const qsizetype before = old.count() - index->m_baseCount;
    auto [text, views] = joined(before + added.size(), [&](qsizetype i) {
        return i < before ? old.record(index->m_baseCount + i) : QStringView(added.at(i - before));
    });
    const std::shared_ptr<FavoritesIndex> own = built(std::move(text), views);
    index->view(own->m_parts);
    index->m_keep = own->m_keep;
    return index;
}

std::shared_ptr<const FavoritesIndex> FavoritesIndex::fromFile(const QString &dataFile, const FileIdentity &store)
{
    std::optional<FavoritesIndexFile::Mapped> mapped = FavoritesIndexFile::map(FavoritesIndexFile::indexFor(dataFile));
    if (!mapped)
        return nullptr;
    auto index = std::make_shared<FavoritesIndex>();
    index->view(mapped->parts);
    index->m_keep = std::move(mapped->keep);
    index->m_mappedFor = mapped->store;
    if (mapped->store == store)
        return index;
    const std::optional<FavoritesIndexFile::Added> added =
        FavoritesIndexFile::readAdded(FavoritesIndexFile::addedFor(dataFile));
    if (!added || added->base != mapped->store || added->store != store)
        return nullptr; // the store was changed by another writer
    return withAdded(index, added->records);
}

std::shared_ptr<const FavoritesIndex> FavoritesIndex::saved(const QString &dataFile, const FileIdentity &store) const
{
    std::shared_ptr<const FavoritesIndex> flat;
    if (m_base) {
        // One index of all records, the base's and the added ones.
        auto [text, views] = joined(count(), [this](qsizetype i) { return record(i); });
        flat = built(std::move(text), views);
    }
    const FavoritesIndex &whole = flat ? *flat : *this;
    const QString path = FavoritesIndexFile::indexFor(dataFile);
    // Records added since the last index file belong to it alone.
    QFile::remove(FavoritesIndexFile::addedFor(dataFile));
    if (!FavoritesIndexFile::write(path, store, whole.m_parts))
        return nullptr;
    flat.reset();
    std::shared_ptr<const FavoritesIndex> mapped = fromFile(dataFile, store);
    if (!mapped)
        qCWarning(lcFiles) << "favorites index written but not read back" << path;
    return mapped;
}

void FavoritesIndex::view(const FavoritesIndexFile::Parts &parts)
{
    m_parts = parts;
    m_folded = FoldedText(parts.folded, parts.foldedStarts);
}

const FavoritesIndexFile::Record *FavoritesIndex::recordAt(qsizetype index) const
{
    return own(index) ? &m_parts.records[size_t(index - m_baseCount)] : nullptr;
}

QStringView FavoritesIndex::record(qsizetype index) const
{
    if (index >= 0 && index < m_baseCount)
        return m_base->record(index);
    const Record *r = recordAt(index);
    // Offsets from a file are not trusted: one out of the text is no record.
    if (!r || r->offset > m_parts.text.size() || r->length > m_parts.text.size() - r->offset)
        return {};
    return QStringView(m_parts.text.data() + r->offset, qsizetype(r->length));
}

QStringView FavoritesIndex::title(qsizetype index) const
{
    if (index >= 0 && index < m_baseCount)
        return m_base->title(index);
    const QStringView whole = record(index);
    const Record *r = recordAt(index);
    if (!r)
        return {};
    return whole.first(std::clamp(qsizetype(r->titleLength), qsizetype(0), whole.size()));
}

QStringView FavoritesIndex::url(qsizetype index) const
{
    if (index >= 0 && index < m_baseCount)
        return m_base->url(index);
    const QStringView whole = record(index);
    const Record *r = recordAt(index);
    if (!r || r->urlStart < 0 || r->urlStart > whole.size())
        return {};
    return whole.sliced(r->urlStart, std::clamp(qsizetype(r->urlLength), qsizetype(0), whole.size() - r->urlStart));
}

std::vector<qsizetype> FavoritesIndex::matching(QStringView search, qsizetype limit) const
{
    if (limit <= 0)
        return {};
    std::vector<qsizetype> found = m_base ? m_base->matching(search, limit) : std::vector<qsizetype>();
    if (qsizetype(found.size()) >= limit)
        return found;
    m_folded.find(search, [&](qsizetype record) {
        found.push_back(m_baseCount + record);
        return qsizetype(found.size()) < limit;
    });
    return found;
}

qsizetype FavoritesIndex::findUrl(QStringView address) const
{
    const QStringView wanted = address.trimmed();
    if (wanted.isEmpty())
        return -1;
    if (m_base) {
        if (const qsizetype found = m_base->findUrl(wanted); found >= 0)
            return found;
    }
    // Only records whose address hashes alike are looked at, in stored order.
    const quint64 hash = FavoritesIndexFile::urlHash(wanted);
    const auto from = std::lower_bound(m_parts.urls.begin(), m_parts.urls.end(), UrlKey{hash, 0});
    for (auto it = from; it != m_parts.urls.end() && it->hash == hash; ++it) {
        const qsizetype at = m_baseCount + qsizetype(std::min<quint64>(it->record, quint64(count())));
        if (own(at) && url(at).trimmed() == wanted)
            return at;
    }
    return -1;
}
