#include "linkappend.h"

#include "favoritesstore.h"
#include "mdlfavorites.h"
#include "shortcutwalk.h"

#include <QCoreApplication>
#include <QStringMatcher>

namespace LinkAppend {

std::optional<QStringList> acceptedRecords(const QStringList &stored, const QStringList &batch,
                                           const KeywordSource &keywords)
{
    const QString sep = FavoritesStore::kFieldSeparator;
    // One text of everything stored; a line break keeps matches inside a record.
    QString haystack = stored.join(u'\n');
    QStringList accepted;
    for (const QString &record : batch) {
        if (record.trimmed().isEmpty())
            continue;
        const QString url = FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed();
        if (url.isEmpty())
            continue;
        if (QStringMatcher(url, Qt::CaseSensitive).indexIn(haystack) >= 0)
            continue;
        const std::optional<QString> keywordText = keywords ? keywords(url) : QStringLiteral("no keywords");
        if (!keywordText)
            return std::nullopt; // called off: the rest would be stored without their keywords for good
        const QString written = record + sep + FavoritesStore::fieldText(*keywordText);
        accepted.append(written);
        haystack += u'\n' + written;
    }
    return accepted;
}

bool appendFavorites(const QString &dataFile, const QStringList &batch, const KeywordSource &keywords)
{
    return FavoritesStore::save(dataFile, batch, FavoritesStore::AfterSave::ProcessEvents,
                                [&keywords](const QStringList &stored, const QStringList &offered) {
                                    return acceptedRecords(stored, offered, keywords);
                                });
}

int importFolder(const QString &dataFile, const QString &folder, const KeywordSource &keywords,
                 const Progress &progress)
{
    if (folder.isEmpty())
        return 0; // no Favorites folder: nothing to import
    return ShortcutWalk::walk(folder, QStringLiteral("*.url"), [&](const QStringList &records, int count) {
        if (progress)
            progress(count);
        QCoreApplication::processEvents();
        bool calledOff = false;
        const KeywordSource watched = keywords ? KeywordSource([&](const QString &url) {
            auto text = keywords(url);
            calledOff = calledOff || !text;
            return text;
        })
                                               : KeywordSource();
        appendFavorites(dataFile, records, watched);
        return !calledOff;
    });
}

} // namespace LinkAppend
