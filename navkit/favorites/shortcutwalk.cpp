#include "navkit/favorites/shortcutwalk.h"

#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/mdlfavorites.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <limits>

namespace ShortcutWalk {

namespace {

// False once the visitor ended the walk.
bool walkFolder(const QString &folderPath, const QString &pattern, const FolderVisitor &visit, int &count,
                QSet<QString> &visited)
{
    QString folder = folderPath;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    // A link back up the tree would make the walk endless.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return true;
    visited.insert(canonical);

    const QDir dir(folder);
    const QDir::SortFlags order = QDir::Name | QDir::IgnoreCase;
    const QStringList subFolders =
        dir.entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, order);
    QStringList records;
    for (const QString &name : dir.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System, order)) {
        if (count < std::numeric_limits<qint16>::max())
            ++count;
        const QString url = mdlFavorites::ShortcutUrl(folder + name);
        if (!url.isEmpty())
            records.append(FavoritesStore::composeRecord(mdlFavorites::ShortcutTitle(name), url));
    }
    if (!visit(records, count))
        return false;
    for (const QString &sub : subFolders) {
        if (!walkFolder(folder + sub, pattern, visit, count, visited))
            return false;
    }
    return true;
}

} // namespace

int walk(const QString &folder, const QString &pattern, const FolderVisitor &visit)
{
    int count = 0;
    QSet<QString> visited;
    walkFolder(folder, pattern, visit, count, visited);
    return count;
}

} // namespace ShortcutWalk
