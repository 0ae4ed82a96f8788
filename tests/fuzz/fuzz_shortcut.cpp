// Reading an Internet shortcut of arbitrary contents.
#include "navkit/favorites/mdlfavorites.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("page.url"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const QString url = mdlFavorites::ShortcutUrl(path);
    if (url.contains(QChar(u'\0')) || url.contains(u'\n'))
        __builtin_trap();
    return 0;
}
