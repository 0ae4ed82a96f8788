// The first page's load, started as soon as the engine is up.
#pragma once

#include <QPointer>
#include <QUrl>

class BrowserPage;

// The first page's load, started as soon as the engine is up and before the
// main window is built: the engine then sends the request and starts the
// page's renderer while the window is made, instead of after it. The
// browser control that first navigates to that same address takes the
// page over (take), the load under way; a page nobody took is closed by
// end() or the destructor. Until it is taken, the page runs unseen for
// no more than the request's way out: nothing of the server's answer can
// have reached it by then.
class FirstPageStart
{
public:
    // Starts the load for a web address (http or https) on the program's
    // profile; anything else is left to the window, as before.
    explicit FirstPageStart(const QUrl &url);
    ~FirstPageStart();
    FirstPageStart(const FirstPageStart &) = delete;
    FirstPageStart &operator=(const FirstPageStart &) = delete;

    // Whether a load for url is worth starting before the window: a page
    // from the network, whose request and renderer take that long.
    static bool worthStarting(const QUrl &url);
    // The started page when it loads url, for the caller to own; null
    // otherwise (none started, another address, or taken already).
    static BrowserPage *take(const QUrl &url);
    // Closes the page if nobody took it.
    void end();
    // Whether this start began a load (taken since or not).
    bool started() const { return m_taken || s_taken == &m_taken; }
    bool taken() const { return m_taken; }

private:
    static inline QPointer<BrowserPage> s_page;
    static inline QUrl s_url;
    static inline bool *s_taken = nullptr;
    bool m_taken = false;
};
