#include "atomicfile.h"

#include "logging.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace AtomicFile {

namespace {
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
} // namespace

bool write(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // Do not fall back to writing in place: that is what could leave a torn file.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcFiles) << "cannot open for writing" << path << file.errorString();
        return false;
    }
    if (file.write(data) != data.size()) {
        qCWarning(lcFiles) << "write failed" << path << file.errorString();
        file.cancelWriting();
        return false;
    }
    // QSaveFile syncs the data before the rename.
    if (!file.commit()) {
        qCWarning(lcFiles) << "commit failed" << path << file.errorString();
        return false;
    }
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
    qCWarning(lcFiles) << "damaged file kept as" << target;
    return target;
}

} // namespace AtomicFile
