// Favorites store: load and save of 100,000 records of about 120 characters,
// the import of a tree of 1,000 folders holding 10,000 shortcuts, and of a
// bookmarks HTML file of 10,000 bookmarks into an empty store and into the
// 100,000-record store.
#include "benchutil.h"
#include "bookmarkshtml.h"
#include "favoritesstore.h"
#include "mdlfavorites.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("_favorites.dat"));

    QStringList records;
    records.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        records.append(QStringLiteral("Page title number %1 with some words").arg(i) + FavoritesStore::kFieldSeparator
                       + QStringLiteral("https://www.example.test/section/%1/article-about-something.html").arg(i)
                       + FavoritesStore::kFieldSeparator + QStringLiteral("keywords here"));
    }
    FavoritesStore::save(store, records);
    QTextStream(stdout) << "store: " << records.size() << " records, " << QFileInfo(store).size() / 1024
                        << " KiB, record length " << records.front().size() << Qt::endl;

    qsizetype loaded = 0;
    benchMedian(
        "load 100k", 7, [&] { loaded = FavoritesStore::load(store).size(); }, 150);
    if (loaded != 100000)
        return 1;
    int n = 0;
    benchMedian(
        "save 1 record onto 100k", 5, [&] { FavoritesStore::save(store, {QStringLiteral("new %1").arg(n++)}); }, 500);

    // 1,000 folders (10 x 10 x 10), 10 shortcuts each.
    const QString fav = dir.filePath(QStringLiteral("Favorites"));
    if (!makeShortcutTree(fav))
        return 1;
    const QString importStore = dir.filePath(QStringLiteral("import.dat"));
    qint16 count = 0;
    benchMedian(
        "import 1,000 folders / 10,000 shortcuts (1,111 saves)", 1,
        [&] {
            QString folder = fav;
            QString pattern = QStringLiteral("*.url");
            mdlFavorites::ImportFolder(importStore, folder, pattern, count);
        },
        10000);
    const auto imported = FavoritesStore::load(importStore).size();
    QTextStream(stdout) << "imported " << imported << " records, counted " << count << Qt::endl;

    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int folder = 0; folder < 100; ++folder) {
        html += "<DT><H3>Folder " + QByteArray::number(folder) + "</H3>\n<DL><p>\n";
        for (int i = 0; i < 100; ++i) {
            const QByteArray k = QByteArray::number(folder * 100 + i);
            html += "<DT><A HREF=\"https://bookmarks.test/" + k
                + "?a=1&amp;b=2\" ADD_DATE=\"1700000000\" "
                  "ICON=\"data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAA\">Bookmark "
                + k + "</A>\n<DD>What the page " + k + " is about\n";
        }
        html += "</DL><p>\n";
    }
    html += "</DL><p>\n";
    const auto importBookmarks = [&](const QString &target) {
        QStringList batch;
        for (const BookmarksHtml::Bookmark &b : BookmarksHtml::parse(html))
            batch.append(BookmarksHtml::toRecord(b));
        FavoritesStore::save(target, batch, FavoritesStore::AfterSave::Nothing,
                             [](const QStringList &stored, const QStringList &fresh) {
                                 return std::optional<QStringList>(BookmarksHtml::newRecords(stored, fresh));
                             });
    };
    int run = 0;
    benchMedian("import 10,000 bookmarks (HTML) into an empty store", 3,
                [&] { importBookmarks(dir.filePath(QStringLiteral("bookmarks%1.dat").arg(run++))); });
    benchMedian("import 10,000 bookmarks (HTML) into the 100k store", 1, [&] { importBookmarks(store); });
    const auto withBookmarks = FavoritesStore::load(store).size();
    QTextStream(stdout) << "store after the bookmarks: " << withBookmarks << " records" << Qt::endl;
    return imported == 10000 ? 0 : 1;
}
