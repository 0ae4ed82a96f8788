#include "platform/filelock.h"

#include "platform/logging.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FileLock::FileLock(const QString &dataFile, Mode mode, std::chrono::milliseconds wait, IfNoSidecar ifNoSidecar)
{
    const QByteArray path = QFile::encodeName(dataFile + QStringLiteral(".lock"));
    // A reader needs no write access to the folder: an existing sidecar opens read-only.
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 && mode == Mode::Shared)
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        qCWarning(lcFiles) << "cannot open lock file" << path;
        // Saves replace the file by a rename, so a reader sees a whole file anyway.
        m_granted = ifNoSidecar == IfNoSidecar::Proceed;
        return;
    }
    const int operation = (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const QDeadlineTimer deadline(wait);
    // Polled rather than blocking: a blocking flock() cannot be given a time limit.
    unsigned long pauseMs = 1;
    while (::flock(fd, operation) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
            qCWarning(lcFiles) << "file is held elsewhere" << dataFile;
            ::close(fd);
            return;
        }
        QThread::msleep(std::min<unsigned long>(pauseMs, deadline.remainingTime() + 1));
        pauseMs = std::min<unsigned long>(pauseMs * 2, 20);
    }
    m_fd = fd;
    m_granted = true;
}

FileLock::~FileLock()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}
