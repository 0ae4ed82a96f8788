#include "navkit/favorites/favoritesservice.h"

#include "platform/atomicfile.h"
#include "navkit/favorites/bookmarkshtml.h"
#include "navkit/favorites/bookmarksimport.h"
#include "navkit/favorites/favoritesindex.h"
#include "navkit/favorites/favoritesstore.h"
#include "platform/logging.h"

#include <QHash>

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
    if (FavoritesStore::save(dataFile, {record}))
        return true;
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
    if (saved)
        return int(*removed);
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
