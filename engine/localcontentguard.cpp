#include "engine/localcontentguard.h"

#include "platform/logging.h"

bool LocalContentGuard::blocks(const QUrl &initiator, const QUrl &target, bool userFollowed)
{
    if (initiator.scheme().compare(QStringLiteral("file"), Qt::CaseInsensitive) != 0 || userFollowed)
        return false;
    const QString scheme = target.scheme().toLower();
    return scheme != QStringLiteral("file") && scheme != QStringLiteral("data") && scheme != QStringLiteral("blob")
        && scheme != QStringLiteral("about");
}

void LocalContentGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const bool userFollowed = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame
        && (info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeLink
            || info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeTyped
            || info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeBackForward
            || info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeReload);
    if (blocks(info.initiator(), info.requestUrl(), userFollowed)) {
        qCWarning(lcFiles) << "local page kept from the network" << info.requestUrl().host();
        info.block(true);
        return;
    }
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
        ++m_pageRequests;
        emit pageRequested(info.requestUrl());
    }
}
