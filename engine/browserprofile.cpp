#include "engine/browserprofile.h"

#include "engine/localcontentguard.h"
#include "platform/logging.h"
#include "platform/platformpaths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QList>
#include <QDir>
#include <QTimer>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <memory>
#include <utility>

namespace BrowserProfile {

namespace {

struct Made {
    QWebEngineProfile *profile;
    LocalContentGuard *guard;
};

// What every profile of the program shares: its pages' settings and the
// guard of local content.
LocalContentGuard *configure(QWebEngineProfile *p)
{
    p->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // PDF documents open in the engine's own viewer, in the tab.
    p->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    p->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    // A saved or downloaded page opened from disk must not read the
    // user's other files, nor send anything to a server.
    p->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    p->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    auto *guard = new LocalContentGuard(p);
    p->setUrlRequestInterceptor(guard);
    return guard;
}

const Made &made()
{
    // Owned by the application object, so it outlives every page.
    static const Made made = [] {
        // The engine writes its preferences where the application's data
        // location is while the profile is made: the program's own folder
        // name then, not the maker's and product's names.
        const QString organization = QCoreApplication::organizationName();
        const QString application = QCoreApplication::applicationName();
        QCoreApplication::setOrganizationName(QString());
        QCoreApplication::setApplicationName(QStringLiteral("quillon"));
        auto *p = new QWebEngineProfile(QStringLiteral("quillon"), QCoreApplication::instance());
        QCoreApplication::setOrganizationName(organization);
        QCoreApplication::setApplicationName(application);
        const QString storage = PlatformPaths::engineStorage();
        // Cookies and site storage of earlier versions, kept in the platform root.
        const QString earlier = PlatformPaths::root() + QStringLiteral("/webengine/storage");
        if (!QFileInfo::exists(storage) && QFileInfo::exists(earlier)
            && (!PlatformPaths::makePrivateFolder(QFileInfo(storage).absolutePath())
                || !QDir().rename(earlier, storage)))
            qCWarning(lcFiles) << "engine storage not moved" << earlier << storage;
        p->setPersistentStoragePath(storage);
        p->setCachePath(PlatformPaths::engineCache());
        p->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
        return Made{p, configure(p)};
    }();
    return made;
}

} // namespace

QWebEngineProfile *instance()
{
    return made().profile;
}

namespace {

QWebEngineProfile *&privateProfile()
{
    static QWebEngineProfile *profile = nullptr;
    return profile;
}

// What is to be done with the private profile once it is made.
struct Waiting {
    QPointer<QObject> context;
    std::function<void(QWebEngineProfile *)> use;
};
QList<Waiting> &waitingForPrivate()
{
    static QList<Waiting> waiting;
    return waiting;
}

} // namespace

QWebEngineProfile *offTheRecord()
{
    // Made with the first private tab, not at start-up. No storage name:
    // cookies, cache and site data stay in memory and go with the program.
    if (!privateProfile()) {
        auto *p = new QWebEngineProfile(QCoreApplication::instance());
        configure(p);
        privateProfile() = p;
        for (const Waiting &w : std::exchange(waitingForPrivate(), {})) {
            if (w.context)
                w.use(p);
        }
    }
    return privateProfile();
}

QWebEngineProfile *offTheRecordIfMade()
{
    return privateProfile();
}

void forEachProfile(QObject *context, std::function<void(QWebEngineProfile *)> use)
{
    use(instance());
    if (privateProfile())
        use(privateProfile());
    else
        waitingForPrivate().append({context, std::move(use)});
}

LocalContentGuard *requestGuard()
{
    return made().guard;
}

void whenPageRequested(int seen, std::chrono::milliseconds limit, QObject *context, const std::function<void()> &next)
{
    LocalContentGuard *guard = requestGuard();
    if (guard->pageRequests() > seen) {
        next();
        return;
    }
    // The timer is the wait: the first of request and time-out deletes it,
    // which cuts the other off.
    auto *timer = new QTimer(context);
    timer->setSingleShot(true);
    auto done = std::make_shared<bool>(false);
    const auto go = [timer, next, done] {
        if (*done)
            return; // a request queued before the time-out won
        *done = true;
        timer->stop();
        timer->deleteLater();
        next();
    };
    QObject::connect(timer, &QTimer::timeout, timer, go);
    // Direct: queued, what next builds came no sooner to the server (the
    // request still left 15-18 ms after its interception).
    QObject::connect(guard, &LocalContentGuard::pageRequested, timer, go, Qt::SingleShotConnection);
    timer->start(limit);
}

} // namespace BrowserProfile
