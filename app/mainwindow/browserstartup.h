// How the browser starts: the application object, the main window, the event loop.
#pragma once

#include <QElapsedTimer>

#include <functional>

class Form1;

namespace BrowserStartup {

// Called with the window before it loads its pages, and the clock started
// when the program began (the benchmarks' seam into the window).
using BeforeLoad = std::function<void(Form1 &, const QElapsedTimer &)>;

// Runs the browser to its end and returns the exit code.
int run(int argc, char *argv[], const BeforeLoad &beforeLoad = {});

} // namespace BrowserStartup
