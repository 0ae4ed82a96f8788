#pragma once

#include <QString>

// An exclusive, non-blocking lock that stands for "this file is open":
// flock() on a sidecar "<file>.lock". The sidecar is used because the data
// file itself is replaced by every commit, and a lock on a replaced file
// would no longer keep anybody out. A second lock on the same file fails,
// in this process (another open file description) and in any other.
class ExclusiveFileLock
{
public:
    explicit ExclusiveFileLock(const QString &dataFile);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock &) = delete;
    ExclusiveFileLock &operator=(const ExclusiveFileLock &) = delete;

    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
