// The loops over stored counts at start-up: the pages to reopen from the
// open-pages file and the search engines of the configuration file, for
// any file content. Each must end in time proportional to the file.
#include "app/mainwindow/mainrules.h"
#include "app/panes/searchengines.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("_loaded.dat"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(bytes);
    }
    // No more entries than lines: a count cannot make work of its own.
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
    if (MainRules::pagesToReopen(path).size() > lines)
        __builtin_trap();
    if (SearchEngines::entries(bytes, QStringLiteral("Url")).size() > size + 1)
        __builtin_trap();
    (void)SearchEngines::entries(bytes, QStringLiteral("Text"));
    return 0;
}
