// The list control over large stores, at each size given (default 100k,
// 300k and 1M):
//   - favorites: the first listing (reads the store), then a filter
//     keystroke to a repainted list (median of 15 keys), and everything
//     listed again;
//   - history: the day's list to its first paint with the rows visible,
//     every visit being of today, and a jump to the last row.
//   bench_listcontrol [N ...]
#include "benchutil.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/listctl/listcontrol.h"
#include "navkit/listctl/rowlistview.h"
#include "platform/timeconv.h"
#include "platform/urlhistorystore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListView>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Records of about 130 characters, as real favorites with keyword text are;
// one in ten holds "news".
bool writeFavorites(const QString &store, qint64 n)
{
    QStringList records;
    records.reserve(n);
    for (qint64 i = 0; i < n; ++i) {
        records.append(QStringLiteral("Page title number %1 with some words").arg(i) + FavoritesStore::kFieldSeparator
                       + QStringLiteral("https://www.example.test/section/%1/article.html").arg(i)
                       + FavoritesStore::kFieldSeparator
                       + (i % 10 == 0 ? QStringLiteral("news, daily, world") : QStringLiteral("misc, other, things")));
    }
    return FavoritesStore::save(store, records);
}

// n visits spread between today's midnight and now.
bool writeHistory(qint64 n)
{
    UrlHistoryStore history;
    const QDateTime now = QDateTime::currentDateTime();
    const quint64 base = TimeConv::toFileTime(now.date().startOfDay().toUTC());
    const quint64 span = std::max<quint64>(TimeConv::toFileTime(now.toUTC()) - base, 1);
    std::vector<UrlHistoryEntry> entries;
    entries.reserve(size_t(n));
    for (qint64 i = 0; i < n; ++i) {
        const quint64 t = base + quint64(i) * span / quint64(n);
        entries.push_back({QStringLiteral("https://www.example.test/%1/page.html?q=%2").arg(i % 977).arg(i),
                           QStringLiteral("Title of page %1").arg(i), t, t, t + 20 * 864000000000ULL, 0});
    }
    return history.clear() && history.putEntries(entries);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::vector<qint64> sizes = benchSizes(argc, argv, {100000, 300000, 1000000});
    QTemporaryDir dir;
    qputenv("QUILLON_PLATFORM_ROOT", dir.path().toUtf8());

    ListControl list;
    list.resize(400, 600);
    list.show();
    // Drawn with its rows: a list of several batches is placed over a few
    // turns first, and the view draws none of it until then.
    const auto repaint = [&] {
        RowListView *view = list.listBox();
        QElapsedTimer waited;
        waited.start();
        while (!view->rowsArePlaced() && waited.elapsed() < 10000)
            QCoreApplication::processEvents();
        view->viewport()->repaint();
    };
    bool right = true;
    const auto check = [&right](bool ok, const char *what, qint64 n) {
        if (!ok)
            QTextStream(stdout) << "WRONG at " << n << ": " << what << Qt::endl;
        right = right && ok;
    };

    GrowthTable favorites(QStringLiteral("favorites tab list, ms (goal per keystroke: <= 10 at 100k, <= 50 at 1M)"),
                          {QStringLiteral("tab's first listing: on the window's thread"),
                           QStringLiteral("then read by a worker and listed"),
                           QStringLiteral("filter keystroke, median of 15"), QStringLiteral("all listed again")});
    for (const qint64 n : sizes) {
        const QString store = dir.filePath(QStringLiteral("_favorites%1.dat").arg(n));
        if (!writeFavorites(store, n))
            return 1;
        // As the Favorites tab lists first: a large store read by a worker.
        const double first = medianMs(1, [&] {
            list.RefreshFavoritesLater(store);
            repaint();
        });
        QElapsedTimer reading;
        reading.start();
        if (list.ListCount() < n) {
            QEventLoop wait;
            QObject::connect(&list, &ListControl::FavoritesListed, &wait, &QEventLoop::quit);
            QTimer::singleShot(60000, &wait, &QEventLoop::quit);
            wait.exec();
            repaint();
        }
        const double read = double(reading.nsecsElapsed()) / 1e6;
        check(list.ListCount() == n, "favorites listed", n);
        const char *keys[] = {"n", "ne", "new", "news", "news,"};
        int k = 0;
        const double key = medianMs(15, [&] {
            list.RefreshFavoritesEx(store, QString::fromLatin1(keys[k++ % 5]));
            repaint();
        });
        check(list.ListCount() == (n + 9) / 10, "favorites found", n);
        const double all = medianMs(5, [&] {
            list.RefreshFavoritesEx(store, QString());
            repaint();
        });
        favorites.row(n, {first, read, key, all});
        QFile::remove(store);
    }

    GrowthTable history(QStringLiteral("history list of today, ms (goal: <= 50 at 100k, <= 200 at 1M)"),
                        {QStringLiteral("list to first paint, median of 5"), QStringLiteral("then counted whole"),
                         QStringLiteral("jump to the last row")});
    const QString today = QDateTime::currentDateTime().toString(Qt::ISODate);
    for (const qint64 n : sizes) {
        if (!writeHistory(n))
            return 1;
        list.listBox()->scrollToTop(); // the last size's jump to its end

        const double shown = medianMs(5, [&] {
            list.RefreshHistoryEx(today);
            repaint();
        });
        // The rest of a long list joins it when counted, away from the
        // window's thread.
        double counted = 0;
        if (list.ListCount() < n) {
            QElapsedTimer counting;
            counting.start();
            QEventLoop wait;
            QObject::connect(&list, &ListControl::HistoryCounted, &wait, &QEventLoop::quit);
            QTimer::singleShot(30000, &wait, &QEventLoop::quit);
            wait.exec();
            repaint();
            counted = double(counting.nsecsElapsed()) / 1e6;
        }
        // Painted with rows: the view has laid them out.
        check(list.ListCount() == n, "visits listed", n);
        check(list.listBox()->indexAt(QPoint(5, 5)).row() == 0, "first row painted", n);
        const double last = medianMs(1, [&] {
            list.listBox()->scrollToBottom();
            repaint();
        });
        const QWidget *viewport = list.listBox()->viewport();
        check(list.listBox()->indexAt(QPoint(5, viewport->height() - 8)).row() > n - 100, "last rows shown", n);
        check(!list.ListUrl(int(n) - 1).isEmpty(), "last row's address", n);
        history.row(n, {shown, counted, last});
    }
    return right ? 0 : 1;
}
