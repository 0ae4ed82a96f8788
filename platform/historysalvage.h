// Reading what can still be read of a damaged URL history database.
#pragma once

#include "platform/urlhistorystore.h"

#include <QString>

#include <vector>

namespace HistorySalvage {

// Every row of the damaged database's table that can still be read, in
// rowid order: a damaged page ends one scan, the next starts past it,
// probing ever further ahead; bounded in time (3 s) and probes.
std::vector<UrlHistoryEntry> readableRows(const QString &damagedPath);

} // namespace HistorySalvage
