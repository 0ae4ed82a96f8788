// The import tool without keywords: N shortcuts in N / 10 folders (one save
// per folder), into an empty store and then again with everything present.
//   bench_linkimport [N ...]   (default 10,000 and 20,000)
#include "benchutil.h"
#include "navkit/favorites/favoritesstore.h"
#include "linkimport/linkappend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    LinkAppend::keepFreedMemory(); // as the import tool does
    QCoreApplication app(argc, argv);
    const std::vector<qint64> sizes = benchSizes(argc, argv, {10000, 20000});
    bool right = true;
    GrowthTable table(QStringLiteral("linkimport, no keywords, ms (goal: <= 5000 each at 10,000; x2.2 at most "
                                     "for twice the shortcuts)"),
                      {QStringLiteral("first import"), QStringLiteral("again (all present)")});
    for (const qint64 n : sizes) {
        QTemporaryDir dir;
        const QString fav = dir.filePath(QStringLiteral("Favorites"));
        if (!makeShortcutTree(fav, int(n)))
            return 1;
        const QString store = dir.filePath(QStringLiteral("_favorites.dat"));
        int count = 0;
        const double first = medianMs(1, [&] { count = LinkAppend::importFolder(store, fav, {}, {}); });
        right = right && FavoritesStore::load(store).size() == n;
        const double again = medianMs(1, [&] { count = LinkAppend::importFolder(store, fav, {}, {}); });
        right = right && FavoritesStore::load(store).size() == n;
        table.row(n, {first, again});
    }
    if (!right)
        QTextStream(stdout) << "WRONG: the store does not hold one record per shortcut" << Qt::endl;
    return right ? 0 : 1;
}
