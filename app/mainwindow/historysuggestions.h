// The visited pages the address box suggests from, newest visit first, with a folded copy to search as the user types.
#pragma once

#include "addressrules.h"
#include "foldedtext.h"

#include <QElapsedTimer>
#include <QList>

#include "urlhistorystore.h"

// The visited pages the address box suggests from, newest visit first,
// with a folded copy to search as the user types. The URL history is read
// whole once; after that, when a new address is begun (or every two
// seconds while typing on) and the store changed, only the pages visited
// since are read, unless something other than visits changed it.
class HistorySuggestions
{
public:
    void refreshFor(const QString &typed);
    // Reads the whole history again.
    void refresh();
    // Up to limit visited pages (one per address) whose title or address
    // holds search (any case), newest first.
    QList<AddressRules::HistoryRow> matching(const QString &search, qsizetype limit) const;

private:
    struct Part {
        QList<AddressRules::HistoryRow> rows;
        FoldedText folded;
        void build(std::vector<UrlHistoryEntry> entries);
    };
    // The pages visited since the whole read.
    bool readRecent();

    Part m_all;
    Part m_recent;
    std::vector<UrlHistoryEntry> m_recentEntries;
    quint64 m_newest = 0; // the latest visit read
    QElapsedTimer m_read;
    QList<qint64> m_state; // of the store at the last read
};
