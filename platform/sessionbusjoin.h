// Joins the desktop's session bus on a thread of its own at start-up.
#pragma once

#include <thread>

// Joins the desktop's session bus on a thread of its own while the engine
// and the window are made. The first tab bar joins it on the window's
// thread otherwise (the accessibility bridge looks for its bus there, and
// the menu bar for a global menu): on an X display without a session bus,
// trying held the window's thread for 20-30 ms before the first page's
// request could go. Once joined (or found missing), later users get the
// connection at once. The destructor waits for the thread.
class SessionBusJoin
{
public:
    SessionBusJoin();
    ~SessionBusJoin() = default;
    SessionBusJoin(const SessionBusJoin &) = delete;
    SessionBusJoin &operator=(const SessionBusJoin &) = delete;

private:
    std::jthread m_thread;
};
