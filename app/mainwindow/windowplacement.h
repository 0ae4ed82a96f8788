// Where the main window stands: read at start, written at exit.
#pragma once

class QMainWindow;

// The main window's state and, when it is in the normal state, its place
// and size, kept in the registry under the "Forms" key ("Main.State",
// "Main.Top", "Main.Left", "Main.Width", "Main.Height"; twips).
namespace WindowPlacement {

// The stored state; a window of usable size, centred, when nothing usable
// is stored (first run, or a place no screen shows now).
void restore(QMainWindow *window);
// The state, and the place and size in the normal state.
void save(const QMainWindow *window);

} // namespace WindowPlacement
