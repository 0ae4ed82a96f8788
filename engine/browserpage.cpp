#include "engine/browserpage.h"

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{}

QWebEnginePage *BrowserPage::createWindow(WebWindowType type)
{
    QWebEnginePage *page = nullptr;
    emit newWindowPage(&page, type);
    return page;
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame) {
        bool cancel = false;
        emit navigationRequested(url, type == NavigationTypeLinkClicked, &cancel);
        if (cancel)
            return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                           const QString &source)
{
    Q_UNUSED(level);
    Q_UNUSED(line);
    Q_UNUSED(source);
    if (message.contains(QStringLiteral("Mixed Content:")))
        emit mixedContentSeen();
}

void BrowserPage::javaScriptAlert(const QUrl &origin, const QString &msg)
{
    if (!m_silent)
        QWebEnginePage::javaScriptAlert(origin, msg);
}

bool BrowserPage::javaScriptConfirm(const QUrl &origin, const QString &msg)
{
    return m_silent ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
}

bool BrowserPage::javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue, QString *result)
{
    return m_silent ? false : QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
}
