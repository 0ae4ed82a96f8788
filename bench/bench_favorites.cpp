// The favorites store at each size given (default 100k, 300k, 1M records of
// about 120 characters): load, one record saved onto it (in this process,
// and as the first save of a new process, as a browser's first favorite of
// the day is saved), and a file of 10,000 bookmarks imported into it; then
// the browser's own import of a shortcut tree (mdlFavorites::ImportFolder, a
// save every half second) of 10,000 and 20,000 shortcuts; and a file of
// deeply nested folders (its store at most four times the file).
//   bench_favorites [N ...]
#include "benchutil.h"
#include "platform/atomicfile.h"
#include "navkit/favorites/bookmarkshtml.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/mdlfavorites.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <array>

#include <sys/resource.h>

namespace {

QByteArray bookmarksFile(int count)
{
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int folder = 0; folder < count / 100; ++folder) {
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
    return html + "</DL><p>\n";
}

// Folders nested levels deep, a bookmark in every tenth: the shape that made
// every record carry the whole path (a store hundreds of times the file).
QByteArray deeplyNested(int levels)
{
    QByteArray html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int i = 0; i < levels; ++i) {
        const QByteArray n = QByteArray::number(i);
        html += "<DT><H3>Nested folder number " + n + "</H3>\n<DL><p>\n";
        if (i % 10 == 9)
            html += "<DT><A HREF=\"https://deep.test/" + n + "\">Deep " + n + "</A>\n";
    }
    for (int i = 0; i < levels; ++i)
        html += "</DL><p>\n";
    return html + "</DL><p>\n";
}

bool importBookmarks(const QString &target, const QByteArray &html)
{
    QStringList batch;
    for (const BookmarksHtml::Bookmark &b : BookmarksHtml::parse(html))
        batch.append(BookmarksHtml::toRecord(b));
    return FavoritesStore::save(target, batch, FavoritesStore::AfterSave::Nothing,
                                [](const QStringList &stored, const QStringList &fresh) {
                                    return std::optional<QStringList>(BookmarksHtml::newRecords(stored, fresh));
                                });
}

// The time of one save onto file in a new process of this program, which
// has read nothing yet; -1 when it failed.
double firstSaveMs(const QString &file)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-once"), file});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toDouble();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--save-once") == 0) {
        QElapsedTimer clock;
        clock.start();
        if (!FavoritesStore::save(QString::fromLocal8Bit(argv[2]), {QStringLiteral("first of the day")}))
            return 1;
        QTextStream(stdout) << clock.nsecsElapsed() / 1e6 << Qt::endl;
        return 0;
    }
    const std::vector<qint64> sizes = benchSizes(argc, argv, {100000, 300000, 1000000});
    QTemporaryDir dir;
    bool right = true;
    const QByteArray html = bookmarksFile(10000);

    GrowthTable store(QStringLiteral("favorites store, ms"),
                      {QStringLiteral("load, median of 5"), QStringLiteral("save 1 record onto it, median of 3"),
                       QStringLiteral("the same, the first save of a new process, median of 3"),
                       QStringLiteral("a plain atomic write of a file that size (write, fsync, rename)"),
                       QStringLiteral("import 10,000 bookmarks (HTML) into it")});
    for (const qint64 n : sizes) {
        const QString file = dir.filePath(QStringLiteral("_favorites%1.dat").arg(n));
        QStringList records;
        records.reserve(n);
        for (qint64 i = 0; i < n; ++i) {
            records.append(QStringLiteral("Page title number %1 with some words").arg(i)
                           + FavoritesStore::kFieldSeparator
                           + QStringLiteral("https://www.example.test/section/%1/article-about-something.html").arg(i)
                           + FavoritesStore::kFieldSeparator + QStringLiteral("keywords here"));
        }
        if (!FavoritesStore::save(file, records))
            return 1;
        records.clear();
        const double load = medianMs(5, [&] { right = right && FavoritesStore::load(file).size() == n; });
        int k = 0;
        const double save =
            medianMs(3, [&] { right = FavoritesStore::save(file, {QStringLiteral("new %1").arg(k++)}) && right; });
        std::array<double, 3> firsts{};
        for (double &first : firsts)
            first = firstSaveMs(file);
        std::sort(firsts.begin(), firsts.end());
        right = right && firsts.front() >= 0;
        const double first = firsts[1];
        QByteArray same(QFileInfo(file).size(), 'x');
        const QString plain = dir.filePath(QStringLiteral("plain.bin"));
        const double write = medianMs(3, [&] { right = AtomicFile::write(plain, same) && right; });
        same.clear();
        QFile::remove(plain);
        const double bookmarks = medianMs(1, [&] { right = importBookmarks(file, html) && right; });
        right = right && FavoritesStore::load(file).size() == n + 3 + 3 + 10000;
        store.row(n, {load, save, first, write, bookmarks});
        QFile::remove(file);
    }

    // A deeply nested file: the store stays within four times the file.
    GrowthTable nested(QStringLiteral("a file of deeply nested folders imported"),
                       {QStringLiteral("ms"), QStringLiteral("store / file size"), QStringLiteral("peak RSS, MiB")});
    for (const int levels : {std::min(int(sizes.front() / 20), 5000), std::min(int(sizes.front() / 10), 10000)}) {
        const QByteArray deep = deeplyNested(levels);
        const QString target = dir.filePath(QStringLiteral("nested%1.dat").arg(levels));
        const double ms = medianMs(1, [&] { right = importBookmarks(target, deep) && right; });
        const double ratio = double(QFileInfo(target).size()) / double(deep.size());
        // (A small file is mostly the store's own fixed overhead.)
        right = right && FavoritesStore::load(target).size() == levels / 10 && (deep.size() < 100000 || ratio <= 4.0);
        struct rusage usage {};
        ::getrusage(RUSAGE_SELF, &usage);
        nested.row(deep.size(), {ms, ratio, double(usage.ru_maxrss) / 1024.0});
    }

    GrowthTable import(QStringLiteral("the browser's import of a shortcut tree (10 shortcuts a folder, a save "
                                      "every half second), ms"),
                       {QStringLiteral("into an empty store")});
    for (const qint64 n :
         std::vector<qint64>{std::min<qint64>(sizes.front() / 10, 10000), std::min<qint64>(sizes.front() / 5, 20000)}) {
        QTemporaryDir tree;
        const QString fav = tree.filePath(QStringLiteral("Favorites"));
        if (!makeShortcutTree(fav, int(n)))
            return 1;
        const QString target = tree.filePath(QStringLiteral("import.dat"));
        qint16 count = 0;
        const double ms = medianMs(1, [&] {
            QString folder = fav;
            QString pattern = QStringLiteral("*.url");
            mdlFavorites::ImportFolder(target, folder, pattern, count);
        });
        right = right && FavoritesStore::load(target).size() == n;
        import.row(n, {ms});
    }
    if (!right)
        QTextStream(stdout) << "WRONG: a store did not hold the records it should" << Qt::endl;
    return right ? 0 : 1;
}
