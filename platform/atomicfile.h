// Whole-file writes that never leave half a file behind.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Whole-file writes that never leave half a file behind.
namespace AtomicFile {

// Writes data to a temporary file beside path (0600), writes it out whole,
// syncs it, renames it over path and syncs the folder. Every step is
// checked: a full disk or any other failure removes the temporary file,
// leaves the old file as it was and returns false. Temporary files left by
// a writer that was killed mid-save are removed first.
bool write(const QString &path, const QByteArray &data);
// The same for a file given as pieces written one after another (a large
// file's parts are written from where they are, not joined first).
bool write(const QString &path, const QList<QByteArray> &pieces);

// Copies a file that could not be parsed to "<path>.bad" (or .bad.1, .bad.2,
// ... when that exists) before it is replaced, so no stored data is lost.
// Returns the path of the copy, or an empty string on failure.
QString setAside(const QString &path);

} // namespace AtomicFile
