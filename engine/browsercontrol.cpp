#include "engine/browsercontrol.h"

#include "engine/browserpage.h"
#include "engine/browserprofile.h"
#include "engine/errorpages.h"
#include "engine/firstpagestart.h"
#include "engine/localcontentguard.h"
#include "engine/pagefullscreen.h"
#include "platform/logging.h"
#include "platform/platformpaths.h"
#include "engine/pagecommands.h"
#include "engine/pagecontextmenu.h"
#include "engine/popupcatcherpage.h"
#include "platform/shownaddress.h"
#include "engine/startpage.h"
#include "engine/visitrecorder.h"

#include <QAction>
#include <QApplication>
#include <QAuthenticator>
#include <QDataStream>
#include <QIODevice>
#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineView>

BrowserControl::BrowserControl(QWidget *parent, Privacy privacy)
    : QWidget(parent)
    , m_view(new QWebEngineView(this))
    , m_privacy(privacy)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view, 1); // the find bar takes only its own height
    // Shown with its page: a view shown without one would make a default page.
    m_view->hide();
    connect(m_view, &QWebEngineView::printFinished, this, &BrowserControl::printFinished);
    setFocusProxy(m_view);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    // Shown once the engine's own call is over: a menu opened from inside
    // it brought the engine down.
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        QTimer::singleShot(0, this, [this, position] { showContextMenu(position); });
    });
    // Focus arrives at the view's render widget, made and set as the view's
    // focus proxy some time after the page: watched from the application.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && (now == m_view || m_view->isAncestorOf(now)))
            emit GotFocus();
    });
}

BrowserPage *BrowserControl::page()
{
    // Made when first needed: every page starts an engine document of its
    // own soon after it is made, and browsers that are never navigated (the
    // main window's hidden one, a pane not yet seen) would hold up the home
    // page at start-up for nothing.
    if (!m_page)
        attachPage(new BrowserPage(
            m_privacy == Privacy::Private ? BrowserProfile::offTheRecord() : BrowserProfile::instance(), m_view));
    return m_page;
}

void BrowserControl::attachPage(BrowserPage *page)
{
    m_page = page;
    m_page->setParent(m_view);
    m_page->setSilent(m_silent);
    m_view->setPage(m_page);
    connectPage();
    // Taken with its load under way: its start was said to nobody.
    if (m_page->isLoading())
        onLoadStarted();
    // Shown on the next turn: the engine makes the page's drawing surface
    // as the page starts to load, and if the view were on screen by then it
    // would draw a first frame in that same call. As two turns, making the
    // page and drawing it are two shorter pauses.
    QTimer::singleShot(0, m_view, &QWidget::show);
}

void BrowserControl::onLoadStarted()
{
    m_busy = true;
    m_certificateError = false;
    m_loadFailed = false;
    m_mixedContent = false;
    emit StatusTextChange(QStringLiteral("Opening page ") + m_page->requestedUrl().toString() + QStringLiteral("..."));
}

void BrowserControl::showSoon()
{
    // A control never asked to load anything has no page to tell.
    if (m_page)
        m_page->setVisible(true);
}

void BrowserControl::setBottomBar(QWidget *bar)
{
    layout()->addWidget(bar);
}

void BrowserControl::setTopBar(QWidget *bar)
{
    static_cast<QVBoxLayout *>(layout())->insertWidget(0, bar);
}

void BrowserControl::answerPermission(const QUrl &origin, QWebEnginePage::Feature feature, bool allow)
{
    if (m_page)
        m_page->setFeaturePermission(
            origin, feature, allow ? QWebEnginePage::PermissionGrantedByUser : QWebEnginePage::PermissionDeniedByUser);
}

BrowserControl::~BrowserControl()
{
    // The full-screen window gives the page back first; the page must go
    // before the view that shows it.
    m_fullScreen.reset();
    if (m_page) {
        m_view->setPage(nullptr);
        delete m_page;
    }
}

