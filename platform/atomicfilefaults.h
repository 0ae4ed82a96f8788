// The test seam of AtomicFile: makes a step of a write fail as a full or broken disk would.
#pragma once

#include <QString>

#include <functional>

namespace AtomicFile {

// The steps of a write.
enum class Step { Open, Write, Sync, Close, Rename };
// Called before each step; a non-zero errno makes that step fail with it.
// An empty function (the default) injects nothing.
using FaultInjector = std::function<int(Step step, const QString &path)>;
void setFaultInjector(FaultInjector injector);

} // namespace AtomicFile
