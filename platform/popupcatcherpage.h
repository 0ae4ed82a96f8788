#pragma once

#include <QPointer>
#include <QWebEnginePage>

// The page handed to the engine when a page asks for a new window. It is
// never shown: the first real address it is asked to load is passed to
// onAddress and the page then removes itself. A page that never navigates
// is removed after a while.
class PopupCatcherPage : public QWebEnginePage
{
    Q_OBJECT

public:
    PopupCatcherPage(QWebEngineProfile *profile, QObject *parent);

signals:
    void addressRequested(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    bool m_done = false;
};
