#include "platform/engineflags.h"

#include <QList>

namespace EngineFlags {

QByteArray withProcessPerSite(const QByteArray &flags)
{
    for (const QByteArray &flag : flags.simplified().split(' ')) {
        if (flag.startsWith("--process-per-") || flag == "--single-process")
            return flags;
    }
    const QByteArray trimmed = flags.trimmed();
    return trimmed.isEmpty() ? QByteArray("--process-per-site") : trimmed + " --process-per-site";
}

void apply()
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", withProcessPerSite(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
}

} // namespace EngineFlags
