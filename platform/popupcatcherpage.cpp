#include "popupcatcherpage.h"

#include <QTimer>

PopupCatcherPage::PopupCatcherPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    QTimer::singleShot(30000, this, [this] { deleteLater(); });
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
