#include "downloadrules.h"

#include <QDir>
#include <QFileInfo>

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

QString freePath(const QString &folder, const QString &name, const QSet<QString> &taken)
{
    const QDir dir(folder);
    const QString safe = QFileInfo(name).fileName().isEmpty() ? QStringLiteral("download") : QFileInfo(name).fileName();
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
    return storedValue.trimmed().isEmpty() || storedValue.trimmed() != QStringLiteral("0");
}

} // namespace DownloadRules
