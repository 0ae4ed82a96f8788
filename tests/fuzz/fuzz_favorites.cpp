// The favorites store reader on arbitrary file contents: a load must give
// the readable records or none, and never crash.
#include "navkit/favorites/favoritesstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("_favorites.dat"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const QStringList records = FavoritesStore::load(path);
    for (const QString &r : records)
        (void)r.split(FavoritesStore::kFieldSeparator);
    return 0;
}
