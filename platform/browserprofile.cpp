#include "browserprofile.h"

#include "localcontentguard.h"
#include "platformpaths.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace BrowserProfile {

namespace {

struct Made {
    QWebEngineProfile *profile;
    LocalContentGuard *guard;
};

const Made &made()
{
    // Owned by the application object, so it outlives every page.
    static const Made made = [] {
        auto *p = new QWebEngineProfile(QStringLiteral("quillon"), QCoreApplication::instance());
        const QString base = PlatformPaths::root() + QStringLiteral("/webengine");
        p->setPersistentStoragePath(base + QStringLiteral("/storage"));
        p->setCachePath(base + QStringLiteral("/cache"));
        p->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
        p->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
        // A saved or downloaded page opened from disk must not read the
        // user's other files, nor send anything to a server.
        p->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        p->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        auto *guard = new LocalContentGuard(p);
        p->setUrlRequestInterceptor(guard);
        return Made{p, guard};
    }();
    return made;
}

} // namespace

QWebEngineProfile *instance()
{
    return made().profile;
}

LocalContentGuard *requestGuard()
{
    return made().guard;
}

void waitForPageRequest(int seen, std::chrono::milliseconds limit)
{
    LocalContentGuard *guard = requestGuard();
    if (guard->pageRequests() > seen)
        return;
    QEventLoop loop;
    QObject::connect(guard, &LocalContentGuard::pageRequested, &loop, &QEventLoop::quit);
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace BrowserProfile
