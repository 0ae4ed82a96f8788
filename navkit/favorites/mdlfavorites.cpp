#include "navkit/favorites/mdlfavorites.h"

#include "navkit/favorites/favoritesstore.h"
#include "platform/logging.h"
#include "platform/nulterminated.h"
#include "platform/platformpaths.h"
#include "platform/profilefile.h"
#include "navkit/favorites/shortcutwalk.h"

#include <QElapsedTimer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <limits>

namespace mdlFavorites {

QString FavoritesFolderPath(int csidl)
{
    if (csidl != kCsidlFavorites)
        return {};
    if (const QString dir = qEnvironmentVariable("QUILLON_FAVORITES_DIR"); !dir.isEmpty())
        return QDir::cleanPath(dir);
    const QString inRoot = PlatformPaths::root() + QStringLiteral("/Favorites");
    return QFileInfo(inRoot).isDir() ? inRoot : QString();
}

QString TrimAtNull(QString &text)
{
    text = NulTerminated::cut(text);
    return text;
}

QString ShortcutUrl(const QString &shortcutFile)
{
    QString url =
        ProfileFile::read(shortcutFile, QStringLiteral("InternetShortcut"), QStringLiteral("URL")).value_or(QString());
    return TrimAtNull(url);
}

QString ShortcutTitle(const QString &fileName)
{
    return fileName.size() > 3 ? fileName.chopped(3) : QString();
}

void ImportFolder(const QString &dataFile, QString &folderPath, QString &pattern, qint16 &count)
{
    if (folderPath.isEmpty()) {
        qCWarning(lcFiles) << "no Favorites folder; nothing imported";
        return;
    }
    QStringList batch;
    QElapsedTimer sinceSave;
    sinceSave.start();
    const int seen = ShortcutWalk::walk(folderPath, pattern, [&](const QStringList &records, int) {
        batch += records;
        if (sinceSave.elapsed() >= ShortcutWalk::kSaveEveryMs) {
            AppendFavorites(dataFile, batch);
            batch.clear();
            sinceSave.restart();
        }
        return true;
    });
    if (!batch.isEmpty())
        AppendFavorites(dataFile, batch);
    count = qint16(std::min<int>(std::numeric_limits<qint16>::max(), count + seen));
}

void AppendFavorites(const QString &dataFile, const QStringList &newRecords)
{
    if (!FavoritesStore::save(dataFile, newRecords, FavoritesStore::AfterSave::Nothing))
        qCWarning(lcFiles) << "shortcuts not saved to" << dataFile;
}

} // namespace mdlFavorites
