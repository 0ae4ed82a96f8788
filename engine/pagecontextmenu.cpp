#include "engine/pagecontextmenu.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>

namespace PageContextMenu {

QMenu *make(QWidget *parent, QWebEnginePage *page, const QWebEngineContextMenuRequest &request,
            std::function<void(const QUrl &)> openInNewTab)
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QUrl link = request.linkUrl();
    if (link.isValid()) {
        QObject::connect(menu->addAction(QStringLiteral("Open Link in New Tab")), &QAction::triggered, parent,
                         [parent, link, open = std::move(openInNewTab)] {
                             // After the menu has closed: the new tab runs events while it starts.
                             QTimer::singleShot(0, parent, [link, open] { open(link); });
                         });
        menu->addAction(page->action(QWebEnginePage::CopyLinkToClipboard));
        menu->addSeparator();
    }
    if (!request.selectedText().isEmpty() || request.isContentEditable()) {
        menu->addAction(page->action(QWebEnginePage::Cut));
        menu->addAction(page->action(QWebEnginePage::Copy));
        menu->addAction(page->action(QWebEnginePage::Paste));
        menu->addSeparator();
    }
    for (const auto action : {QWebEnginePage::Back, QWebEnginePage::Forward, QWebEnginePage::Reload})
        menu->addAction(page->action(action));
    menu->addSeparator();
    menu->addAction(page->action(QWebEnginePage::SelectAll));
    return menu;
}

} // namespace PageContextMenu
