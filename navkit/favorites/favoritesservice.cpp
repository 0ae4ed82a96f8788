#include "navkit/favorites/favoritesservice.h"

#include "platform/atomicfile.h"
#include "navkit/favorites/bookmarkshtml.h"
#include "navkit/favorites/bookmarksimport.h"
#include "navkit/favorites/favoritesindex.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/pagetextindex.h"
#include "navkit/favorites/pagetextwriter.h"
#include "navkit/records/favoriterecord.h"
#include "platform/logging.h"

#include <QHash>
#include <QUrl>

#include <optional>

namespace {

// The stored records less one copy of each of the given ones; a given
// record not stored is passed over.
QStringList withoutRecords(const QStringList &stored, const QStringList &removed)
{
    QHash<QString, int> pending;
    for (const QString &r : removed)
        ++pending[r];
    QStringList kept;
    kept.reserve(stored.size());
    for (const QString &r : stored) {
        auto it = pending.find(r);
        if (it != pending.end() && *it > 0) {
            --*it;
            continue;
        }
        kept.append(r);
    }
    return kept;
}

// The calling thread's own connection to an index (searches come from
// several threads; a connection serves one).
PageTextIndex &readerOf(const QString &indexFile)
{
    thread_local std::unique_ptr<PageTextIndex> index;
    if (!index || index->path() != indexFile)
        index = std::make_unique<PageTextIndex>(indexFile);
    return *index;
}

} // namespace

FavoritesService::FavoritesService(QObject *parent)
    : QObject(parent)
{
    m_saves.setMaxThreadCount(1);
    m_saves.setExpiryTimeout(5000);
}

FavoritesService::~FavoritesService()
{
    // A favorite the user added is on disk before the program ends.
    m_saves.waitForDone();
    PageTextWriter::waitForDone();
}

void FavoritesService::onSaveThread(std::function<std::function<void()>()> work)
{
    m_saves.start([this, work = std::move(work)] { QMetaObject::invokeMethod(this, work(), Qt::QueuedConnection); });
}

void FavoritesService::StartInsertFavorite(const QString &dataFile, const QString &record)
{
    onSaveThread([this, dataFile, record]() -> std::function<void()> {
        const bool saved = InsertFavorite(dataFile, record);
        return [this, record, saved] { emit InsertFinished(record, saved); };
    });
}

void FavoritesService::StartDeleteFavorites(const QString &dataFile, const QStringList &records)
{
    onSaveThread([this, dataFile, records]() -> std::function<void()> {
        const int removed = DeleteFavorites(dataFile, records);
        return [this, records, removed] { emit DeleteFinished(records, removed); };
    });
}

void FavoritesService::StartReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord)
{
    onSaveThread([this, dataFile, oldRecord, newRecord]() -> std::function<void()> {
        const bool saved = ReplaceFavorite(dataFile, oldRecord, newRecord);
        return [this, oldRecord, newRecord, saved] { emit ReplaceFinished(oldRecord, newRecord, saved); };
    });
}

void FavoritesService::StartExportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    onSaveThread([this, dataFile, htmlFile]() -> std::function<void()> {
        const bool written = ExportBookmarks(dataFile, htmlFile);
        return [this, htmlFile, written] { emit ExportFinished(htmlFile, written); };
    });
}

bool FavoritesService::InsertFavorite(const QString &dataFile, const QString &record)
{
    FavoritesStore::Appended appended;
    if (FavoritesStore::save(dataFile, {record}, appended)) {
        // What is kept of the store stays current without reading it again
        // (seconds for a million favorites, and the star asks at once).
        FavoritesIndex::extend(dataFile, appended);
        return true;
    }
    qCWarning(lcFiles) << "favorite not saved" << dataFile;
    return false;
}

int FavoritesService::DeleteFavorites(const QString &dataFile, const QStringList &records)
{
    std::optional<qsizetype> removed;
    const bool saved = FavoritesStore::rewrite(
        dataFile, [&records, &removed](const QStringList &stored) -> std::optional<QStringList> {
            QStringList kept = withoutRecords(stored, records);
            removed = stored.size() - kept.size();
            if (*removed == 0)
                return std::nullopt; // all gone already: nothing to write
            return kept;
        });
    if (saved) {
        forgetTextOfGone(dataFile, records);
        return int(*removed);
    }
    if (removed == 0)
        return 0; // read, and none of them was stored any more
    qCWarning(lcFiles) << "favorites not deleted from" << dataFile;
    return -1;
}

bool FavoritesService::ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord)
{
    const bool saved = FavoritesStore::rewrite(dataFile, [&](const QStringList &stored) -> std::optional<QStringList> {
        const qsizetype at = stored.indexOf(oldRecord);
        if (at < 0)
            return std::nullopt; // changed or removed meanwhile
        QStringList changed = stored;
        changed[at] = newRecord;
        return changed;
    });
    if (!saved)
        qCWarning(lcFiles) << "favorite not changed in" << dataFile;
    else
        forgetTextOfGone(dataFile, {oldRecord});
    return saved;
}

