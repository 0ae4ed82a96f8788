#include "engine/errorpages.h"

namespace ErrorPages {

QString crashed()
{
    return QStringLiteral("<html><head><title>Page stopped</title></head><body style='font-family:sans-serif'>"
                          "<h2>This page stopped working.</h2><p>Use Refresh to load it again.</p></body></html>");
}

QString continueFragment(const QString &token)
{
    return kContinueFragment + u'-' + token;
}

QString certificateRefused(const QUrl &site, const QString &problem, const QString &token)
{
    QUrl onward = site;
    onward.setFragment(continueFragment(token));
    return QStringLiteral(
               "<html><head><title>Certificate error</title></head><body style='font-family:sans-serif'>"
               "<h2>This site's certificate cannot be trusted.</h2><p>%1</p><p>%2</p>"
               "<p>Someone may be posing as the site to read what you send it.</p>"
               "<p><a href=\"%3\">Continue to the site for this session (at your own risk)</a></p></body></html>")
        .arg(site.toDisplayString().toHtmlEscaped(), problem.toHtmlEscaped(),
             onward.toString(QUrl::FullyEncoded).toHtmlEscaped());
}

} // namespace ErrorPages
