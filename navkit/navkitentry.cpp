// The library's four entry points, in the shape of an in-process COM
// server. Hosts load the library at run time and never link it.
#include "platform/componentabi.h"
#include "platform/componentregistry.h"
#include "navkit/favorites/favoritesservice.h"
#include "navkit/history/clshistory.h"
#include "navkit/history/clshistoryitem.h"
#include "navkit/listctl/listcontrol.h"
#include "navkit/liveobjects.h"
#include "platform/logging.h"

#include <QFileInfo>
#include <QString>

#include <dlfcn.h>

#define NAVKIT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

template <typename T> QObject *createInstance(QObject *parent)
{
    return new T(parent);
}

struct ClassEntry {
    const char *progId;
    const char *className;
    ComponentAbi::CreateInstanceFn create;
};

QObject *createList(QObject *parent)
{
    return new ListControl(qobject_cast<QWidget *>(parent));
}

const ClassEntry kClasses[] = {
    {"QuillonHelper.List", "List", &createList},
    {"QuillonHelper.Favorites", "Favorites", &createInstance<FavoritesService>},
    {"QuillonHelper.clsHistoryItem", "clsHistoryItem", &createInstance<clsHistoryItem>},
    {"QuillonHelper.clsHistory", "clsHistory", &createInstance<clsHistory>},
};

QString ownPath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&createInstance<clsHistory>), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

} // namespace

NAVKIT_EXPORT ComponentAbi::Result DllCanUnloadNow()
{
    return LiveObjectToken::liveCount() == 0 ? ComponentAbi::kOk : ComponentAbi::kFalse;
}

NAVKIT_EXPORT ComponentAbi::Result DllGetClassObject(const char *progId, ComponentAbi::CreateInstanceFn *factory)
{
    if (!factory)
        return ComponentAbi::kFail;
    *factory = nullptr;
    for (const ClassEntry &entry : kClasses) {
        if (progId && qstrcmp(progId, entry.progId) == 0) {
            *factory = entry.create;
            return ComponentAbi::kOk;
        }
    }
    return ComponentAbi::kClassNotAvailable;
}

NAVKIT_EXPORT ComponentAbi::Result DllRegisterServer()
{
    const QString path = ownPath();
    if (path.isEmpty())
        return ComponentAbi::kFail;
    for (const ClassEntry &entry : kClasses) {
        if (!ComponentRegistry::registerClass(QString::fromLatin1(entry.progId), QString::fromLatin1(entry.className),
                                              path))
            return ComponentAbi::kFail;
    }
    return ComponentAbi::kOk;
}

NAVKIT_EXPORT ComponentAbi::Result DllUnregisterServer()
{
    bool ok = true;
    for (const ClassEntry &entry : kClasses)
        ok = ComponentRegistry::unregisterClass(QString::fromLatin1(entry.progId)) && ok;
    return ok ? ComponentAbi::kOk : ComponentAbi::kFail;
}
