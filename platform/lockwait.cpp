#include "lockwait.h"

#include <QLockFile>

namespace LockWait {

bool acquire(QLockFile &lock, int timeoutMs)
{
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return false;
    return lock.tryLock(timeoutMs);
}

} // namespace LockWait
