#include "app/browser/downloadrules.h"

#include "app/settings/browsersettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace DownloadRules {

QString sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg((bytes + 512) / 1024);
    if (bytes < qint64(1024) * 1024 * 1024)
        return QStringLiteral("%1 MB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
    return QStringLiteral("%1 GB").arg(double(bytes) / (1024.0 * 1024 * 1024), 0, 'f', 1);
}

QString speedText(qint64 bytes, qint64 elapsedMs)
{
    if (elapsedMs < 1000 || bytes <= 0)
        return {};
    return sizeText(bytes * 1000 / elapsedMs) + QStringLiteral("/s");
}

QString progressText(qint64 received, qint64 total)
{
    if (total <= 0)
        return sizeText(received);
    return QStringLiteral("%1 % of %2").arg(received * 100 / total).arg(sizeText(total));
}

QString safeFileName(const QString &serverName)
{
    QString name = serverName.section(u'/', -1).section(u'\\', -1);
    name.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7f && u <= 0x9f);
        // Marks and overrides that make "evil\u202Etxt.exe" read as a text file.
        const bool turning =
            u == 0x061c || u == 0x200e || u == 0x200f || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        return control || turning;
    });
    qsizetype start = 0;
    while (start < name.size() && (name.at(start) == u'.' || name.at(start).isSpace()))
        ++start;
    name = name.mid(start).trimmed().left(200);
    return name.isEmpty() ? QStringLiteral("download") : name;
}

bool reserve(const QString &path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

QString folderWithoutAsking(const QString &chosen, const QString &home)
{
    const QString folder =
        QDir(chosen).canonicalPath().isEmpty() ? QDir::cleanPath(chosen) : QDir(chosen).canonicalPath();
    const QString homeFolder =
        QDir(home).canonicalPath().isEmpty() ? QDir::cleanPath(home) : QDir(home).canonicalPath();
    return folder == homeFolder ? QDir(home).filePath(QStringLiteral("Downloads")) : chosen;
}

QString freePath(const QString &folder, const QString &name, const QSet<QString> &taken)
{
    const QDir dir(folder);
    const QString safe = safeFileName(name);
    const auto isFree = [&taken](const QString &path) { return !taken.contains(path) && !QFileInfo::exists(path); };
    if (isFree(dir.filePath(safe)))
        return dir.filePath(safe);
    const QFileInfo info(safe);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 1;; ++n) {
        QString candidate = dir.filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix));
        if (isFree(candidate))
            return candidate;
    }
}

bool asksWhereToSave(const QString &storedValue)
{
    return BrowserSettings::asksWhereToSave(storedValue);
}

} // namespace DownloadRules
