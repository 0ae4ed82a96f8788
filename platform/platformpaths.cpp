#include "platform/platformpaths.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace PlatformPaths {

namespace {
QString fromEnv(const char *name)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QString() : QDir::cleanPath(value);
}
// mkdir -p with 0700 for every folder it makes.
bool createMissing(const QString &clean)
{
    const QFileInfo info(clean);
    if (info.exists())
        return info.isDir();
    if (clean == info.absolutePath() || !createMissing(info.absolutePath()))
        return false;
    if (::mkdir(QFile::encodeName(clean).constData(), 0700) != 0 && !QFileInfo(clean).isDir()) {
        qCWarning(lcFiles) << "cannot create folder" << clean;
        return false;
    }
    return true;
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

bool isPortable()
{
    return QFileInfo::exists(QCoreApplication::applicationDirPath() + u'/' + QLatin1String(kPortableMarker));
}

QString installFolder()
{
    if (QString p = fromEnv("QUILLON_PROGRAM_DIR"); !p.isEmpty())
        return p;
    const QString exeFolder = QDir::cleanPath(QCoreApplication::applicationDirPath());
    return isPortable() ? exeFolder : QDir::cleanPath(exeFolder + QStringLiteral("/../lib/quillon"));
}

QString userGuide()
{
    const QString exeFolder = QCoreApplication::applicationDirPath();
    for (const QString &folder : {installFolder(), exeFolder, exeFolder + QStringLiteral("/../lib/quillon"),
                                  exeFolder + QStringLiteral("/../bin")}) {
        QString guide = QDir::cleanPath(folder + QStringLiteral("/userguide.html"));
        if (QFileInfo::exists(guide))
            return guide;
    }
    return {};
}

QString engineStorage()
{
    return programFolder() + QStringLiteral("/webengine/storage");
}

QString engineCache()
{
    if (isPortable() || !fromEnv("QUILLON_PROGRAM_DIR").isEmpty())
        return programFolder() + QStringLiteral("/webengine/cache");
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return QDir::cleanPath(base + QStringLiteral("/quillon"));
}

QString programFolder()
{
    if (QString p = fromEnv("QUILLON_PROGRAM_DIR"); !p.isEmpty())
        return p;
    if (isPortable())
        return QDir::cleanPath(QCoreApplication::applicationDirPath());
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/quillon"));
}

bool prepareProgramFolder()
{
    const QString folder = programFolder();
    const QString install = installFolder();
    if (folder == install)
        return true; // portable: the folder is the program's own
    if (!makePrivateFolder(folder))
        return false;
    const QString config = folder + QStringLiteral("/_config.dat");
    // A copy that is no search-engine file any more (garbage, or no
    // "[Search]" at all) is kept aside and copied anew from the installation.
    if (QFile existing(config); existing.open(QIODevice::ReadOnly)) {
        const QByteArray text = existing.read(1 << 20);
        if (text.contains('\0') || !text.toLower().contains("[search]")) {
            existing.close();
            if (AtomicFile::setAside(config).isEmpty() || !QFile::remove(config))
                qCWarning(lcFiles) << "damaged search engines not set aside" << config;
        }
    }
    if (!QFileInfo::exists(config)) {
        if (!QFile::copy(install + QStringLiteral("/_config.dat"), config))
            qCWarning(lcFiles) << "search engines not copied to" << config;
        else
            QFile::setPermissions(config, QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

QString dataFolderProblem()
{
    const QString folder = QDir::cleanPath(programFolder());
    for (const char *name : {"", "/_data", "/_data/_loaded.dat", "/_data/_favorites.dat", "/_data/_tabhistory.dat",
                             "/_layout.lay", "/_config.dat"}) {
        const QString path = folder + QLatin1String(name);
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue; // not there (yet): made by the program, as its own
        if (S_ISLNK(st.st_mode))
            return QStringLiteral("%1 is a link; the browser keeps your data only in a folder of your own").arg(path);
        if (st.st_uid != ::geteuid())
            return QStringLiteral(
                       "%1 belongs to another user; the browser keeps your data only in a folder of your own")
                .arg(path);
    }
    return {};
}

bool makePrivateFolder(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    const QFileInfo info(clean);
    if (!info.exists())
        return createMissing(clean);
    if (!info.isDir())
        return false;
    // Only the folder itself: its parents are not ours to change.
    constexpr auto others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (info.ownerId() == ::geteuid() && (info.permissions() & others)
        && ::chmod(QFile::encodeName(clean).constData(), 0700) != 0)
        qCWarning(lcFiles) << "cannot make folder private" << clean;
    return true;
}

} // namespace PlatformPaths
