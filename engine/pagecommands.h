// Saving and printing the page a browser shows, with the system's dialogs.
#pragma once

#include <QString>

class BrowserControl;

// What the status line says of a print: while the engine prints (it gives
// no progress) and when it is done.
namespace PrintStatus {
QString started(const QString &file);
QString finished(const QString &file, bool ok, qint64 bytes);
} // namespace PrintStatus

namespace PageCommands {

// Asks where to save (named after the page's title) and saves the page as
// one HTML file.
void saveAs(BrowserControl *browser);
// Asks for a printer and prints the page; the browser's status text says
// that it prints and then whether the file was written.
void print(BrowserControl *browser);

} // namespace PageCommands
