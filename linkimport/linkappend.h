// The import tool's own walk and append.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DuplicateFilter;

// The import tool's own walk and append: a record is added only when its
// URL is not yet anywhere in the store (or earlier in the same save), and
// gets a third field with the page's keywords (or "no keywords").
namespace LinkAppend {

// A page's keyword text; nothing when the import was called off. An empty
// source: "no keywords" for every page.
using KeywordSource = std::function<std::optional<QString>(const QString &url)>;

// The records of a batch that are written, in order, each with its keyword
// field, given the records already stored. Nothing when the import was
// called off while keywords were read.
std::optional<QStringList> acceptedRecords(const QStringList &stored, const QStringList &batch,
                                           const KeywordSource &keywords);

// The same, knowing what is stored through present, which then holds the
// records accepted too.
std::optional<QStringList> acceptedRecords(DuplicateFilter &present, const QStringList &batch,
                                           const KeywordSource &keywords);

// Appends a folder's batch in one save. False when called off (nothing saved).
bool appendFavorites(const QString &dataFile, const QStringList &batch, const KeywordSource &keywords);
// The same for one of many saves of an import that share present.
bool appendFavorites(const QString &dataFile, const QStringList &batch, const KeywordSource &keywords,
                     DuplicateFilter &present);

// Walks the folder tree (a folder's own shortcuts, then its sub-folders),
// appending the records read (saved every ShortcutWalk::kSaveEveryMs and at the end) and
// reporting the running shortcut count after each folder's shortcuts are
// read. Returns the count. A walk called off ends at once; what was read
// since the last save is not saved.
using Progress = std::function<void(int count)>;

// For the import tool's process: an import rewrites the whole store at
// every save, so large freed buffers are kept for the next save instead of
// being handed back to the system and mapped anew each time (a third of an
// import's time). The browser does not call it: it would keep its memory.
void keepFreedMemory();
int importFolder(const QString &dataFile, const QString &folder, const KeywordSource &keywords,
                 const Progress &progress);

} // namespace LinkAppend
