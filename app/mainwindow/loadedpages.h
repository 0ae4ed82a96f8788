// The open-pages file "_data/_loaded.dat".
#pragma once

#include <QString>
#include <QStringList>

// The open-pages file "_data/_loaded.dat": "Count" in section "Global", and
// "URL_<position>" in section "Loaded URL" for every tab that shows a page.
namespace LoadedPages {

// Replaces the whole file in one atomic write: addresses[i] is the page of
// the tab at position i + 1 (empty for a tab without a page, such as the
// favorites tab). Entries of tabs that are gone do not linger. False when
// the file could not be written; the old one is then kept.
bool writeAll(const QString &loadedFile, const QStringList &addresses);

// One tab's entry, and the tab count, each written on its own (a page that
// completes loading writes its own entry).
bool writeEntry(const QString &loadedFile, int position, const QString &address);
bool writeCount(const QString &loadedFile, int count);

// The same, done on a writer thread of their own in the order they were
// asked for: each is a write and a flush to disk, which now and then took
// the window a tenth of a second while the engine was writing too. A
// failure is logged. writeAll waits for them first.
void writeEntryLater(const QString &loadedFile, int position, const QString &address, int count);
void writeCountLater(const QString &loadedFile, int count);
// Returns once every write asked for so far is done.
void waitForWrites();

// The saved pages to open at start: the entries from "URL_3" up to
// "Count", skipping blank and missing ones; passed on as read.
QStringList read(const QString &loadedFile);

} // namespace LoadedPages
