#include "navkit/favorites/favoritesindex.h"

#include "navkit/favorites/favoritesstore.h"
#include "platform/fileidentity.h"
#include "platform/logging.h"

#include <QFile>
#include <QMutex>

#include <mutex>

namespace {

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

std::shared_ptr<const FavoritesIndex> FavoritesIndex::of(const QString &dataFile)
{
    Kept &k = kept();
    const QMutexLocker lock(&k.mutex);
    const std::optional<FileIdentity> key = FileIdentity::of(dataFile);
    if (!key)
        return std::make_shared<const FavoritesIndex>();
    if (k.index && k.file == dataFile && k.key == *key)
        return k.index;

    auto index = std::make_shared<FavoritesIndex>();
    std::vector<QStringView> views;
    index->m_text = FavoritesStore::visit(dataFile, [&views](QStringView record) { views.push_back(record); });
    const auto *base = reinterpret_cast<const char16_t *>(index->m_text.constData());
    index->m_records.reserve(views.size());
    index->m_fields.reserve(views.size());
    const QString sep = FavoriteRecord::kFieldSeparator;
    index->m_folded.reserve(index->m_text.size() / 2, qsizetype(views.size()));
    for (const QStringView view : views) {
        index->m_records.emplace_back(view.utf16() - base, view.size());
        // A record is far below 2 GiB: the store is read whole into memory.
        const qsizetype first = view.indexOf(sep);
        if (first < 0) {
            index->m_fields.push_back({qint32(view.size()), -1, 0});
        } else {
            const qsizetype start = first + sep.size();
            const qsizetype second = view.indexOf(sep, start);
            index->m_fields.push_back(
                {qint32(first), qint32(start), qint32((second < 0 ? view.size() : second) - start)});
        }
        index->m_folded.append(view);
    }
    // The key read before the file: a save in between makes the next call
    // read it again rather than keep what was read.
    k.file = dataFile;
    k.key = *key;
    k.index = index;
    return index;
}

QStringView FavoritesIndex::record(qsizetype index) const
{
    if (index < 0 || index >= count())
        return {};
    const auto [offset, length] = m_records[size_t(index)];
    return QStringView(reinterpret_cast<const char16_t *>(m_text.constData()) + offset, length);
}

QStringView FavoritesIndex::title(qsizetype index) const
{
    if (index < 0 || index >= count())
        return {};
    return record(index).left(m_fields[size_t(index)].titleLength);
}

QStringView FavoritesIndex::url(qsizetype index) const
{
    if (index < 0 || index >= count() || m_fields[size_t(index)].urlStart < 0)
        return {};
    const Fields &f = m_fields[size_t(index)];
    return record(index).mid(f.urlStart, f.urlLength);
}

std::vector<qsizetype> FavoritesIndex::matching(QStringView search, qsizetype limit) const
{
    std::vector<qsizetype> found;
    if (limit <= 0)
        return found;
    m_folded.find(search, [&](qsizetype record) {
        found.push_back(record);
        return qsizetype(found.size()) < limit;
    });
    return found;
}

qsizetype FavoritesIndex::findUrl(QStringView address) const
{
    const QStringView wanted = address.trimmed();
    if (wanted.isEmpty())
        return -1;
    qsizetype result = -1;
    // Only records holding the address anywhere are looked at.
    m_folded.find(wanted, [&](qsizetype i) {
        if (url(i).trimmed() != wanted)
            return true;
        result = i;
        return false;
    });
    return result;
}
