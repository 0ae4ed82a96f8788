// The favorites store reader on arbitrary file contents: a load must give
// the readable records or none, and never crash; and whatever streams were
// readable are read back the same from the file the writer lays out.
#include "navkit/favorites/favoritesstore.h"
#include "platform/compoundfile.h"
#include "platform/compoundfilewriter.h"

#include <QDir>
#include <QFile>
#include <QMap>
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
    const auto contents =
        CompoundFile::parse(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (contents) {
        // Streams of names a compound file cannot hold are left out; names
        // given twice may be read back either way.
        QMap<QString, QByteArray> expected;
        bool twice = false;
        for (const auto &[name, bytes] : contents->streams) {
            twice = twice || expected.contains(name);
            if (CompoundFileWriter::canName(name))
                expected.insert(name, bytes);
        }
        const auto again = CompoundFile::parse(CompoundFile::serialize(*contents));
        if (!again)
            __builtin_trap();
        QMap<QString, QByteArray> read;
        for (const auto &[name, bytes] : again->streams)
            read.insert(name, bytes);
        if (!twice && read != expected)
            __builtin_trap();
    }
    const QStringList records = FavoritesStore::load(path);
    for (const QString &r : records)
        (void)r.split(FavoritesStore::kFieldSeparator);
    return 0;
}
