#include "browserprofile.h"

#include "localcontentguard.h"
#include "platformpaths.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace BrowserProfile {

QWebEngineProfile *instance()
{
    // Owned by the application object, so it outlives every page.
    static QWebEngineProfile *profile = [] {
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
        p->setUrlRequestInterceptor(new LocalContentGuard(p));
        return p;
    }();
    return profile;
}

} // namespace BrowserProfile
