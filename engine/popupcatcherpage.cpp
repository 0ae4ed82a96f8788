#include "engine/popupcatcherpage.h"

#include <QTimer>

PopupCatcherPage::PopupCatcherPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    ++s_alive;
    // open('') loads an empty document; a script that goes on to give the
    // window an address does so at once. A page that got none is dropped
    // soon after, so a flood of empty pop-ups holds no pages.
    connect(this, &QWebEnginePage::loadFinished, this,
            [this] { QTimer::singleShot(1000, this, [this] { deleteLater(); }); });
    QTimer::singleShot(10000, this, [this] { deleteLater(); });
}

PopupCatcherPage::~PopupCatcherPage()
{
    --s_alive;
}

bool PopupCatcherPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (!isMainFrame)
        return false;
    // open('') first loads an empty document; the real address follows.
    if (url.isEmpty() || url.toString() == QStringLiteral("about:blank"))
        return true;
    if (!m_done) {
        m_done = true;
        emit addressRequested(url);
        deleteLater();
    }
    return false;
}
