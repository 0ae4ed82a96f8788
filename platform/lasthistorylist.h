// The last list read from each history database, given while the database is busy.
#pragma once

#include "platform/urlhistorystore.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

// The last list read from each history database: a reader on the window's
// thread gets it (narrowed to its prefix) while another writer holds the
// database, instead of waiting.
namespace LastHistoryList {

// Lists longer than this are not kept (the reader then keeps what it had).
inline constexpr std::size_t kLongestKept = 50000;

void remember(const QString &path, const QString &prefix, const std::vector<UrlHistoryEntry> &entries);
// The entries of the last list whose address starts with prefix; nothing
// when no list of a shorter prefix was read.
std::optional<std::vector<UrlHistoryEntry>> find(const QString &path, const QString &prefix);

} // namespace LastHistoryList
