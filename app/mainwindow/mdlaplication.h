// The design's helpers for tabs and panes, forwarding to the tab set and the dock frame.
#pragma once

#include "app/mainwindow/browsertabs.h"

#include <QString>

class DockFrame;
class Form2;
class QWidget;

// Opening tabs and finding them again; attaching panes; small window
// helpers.
namespace mdlAplication {

using TabLoad = BrowserTabs::TabLoad;
// Opens a new browser tab for the address in the tab set; a tab restored
// at start-up loads its page when it is first shown. The new tab.
Form2 *OpenBrowserTab(BrowserTabs &tabs, const QString &address, TabLoad load = TabLoad::Now);
// Opens the favorites tab.
void OpenFavoritesTab(BrowserTabs &tabs);
// Position of the active tab, -1 when none.
int ActiveTabPosition(DockFrame *dock);
// Position of the first tab whose key is exactly key, -1 when none.
int FindTabByKey(DockFrame *dock, const QString &key);
// Makes the named pane host the form.
void AttachPane(DockFrame *dock, QWidget *form, const QString &paneName);
// The edit box of the address bar, or nullptr.
QWidget *AddressBoxWindow(DockFrame *dock);
// Top = (screen height - form height) / divisor, left = (screen width - form width) / 2.
void CenterForm(QWidget *form, int divisor);

} // namespace mdlAplication
