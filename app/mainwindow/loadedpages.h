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

} // namespace LoadedPages