void BrowserControl::connectPage()
{
    connect(m_page, &QWebEnginePage::linkHovered, this,
            [this](const QString &url) { emit StatusTextChange(ShownAddress::of(url)); });
    connect(m_page, &QWebEnginePage::loadStarted, this, &BrowserControl::onLoadStarted);
    connect(m_page, &QWebEnginePage::loadProgress, this, [this](int p) { emit ProgressChange(p, 100); });
    connect(m_page, &QWebEnginePage::urlChanged, this, [this](const QUrl &url) {
        if (url.scheme() != QStringLiteral("data"))
            m_certificates.pageLeft();
        if (!m_crashed)
            emit NavigateComplete2(LocationURL());
    });
    connect(m_page, &QWebEnginePage::titleChanged, this, [this] {
        emit TitleChange(LocationName());
        if (!m_busy)
            recordVisit(); // the real title often arrives after the load
    });
    // The end of a load with how it ended: a load the user stopped, or one
    // that turned into a download, is no failure.
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            return;
        onLoadFinished(loadEnd(info.status(), info.errorCode()));
    });
    connect(m_page, &QWebEnginePage::geometryChangeRequested, this, [this](const QRect &geom) {
        emit WindowSetLeft(geom.x());
        emit WindowSetTop(geom.y());
        emit WindowSetWidth(geom.width());
        emit WindowSetHeight(geom.height());
    });
    connect(m_page, &BrowserPage::mixedContentSeen, this, [this] {
        m_mixedContent = true;
        updateLock();
    });
    connect(m_page, &BrowserPage::navigationRequested, this, [this](const QUrl &url, bool clicked, bool *cancel) {
        QUrl target;
        switch (m_certificates.wayOn(url, clicked, &target)) {
        case CertificatePolicy::WayOn::NotAsked: emit BeforeNavigate2(url.toString(), cancel); return;
        case CertificatePolicy::WayOn::Refused: *cancel = true; return;
        case CertificatePolicy::WayOn::Granted:
            *cancel = true;
            QTimer::singleShot(0, this, [this, target] { Navigate(target.toString(QUrl::FullyEncoded)); });
            return;
        }
    });
    connect(m_page, &BrowserPage::newWindowPage, this, &BrowserControl::onNewWindowPage);
    connect(m_page, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError &error) {
        m_certificateError = true;
        // Decided once the engine's own call is over, like everything else
        // that touches the page from its callbacks.
        QWebEngineCertificateError deferred = error;
        deferred.defer();
        QTimer::singleShot(0, this, [this, deferred]() mutable { m_certificates.decide(deferred); });
    });
    // Asked on the engine's call, which waits for the answer.
    connect(m_page, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator) { emit SignInRequired(url, authenticator, {}); });
    connect(m_page, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost) {
                emit SignInRequired(url, authenticator, proxyHost);
            });
    connect(m_page, &QWebEnginePage::featurePermissionRequested, this, &BrowserControl::PermissionRequested);
    connect(m_page, &QWebEnginePage::featurePermissionRequestCanceled, this, &BrowserControl::PermissionCanceled);
    // A page's own full screen (a video's button): accepted, and shown once
    // the engine's call is over.
    connect(m_page, &QWebEnginePage::fullScreenRequested, this, [this](QWebEngineFullScreenRequest request) {
        if (request.toggleOn() == bool(m_fullScreen))
            return; // already so: refused
        request.accept();
        QTimer::singleShot(0, this, [this, on = request.toggleOn()] {
            if (!on)
                m_fullScreen.reset();
            else if (!m_fullScreen && m_page)
                m_fullScreen = std::make_unique<PageFullScreen>(m_page, m_view);
        });
    });
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                qCWarning(lcFiles) << "page process ended" << status << m_lastRequested;
                m_crashed = true;
                QTimer::singleShot(0, this, [this] { page()->setHtml(ErrorPages::crashed()); });
            });
    const auto watchAction = [this](QWebEnginePage::WebAction action, int command) {
        QAction *a = m_page->action(action);
        connect(a, &QAction::changed, this, [this, a, command] { emit CommandStateChange(command, a->isEnabled()); });
    };
    watchAction(QWebEnginePage::Forward, kCommandForward);
    watchAction(QWebEnginePage::Back, kCommandBack);
}

void BrowserControl::setSilent(bool silent)
{
    m_silent = silent;
    if (m_page)
        m_page->setSilent(silent);
}

void BrowserControl::setRegisterAsDropTarget(bool on)
{
    m_registerAsDropTarget = on;
    m_view->setAcceptDrops(on);
}

