#pragma once

class QLockFile;

namespace LockWait {

// Takes the lock, waiting for another holder for a while; gives up at once
// when the lock file cannot be made at all (no rights, not a file).
bool acquire(QLockFile &lock, int timeoutMs = 10000);

} // namespace LockWait
