// Keeps pages opened from disk on the disk.
#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Keeps pages opened from disk on the disk: a local page may load local
// files it links to, but nothing it loads, sends or opens by script goes
// to the network, so what it holds (or could read) stays on the machine.
// A link the user follows still leaves as any link does.
class LocalContentGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Whether a request from initiator to target is stopped; userFollowed
    // for a link click or a typed address.
    static bool blocks(const QUrl &initiator, const QUrl &target, bool userFollowed);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
    // How many pages' own addresses have been requested so far.
    int pageRequests() const { return m_pageRequests; }

signals:
    // A page's own address is being fetched: its request is on its way.
    void pageRequested(const QUrl &url);

private:
    int m_pageRequests = 0;
};
