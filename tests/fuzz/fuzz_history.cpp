// The URL history on an arbitrary database file: reading it, recording into
// it, and salvaging what can be read when it is damaged, never crash.
#include "platform/urlhistorystore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // In memory where there is a tmpfs: the database syncs would otherwise set the pace.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_history-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_history-XXXXXX"));
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
    // A damaged file is salvaged by the store itself, on the first call that meets the damage.
    UrlHistoryStore store(path);
    (void)store.enumerate(QString(), 0);
    (void)store.addUrl(QStringLiteral("http://new.test/"), QStringLiteral("new"), 0);
    (void)store.enumerate(QStringLiteral("http://"), 0);
    return 0;
}
