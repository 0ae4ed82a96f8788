// A web browser control over Qt WebEngine with the members and events the program's forms expect of one.
#pragma once

#include "engine/certificatepolicy.h"

#include <QAuthenticator>
#include <QPointer>
#include <QSet>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class BrowserPage;
class PageFullScreen;
class QWebEngineView;

// A web browser control over Qt WebEngine with the members and events the
// program's forms expect of one: navigation methods, location, busy state,
// silent mode, and events by name (StatusTextChange, ProgressChange,
// CommandStateChange, BeforeNavigate2, NewWindow2, NavigateComplete2,
// DocumentComplete, WindowSet*, SetSecureLockIcon, GotFocus). Holder
// arguments are pointers a handler may write to.
class BrowserControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString LocationURL READ LocationURL)
    Q_PROPERTY(QString LocationName READ LocationName)
    Q_PROPERTY(bool Busy READ Busy)
    Q_PROPERTY(bool Silent READ Silent WRITE setSilent)

public:
    // Command ids of CommandStateChange.
    static constexpr int kCommandForward = 1;
    static constexpr int kCommandBack = 2;
    // ExecWB command ids.
    enum ExecCommand { SaveAs = 4, Print = 6, Cut = 11, Copy = 12, Paste = 13, SelectAll = 17 };

    // A private browser's pages use the off-the-record profile and are not
    // recorded in the history.
    enum class Privacy { Normal, Private };

    explicit BrowserControl(QWidget *parent = nullptr, Privacy privacy = Privacy::Normal);
    Privacy privacy() const { return m_privacy; }
    ~BrowserControl() override;

    Q_INVOKABLE void Navigate(const QString &url);
    Q_INVOKABLE void GoBack();
    Q_INVOKABLE void GoForward();
    Q_INVOKABLE void Stop();
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void GoHome();
    Q_INVOKABLE void ExecWB(int command, int option = 0);

    QString LocationURL() const;
    QString LocationName() const;
    bool Busy() const { return m_busy; }
    // The last load ended in an error page (not a page the server sent).
    bool LoadFailed() const { return m_loadFailed; }
    bool canGoBack() const;
    bool canGoForward() const;
    bool Silent() const { return m_silent; }
    void setSilent(bool silent);
    // Whether the page may resize its window; the engine has no such
    // window here, so it has no effect.
    void setResizable(bool) {}
    // Registering as a browser others may find by name has no effect here:
    // pages find their windows through the engine.
    void setRegisterAsBrowser(bool) {}
    bool RegisterAsDropTarget() const { return m_registerAsDropTarget; }
    void setRegisterAsDropTarget(bool on);

    // A bar under the page, taking only its own height (the find bar).
    void setBottomBar(QWidget *bar);
    // A bar above the page, taking only its own height (the permission bar).
    void setTopBar(QWidget *bar);
    // The user's answer to a PermissionRequested.
    void answerPermission(const QUrl &origin, QWebEnginePage::Feature feature, bool allow);

    // The automation object another browser's NewWindow2 handler can hand over.
    QObject *Object() { return this; }

    // The lock state for an address: 0 not https, 6 secure, 1 mixed content,
    // 2 an accepted certificate error.
    // What the lock shows for a page: nothing unless it loaded over https
    // with no certificate error at all (an accepted one included).
    struct LoadSecurity {
        bool certificateError = false;
        bool mixedContent = false;
        bool loadFailed = false;
    };
    static int lockIconFor(const QUrl &url, LoadSecurity security);
    // Addresses that would run script in whatever page is open ("javascript:"
    // in any spelling a URL parser accepts). Navigate refuses them: they
    // come from lists, stored files and typing, never from the page itself.
    static bool isScriptAddress(const QString &address);
    // The address Navigate loads for what it was given: "about:" addresses
    // as they are, anything else as a user would have typed it.
    static QUrl addressUrl(const QString &text);

    // How a load ended, and what the status text says then.
    enum class LoadEnd { Loaded, Stopped, Failed };
    static LoadEnd loadEnd(QWebEngineLoadingInfo::LoadStatus status, int errorCode);
    static QString loadEndText(LoadEnd end);
    // The status of a page loaded although its certificate is not trusted.
    static inline const QString kPassedCertificateText =
        QStringLiteral("Done - the site's certificate is not trusted (you chose to continue)");

    QWebEngineView *view() const { return m_view; }
    // The back and forward list in the engine's own form, and back: a page
    // whose history is restored goes to the entry that was current.
    QByteArray saveHistory() const;
    void restoreHistory(const QByteArray &history);
    // Reloads without the cache.
    void RefreshBypassingCache();
    double zoomFactor() const;
    void setZoomFactor(double factor);
    // The page, made on first use.
    BrowserPage *page();
    // The page is to be shown, though its view is not on screen yet (the
    // home page while the window is put together): the engine runs it as
    // the page in front rather than as a hidden one, whose renderer it
    // starts at a lower priority. The view's own showing and hiding take
    // over from there.
    void showSoon();
    // The page if one was made (a restored tab not yet shown has none).
    BrowserPage *existingPage() const { return m_page; }
    // The page's own full-screen window while it is full screen.
    PageFullScreen *fullScreen() const { return m_fullScreen.get(); }

