#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace Twips {

double screenDpi()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            return screen->logicalDotsPerInch();
    }
    return 96.0;
}

int toPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / kPerInch));
}

double fromPixels(int pixels, double dpi)
{
    return pixels * kPerInch / dpi;
}

} // namespace Twips
