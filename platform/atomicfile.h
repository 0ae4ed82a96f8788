#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that never leave half a file behind.
namespace AtomicFile {

// Writes data to a temporary file beside path, flushes it to disk, renames
// it over path and syncs the folder. Fails (and leaves the old file) when
// the folder is missing or not writable.
bool write(const QString &path, const QByteArray &data);

// Copies a file that could not be parsed to "<path>.bad" (or .bad.1, .bad.2,
// ... when that exists) before it is replaced, so no stored data is lost.
// Returns the path of the copy, or an empty string on failure.
QString setAside(const QString &path);

} // namespace AtomicFile
