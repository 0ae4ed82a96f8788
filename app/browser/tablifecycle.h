// What becomes of a tab the user has not looked at for a while.
#pragma once

#include <QByteArray>
#include <QWebEnginePage>

#include <chrono>

// What becomes of a tab the user has not looked at for a while.
namespace TabLifecycle {

using State = QWebEnginePage::LifecycleState;

// A tab hidden this long is frozen: its scripts and timers stop.
constexpr std::chrono::minutes kFreezeAfter{10};
// While frozen, memory is looked at this often.
constexpr std::chrono::minutes kRecheckEvery{1};

// The state for a tab in the background: frozen, or discarded (its page
// dropped, loaded again when shown) when memory is low; never below what
// the engine recommends (it keeps a page playing sound, or one that would
// lose what was typed into it, as it is).
State backgroundState(bool memoryLow, State recommended);

// True when less than a tenth of the machine's memory is available, given
// the text of /proc/meminfo; false when it does not say.
bool memoryLow(const QByteArray &meminfo);
// The same for this machine now.
bool memoryLowNow();

} // namespace TabLifecycle
