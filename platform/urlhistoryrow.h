// One row of the URL history table read from a statement, and the longest value a row may hold.
#pragma once

#include "platform/urlhistorystore.h"

#include <QString>

#include <sqlite3.h>

namespace UrlHistoryRow {

// No address or title is longer; a damaged row that claims a longer value
// is refused at once instead of being allocated (up to a gigabyte) first.
inline constexpr int kLongestValue = 8 * 1024 * 1024;

inline QString text(sqlite3_stmt *stmt, int col)
{
    const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(stmt, col)) : QString();
}

// The entry in the columns url, title, last_visited, last_updated, expires,
// flags from the given one on.
inline UrlHistoryEntry entryAt(sqlite3_stmt *stmt, int first)
{
    UrlHistoryEntry e;
    e.url = text(stmt, first);
    e.title = text(stmt, first + 1);
    e.lastVisited = quint64(sqlite3_column_int64(stmt, first + 2));
    e.lastUpdated = quint64(sqlite3_column_int64(stmt, first + 3));
    e.expires = quint64(sqlite3_column_int64(stmt, first + 4));
    e.flags = quint32(sqlite3_column_int64(stmt, first + 5));
    return e;
}

} // namespace UrlHistoryRow
