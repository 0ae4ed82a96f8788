#include "engine/pagecommands.h"

#include "engine/browsercontrol.h"
#include "engine/browserpage.h"
#include "platform/filedialogservice.h"
#include "platform/logging.h"

#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>
#include <QWebEngineDownloadRequest>
#include <QWebEngineView>

#include <memory>

namespace PrintStatus {

QString started(const QString &file)
{
    return file.isEmpty() ? QStringLiteral("Printing\u2026") : QStringLiteral("Printing to %1\u2026").arg(file);
}

QString finished(const QString &file, bool ok, qint64 bytes)
{
    if (!ok)
        return file.isEmpty() ? QStringLiteral("Printing failed") : QStringLiteral("Printing to %1 failed").arg(file);
    if (file.isEmpty())
        return QStringLiteral("Sent to the printer");
    return QStringLiteral("Written: %1 (%2 KB)").arg(file).arg((bytes + 1023) / 1024);
}

} // namespace PrintStatus

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
    // The engine gives no progress while it prints: the status line says
    // it is at work, and then whether the file was written.
    const QString file = printer->outputFileName();
    emit browser->StatusTextChange(PrintStatus::started(file));
    // The printer must live until the engine has finished with it.
    QObject::connect(
        browser->view(), &QWebEngineView::printFinished, browser,
        [printer, browser, file](bool ok) {
            if (!ok)
                qCWarning(lcFiles) << "printing failed" << file;
            emit browser->StatusTextChange(PrintStatus::finished(file, ok, QFileInfo(file).size()));
        },
        Qt::SingleShotConnection);
    browser->view()->print(printer.get());
}

} // namespace PageCommands
