// URL history: enumerate 100,000 entries into a collection and sort them.
#include "benchutil.h"
#include "clshistory.h"
#include "mdlapplication.h"
#include "timeconv.h"
#include "urlhistorystore.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("QUILLON_PLATFORM_ROOT", dir.path().toUtf8());
    {
        UrlHistoryStore store;
        std::vector<UrlHistoryEntry> entries;
        const quint64 now = TimeConv::toFileTime(QDateTime::currentDateTimeUtc());
        for (quint64 i = 0; i < 100000; ++i) {
            entries.push_back({QStringLiteral("https://www.example.test/%1/page.html?q=%2").arg(i % 977).arg(i),
                               QStringLiteral("Title of page %1").arg(i), now - i * 10000000ULL, now - i * 10000000ULL,
                               now + 17 * 864000000000ULL, 0});
        }
        if (!store.putEntries(entries))
            return 1;
    }
    clsHistory history;
    if (history.Count() != 100000)
        return 1;
    benchMedian("history refresh 100k (enumerate + items)", 5, [&] { history.Refresh(); });
    benchMedian(
        "history refresh 100k + sort descending", 5,
        [&] {
            history.Refresh();
            QStringList keys;
            keys.reserve(history.Count());
            for (const auto &e : history.entries())
                keys.append(e.url);
            mdlApplication::SortDescending(keys);
        },
        200);
    UrlHistoryStore store;
    benchMedian("store enumerate 100k only", 5, [&] { (void)store.enumerate(QString(), 0); });
    return 0;
}
