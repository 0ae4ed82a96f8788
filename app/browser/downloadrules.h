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
// Whether Settings asks where to save each download (the stored value;
// empty, the first run, means asking).
bool asksWhereToSave(const QString &storedValue);

} // namespace DownloadRules