QString FavoritesService::FindFavorite(const QString &dataFile, const QString &url) const
{
    const auto index = FavoritesIndex::of(dataFile);
    return index->record(index->findUrl(url)).toString();
}

QStringList FavoritesService::SuggestFavorites(const QString &dataFile, const QString &search, int max) const
{
    const auto index = FavoritesIndex::of(dataFile);
    QStringList records;
    for (const qsizetype i : index->matching(search, max))
        records.append(index->record(i).toString());
    return records;
}

int FavoritesService::ImportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    return BookmarksImport::run(dataFile, htmlFile, [](int) { return true; });
}

bool FavoritesService::StartImportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    if (!m_import) {
        m_import = new BookmarksImport(this);
        connect(m_import, &BookmarksImport::progress, this, &FavoritesService::ImportProgress);
        connect(m_import, &BookmarksImport::finished, this, &FavoritesService::ImportFinished);
    }
    return m_import->start(dataFile, htmlFile);
}

void FavoritesService::CancelImport()
{
    if (m_import)
        m_import->cancel();
}

bool FavoritesService::ExportBookmarks(const QString &dataFile, const QString &htmlFile)
{
    // A store that cannot be read is not an empty one: an export over a
    // backup would empty it. Nothing is written then.
    const std::optional<QStringList> records = FavoritesStore::loadWhole(dataFile);
    if (records && AtomicFile::write(htmlFile, BookmarksHtml::write(*records)))
        return true;
    qCWarning(lcFiles) << "bookmarks not exported to" << htmlFile << (records ? "(not written)" : "(store not read)");
    return false;
}

void FavoritesService::forgetTextOfGone(const QString &dataFile, const QStringList &records)
{
    QStringList urls;
    for (const QString &record : records)
        urls.append(FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed());
    PageTextWriter::post(PageTextIndex::fileFor(dataFile), [dataFile, urls](PageTextIndex &index) {
        // Another favorite may keep the same address: its text stays.
        const auto stored = FavoritesIndex::of(dataFile);
        QStringList gone;
        for (const QString &url : urls) {
            if (!url.isEmpty() && stored->findUrl(url) < 0 && !gone.contains(url))
                gone.append(url);
        }
        if (!index.remove(gone))
            qCWarning(lcFiles) << "text of deleted favorites not removed" << gone.size();
    });
}

void FavoritesService::StorePageText(const QString &dataFile, const QString &url, const QString &title,
                                     const QString &meta, const QString &text)
{
    PageTextWriter::post(
        PageTextIndex::fileFor(dataFile),
        [dataFile, page = PageTextIndex::Page{url.trimmed(), title, meta, text}](PageTextIndex &index) {
            // Only favorites' pages are kept, whatever a caller sends.
            if (FavoritesIndex::of(dataFile)->findUrl(page.url) < 0)
                return;
            if (!index.put({page}))
                qCWarning(lcFiles) << "page text not kept" << page.url;
        });
}

std::vector<std::pair<qsizetype, QString>>
FavoritesService::pageTextMatches(const FavoritesIndex &stored, const QString &dataFile, const QString &search, int max)
{
    // A few more than asked: the text of a favorite deleted meanwhile by
    // another program may still be there, and is passed over.
    const auto hits = readerOf(PageTextIndex::fileFor(dataFile)).search(search, max + 4);
    std::vector<std::pair<qsizetype, QString>> found;
    for (const PageTextIndex::Hit &hit : hits.value_or(QList<PageTextIndex::Hit>())) {
        const qsizetype at = stored.findUrl(hit.url);
        if (at >= 0 && int(found.size()) < max)
            found.emplace_back(at, hit.snippet);
    }
    return found;
}

QStringList FavoritesService::FindPageText(const QString &dataFile, const QString &search, int max) const
{
    if (PageTextIndex::matchExpression(search).isEmpty())
        return {}; // the store is not even looked at
    const auto stored = FavoritesIndex::of(dataFile);
    QStringList found;
    for (const auto &[at, snippet] : pageTextMatches(*stored, dataFile, search, max))
        found << stored->record(at).toString() << snippet;
    return found;
}

void FavoritesService::ClearPageText(const QString &dataFile)
{
    PageTextWriter::post(PageTextIndex::fileFor(dataFile), [](PageTextIndex &index) {
        if (!index.clear())
            qCWarning(lcFiles) << "page text not cleared" << index.path();
    });
}

QStringList FavoritesService::PagesToRead(const QString &dataFile, int maxAgeDays) const
{
    const auto stored = FavoritesIndex::of(dataFile);
    const QHash<QString, QDateTime> read = readerOf(PageTextIndex::fileFor(dataFile)).readTimes();
    const QDateTime due = QDateTime::currentDateTimeUtc().addDays(-maxAgeDays);
    QStringList urls;
    QSet<QString> seen;
    for (qsizetype i = 0; i < stored->count(); ++i) {
        const QString url = stored->url(i).trimmed().toString();
        const QString scheme = QUrl(url).scheme();
        if ((scheme != u"http" && scheme != u"https") || seen.contains(url))
            continue;
        seen.insert(url);
        const auto at = read.constFind(url);
        if (at == read.constEnd() || *at < due)
            urls.append(url);
    }
    return urls;
}
