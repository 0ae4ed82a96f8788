#include "platformpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace PlatformPaths {

namespace {
QString fromEnv(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString() : QDir::cleanPath(value);
}
} // namespace

QString root()
{
    if (QString r = fromEnv("QUILLON_PLATFORM_ROOT"); !r.isEmpty())
        return r;
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/quillon/platform"));
}

QString registryDir()
{
    return root() + QStringLiteral("/registry");
}

QString programFolder()
{
    if (QString p = fromEnv("QUILLON_PROGRAM_DIR"); !p.isEmpty())
        return p;
    return QDir::cleanPath(QCoreApplication::applicationDirPath());
}

} // namespace PlatformPaths
