#pragma once

class QWebEngineProfile;

// The one persistent web profile of the program: cookies, cache and
// logins live in the platform root and survive a restart (Qt's default
// profile keeps nothing).
namespace BrowserProfile {

QWebEngineProfile *instance();

} // namespace BrowserProfile