signals:
    void printFinished(bool ok);
    void StatusTextChange(const QString &Text);
    void ProgressChange(int Progress, int ProgressMax);
    void CommandStateChange(int Command, bool Enable);
    void DownloadComplete();
    // The page's title changed (it may come long after the load began).
    void TitleChange(const QString &Text);
    void BeforeNavigate2(const QString &URL, bool *Cancel);
    void NewWindow2(QObject **ppDisp, bool *Cancel);
    void NavigateComplete2(const QString &URL);
    void DocumentComplete(const QString &URL);
    void WindowSetLeft(int Left);
    void WindowSetTop(int Top);
    void WindowSetWidth(int Width);
    void WindowSetHeight(int Height);
    void SetSecureLockIcon(int SecureLockIcon);
    void GotFocus();
    // The user asked for a link in a new tab (middle or Ctrl click, the
    // page's menu): the user's own command, not a page's pop-up.
    void OpenInNewTab(const QString &URL);
    // The site at url (or the proxy at proxyHost when not empty) asks for a
    // user name and password: a handler connected directly fills
    // authenticator before it returns, or leaves it empty to cancel (the
    // server's own page is then shown).
    void SignInRequired(const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost);
    // The page asks to use a feature (notifications, location, camera...):
    // answered with answerPermission, now or later; PermissionCanceled when
    // the page no longer asks.
    void PermissionRequested(const QUrl &origin, QWebEnginePage::Feature feature);
    void PermissionCanceled(const QUrl &origin, QWebEnginePage::Feature feature);

private:
    // Makes page this control's own and shows it.
    void attachPage(BrowserPage *page);
    void connectPage();
    void trigger(int action);
    void onNewWindowPage(QWebEnginePage **page, QWebEnginePage::WebWindowType type);
    void showContextMenu(const QPoint &position);
    // A page that takes the address a new window is opened with, hands it to
    // deliver (unless this page may not open it) and goes away; owned by owner.
    QWebEnginePage *catchNewWindow(QObject *owner, std::function<void(const QUrl &)> deliver);
    void receiveNewWindowAddress(const QUrl &url);
    void onLoadStarted();
    void onLoadFinished(LoadEnd end);
    void updateLock();
    void recordVisit();
    void showCertificatePage();

    QWebEngineView *m_view = nullptr;
    BrowserPage *m_page = nullptr;
    QUrl m_lastRequested;
    Privacy m_privacy = Privacy::Normal;
    bool m_busy = false;
    bool m_silent = false;
    bool m_registerAsDropTarget = false;
    bool m_crashed = false;
    bool m_certificateError = false;
    bool m_loadFailed = false;
    CertificatePolicy m_certificates;
    std::unique_ptr<PageFullScreen> m_fullScreen;
    bool m_mixedContent = false;
};
