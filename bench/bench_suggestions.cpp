// The address box's suggestions: one keystroke's update of the list, the
// history's answer included, with N favorites and N visited pages, for
// each N given (default 100000). Usage:
//   bench_suggestions [N ...]
#include "app/mainwindow/addresscompleter.h"
#include "benchutil.h"
#include "navkit/favorites/favoritesstore.h"
#include "app/settings/programstate.h"
#include "testenvironment.h"
#include "platform/timeconv.h"
#include "platform/urlhistorystore.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QLineEdit>

namespace {

void fill(const TestEnvironment &env, int n)
{
    const QString sep = FavoritesStore::kFieldSeparator;
    QStringList records;
    records.reserve(n);
    for (int i = 0; i < n; ++i) {
        // One favorite in 1,000 holds "pruning", only in its keyword text.
        records.append(QStringLiteral("Page title number %1 with some words").arg(i) + sep
                       + QStringLiteral("https://www.example.test/section/%1/article.html").arg(i) + sep
                       + (i % 1000 == 7 ? QStringLiteral("garden pruning roses") : QStringLiteral("keywords here")));
    }
    FavoritesStore::save(env.programDir() + QStringLiteral("/_data/_favorites.dat"), records);
    std::vector<UrlHistoryEntry> entries(static_cast<size_t>(n));
    const quint64 now = TimeConv::toFileTime(QDateTime::currentDateTimeUtc());
    // Written oldest first, as the visits came.
    for (int i = 0; i < n; ++i) {
        UrlHistoryEntry &e = entries[size_t(n - 1 - i)];
        e.url = QStringLiteral("https://visited%1.example.test/a/page.html").arg(i);
        e.title = QStringLiteral("Visited page %1").arg(i);
        e.lastVisited = e.lastUpdated = now - quint64(i) * 10000000;
        e.expires = now + quint64(10) * 24 * 3600 * 10000000;
    }
    UrlHistoryStore().putEntries(entries);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QString::fromLocal8Bit(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {100000};

    QTextStream out(stdout);
    out << "N favorites + N visited | first key: window's part / with the answer (favorites and history) | typing a "
           "keyword | typing "
           "words found nowhere"
           " | new address, nothing visited | new address after a visit\n";
    for (const int n : sizes) {
        TestEnvironment env;
        QDir().mkpath(env.programDir() + QStringLiteral("/_data"));
        if (!env.installComponents(NAVKIT_LIBRARY))
            return 1;
        fill(env, n);
        programState().FavoritesFile = env.programDir() + QStringLiteral("/_data/_favorites.dat");
        programState().ConfigFile = env.programDir() + QStringLiteral("/_config.dat");

        QLineEdit box;
        box.show();
        AddressCompleter completer(&box, nullptr);
        // A key until the list holds the history's answer too.
        const auto key = [&](const QString &typed) {
            completer.update(typed);
            completer.setCompletionPrefix(typed);
            completer.complete();
            while (completer.answerPending())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        };
        // The first key: what the window does at once, then the favorites and
        // the history found on the lookup's thread.
        QElapsedTimer first;
        first.start();
        completer.update(QStringLiteral("p"));
        const double windowMs = double(first.nsecsElapsed()) / 1e6;
        completer.setCompletionPrefix(QStringLiteral("p"));
        completer.complete();
        while (completer.answerPending())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double firstMs = double(first.nsecsElapsed()) / 1e6;
        const auto typing = [&](const QString &word) {
            std::vector<double> ms;
            for (qsizetype i = 2; i <= word.size(); ++i) {
                QElapsedTimer t;
                t.start();
                key(word.left(i));
                ms.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            std::sort(ms.begin(), ms.end());
            return ms[ms.size() / 2];
        };
        const double keyword = typing(QStringLiteral("pruning"));
        const int rows = completer.popup()->model()->rowCount();
        const double nowhere = typing(QStringLiteral("qxzv wxyq"));
        QElapsedTimer again;
        again.start();
        key(QStringLiteral("p"));
        const double againMs = double(again.nsecsElapsed()) / 1e6;
        UrlHistoryStore().addUrl(QStringLiteral("https://new.example.test/"), QStringLiteral("New"), 0);
        again.start();
        key(QStringLiteral("q"));
        const double visitedMs = double(again.nsecsElapsed()) / 1e6;
        out << n << " | " << QString::number(windowMs, 'f', 1) << " / " << QString::number(firstMs, 'f', 1)
            << " ms | median " << QString::number(keyword, 'f', 1) << " ms (" << rows << " rows) | median "
            << QString::number(nowhere, 'f', 1) << " ms | " << QString::number(againMs, 'f', 1) << " ms | "
            << QString::number(visitedMs, 'f', 1) << " ms" << (keyword <= 30 && nowhere <= 30 ? "" : "  [over 30 ms]")
            << Qt::endl;
    }
    return 0;
}
