// The stand-in for the system's open-file dialog, over QFileDialog.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

// The stand-in for the system's open-file dialog, over QFileDialog. The
// dialog itself can be replaced, so that callers are testable without a
// person at the keyboard.
namespace FileDialogService {

struct Filter {
    QString name;     // "HTML Files (*.html)"
    QString patterns; // "*.html;*.htm"
};

// What the open dialog picks: one existing file, several, or a folder.
enum class Pick { OneFile, Files, Folder };

struct OpenRequest {
    QWidget *owner = nullptr;
    Pick pick = Pick::OneFile;
    QString title;
    QList<Filter> filters;
    int selectedFilter = 0; // 0-based position in filters
    quint32 flags = 0;
    QString folder; // where the dialog starts; empty: the working folder
};

struct OpenResult {
    bool accepted = false;
    QString path;            // the first picked
    int selectedFilter = -1; // the pair chosen when accepted
    QStringList paths;       // every one picked
};

using Runner = std::function<OpenResult(const OpenRequest &)>;

// Shows the dialog (or the runner set with setRunner) and waits for it.
OpenResult getOpenFileName(const OpenRequest &request);

// Replaces the dialog; an empty runner restores QFileDialog.
void setRunner(Runner runner);

// The save dialog: the chosen path, or "" when cancelled.
using SaveRunner = std::function<QString(QWidget *owner, const QString &title, const QString &suggested)>;
QString getSaveFileName(QWidget *owner, const QString &title, const QString &suggested, const QString &nameFilter = {});
// The filter of bookmarks files in the import and export dialogs.
QString bookmarksFilter();
// Asks for a bookmarks HTML file to import (through the runner like every
// open dialog); "" when cancelled.
QString chooseBookmarksFile(QWidget *owner);
void setSaveRunner(SaveRunner runner);

// The print dialog: sets up the printer; false when cancelled.
using PrintRunner = std::function<bool(QPrinter *printer, QWidget *owner)>;
bool choosePrinter(QPrinter *printer, QWidget *owner);
void setPrintRunner(PrintRunner runner);

// The name-filter text QFileDialog is given for a pair: its patterns are
// appended in parentheses and hidden again in the list.
QString qtNameFilter(const Filter &filter);

} // namespace FileDialogService
