#include "platform/profilefile.h"

#include "platform/atomicfile.h"
#include "platform/filelock.h"
#include "platform/logging.h"
#include "platform/profiledocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ProfileFile {

namespace {
bool hasLineBreak(const QString &s)
{
    return s.contains(u'\n') || s.contains(u'\r');
}

// The file's text with the key set.
QByteArray withValue(const QByteArray &bytes, const QString &section, const QString &key, const QString &value)
{
    ProfileDocument doc = ProfileDocument::parse(bytes);
    doc.setValue(section, key, value);
    return doc.serialize();
}
} // namespace

std::optional<QString> read(const QString &path, const QString &section, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ProfileDocument::parse(file.readAll()).value(section, key);
}

bool write(const QString &path, const QString &section, const QString &key, const QString &value)
{
    if (hasLineBreak(section) || section.contains(u']') || hasLineBreak(key) || key.contains(u'=')
        || key.trimmed().isEmpty() || hasLineBreak(value)) {
        qCWarning(lcProfile) << "refused entry that would break the file" << path << section << key;
        return false;
    }
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) {
        qCWarning(lcProfile) << "folder missing for" << path;
        return false;
    }
    {
        // Tabs write their entries at every page: an entry already stored
        // as it is costs no lock and no disk flush.
        QFile current(path);
        if (current.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = current.readAll();
            if (withValue(bytes, section, key, value) == bytes)
                return true;
        }
    }
    const FileLock lock(path, FileLock::Mode::Exclusive, std::chrono::seconds(10));
    if (!lock.isLocked()) {
        qCWarning(lcProfile) << "cannot lock" << path;
        return false;
    }
    QByteArray bytes;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcProfile) << "cannot read" << path;
            return false;
        }
        bytes = file.readAll();
        file.close();
    }
    if (!AtomicFile::write(path, withValue(bytes, section, key, value))) {
        qCWarning(lcProfile) << "write failed" << path;
        return false;
    }
    return true;
}

} // namespace ProfileFile
