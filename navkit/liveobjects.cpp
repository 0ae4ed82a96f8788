#include "navkit/liveobjects.h"

#include <atomic>

namespace {
std::atomic<int> g_live{0};
}

LiveObjectToken::LiveObjectToken()
{
    ++g_live;
}

LiveObjectToken::~LiveObjectToken()
{
    --g_live;
}

int LiveObjectToken::liveCount()
{
    return g_live.load();
}
