#include "platform/sqliteopening.h"

#include <QDeadlineTimer>

#include <sqlite3.h>

namespace SqliteOpening {

int whileBusy(int timeoutMs, const std::function<int()> &attempt, const std::function<void()> &undo)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        const int rc = attempt();
        const int primary = rc & 0xff;
        if ((primary != SQLITE_BUSY && primary != SQLITE_LOCKED) || deadline.hasExpired())
            return rc;
        undo();
        sqlite3_sleep(1); // as SQLite's own busy handler waits
    }
}

} // namespace SqliteOpening
