// Opening a SQLite database that another connection is making or changing.
#pragma once

#include <functional>

namespace SqliteOpening {

// SQLite's result says another connection holds what was asked for.
bool isBusy(int rc);

// Runs attempt (an open and the set-up of a connection, giving SQLite's
// result) again while it answers "busy", until timeoutMs have passed;
// undo closes a failed attempt's connection first. SQLite answers "busy"
// at once, whatever the connection's busy timeout, when waiting could
// deadlock (this connection has read, another one writes): a new database
// made by two connections at once, its first one switching it to WAL.
int whileBusy(int timeoutMs, const std::function<int()> &attempt, const std::function<void()> &undo);

} // namespace SqliteOpening
