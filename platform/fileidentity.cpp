#include "platform/fileidentity.h"

#include "platform/logging.h"

#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileIdentity identityOf(const struct stat &st)
{
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                        qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, 0};
}

} // namespace

std::optional<FileIdentity> FileIdentity::of(const QString &path, Generation generation)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return std::nullopt;
    FileIdentity identity = identityOf(st);
    // Only a plain file is opened: a pipe or a device planted in its place
    // is not waited on nor woken.
    if (generation == Generation::Skip || !S_ISREG(st.st_mode))
        return identity;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        qCDebug(lcFiles) << "no generation for" << path << "(not opened)";
        return identity;
    }
    // What the descriptor holds is what is named: the path may have been
    // given another file between the two looks.
    struct stat opened {};
    int drawn = 0;
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode)) {
        identity = identityOf(opened);
        if (::ioctl(fd, FS_IOC_GETVERSION, &drawn) == 0)
            identity.generation = quint32(drawn);
    }
    ::close(fd);
    return identity;
}
