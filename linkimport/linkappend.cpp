#include "linkappend.h"

#include "favoritesstore.h"
#include "mdlfavorites.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringMatcher>

namespace LinkAppend {

namespace {

void processEvents()
{
    QCoreApplication::processEvents();
}

// False once the import was called off.
bool walk(const QString &dataFile, const QString &folderPath, const KeywordSource &keywords, const Progress &progress,
          int &count, QSet<QString> &visited)
{
    QString folder = folderPath;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return true; // unreadable, or a link back up the tree
    visited.insert(canonical);
    const QDir dir(folder);
    const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
    const QStringList subFolders = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, order);
    QStringList records;
    for (const QString &name : dir.entryList({QStringLiteral("*.url")}, QDir::Files | QDir::Hidden | QDir::System, order)) {
        if (count < 32767)
            ++count;
        const QString url = mdlFavorites::ShortcutUrl(folder + name);
        if (!url.isEmpty())
            records.append(FavoritesStore::composeRecord(mdlFavorites::ShortcutTitle(name), url));
        processEvents();
    }
    if (progress)
        progress(count);
    processEvents();
    bool calledOff = false;
    const KeywordSource watched = keywords ? KeywordSource([&](const QString &url) {
        auto text = keywords(url);
        calledOff = calledOff || !text;
        return text;
    })
                                           : KeywordSource();
    appendFavorites(dataFile, records, watched);
    if (calledOff)
        return false;
    for (const QString &sub : subFolders) {
        if (!walk(dataFile, folder + sub, keywords, progress, count, visited))
            return false;
    }
    return true;
}

} // namespace

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

int importFolder(const QString &dataFile, const QString &folder, const KeywordSource &keywords, const Progress &progress)
{
    int count = 0;
    if (folder.isEmpty())
        return 0; // no Favorites folder: nothing to import
    QSet<QString> visited;
    walk(dataFile, folder, keywords, progress, count, visited);
    return count;
}

} // namespace LinkAppend
