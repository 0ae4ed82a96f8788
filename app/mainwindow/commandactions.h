// The window's actions made from the command table: menus, keys and the tool bar.
#pragma once

class DockFrame;
class QMainWindow;
class QToolBar;

namespace CommandActions {

// Makes an action for every command of the table in the frame's menus and
// tool bar; their keys work on the window with the menu bar hidden too.
// Returns the tool bar.
QToolBar *build(QMainWindow *window, DockFrame *dock);

} // namespace CommandActions
