// The page of a BrowserControl.
#pragma once

#include <QWebEnginePage>

// The page of a BrowserControl: reports what the engine has no signal for
// (new-window requests, mixed content, navigation requests) and keeps
// script dialogs quiet when the control is silent.
class BrowserPage : public QWebEnginePage
{
    Q_OBJECT

public:
    BrowserPage(QWebEngineProfile *profile, QObject *parent);

    void setSilent(bool silent) { m_silent = silent; }
    bool silent() const { return m_silent; }

signals:
    // The engine wants a page for a new window. Set *page to a page that
    // will receive the navigation, or leave it null to refuse.
    void newWindowPage(QWebEnginePage **page, QWebEnginePage::WebWindowType type);
    void mixedContentSeen();
    // Main-frame navigation about to start; set *cancel to refuse it.
    // clicked: the user followed a link (not a script, history, reload or typing).
    void navigationRequested(const QUrl &url, bool clicked, bool *cancel);

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;
    void javaScriptAlert(const QUrl &origin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    // A page's file input (one file, several, a folder): the program's open
    // dialog.
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

private:
    bool m_silent = false;
};
