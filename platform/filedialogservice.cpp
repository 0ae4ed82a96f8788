#include "platform/filedialogservice.h"

#include "platform/logging.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>

namespace FileDialogService {

namespace {

Runner &customRunner()
{
    static Runner runner;
    return runner;
}

SaveRunner &customSaveRunner()
{
    static SaveRunner runner;
    return runner;
}

PrintRunner &customPrintRunner()
{
    static PrintRunner runner;
    return runner;
}

OpenResult runQFileDialog(const OpenRequest &request)
{
    QFileDialog dialog(request.owner, request.title);
    switch (request.pick) {
    case Pick::OneFile: dialog.setFileMode(QFileDialog::ExistingFile); break;
    case Pick::Files: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case Pick::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    QStringList names;
    for (const Filter &f : request.filters)
        names.append(qtNameFilter(f));
    if (!names.isEmpty()) {
        dialog.setNameFilters(names);
        const int index = qBound(0, request.selectedFilter, int(names.size()) - 1);
        dialog.selectNameFilter(names.at(index));
    }
    OpenResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    result.accepted = true;
    result.paths = dialog.selectedFiles();
    result.path = result.paths.constFirst();
    // With the details hidden, Qt may report the filter with or without them.
    const QString chosen = dialog.selectedNameFilter();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (chosen == names.at(i) || chosen == request.filters.at(i).name) {
            result.selectedFilter = int(i);
            break;
        }
    }
    if (result.selectedFilter < 0)
        qCWarning(lcDialog) << "chosen filter not recognised" << chosen;
    return result;
}

} // namespace

QString qtNameFilter(const Filter &filter)
{
    QString patterns = filter.patterns;
    patterns.replace(u';', u' ');
    return filter.name + QStringLiteral(" (") + patterns.simplified() + u')';
}

OpenResult getOpenFileName(const OpenRequest &request)
{
    if (customRunner())
        return customRunner()(request);
    return runQFileDialog(request);
}

void setRunner(Runner runner)
{
    customRunner() = std::move(runner);
}

} // namespace FileDialogService

namespace FileDialogService {

QString chooseBookmarksFile(QWidget *owner)
{
    OpenRequest request;
    request.owner = owner;
    request.title = QStringLiteral("Import Bookmarks");
    request.filters = {{bookmarksFilter(), QStringLiteral("*.html;*.htm")},
                       {QStringLiteral("All Files (*.*)"), QStringLiteral("*")}};
    // Bookmarks files are looked for from the home folder, not from where
    // the program happened to be started.
    request.folder = QDir::homePath();
    const OpenResult chosen = getOpenFileName(request);
    return chosen.accepted ? chosen.path : QString();
}

QString bookmarksFilter()
{
    return QStringLiteral("Bookmarks (*.html *.htm)");
}

QString getSaveFileName(QWidget *owner, const QString &title, const QString &suggested, const QString &nameFilter)
{
    if (customSaveRunner())
        return customSaveRunner()(owner, title, suggested);
    return QFileDialog::getSaveFileName(owner, title, suggested, nameFilter);
}

void setSaveRunner(SaveRunner runner)
{
    customSaveRunner() = std::move(runner);
}

bool choosePrinter(QPrinter *printer, QWidget *owner)
{
    if (customPrintRunner())
        return customPrintRunner()(printer, owner);
    QPrintDialog dialog(printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

void setPrintRunner(PrintRunner runner)
{
    customPrintRunner() = std::move(runner);
}

} // namespace FileDialogService
