#include "app/mainwindow/favoritepagetext.h"

#include "engine/browsercontrol.h"
#include "engine/browserpage.h"

#include <QPointer>
#include <QUrl>

FavoritePageText::FavoritePageText(Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_hooks(std::move(hooks))
{
    m_lookups.setMaxThreadCount(1);
}

FavoritePageText::~FavoritePageText()
{
    m_lookups.clear();
    m_lookups.waitForDone();
}

void FavoritePageText::watch(BrowserControl *browser)
{
    connect(browser, &BrowserControl::DocumentComplete, this, [this, browser](const QString &url) {
        if (!browser->LoadFailed())
            loaded(browser, url);
    });
}

void FavoritePageText::favoriteAdded(BrowserControl *browser)
{
    if (browser && m_hooks.enabled())
        read(browser, browser->LocationURL());
}

void FavoritePageText::loaded(BrowserControl *browser, const QString &url)
{
    const QString scheme = QUrl(url).scheme();
    if ((scheme != u"http" && scheme != u"https") || !m_hooks.enabled())
        return;
    // Whether it is a favorite is asked away from the window's thread: the
    // store may be large and not read yet.
    m_hooks.prepare();
    const QPointer<BrowserControl> alive(browser);
    m_lookups.start([this, alive, url] {
        if (m_hooks.storedRecord(url).isEmpty())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, alive, url] {
                // The tab may have gone or moved on meanwhile.
                if (alive && alive->LocationURL() == url)
                    read(alive, url);
            },
            Qt::QueuedConnection);
    });
}

void FavoritePageText::read(BrowserControl *browser, const QString &url)
{
    MetaReader::readTextThen(browser->page(), this, [this, url](const std::optional<MetaReader::PageText> &page) {
        if (page)
            m_hooks.store(url, *page);
    });
}
