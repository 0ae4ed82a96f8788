#include "loadedpages.h"

#include "atomicfile.h"
#include "filelock.h"
#include "logging.h"
#include "profiledocument.h"

namespace LoadedPages {

bool writeAll(const QString &loadedFile, const QStringList &addresses)
{
    ProfileDocument doc = ProfileDocument::parse({});
    doc.setValue(QStringLiteral("Global"), QStringLiteral("Count"), QString::number(addresses.size()));
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const QString &url = addresses.at(i);
        // A line break would end the entry and start another.
        if (!url.isEmpty() && !url.contains(u'\n') && !url.contains(u'\r'))
            doc.setValue(QStringLiteral("Loaded URL"), QStringLiteral("URL_%1").arg(i + 1), url);
    }
    const FileLock lock(loadedFile, FileLock::Mode::Exclusive, std::chrono::seconds(5));
    if (!lock.isLocked()) {
        qCWarning(lcProfile) << "cannot lock" << loadedFile;
        return false;
    }
    return AtomicFile::write(loadedFile, doc.serialize());
}

} // namespace LoadedPages
