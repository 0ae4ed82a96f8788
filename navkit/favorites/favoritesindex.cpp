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
    QByteArray text = FavoritesStore::visit(dataFile, [&views](QStringView record) { views.push_back(record); });
    index->add(std::move(text), views);
    // The key read before the file: a save in between makes the next call
    // read it again rather than keep what was read.
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
    auto index = std::make_shared<FavoritesIndex>();
    // One level deep: an index extended again shares the same base.
    const FavoritesIndex &old = *k.index;
    index->m_base = old.m_base ? old.m_base : k.index;
    index->m_baseCount = index->m_base->count();
    QStringList records;
    for (qsizetype i = index->m_baseCount; i < old.count(); ++i)
        records.append(old.record(i).toString());
    records.append(appended.records);
    QByteArray text;
    for (const QString &r : std::as_const(records))
        text.append(reinterpret_cast<const char *>(r.utf16()), r.size() * 2);
    std::vector<QStringView> views;
    const auto *base = reinterpret_cast<const char16_t *>(text.constData());
    qsizetype at = 0;
    for (const QString &r : std::as_const(records)) {
        views.emplace_back(base + at, r.size());
        at += r.size();
    }
    index->add(std::move(text), views);
    k.key = appended.after;
    k.index = index;
}

void FavoritesIndex::add(QByteArray text, const std::vector<QStringView> &views)
{
    m_text = std::move(text);
    const auto *base = reinterpret_cast<const char16_t *>(m_text.constData());
    m_records.reserve(views.size());
    m_fields.reserve(views.size());
    const QString sep = FavoriteRecord::kFieldSeparator;
    m_folded.reserve(m_text.size() / 2, qsizetype(views.size()));
    for (const QStringView view : views) {
        m_records.emplace_back(view.utf16() - base, view.size());
        // A record is far below 2 GiB: the store is read whole into memory.
        const qsizetype first = view.indexOf(sep);
        if (first < 0) {
            m_fields.push_back({qint32(view.size()), -1, 0});
        } else {
            const qsizetype start = first + sep.size();
            const qsizetype second = view.indexOf(sep, start);
            m_fields.push_back({qint32(first), qint32(start), qint32((second < 0 ? view.size() : second) - start)});
        }
        m_folded.append(view);
    }
}

QStringView FavoritesIndex::record(qsizetype index) const
{
    if (index >= 0 && index < m_baseCount)
        return m_base->record(index);
    if (!own(index))
        return {};
    const auto [offset, length] = m_records[size_t(index - m_baseCount)];
    return QStringView(reinterpret_cast<const char16_t *>(m_text.constData()) + offset, length);
}

QStringView FavoritesIndex::title(qsizetype index) const
{
    if (index >= 0 && index < m_baseCount)
        return m_base->title(index);
    if (!own(index))
        return {};
    return record(index).left(m_fields[size_t(index - m_baseCount)].titleLength);
}

QStringView FavoritesIndex::url(qsizetype index) const
{
    if (index >= 0 && index < m_baseCount)
        return m_base->url(index);
    if (!own(index) || m_fields[size_t(index - m_baseCount)].urlStart < 0)
        return {};
    const Fields &f = m_fields[size_t(index - m_baseCount)];
    return record(index).mid(f.urlStart, f.urlLength);
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
    qsizetype result = -1;
    // Only records holding the address anywhere are looked at.
    m_folded.find(wanted, [&](qsizetype i) {
        if (url(m_baseCount + i).trimmed() != wanted)
            return true;
        result = m_baseCount + i;
        return false;
    });
    return result;
}
