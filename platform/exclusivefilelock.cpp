#include "exclusivefilelock.h"

#include "logging.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

ExclusiveFileLock::ExclusiveFileLock(const QString &dataFile)
{
    const QByteArray path = QFile::encodeName(dataFile + QStringLiteral(".lock"));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        qCWarning(lcFiles) << "cannot open lock file" << path;
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        qCWarning(lcFiles) << "file is held elsewhere" << dataFile;
        ::close(fd);
        return;
    }
    m_fd = fd;
}

ExclusiveFileLock::~ExclusiveFileLock()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}
