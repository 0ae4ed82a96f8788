#include "engine/browserpage.h"

#include "platform/filedialogservice.h"

#include <QMimeDatabase>
#include <QWebEngineView>

BrowserPage::BrowserPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{}

QWebEnginePage *BrowserPage::createWindow(WebWindowType type)
{
    QWebEnginePage *page = nullptr;
    emit newWindowPage(&page, type);
    return page;
}

bool BrowserPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame) {
        bool cancel = false;
        emit navigationRequested(url, type == NavigationTypeLinkClicked, &cancel);
        if (cancel)
            return false;
    }
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                           const QString &source)
{
    Q_UNUSED(level);
    Q_UNUSED(line);
    Q_UNUSED(source);
    if (message.contains(QStringLiteral("Mixed Content:")))
        emit mixedContentSeen();
}

void BrowserPage::javaScriptAlert(const QUrl &origin, const QString &msg)
{
    if (!m_silent)
        QWebEnginePage::javaScriptAlert(origin, msg);
}

bool BrowserPage::javaScriptConfirm(const QUrl &origin, const QString &msg)
{
    return m_silent ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
}

bool BrowserPage::javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue, QString *result)
{
    return m_silent ? false : QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
}

QStringList BrowserPage::chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                                     const QStringList &acceptedMimeTypes)
{
    Q_UNUSED(oldFiles);
    FileDialogService::OpenRequest request;
    request.owner = QWebEngineView::forPage(this);
    switch (mode) {
    case FileSelectOpen: request.pick = FileDialogService::Pick::OneFile; break;
    case FileSelectOpenMultiple: request.pick = FileDialogService::Pick::Files; break;
    case FileSelectUploadFolder: request.pick = FileDialogService::Pick::Folder; break;
    case FileSelectSave: return {}; // the engine does not ask for this from a page
    }
    request.title = request.pick == FileDialogService::Pick::Folder ? QStringLiteral("Choose a Folder to Upload")
                                                                    : QStringLiteral("Choose Files to Upload");
    // What the input accepts ("image/*", ".pdf") as the first filter.
    QStringList patterns;
    const QMimeDatabase mimes;
    for (const QString &accepted : acceptedMimeTypes) {
        if (accepted.startsWith(u'.'))
            patterns.append(u'*' + accepted);
        else if (accepted.endsWith(QStringLiteral("/*"))) {
            for (const QMimeType &type : mimes.allMimeTypes()) {
                if (type.name().startsWith(accepted.chopped(1)))
                    patterns.append(type.globPatterns());
            }
        } else
            patterns.append(mimes.mimeTypeForName(accepted).globPatterns());
    }
    patterns.removeDuplicates();
    if (!patterns.isEmpty() && request.pick != FileDialogService::Pick::Folder)
        request.filters.append({QStringLiteral("Accepted Files"), patterns.join(u';')});
    request.filters.append({QStringLiteral("All Files"), QStringLiteral("*")});
    const FileDialogService::OpenResult chosen = FileDialogService::getOpenFileName(request);
    if (!chosen.accepted)
        return {};
    return chosen.paths.isEmpty() ? QStringList{chosen.path} : chosen.paths;
}
