// How the browser starts: the application object, one instance per data folder, the main window, the event loop.
#pragma once

#include <QElapsedTimer>
#include <QStringList>

#include <functional>

class Form1;

namespace BrowserStartup {

// Called with the window before it loads its pages, and the clock started
// when the program began (the benchmarks' seam into the window).
using BeforeLoad = std::function<void(Form1 &, const QElapsedTimer &)>;

// Runs the browser to its end and returns the exit code. Addresses on the
// command line open in new tabs; when a browser with the same data folder
// is running, they go to it instead and this start ends at once.
int run(int argc, char *argv[], const BeforeLoad &beforeLoad = {});

// Ends the process with run()'s exit code. By then the window has written
// what the next start restores and the engine has shut down and flushed
// its stores, so the libraries' own teardown is skipped: a hundred of
// them each faulting in and running its destructors took some 20 ms of a
// browser's exit. Writes still queued are waited for first.
[[noreturn]] void endProcess(int exitCode);

// The addresses among the program's arguments (options left out): a path
// to an existing file becomes its file URL (relative to workingFolder),
// anything else is read as a typed address.
QStringList addressesFromArguments(const QStringList &arguments, const QString &workingFolder);

} // namespace BrowserStartup
