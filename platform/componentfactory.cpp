#include "platform/componentfactory.h"

#include "platform/componentabi.h"
#include "platform/componentregistry.h"
#include "platform/logging.h"

#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QObject>

#include <memory>

namespace ComponentFactory {

namespace {

// Loaded libraries are never unloaded: objects and their meta-objects live
// in them.
QLibrary *library(const QString &path)
{
    static QHash<QString, std::shared_ptr<QLibrary>> loaded;
    const QString key = QFileInfo(path).absoluteFilePath();
    if (auto it = loaded.constFind(key); it != loaded.cend())
        return it->get();
    auto lib = std::make_shared<QLibrary>(key);
    if (!lib->load()) {
        qCWarning(lcFiles) << "component library does not load" << key << lib->errorString();
        return nullptr;
    }
    loaded.insert(key, lib);
    return lib.get();
}

} // namespace

QObject *create(const QString &progId, QObject *parent)
{
    const QString path = ComponentRegistry::libraryFor(progId);
    if (path.isEmpty()) {
        qCWarning(lcFiles) << "class not registered" << progId;
        return nullptr;
    }
    QLibrary *lib = library(path);
    if (!lib)
        return nullptr;
    auto getClassObject = reinterpret_cast<ComponentAbi::DllGetClassObjectFn>(lib->resolve("DllGetClassObject"));
    if (!getClassObject) {
        qCWarning(lcFiles) << "not a component library" << path;
        return nullptr;
    }
    ComponentAbi::CreateInstanceFn factory = nullptr;
    const QByteArray id = progId.toUtf8();
    if (getClassObject(id.constData(), &factory) != ComponentAbi::kOk || !factory) {
        qCWarning(lcFiles) << "library does not serve" << progId << path;
        return nullptr;
    }
    return factory(parent);
}

int callEntryPoint(const QString &libraryPath, const char *entryPoint)
{
    QLibrary *lib = library(libraryPath);
    if (!lib)
        return ComponentAbi::kFail;
    auto fn = reinterpret_cast<ComponentAbi::DllRegisterServerFn>(lib->resolve(entryPoint));
    return fn ? fn() : ComponentAbi::kFail;
}

} // namespace ComponentFactory
