#include "platform/graphicsmode.h"

#include "platform/logging.h"

#include <QDir>

namespace GraphicsMode {

bool preferSoftware(const QString &driFolder, const QByteArray &userChoice)
{
    if (!userChoice.isEmpty())
        return false;
    return QDir(driFolder).entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files).isEmpty();
}

void apply()
{
    if (!preferSoftware(QStringLiteral("/dev/dri"), qgetenv("QT_QUICK_BACKEND")))
        return;
    qCInfo(lcFiles) << "no GPU render node: pages are drawn in software";
    qputenv("QT_QUICK_BACKEND", "software");
}

} // namespace GraphicsMode
