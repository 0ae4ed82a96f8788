// Saving and printing the page a browser shows, with the system's dialogs.
#pragma once

class BrowserControl;

namespace PageCommands {

// Asks where to save (named after the page's title) and saves the page as
// one HTML file.
void saveAs(BrowserControl *browser);
// Asks for a printer and prints the page; the browser reports the end with
// printFinished.
void print(BrowserControl *browser);

} // namespace PageCommands
