// The menu a right click on a page opens.
#pragma once

#include <functional>

class QMenu;
class QUrl;
class QWebEngineContextMenuRequest;
class QWebEnginePage;
class QWidget;

// The page's context menu: a link's entries (open in a new tab, copy),
// editing entries where text is selected or editable, then Back, Forward,
// Reload and Select All. Deletes itself when closed.
namespace PageContextMenu {

// openInNewTab is called for "Open Link in New Tab" (the user's own
// command, never a pop-up), after the menu has closed.
QMenu *make(QWidget *parent, QWebEnginePage *page, const QWebEngineContextMenuRequest &request,
            std::function<void(const QUrl &)> openInNewTab);

} // namespace PageContextMenu
