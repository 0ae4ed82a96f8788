// The browser control's rules: its static members that decide without a
// page (the lock, script addresses, how a load ended), kept apart from the
// widget so that the rules read on their own.
#include "engine/browsercontrol.h"

int BrowserControl::lockIconFor(const QUrl &url, LoadSecurity security)
{
    if (url.scheme().compare(QStringLiteral("https"), Qt::CaseInsensitive) != 0)
        return 0;
    if (security.loadFailed || security.certificateError)
        return 0;
    if (security.mixedContent)
        return 1;
    return 6;
}

bool BrowserControl::isScriptAddress(const QString &address)
{
    // As URL parsers read it: leading controls and blanks dropped, tabs and
    // line breaks anywhere ignored, the scheme in any case.
    QString scheme;
    for (const QChar c : address) {
        if (c == u'\t' || c == u'\n' || c == u'\r' || (scheme.isEmpty() && c.unicode() <= 0x20))
            continue;
        if (c == u':')
            return scheme == QStringLiteral("javascript");
        scheme += c.toLower();
        if (scheme.size() > 10)
            return false;
    }
    return false;
}

BrowserControl::LoadEnd BrowserControl::loadEnd(QWebEngineLoadingInfo::LoadStatus status, int errorCode)
{
    constexpr int kAborted = -3; // the engine's code for a load called off (stopped, or a download)
    if (status == QWebEngineLoadingInfo::LoadSucceededStatus)
        return LoadEnd::Loaded;
    if (status == QWebEngineLoadingInfo::LoadStoppedStatus || errorCode == kAborted)
        return LoadEnd::Stopped;
    return LoadEnd::Failed;
}

QString BrowserControl::loadEndText(LoadEnd end)
{
    return end == LoadEnd::Failed ? QStringLiteral("Page could not be loaded") : QStringLiteral("Done");
}

QUrl BrowserControl::addressUrl(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QStringLiteral("about:"), Qt::CaseInsensitive))
        return QUrl(t);
    const QUrl url = QUrl::fromUserInput(t);
    return url.isValid() ? url : QUrl(t);
}
