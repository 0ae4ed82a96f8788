// The command vocabulary: every menu and tool bar command, its caption, keys and image.
#pragma once

#include "app/mainwindow/commandid.h"

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>

// The command vocabulary: menus, tool bar, shortcuts and images by key.
namespace CommandTable {

struct Command {
    CommandId id;
    QString caption;
    QKeySequence shortcut;
    QString image; // image list key, or empty
    // Further keys for the same command (the menu lists them all).
    QList<QKeySequence> moreShortcuts = {};

    QString key() const { return CommandIds::key(id); }
};

struct Menu {
    QString key;
    QString caption;
    QList<Command> entries;
};

QList<Menu> menus();
// The tool bar, in order. Keys that are also in a menu share its command.
QList<Command> toolBar();
// Commands reached by their keys only, in no menu.
QList<Command> keysOnly();

// The image for an image-list key: a theme icon, or a small fallback.
QIcon image(const QString &imageKey);

// The program's own icon: the desktop theme's "quillon", else the one built in.
QIcon programIcon();

} // namespace CommandTable
