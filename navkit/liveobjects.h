// Counts the library's live public objects, so the library can tell its host whether it may be unloaded.
#pragma once

// Counts the library's live public objects, so the library can tell its
// host whether it may be unloaded. Embed one as a member.
class LiveObjectToken
{
public:
    LiveObjectToken();
    ~LiveObjectToken();
    LiveObjectToken(const LiveObjectToken &) = delete;
    LiveObjectToken &operator=(const LiveObjectToken &) = delete;

    static int liveCount();
};
