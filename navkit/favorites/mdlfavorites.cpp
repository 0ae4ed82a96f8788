#include "mdlfavorites.h"

#include "favoritesstore.h"
#include "logging.h"
#include "nulterminated.h"
#include "platformpaths.h"
#include "profilefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace mdlFavorites {

namespace {

void processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void walk(const QString &dataFile, const QString &folderPath, const QString &pattern, qint16 &count,
          QSet<QString> &visited)
{
    QString folder = folderPath;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    // A link back up the tree would make the walk endless.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);

    const QDir dir(folder);
    const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
    const QStringList subFolders = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, order);

    QStringList records;
    const QStringList shortcuts = dir.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System, order);
    for (const QString &name : shortcuts) {
        if (count < std::numeric_limits<qint16>::max())
            ++count;
        const QString url = ShortcutUrl(folder + name);
        if (!url.isEmpty())
            records.append(FavoritesStore::composeRecord(ShortcutTitle(name), url));
        processEvents();
    }
    AppendFavorites(dataFile, records);

    for (const QString &sub : subFolders)
        walk(dataFile, folder + sub + u'/', pattern, count, visited);
}

} // namespace

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
    QString url = ProfileFile::read(shortcutFile, QStringLiteral("InternetShortcut"), QStringLiteral("URL")).value_or(QString());
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
    QSet<QString> visited;
    walk(dataFile, folderPath, pattern, count, visited);
}

void AppendFavorites(const QString &dataFile, const QStringList &newRecords)
{
    FavoritesStore::save(dataFile, newRecords, FavoritesStore::AfterSave::ProcessEvents);
}

} // namespace mdlFavorites
