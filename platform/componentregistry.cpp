#include "platform/componentregistry.h"

#include "platform/logging.h"
#include "platform/platformpaths.h"
#include "platform/profilefile.h"
#include "platform/registrystore.h"

#include <QDir>
#include <QFileInfo>

namespace ComponentRegistry {

namespace {
QString serverKey(const QString &progId)
{
    return progId + QStringLiteral("\\InprocServer32");
}
} // namespace

QString manifestPath()
{
    return PlatformPaths::installFolder() + QStringLiteral("/components.manifest");
}

QString libraryFor(const QString &progId)
{
    if (progId.isEmpty() || progId.contains(u'\\'))
        return {};
    RegistryStore store;
    if (const auto value = store.queryValue(HKEY_CLASSES_ROOT, serverKey(progId), QString());
        value && value->isString() && !value->text.isEmpty()) {
        return value->text;
    }
    const QString manifest = manifestPath();
    if (const auto lib = ProfileFile::read(manifest, QStringLiteral("Classes"), progId); lib && !lib->isEmpty())
        return QFileInfo(*lib).isAbsolute() ? *lib : QFileInfo(manifest).absoluteDir().filePath(*lib);
    return {};
}

bool registerClass(const QString &progId, const QString &className, const QString &libraryPath)
{
    RegistryStore store;
    return store.setValue(HKEY_CLASSES_ROOT, progId, QString(), RegValue::string(className))
        && store.setValue(HKEY_CLASSES_ROOT, serverKey(progId), QString(), RegValue::string(libraryPath));
}

bool unregisterClass(const QString &progId)
{
    RegistryStore store;
    if (!store.keyExists(HKEY_CLASSES_ROOT, progId))
        return true;
    return store.deleteKey(HKEY_CLASSES_ROOT, progId);
}

} // namespace ComponentRegistry