void BrowserControl::Navigate(const QString &url)
{
    if (url.trimmed().isEmpty())
        return;
    if (isScriptAddress(url)) {
        qCWarning(lcFiles) << "refused to run a script address in the page" << url.left(80);
        return;
    }
    m_certificates.forget();
    m_crashed = false;
    m_lastRequested = addressUrl(url);
    // The first page of the start, already on its way: this control takes
    // it over rather than asking for it again.
    if (!m_page && m_privacy == Privacy::Normal) {
        if (BrowserPage *started = FirstPageStart::take(m_lastRequested)) {
            attachPage(started);
            return;
        }
    }
    page()->load(m_lastRequested);
}

void BrowserControl::trigger(int action)
{
    // Without a page nothing was ever loaded: nothing to act on.
    if (m_page)
        m_page->triggerAction(QWebEnginePage::WebAction(action));
}

void BrowserControl::GoBack()
{
    trigger(QWebEnginePage::Back);
}

void BrowserControl::GoForward()
{
    trigger(QWebEnginePage::Forward);
}

bool BrowserControl::canGoBack() const
{
    return m_page && m_page->history()->canGoBack();
}

bool BrowserControl::canGoForward() const
{
    return m_page && m_page->history()->canGoForward();
}

void BrowserControl::Stop()
{
    trigger(QWebEnginePage::Stop);
}

void BrowserControl::Refresh()
{
    if (m_crashed) {
        m_crashed = false;
        page()->load(m_lastRequested);
        return;
    }
    trigger(QWebEnginePage::Reload);
}

void BrowserControl::RefreshBypassingCache()
{
    trigger(QWebEnginePage::ReloadAndBypassCache);
}

QByteArray BrowserControl::saveHistory() const
{
    QByteArray bytes;
    if (!m_view)
        return bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << *m_view->history();
    return bytes;
}

void BrowserControl::restoreHistory(const QByteArray &history)
{
    if (!m_view || history.isEmpty())
        return;
    page(); // ours, before the view would make one of its own
    QDataStream in(history);
    in >> *m_view->history();
    if (in.status() != QDataStream::Ok)
        qCWarning(lcFiles) << "closed tab's history not restored";
}

double BrowserControl::zoomFactor() const
{
    return m_view ? m_view->zoomFactor() : 1.0;
}

void BrowserControl::setZoomFactor(double factor)
{
    if (m_view)
        m_view->setZoomFactor(factor);
}

void BrowserControl::GoHome()
{
    Navigate(StartPage::home());
}

void BrowserControl::ExecWB(int command, int option)
{
    Q_UNUSED(option);
    switch (command) {
    case SaveAs: PageCommands::saveAs(this); break;
    case Print: PageCommands::print(this); break;
    case Cut: trigger(QWebEnginePage::Cut); break;
    case Copy: trigger(QWebEnginePage::Copy); break;
    case Paste: trigger(QWebEnginePage::Paste); break;
    case SelectAll: trigger(QWebEnginePage::SelectAll); break;
    default: qCWarning(lcFiles) << "ExecWB command not handled" << command; break;
    }
}

QString BrowserControl::LocationURL() const
{
    // Encoded, as a page address is sent and stored.
    if (m_crashed)
        return m_lastRequested.toString(QUrl::FullyEncoded);
    if (!m_page)
        return {};
    // The certificate page stands for the site it refused.
    if (const QUrl site = m_certificates.standsFor();
        site.isValid() && m_page->url().scheme() == QStringLiteral("data"))
        return site.toString(QUrl::FullyEncoded);
    return m_page->url().toString(QUrl::FullyEncoded);
}

QString BrowserControl::LocationName() const
{
    if (!m_page)
        return {};
    QString title = m_page->title();
    // The engine gives the address (in one of its spellings) as the title of
    // a page without one.
    const QUrl url = m_page->url();
    QString bare = url.toDisplayString(QUrl::RemoveScheme);
    if (bare.startsWith(QStringLiteral("//")))
        bare.remove(0, 2);
    if (title == url.toString() || title == url.toDisplayString() || title == url.toString(QUrl::FullyEncoded)
        || title == bare)
        return QString();
    return title;
}

void BrowserControl::updateLock()
{
    emit SetSecureLockIcon(lockIconFor(m_page->url(), {m_certificateError, m_mixedContent, m_loadFailed}));
}

