#include "engine/firstpagestart.h"

#include "engine/browserpage.h"
#include "engine/browserprofile.h"
#include "engine/errorpages.h"
#include "platform/logging.h"

FirstPageStart::FirstPageStart(const QUrl &url)
{
    if (!worthStarting(url) || s_page)
        return;
    s_page = new BrowserPage(BrowserProfile::instance(), nullptr);
    s_url = url;
    s_taken = &m_taken;
    s_page->load(url);
}

FirstPageStart::~FirstPageStart()
{
    end();
}

bool FirstPageStart::worthStarting(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    // A way past a certificate error is for the window's own control to
    // refuse (it was not clicked): the page started early goes unheard.
    return url.isValid() && !url.host().isEmpty()
        && (scheme == QStringLiteral("http") || scheme == QStringLiteral("https"))
        && !url.fragment().startsWith(ErrorPages::kContinueFragment);
}

BrowserPage *FirstPageStart::take(const QUrl &url)
{
    if (!s_page || url != s_url)
        return nullptr;
    if (s_taken)
        *s_taken = true;
    s_taken = nullptr;
    s_url.clear();
    BrowserPage *page = s_page;
    s_page.clear();
    return page;
}

void FirstPageStart::end()
{
    if (s_taken != &m_taken)
        return; // taken, never started, or another start's
    qCInfo(lcTabs) << "the first page started early was not taken: closed";
    delete s_page.data();
    s_page.clear();
    s_url.clear();
    s_taken = nullptr;
}
