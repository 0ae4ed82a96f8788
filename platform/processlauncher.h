// Starts a program from a command line without waiting for it.
#pragma once

#include <QString>

// Starts a program from a command line without waiting for it. Command
// lines that only had a meaning on the original platform (re-registering
// the system's browser control) are recognised and do nothing here.
namespace ProcessLauncher {

enum class Window { Normal, Minimised };

// True when the command was started or is known to need nothing.
bool start(const QString &commandLine, Window window = Window::Normal);

bool isNoOp(const QString &commandLine);

} // namespace ProcessLauncher
