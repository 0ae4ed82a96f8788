#include "pagecommands.h"

#include "browsercontrol.h"
#include "browserpage.h"
#include "filedialogservice.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QWebEngineDownloadRequest>
#include <QWebEngineView>

#include <memory>

namespace PageCommands {

void saveAs(BrowserControl *browser)
{
    QString name = browser->LocationName().trimmed();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("page");
    const QString path =
        FileDialogService::getSaveFileName(browser, QStringLiteral("Save As ..."), name + QStringLiteral(".html"));
    if (!path.isEmpty())
        browser->page()->save(path, QWebEngineDownloadRequest::SingleHtmlSaveFormat);
}

void print(BrowserControl *browser)
{
    browser->page(); // the view prints its page
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (!FileDialogService::choosePrinter(printer.get(), browser))
        return;
    // The printer must live until the engine has finished with it.
    QObject::connect(
        browser->view(), &QWebEngineView::printFinished, browser, [printer](bool) {}, Qt::SingleShotConnection);
    browser->view()->print(printer.get());
}

} // namespace PageCommands
