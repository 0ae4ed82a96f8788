#include "app/mainwindow/commandactions.h"

#include "app/mainwindow/commandtable.h"
#include "platform/dockframe.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace CommandActions {

QToolBar *build(QMainWindow *window, DockFrame *dock)
{
    for (const CommandTable::Menu &menuSpec : CommandTable::menus()) {
        QMenu *menu = dock->addMenu(menuSpec.key, menuSpec.caption);
        for (const CommandTable::Command &c : menuSpec.entries) {
            QAction *a = dock->addCommand(c.key(), c.caption, c.shortcut);
            a->setIcon(CommandTable::image(c.image));
            if (!c.moreShortcuts.isEmpty()) {
                a->setShortcuts(QList<QKeySequence>{c.shortcut} + c.moreShortcuts);
                // A menu shows one key of its own accord.
                QStringList keys;
                for (const QKeySequence &k : a->shortcuts()) {
                    // Shift+Tab arrives as Backtab: the key is bound twice, shown once.
                    if (k[0].key() != Qt::Key_Backtab)
                        keys.append(k.toString(QKeySequence::NativeText));
                }
                a->setText(c.caption + u'\t' + keys.join(QStringLiteral(", ")));
            }
            menu->addAction(a);
            // Keys work with the menu bar hidden too (full screen).
            window->addAction(a);
        }
    }
    for (const CommandTable::Command &c : CommandTable::keysOnly())
        window->addAction(dock->addCommand(c.key(), c.caption, c.shortcut));
    dock->command(CommandIds::key(CommandId::PopupStop))->setCheckable(true);
    QToolBar *bar = dock->toolBar(QStringLiteral("ToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const CommandTable::Command &c : CommandTable::toolBar()) {
        QAction *a = dock->command(c.key());
        if (!a || c.id == CommandId::New) {
            // The tool bar's own entry; a menu entry of the same key keeps its caption.
            a = a ? a : dock->addCommand(c.key(), c.caption, c.shortcut);
            if (!a->icon().isNull() || !c.image.isEmpty())
                a->setIcon(CommandTable::image(c.image));
        }
        bar->addAction(a);
        if (c.id == CommandId::Back1 || c.id == CommandId::Next1) {
            if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(a))) {
                button->setMenu(new QMenu(button)); // a drop-down part with no entries
                button->setPopupMode(QToolButton::MenuButtonPopup);
            }
        }
    }
    return bar;
}

} // namespace CommandActions
