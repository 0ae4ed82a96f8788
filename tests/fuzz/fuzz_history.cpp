// The URL history on an arbitrary database file: reading it, recording into
// it, and salvaging what can be read when it is damaged, never crash.
#include "urlhistorystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    QDir folder(dir.path());
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(name);
    const QString path = folder.filePath(QStringLiteral("urlhistory.sqlite"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    (void)UrlHistoryStore::salvage(path, folder.filePath(QStringLiteral("salvaged.sqlite")));
    UrlHistoryStore store(path);
    (void)store.enumerate(QString(), 0);
    (void)store.enumerate(QStringLiteral("http://"), 0);
    (void)store.addUrl(QStringLiteral("http://new.test/"), QStringLiteral("new"), 0);
    (void)store.enumerate(QStringLiteral("http://new.test/"), 0);
    return 0;
}
