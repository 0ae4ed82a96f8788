#include "platform/lasthistorylist.h"

#include <QHash>
#include <QMutex>

namespace LastHistoryList {

namespace {

// The last list read from each database, given while it is busy.
struct LastList {
    QString prefix;
    std::vector<UrlHistoryEntry> entries;
};
QMutex &lastListsMutex()
{
    static QMutex m;
    return m;
}
QHash<QString, LastList> &lastLists()
{
    static QHash<QString, LastList> lists;
    return lists;
}

} // namespace

void remember(const QString &path, const QString &prefix, const std::vector<UrlHistoryEntry> &entries)
{
    const QMutexLocker lock(&lastListsMutex());
    // A copy of a long list would cost every read as much as the read
    // itself: such a list is not kept, and an older one is not given for it.
    if (entries.size() > kLongestKept) {
        lastLists().remove(path);
        return;
    }
    lastLists().insert(path, {prefix, entries});
}

std::optional<std::vector<UrlHistoryEntry>> find(const QString &path, const QString &prefix)
{
    const QMutexLocker lock(&lastListsMutex());
    const auto it = lastLists().constFind(path);
    if (it == lastLists().cend() || !prefix.startsWith(it->prefix))
        return std::nullopt;
    std::vector<UrlHistoryEntry> entries;
    for (const UrlHistoryEntry &e : it->entries) {
        if (e.url.startsWith(prefix))
            entries.push_back(e);
    }
    return entries;
}

} // namespace LastHistoryList
