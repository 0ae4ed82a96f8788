// The favorites import from a folder of Internet shortcuts.
#pragma once

#include <QString>
#include <QStringList>

// The favorites import: the user's Favorites folder, the walk over its
// Internet shortcuts and the append into the store.
namespace mdlFavorites {

inline constexpr int kCsidlFavorites = 6;

// The user's Favorites folder for csidl 6: $QUILLON_FAVORITES_DIR when set,
// otherwise "Favorites" in the platform root when it exists, otherwise "".
// Any other folder number gives "".
QString FavoritesFolderPath(int csidl);

// Cuts the text before its first NUL, in place, and returns it.
QString TrimAtNull(QString &text);

// Adds the shortcuts of folderPath and of all its sub-folders to the store,
// folder by folder (one save per folder, its own shortcuts before those of
// its sub-folders) and raises count by one per shortcut file (at most
// 32767). An empty folderPath imports nothing.
void ImportFolder(const QString &dataFile, QString &folderPath, QString &pattern, qint16 &count);

// Appends the non-blank records in one save, then lets pending events run.
void AppendFavorites(const QString &dataFile, const QStringList &newRecords);

// The URL of an Internet shortcut file (section "InternetShortcut", key
// "URL"), whole and cut at a NUL; "" when it has none.
QString ShortcutUrl(const QString &shortcutFile);
// The title of a shortcut: its file name less the last three characters
// ("Example.url" gives "Example.").
QString ShortcutTitle(const QString &fileName);

} // namespace mdlFavorites
