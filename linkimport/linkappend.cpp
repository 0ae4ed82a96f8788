#include "linkimport/linkappend.h"

#include "linkimport/duplicatefilter.h"
#include "navkit/favorites/favoritesstore.h"
#include "platform/logging.h"
#include "navkit/favorites/mdlfavorites.h"
#include "navkit/favorites/shortcutwalk.h"

#include <QElapsedTimer>

#include <malloc.h>

namespace LinkAppend {

std::optional<QStringList> acceptedRecords(const QStringList &stored, const QStringList &batch,
                                           const KeywordSource &keywords)
{
    DuplicateFilter present;
    present.follow(QString(), stored);
    return acceptedRecords(present, batch, keywords);
}

std::optional<QStringList> acceptedRecords(DuplicateFilter &present, const QStringList &batch,
                                           const KeywordSource &keywords)
{
    const QString sep = FavoritesStore::kFieldSeparator;
    QStringList accepted;
    for (const QString &record : batch) {
        if (record.trimmed().isEmpty())
            continue;
        const QString url = FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed();
        if (url.isEmpty() || present.contains(url))
            continue;
        const std::optional<QString> keywordText = keywords ? keywords(url) : QStringLiteral("no keywords");
        if (!keywordText)
            return std::nullopt; // called off: the rest would be stored without their keywords for good
        const QString written = record + sep + FavoritesStore::fieldText(*keywordText);
        accepted.append(written);
        present.add(written, url);
    }
    return accepted;
}

bool appendFavorites(const QString &dataFile, const QStringList &batch, const KeywordSource &keywords)
{
    DuplicateFilter present;
    return appendFavorites(dataFile, batch, keywords, present);
}

bool appendFavorites(const QString &dataFile, const QStringList &batch, const KeywordSource &keywords,
                     DuplicateFilter &present)
{
    // A folder whose every address the store holds already (an import run
    // again) is not saved: the store would be written as it is.
    QStringList urls;
    for (const QString &record : batch) {
        if (!record.trimmed().isEmpty())
            urls.append(FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed());
    }
    if (present.holdsAll(dataFile, urls))
        return true;
    const bool ok = FavoritesStore::save(dataFile, batch, FavoritesStore::AfterSave::Nothing,
                                         [&](const QStringList &stored, const QStringList &offered) {
                                             present.follow(dataFile, stored);
                                             return acceptedRecords(present, offered, keywords);
                                         });
    present.saved(dataFile, ok);
    return ok;
}

void keepFreedMemory()
{
    // Large blocks from the heap rather than mapped one by one, and the
    // heap's free top kept up to this size.
    if (mallopt(M_MMAP_THRESHOLD, 256 << 20) != 1 || mallopt(M_TRIM_THRESHOLD, 512 << 20) != 1)
        qCWarning(lcFiles) << "memory settings for the import not taken";
}

int importFolder(const QString &dataFile, const QString &folder, const KeywordSource &keywords,
                 const Progress &progress)
{
    if (folder.isEmpty())
        return 0; // no Favorites folder: nothing to import
    // One index of the stored text for the whole walk: a save then checks
    // its own records only.
    DuplicateFilter present;
    bool calledOff = false;
    const KeywordSource watched = keywords ? KeywordSource([&](const QString &url) {
        auto text = keywords(url);
        calledOff = calledOff || !text;
        return text;
    })
                                           : KeywordSource();
    QStringList batch;
    QElapsedTimer sinceSave;
    sinceSave.start();
    const auto save = [&] {
        if (!batch.isEmpty() && !appendFavorites(dataFile, batch, watched, present))
            qCWarning(lcFiles) << "shortcuts not saved to" << dataFile;
        batch.clear();
        sinceSave.restart();
    };
    const int found = ShortcutWalk::walk(folder, QStringLiteral("*.url"), [&](const QStringList &records, int count) {
        if (progress)
            progress(count);
        batch += records;
        if (sinceSave.elapsed() >= ShortcutWalk::kSaveEveryMs)
            save();
        return !calledOff;
    });
    if (!calledOff)
        save();
    return found;
}

} // namespace LinkAppend
