// The page handed to the engine when a page asks for a new window.
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
    ~PopupCatcherPage() override;

    // Pages waiting for their address: new-window requests beyond a few at
    // a time are refused rather than each given a page.
    static int alive() { return s_alive; }
    static constexpr int kMostAlive = 16;

signals:
    void addressRequested(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    bool m_done = false;
    static inline int s_alive = 0;
};
