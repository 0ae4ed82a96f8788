#include "platform/atomicfile.h"
#include "platform/atomicfilefaults.h"

#include "platform/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

FaultInjector &injector()
{
    static FaultInjector f;
    return f;
}

// errno for the step: the injected one, else the outcome of the call.
int fault(Step step, const QString &path)
{
    const FaultInjector &f = injector();
    return f ? f(step, path) : 0;
}

const QString kTempMark = QStringLiteral(".tmp-");

QString tempName(const QString &path)
{
    static std::atomic<unsigned> counter{0};
    return path + kTempMark + QString::number(::getpid()) + u'-' + QString::number(counter++);
}

// "<name>.tmp-<pid>-<n>" files of a writer that is gone: a save killed
// between creating its temporary file and the rename.
void removeOrphanedTemps(const QString &path)
{
    const QFileInfo info(path);
    QDir dir = info.absoluteDir();
    const QStringList names =
        dir.entryList({info.fileName() + kTempMark + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString rest = name.mid(info.fileName().size() + kTempMark.size());
        bool ok = false;
        const qint64 pid = rest.section(u'-', 0, 0).toLongLong(&ok);
        if (!ok || pid <= 0)
            continue;
        if (pid != ::getpid() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
            if (!dir.remove(name))
                qCWarning(lcFiles) << "cannot remove orphaned temporary file" << dir.filePath(name);
        }
    }
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

void syncFolder(const QString &path)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::fsync(fd) != 0)
        qCWarning(lcFiles) << "fsync of folder failed" << dir;
    ::close(fd);
}

bool failed(const char *step, const QString &path, int error)
{
    qCWarning(lcFiles) << step << "failed for" << path << std::strerror(error);
    return false;
}

} // namespace

void setFaultInjector(FaultInjector f)
{
    injector() = std::move(f);
}

bool write(const QString &path, const QByteArray &data)
{
    return write(path, QList<QByteArray>{data});
}

bool write(const QString &path, const QList<QByteArray> &pieces)
{
    removeOrphanedTemps(path);
    const QString temp = tempName(path);
    const QByteArray tempPath = QFile::encodeName(temp);
    int error = fault(Step::Open, path);
    const int fd =
        error ? -1 : ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return failed("open", temp, error ? error : errno);

    // From here on a failure removes the temporary file and keeps the old one.
    const auto abandon = [&](const char *step, int err) {
        ::unlink(tempPath.constData());
        return failed(step, temp, err);
    };
    if ((error = fault(Step::Write, path))
        || (!std::all_of(pieces.cbegin(), pieces.cend(), [fd](const QByteArray &piece) { return writeAll(fd, piece); })
            && (error = errno))) {
        ::close(fd);
        return abandon("write", error);
    }
    if ((error = fault(Step::Sync, path)) || (::fsync(fd) != 0 && (error = errno))) {
        ::close(fd);
        return abandon("fsync", error);
    }
    // close() can report a delayed write error (network and some local file systems).
    if ((error = fault(Step::Close, path))) {
        ::close(fd);
        return abandon("close", error);
    }
    if (::close(fd) != 0)
        return abandon("close", errno);
    if ((error = fault(Step::Rename, path))
        || (::rename(tempPath.constData(), QFile::encodeName(path).constData()) != 0 && (error = errno)))
        return abandon("rename", error);
    syncFolder(path);
    return true;
}

QString setAside(const QString &path)
{
    QString target = path + QStringLiteral(".bad");
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".bad.") + QString::number(n);
    if (!QFile::copy(path, target)) {
        qCWarning(lcFiles) << "cannot set damaged file aside" << path;
        return {};
    }
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    qCWarning(lcFiles) << "damaged file kept as" << target;
    return target;
}

} // namespace AtomicFile
