// What a page may ask of the browser beyond showing itself, in the user's words.
#pragma once

#include <QString>
#include <QUrl>
#include <QWebEnginePage>

// What a page may ask of the browser beyond showing itself (the features
// the engine asks about), in the user's words and as kept in the site
// permissions file.
namespace PermissionRules {

// The key a decision is kept under ("notifications", "location",
// "camera", "microphone", "camera and microphone", "screen", "mouse
// lock"); empty for a feature the browser does not ask about.
QString key(QWebEnginePage::Feature feature);
// "show notifications", "know your location"...
QString asks(QWebEnginePage::Feature feature);
// The bar's question: "http://127.0.0.1:8080 wants to know your location."
QString question(const QUrl &origin, QWebEnginePage::Feature feature);
// A page's origin as the browser names it (decisions, sign-ins, finding a
// site's tab): scheme, host and port.
QString originKey(const QUrl &origin);

} // namespace PermissionRules
