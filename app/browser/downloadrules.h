// The rules of the downloads list.
#pragma once

#include <QSet>
#include <QString>

// The rules of the downloads list: where a file goes without asking, and
// how sizes, speeds and progress read.
namespace DownloadRules {

// "1.5 MB", "800 KB", "12 B".
QString sizeText(qint64 bytes);
// "1.2 MB/s"; empty before a second's worth was measured.
QString speedText(qint64 bytes, qint64 elapsedMs);
// "45 % of 2.0 MB", or "300 KB" when the size is not known.
QString progressText(qint64 received, qint64 total);
// A path in folder for name that no file has and that is not taken
// (given to a download still running): "name (1).ext", "name (2).ext"…
QString freePath(const QString &folder, const QString &name, const QSet<QString> &taken = {});
// A server's name for a file as it may be saved: the last part of a path,
// without control characters, the characters that turn text around, and
// leading dots and blanks (no hidden file such as ".bash_profile"); at most
// 200 characters; "download" when nothing is left.
QString safeFileName(const QString &serverName);
// Makes the file at path, empty and private (0600), only if no file or
// link is there: the name is then this download's and no other's.
bool reserve(const QString &path);
// The folder files go to without asking: the chosen one, but never the home
// folder itself (its "Downloads" then).
QString folderWithoutAsking(const QString &chosen, const QString &home);
// Whether Settings asks where to save each download (the stored value;
// empty, the first run, means asking).
bool asksWhereToSave(const QString &storedValue);

} // namespace DownloadRules
