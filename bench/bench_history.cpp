// URL history through the history collection (the classes the component
// library offers hosts): enumerate N entries into the collection, and the
// same sorted newest first; and the store's enumeration alone.
//   bench_history [N ...]   (default 100k, 300k, 1M)
#include "benchutil.h"
#include "navkit/history/clshistory.h"
#include "navkit/mdlapplication.h"
#include "platform/timeconv.h"
#include "platform/urlhistorystore.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<qint64> sizes = benchSizes(argc, argv, {100000, 300000, 1000000});
    QTemporaryDir dir;
    qputenv("QUILLON_PLATFORM_ROOT", dir.path().toUtf8());
    bool right = true;
    GrowthTable table(QStringLiteral("history collection, ms"),
                      {QStringLiteral("refresh (enumerate + items)"), QStringLiteral("refresh + sort descending"),
                       QStringLiteral("store enumeration alone")});
    for (const qint64 n : sizes) {
        {
            UrlHistoryStore store;
            std::vector<UrlHistoryEntry> entries;
            entries.reserve(size_t(n));
            const quint64 now = TimeConv::toFileTime(QDateTime::currentDateTimeUtc());
            for (qint64 i = 0; i < n; ++i) {
                const quint64 t = now - quint64(i) * 10000ULL; // a millisecond apart: none has expired
                entries.push_back({QStringLiteral("https://www.example.test/%1/page.html?q=%2").arg(i % 977).arg(i),
                                   QStringLiteral("Title of page %1").arg(i), t, t, t + 17 * 864000000000ULL, 0});
            }
            if (!store.clear() || !store.putEntries(entries))
                return 1;
        }
        clsHistory history;
        right = right && history.Count() == n;
        const double refresh = medianMs(3, [&] { history.Refresh(); });
        const double sorted = medianMs(3, [&] {
            history.Refresh();
            QStringList keys;
            keys.reserve(history.Count());
            for (const auto &e : history.entries())
                keys.append(e.url);
            mdlApplication::SortDescending(keys);
        });
        UrlHistoryStore store;
        const double enumerate =
            medianMs(3, [&] { right = right && store.enumerate(QString(), 0)->size() == size_t(n); });
        table.row(n, {refresh, sorted, enumerate});
    }
    if (!right)
        QTextStream(stdout) << "WRONG: the history did not hold every entry" << Qt::endl;
    return right ? 0 : 1;
}
