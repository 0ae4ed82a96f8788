#include "platform/sqliteopening.h"

#include <QDeadlineTimer>

#include <sqlite3.h>

namespace SqliteOpening {

bool isBusy(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

int whileBusy(int timeoutMs, const std::function<int()> &attempt, const std::function<void()> &undo)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        const int rc = attempt();
        if (!isBusy(rc) || deadline.hasExpired())
            return rc;
        undo();
        sqlite3_sleep(1); // as SQLite's own busy handler waits
    }
}

} // namespace SqliteOpening
