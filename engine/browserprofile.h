// The one persistent web profile of the program.
#pragma once

#include <chrono>
#include <functional>

class QObject;

class LocalContentGuard;
class QWebEngineProfile;

// The one persistent web profile of the program: cookies, cache and
// logins live in the platform root and survive a restart (Qt's default
// profile keeps nothing).
namespace BrowserProfile {

QWebEngineProfile *instance();
// The profile of private tabs, made with the first: nothing of it is
// written to disk.
QWebEngineProfile *offTheRecord();
QWebEngineProfile *offTheRecordIfMade();
// Calls use with every profile of the program: the persistent one now, the
// private one now or when it is made (unless context is gone by then).
void forEachProfile(QObject *context, std::function<void(QWebEngineProfile *)> use);
// The profile's request guard, which also tells when pages are requested.
LocalContentGuard *requestGuard();
// Calls next once more than seen pages have been requested (see
// LocalContentGuard::pageRequests), or when limit has passed, whichever
// comes first; not at all once context is gone. Nothing waits.
void whenPageRequested(int seen, std::chrono::milliseconds limit, QObject *context, const std::function<void()> &next);

} // namespace BrowserProfile
