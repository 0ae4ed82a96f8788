#include "platform/historysalvage.h"

#include "platform/sqlitestatement.h"
#include "platform/urlhistoryrow.h"

#include <QDeadlineTimer>
#include <QFile>

#include <limits>
#include <memory>
#include <sqlite3.h>

namespace HistorySalvage {

using UrlHistoryRow::entryAt;
using UrlHistoryRow::kLongestValue;

std::vector<UrlHistoryEntry> readableRows(const QString &damagedPath)
{
    sqlite3 *raw = nullptr;
    const QByteArray path = QFile::encodeName(damagedPath);
    if (sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(raw);
        return {};
    }
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)> damaged(raw, sqlite3_close_v2);
    sqlite3_limit(damaged.get(), SQLITE_LIMIT_LENGTH, kLongestValue);
    std::vector<UrlHistoryEntry> rows;
    // Rows in rowid order; a damaged page ends a scan, so the next scan
    // starts past it, probing ever further ahead until rows come again.
    qint64 next = std::numeric_limits<qint64>::min();
    qint64 gap = 1;
    // Bounded: a damaged page on the way to every row would otherwise be
    // met again at each probe (and a damaged cell can claim a huge value).
    const QDeadlineTimer deadline(std::chrono::seconds(3));
    for (int fruitless = 0; fruitless < 24 && !deadline.hasExpired();) {
        SqliteStatement st(damaged.get(),
                           "SELECT rowid, url, title, last_visited, last_updated, expires, flags FROM urls"
                           " WHERE rowid >= ?1 ORDER BY rowid");
        if (!st.ok())
            break;
        st.bind(1, next);
        int rc;
        bool progressed = false;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            const qint64 rowid = sqlite3_column_int64(st.get(), 0);
            // A damaged tree can lead back to rows already read.
            if (rowid < next) {
                rc = SQLITE_CORRUPT;
                break;
            }
            UrlHistoryEntry e = entryAt(st.get(), 1);
            if (!e.url.isEmpty())
                rows.push_back(std::move(e));
            if (rowid == std::numeric_limits<qint64>::max()) {
                rc = SQLITE_DONE; // no row can follow
                break;
            }
            next = rowid + 1;
            progressed = true;
        }
        if (rc == SQLITE_DONE)
            break;
        fruitless = progressed ? 0 : fruitless + 1;
        if (progressed)
            gap = 1;
        if (next == std::numeric_limits<qint64>::min())
            next = 0;
        if (next > std::numeric_limits<qint64>::max() - gap)
            break;
        next += gap;
        gap = std::min<qint64>(gap * 2, qint64(1) << 40);
    }
    return rows;
}

} // namespace HistorySalvage
