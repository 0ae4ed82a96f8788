// The import tool without keywords: 10,000 shortcuts in 1,000 folders.
#include "benchutil.h"
#include "favoritesstore.h"
#include "linkappend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString fav = dir.filePath(QStringLiteral("Favorites"));
    if (!makeShortcutTree(fav))
        return 1;
    const QString store = dir.filePath(QStringLiteral("_favorites.dat"));
    int count = 0;
    benchMedian(
        "linkimport of 10,000 shortcuts in 1,000 folders, no keywords", 1,
        [&] { count = LinkAppend::importFolder(store, fav, {}, {}); }, 10000);
    const auto stored = FavoritesStore::load(store).size();
    QTextStream(stdout) << "counted " << count << ", stored " << stored << Qt::endl;
    benchMedian(
        "the same import again (everything already present)", 1,
        [&] { count = LinkAppend::importFolder(store, fav, {}, {}); }, 10000);
    return stored == 10000 && FavoritesStore::load(store).size() == 10000 ? 0 : 1;
}
