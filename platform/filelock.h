// A lock that stands for "this file is being written" (exclusive) or "is being read" (shared).
#pragma once

#include <QString>

#include <chrono>

// A lock that stands for "this file is being written" (exclusive) or "is
// being read" (shared): flock() on a sidecar "<file>.lock". The sidecar is
// used because the data file itself is replaced by every save, and a lock on
// a replaced file would no longer keep anybody out. A second exclusive lock
// on the same file waits, in this process (another open file description)
// and in any other, for at most the time given.
//
// The kernel drops the lock when its holder dies, however it dies, so a
// killed writer never leaves a lock that keeps the next one out.
class FileLock
{
public:
    enum class Mode { Exclusive, Shared };
    // What to do when the sidecar cannot be made (a read-only folder):
    // a reader goes on without it, a writer cannot.
    enum class IfNoSidecar { Fail, Proceed };

    FileLock(const QString &dataFile, Mode mode, std::chrono::milliseconds wait,
             IfNoSidecar ifNoSidecar = IfNoSidecar::Fail);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // True when the lock is held, or when a reader proceeds without a sidecar.
    bool isLocked() const { return m_granted; }

private:
    int m_fd = -1;
    bool m_granted = false;
};
