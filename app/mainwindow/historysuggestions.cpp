#include "historysuggestions.h"

#include "logging.h"
#include "urlhistorystore.h"

#include <QFile>
#include <QSet>

#include <algorithm>

#include <sys/stat.h>

namespace {
constexpr qint64 kRereadMs = 2000;
// Entries expire by the clock too; a list this old is read whole again.
constexpr qint64 kMaxAgeMs = 10 * 60 * 1000;

// The database and its write-ahead log as they are on disk: any change to
// the history changes one of them.
QList<qint64> storeState()
{
    QList<qint64> state;
    const QString db = UrlHistoryStore().databasePath();
    for (const QString &path : {db, db + QStringLiteral("-wal")}) {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
            state << -1;
            continue;
        }
        state << qint64(st.st_ino) << qint64(st.st_size) << qint64(st.st_mtim.tv_sec) << qint64(st.st_mtim.tv_nsec);
    }
    return state;
}

} // namespace

void HistorySuggestions::Part::build(std::vector<UrlHistoryEntry> entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const UrlHistoryEntry &a, const UrlHistoryEntry &b) { return a.lastVisited > b.lastVisited; });
    rows.clear();
    rows.reserve(qsizetype(entries.size()));
    folded = FoldedText();
    folded.reserve(qsizetype(entries.size()) * 80, qsizetype(entries.size()));
    for (UrlHistoryEntry &e : entries) {
        folded.append(QString(e.title + u' ' + e.url));
        rows.append({std::move(e.title), std::move(e.url)});
    }
}

void HistorySuggestions::refreshFor(const QString &typed)
{
    // Each new address starts from the history as it is now; while typing
    // on, the pages visited meanwhile are few and can wait a moment.
    const bool newAddress = typed.trimmed().size() <= 1;
    if (m_read.isValid() && !newAddress && m_read.elapsed() < kRereadMs)
        return;
    const QList<qint64> state = storeState();
    if (m_read.isValid() && state == m_state && m_read.elapsed() < kMaxAgeMs)
        return; // nothing changed since the last read
    const bool sameFile = !m_state.isEmpty() && state.value(0) == m_state.value(0);
    m_state = state;
    if (m_read.isValid() && sameFile && m_read.elapsed() < kMaxAgeMs && readRecent())
        return;
    refresh();
}

bool HistorySuggestions::readRecent()
{
    auto fresh = UrlHistoryStore().visitedSince(m_newest);
    // No new visit, yet the store changed: entries were removed or
    // changed otherwise, and only a whole read shows that.
    if (!fresh || fresh->empty())
        return false;
    for (const UrlHistoryEntry &e : *fresh)
        m_newest = std::max(m_newest, e.lastVisited);
    m_recentEntries.insert(m_recentEntries.end(), fresh->begin(), fresh->end());
    m_recent.build(m_recentEntries);
    return true;
}

void HistorySuggestions::refresh()
{
    m_read.start();
    m_state = storeState();
    auto entries = UrlHistoryStore().enumerate(QString(), 0);
    if (!entries) {
        qCWarning(lcFiles) << "history not read for the address suggestions";
        return; // the last list read stays
    }
    m_newest = 0;
    for (const UrlHistoryEntry &e : *entries)
        m_newest = std::max(m_newest, e.lastVisited);
    m_recentEntries.clear();
    m_recent.build({});
    m_all.build(std::move(*entries));
}

QList<AddressRules::HistoryRow> HistorySuggestions::matching(const QString &search, qsizetype limit) const
{
    QList<AddressRules::HistoryRow> found;
    if (limit <= 0 || search.trimmed().isEmpty())
        return found;
    QSet<QString> seen; // a page visited again is in both parts
    for (const Part *part : {&m_recent, &m_all}) {
        part->folded.find(search, [&](qsizetype i) {
            const AddressRules::HistoryRow &row = part->rows.at(i);
            if (!seen.contains(row.url)) {
                seen.insert(row.url);
                found.append(row);
            }
            return found.size() < limit;
        });
        if (found.size() >= limit)
            break;
    }
    return found;
}
