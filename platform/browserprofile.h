// The one persistent web profile of the program.
#pragma once

#include <chrono>

class LocalContentGuard;
class QWebEngineProfile;

// The one persistent web profile of the program: cookies, cache and
// logins live in the platform root and survive a restart (Qt's default
// profile keeps nothing).
namespace BrowserProfile {

QWebEngineProfile *instance();
// The profile's request guard, which also tells when pages are requested.
LocalContentGuard *requestGuard();
// Runs the event loop until more than seen pages have been requested (see
// LocalContentGuard::pageRequests), for at most limit.
void waitForPageRequest(int seen, std::chrono::milliseconds limit);

} // namespace BrowserProfile
