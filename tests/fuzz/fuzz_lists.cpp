// The favorites list and history list row builders on arbitrary stored
// text: a favorites file read into its index and searched with a
// search text, and history entries with any title, address and time.
#include "navkit/favorites/favoritesindex.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/listctl/listrules.h"
#include "platform/urlhistorystore.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("_favorites.dat"));
    if (size < 2)
        return 0;
    const QString search =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), data[0] % 8 < size - 1 ? data[0] % 8 : 0);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    // Each run writes a new file: the index is read again, never reused.
    const auto index = FavoritesIndex::of(path);
    for (const qsizetype i : index->matching(search, FavoritesIndex::kNoLimit)) {
        const QStringView record = index->record(i);
        const QStringView title = index->title(i);
        const QStringView url = index->url(i);
        if (title.utf16() != record.utf16() || title.size() > record.size())
            __builtin_trap();
        if (!url.isNull()
            && (url.utf16() < record.utf16() || url.utf16() + url.size() > record.utf16() + record.size()))
            __builtin_trap();
    }

    // The same bytes as history entries: text split at NULs, times from the bytes.
    const QStringList parts =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(QChar(u'\0'));
    std::vector<UrlHistoryEntry> entries;
    for (qsizetype i = 0; i + 1 < parts.size() && i < 128; i += 2) {
        UrlHistoryEntry e;
        e.title = parts.at(i);
        e.url = parts.at(i + 1);
        // Within a few weeks of one another, as a real history is.
        e.lastVisited = 133000000000000000ULL + (quint64(qHash(e.url)) % 100000ULL) * 10000000ULL;
        entries.push_back(e);
    }
    const ListRules::Rows history = ListRules::historyRows(entries, std::nullopt);
    if (history.rows.size() != history.urls.size() || history.urls.size() != qsizetype(entries.size()))
        __builtin_trap();
    // A title cannot move the address: each row's address is one the entries had.
    QSet<QString> known;
    for (const auto &e : entries)
        known.insert(FavoritesStore::fieldText(e.url.trimmed()));
    for (const QString &url : history.urls) {
        if (!known.contains(url))
            __builtin_trap();
    }
    return 0;
}
