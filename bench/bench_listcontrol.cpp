// The list control over large stores: a favorites filter keystroke over
// 100,000 records, and a history refresh over 100,000 entries, each to a
// repainted list.
#include "benchutil.h"
#include "favoritesstore.h"
#include "listcontrol.h"
#include "timeconv.h"
#include "urlhistorystore.h"

#include <QApplication>
#include <QListView>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("QUILLON_PLATFORM_ROOT", dir.path().toUtf8());
    const QString store = dir.filePath(QStringLiteral("_favorites.dat"));
    QStringList records;
    for (int i = 0; i < 100000; ++i) {
        records.append(QStringLiteral("Page title number %1 with some words").arg(i) + FavoritesStore::kFieldSeparator
                       + QStringLiteral("https://www.example.test/section/%1/article.html").arg(i)
                       + FavoritesStore::kFieldSeparator
                       + (i % 10 == 0 ? QStringLiteral("news, daily") : QStringLiteral("misc")));
    }
    FavoritesStore::save(store, records);

    ListControl list;
    list.resize(400, 600);
    list.show();
    auto repaint = [&] { list.listBox()->viewport()->repaint(); };
    const char *keys[] = {"n", "ne", "new", "news", "news,"};
    int k = 0;
    benchMedian(
        "favorites filter keystroke over 100k (load + filter + repaint)", 9,
        [&] {
            list.RefreshFavoritesEx(store, QString::fromLatin1(keys[k++ % 5]));
            repaint();
        },
        30);
    benchMedian("favorites, everything listed (100k rows)", 5, [&] {
        list.RefreshFavoritesEx(store, QString());
        repaint();
    });

    {
        UrlHistoryStore history;
        std::vector<UrlHistoryEntry> entries;
        const QDateTime now = QDateTime::currentDateTime();
        const quint64 base = TimeConv::toFileTime(QDateTime(now.date(), QTime(0, 0)));
        for (quint64 i = 0; i < 100000; ++i) {
            const quint64 t = base + (i % 80000) * 10000000ULL; // within today
            entries.push_back({QStringLiteral("https://www.example.test/%1/page.html?q=%2").arg(i % 977).arg(i),
                               QStringLiteral("Title of page %1").arg(i), t, t, t + 20 * 864000000000ULL, 0});
        }
        history.putEntries(entries);
    }
    const QString today = QDateTime::currentDateTime().toString(Qt::ISODate);
    benchMedian(
        "history refresh, 100k entries of today (enumerate + sort + repaint)", 5,
        [&] {
            list.RefreshHistoryEx(today);
            repaint();
        },
        200);
    return list.ListCount() == 100000 ? 0 : 1;
}
