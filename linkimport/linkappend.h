#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The import tool's own walk and append: a record is added only when its
// URL is not yet anywhere in the store (or earlier in the same save), and
// gets a third field with the page's keywords (or "no keywords").
namespace LinkAppend {

using KeywordSource = std::function<QString(const QString &url)>; // empty: "no keywords"

// The records of a batch that are written, in order, each with its keyword
// field, given the records already stored.
QStringList acceptedRecords(const QStringList &stored, const QStringList &batch, const KeywordSource &keywords);

// Appends a folder's batch in one save.
void appendFavorites(const QString &dataFile, const QStringList &batch, const KeywordSource &keywords);

// Walks the folder tree (a folder's own shortcuts, then its sub-folders),
// appending each folder's records and reporting the running shortcut count
// after each folder's shortcuts are read. Returns the count.
using Progress = std::function<void(int count)>;
int importFolder(const QString &dataFile, const QString &folder, const KeywordSource &keywords,
                 const Progress &progress);

} // namespace LinkAppend