void BrowserControl::onLoadFinished(LoadEnd end)
{
    const bool ok = end == LoadEnd::Loaded;
    m_busy = false;
    m_loadFailed = end == LoadEnd::Failed;
    if (!ok && m_certificates.offerAfterFailedLoad())
        QTimer::singleShot(0, this, &BrowserControl::showCertificatePage);
    emit ProgressChange(-1, 100);
    const bool passed = ok && CertificatePolicy::passed(m_page->url());
    // A site whose certificate the user passed is never shown as plain "Done".
    emit StatusTextChange(passed ? kPassedCertificateText : loadEndText(end));
    updateLock();
    emit DownloadComplete();
    if (ok && !m_crashed)
        recordVisit();
    emit DocumentComplete(LocationURL());
}

void BrowserControl::recordVisit()
{
    if (m_privacy == Privacy::Private)
        return; // a private page leaves no trace
    const QUrl url = m_page->url();
    const QString scheme = url.scheme();
    if (scheme != QStringLiteral("http") && scheme != QStringLiteral("https") && scheme != QStringLiteral("file"))
        return;
    if (VisitRecorder *recorder = VisitRecorder::instance())
        recorder->record(url.toString(QUrl::FullyEncoded), LocationName());
}

QWebEnginePage *BrowserControl::catchNewWindow(QObject *owner, std::function<void(const QUrl &)> deliver)
{
    // A new window's page is of its opener's profile: a private page's stays private.
    auto *catcher = new PopupCatcherPage(m_page ? m_page->profile() : BrowserProfile::instance(), owner);
    // A page from disk opens nothing on the network by script.
    const QUrl opener = m_page ? m_page->url() : QUrl();
    connect(catcher, &PopupCatcherPage::addressRequested, owner,
            [opener, deliver = std::move(deliver)](const QUrl &url) {
                if (LocalContentGuard::blocks(opener, url, false)) {
                    qCWarning(lcFiles) << "local page kept from opening" << url.host();
                    return;
                }
                deliver(url);
            });
    return catcher;
}

void BrowserControl::onNewWindowPage(QWebEnginePage **page, QWebEnginePage::WebWindowType type)
{
    if (PopupCatcherPage::alive() >= PopupCatcherPage::kMostAlive) {
        qCWarning(lcFiles) << "new window refused: too many at once";
        return;
    }
    // Only a click with the middle button or Ctrl held asks for a tab in
    // the background: the user's command, which pop-up stop does not govern.
    if (type == QWebEnginePage::WebBrowserBackgroundTab) {
        *page = catchNewWindow(this, [this](const QUrl &url) {
            // Later, not from inside the engine's navigation callback: the
            // new tab starts a page of its own.
            if (!isScriptAddress(url.toString()))
                QTimer::singleShot(0, this, [this, url] { emit OpenInNewTab(url.toString(QUrl::FullyEncoded)); });
        });
        return;
    }
    QObject *target = nullptr;
    bool cancel = false;
    emit NewWindow2(&target, &cancel);
    auto *browser = qobject_cast<BrowserControl *>(target);
    if (cancel || !browser)
        return; // no window is opened
    *page = catchNewWindow(browser, [browser](const QUrl &url) { browser->receiveNewWindowAddress(url); });
}

void BrowserControl::showContextMenu(const QPoint &position)
{
    const QWebEngineContextMenuRequest *request = m_view->lastContextMenuRequest();
    if (!m_page || !request)
        return;
    // A link in a new tab is the user's own command: a tab, whatever pop-up
    // stop says (the engine's entry would go through the pop-up decision).
    PageContextMenu::make(this, m_page, *request, [this](const QUrl &link) {
        if (!isScriptAddress(link.toString()))
            emit OpenInNewTab(link.toString(QUrl::FullyEncoded));
    })->popup(m_view->mapToGlobal(position));
}

void BrowserControl::receiveNewWindowAddress(const QUrl &url)
{
    bool cancel = false;
    emit BeforeNavigate2(url.toString(QUrl::FullyEncoded), &cancel);
    if (!cancel)
        Navigate(url.toString(QUrl::FullyEncoded));
}

void BrowserControl::showCertificatePage()
{
    // None when another address was asked for meanwhile.
    if (const std::optional<QString> html = m_certificates.offerPage())
        page()->setHtml(*html);
}
