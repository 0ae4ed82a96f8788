// The walk through a folder tree of Internet shortcuts that both importers make.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace ShortcutWalk {

// Called once per folder, before its sub-folders, with the folder's
// records (title + separator + URL, shortcuts without a URL left out) and
// the running count of shortcuts seen (at most 32767). Returning false ends
// the walk.
using FolderVisitor = std::function<bool(const QStringList &records, int count)>;

// Walks folder and its sub-folders in name order, ignoring case; a folder
// reached a second time (through a link) is skipped. Returns the count of
// shortcuts seen.
int walk(const QString &folder, const QString &pattern, const FolderVisitor &visit);

// An import of a walk saves what it read at most this often, and at its
// end: one save per folder would write the whole store once per folder, so
// an import's time would grow with the square of its size. A kill loses at
// most what was read since the last save, and a new run adds it.
inline constexpr int kSaveEveryMs = 500;

} // namespace ShortcutWalk
