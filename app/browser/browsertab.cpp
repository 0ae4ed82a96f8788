#include "app/browser/browsertab.h"

#include "app/browser/pagepermissions.h"
#include "app/settings/programstate.h"
#include "app/browser/signindialog.h"
#include "engine/browsercontrol.h"
#include "app/browser/findbar.h"
#include "platform/afterpaint.h"
#include "app/browser/tabrules.h"
#include "platform/twipsgeometry.h"
#include "app/browser/zoomrules.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <utility>

using namespace TwipsGeometry;

Form2::Form2(BrowserControl *newWindowHost, QWidget *parent, BrowserControl::Privacy privacy)
    : QWidget(parent)
    , m_picture1(new QWidget(this))
    , m_picture2(new QWidget(this))
{
    m_wb1 = new BrowserControl(m_picture1, privacy);
    m_permissions = new PagePermissions(m_wb1, programState().PermissionsFile);
    m_imgSecure = new QLabel(m_picture2);
    m_imgSecure->setGeometry(px(1650), px(15), px(240), px(240));
    m_imgSecure->hide();
    m_shape1 = greyBox(m_picture2, twipsRect(1950, 15, 7410, 240));
    m_lblStatus1 = new QLabel(QStringLiteral("Ready"), m_picture2);
    m_lblStatus1->setGeometry(px(2010), px(30), px(7305), px(210));
    m_shape4 = greyBox(m_picture2, twipsRect(9390, 15, 1080, 240));
    m_shape5 = new QFrame(m_picture2);
    m_shape5->setAutoFillBackground(true);
    m_shape5->setBackgroundRole(QPalette::Highlight);
    m_shape5->setGeometry(px(9420), px(45), 0, px(195));
    m_shape3 = greyBox(m_picture2, twipsRect(10500, 15, 1395, 240));
    m_lblStatus3 = new QLabel(m_picture2);
    m_lblStatus3->setGeometry(px(10545), px(30), px(1290), px(210));
    m_picture2->setFixedHeight(px(255));
    m_picture2->setObjectName(QStringLiteral("StatusStrip"));
    setFocusPolicy(Qt::StrongFocus);

    // Load.
    m_tag.clear();
    m_wb1->setResizable(false);
    // Every tab starts on "about:blank" unless an address arrives before
    // the first event is handled, which saves loading a page for nothing;
    // a tab that loads when shown waits for that, even without an address.
    QTimer::singleShot(0, this, [this] {
        if (m_url.trimmed().isEmpty() && !m_loadPending)
            m_wb1->Navigate(QStringLiteral("about:blank"));
    });
    m_stateNext = false;
    m_stateBack = false;
    m_wb1->setSilent(true);
    m_wb1->setRegisterAsBrowser(true);
    m_wb1->setRegisterAsDropTarget(true);

    connect(m_wb1, &BrowserControl::StatusTextChange, this,
            [this](const QString &text) { m_lblStatus1->setText(text); });
    connect(m_wb1, &BrowserControl::ProgressChange, this, &Form2::onProgressChange);
    connect(m_wb1, &BrowserControl::SignInRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost) {
                SignInDialog::ask(this, url, authenticator, proxyHost);
            });
    connect(m_wb1, &BrowserControl::CommandStateChange, this, &Form2::onCommandStateChange);
    connect(m_wb1, &BrowserControl::DownloadComplete, this, &Form2::setTabCaption);
    connect(m_wb1, &BrowserControl::TitleChange, this, &Form2::setTabCaption);
    connect(m_wb1, &BrowserControl::NewWindow2, this,
            [this, newWindowHost = QPointer(newWindowHost)](QObject **ppDisp, bool *) {
                // The host opens ordinary tabs: a private page opens no pop-up.
                if (newWindowHost && !isPrivate())
                    *ppDisp = newWindowHost->Object();
            });
    connect(m_wb1, &BrowserControl::OpenInNewTab, this, &Form2::newTabRequested);
    connect(m_wb1, &BrowserControl::NavigateComplete2, this, &Form2::onNavigateComplete2);
    connect(m_wb1, &BrowserControl::DocumentComplete, this, &Form2::onDocumentComplete);
    connect(m_wb1, &BrowserControl::WindowSetLeft, this, &Form2::onWindowSetPosition);
    connect(m_wb1, &BrowserControl::WindowSetTop, this, &Form2::onWindowSetPosition);
    connect(m_wb1, &BrowserControl::WindowSetWidth, this, &Form2::refitBrowser);
    connect(m_wb1, &BrowserControl::WindowSetHeight, this, &Form2::refitBrowser);
    connect(m_wb1, &BrowserControl::SetSecureLockIcon, this, &Form2::onSetSecureLockIcon);
    connect(m_wb1, &BrowserControl::GotFocus, this, &Form2::backForwardChanged);
}

void Form2::setLoadURL(const QString &n_url, LoadWhen when)
{
    m_url = n_url;
    if (when == LoadWhen::WhenShown && !isVisible()) {
        m_loadPending = true;
        return;
    }
    m_loadPending = false;
    m_wb1->Navigate(n_url);
}

void Form2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loadPending || m_loadQueued)
        return;
    // Made once the tab is on screen: the tab paints its frame first, and
    // making the engine's page and view is a pause of its own rather than
    // part of one long one. An address set meanwhile has been loaded already.
    m_loadQueued = true;
    AfterPaint::call(this, [this] {
        m_loadQueued = false;
        if (!m_loadPending || !isVisible())
            return;
        m_loadPending = false;
        // The history brings back its current page, the one saved.
        if (m_restoredHistory.isEmpty())
            m_wb1->Navigate(m_url.trimmed().isEmpty() ? QStringLiteral("about:blank") : m_url);
        else
            m_wb1->restoreHistory(std::exchange(m_restoredHistory, {}));
    });
}

FindBar *Form2::findBar()
{
    if (!m_findBar)
        m_findBar = new FindBar(m_wb1);
    return m_findBar;
}

QByteArray Form2::historyState() const
{
    if (m_loadPending)
        return m_restoredHistory;
    // A browser that never made a page has no history to ask for.
    return m_wb1->existingPage() ? m_wb1->saveHistory() : QByteArray();
}

bool Form2::isPrivate() const
{
    return m_wb1->privacy() == BrowserControl::Privacy::Private;
}

QString Form2::pageAddress() const
{
    QString shown = m_wb1->LocationURL().trimmed();
    if (!shown.isEmpty() && shown != QStringLiteral("about:blank"))
        return shown;
    return m_url.trimmed().isEmpty() ? shown : m_url.trimmed();
}

QString Form2::statusText() const
{
    return m_lblStatus1->text();
}

void Form2::showStatus(const QString &text)
{
    m_lblStatus1->setText(text);
}

bool Form2::lockVisible() const
{
    return !m_imgSecure->isHidden();
}

QString Form2::lockToolTip() const
{
    return m_imgSecure->toolTip();
}

void Form2::setTabCaption()
{
    const QString title = m_wb1->LocationName();
    const QString address = m_wb1->LocationURL();
    emit captionChanged(TabRules::tabCaption(title), TabRules::pageToolTip(title, address));
}

void Form2::readBackForward()
{
    // Asked of the page after each navigation: the engine's own change
    // reports do not come for every step (a fresh page reports nothing).
    const bool back = m_wb1->canGoBack();
    const bool next = m_wb1->canGoForward();
    if (back == m_stateBack && next == m_stateNext)
        return;
    m_stateBack = back;
    m_stateNext = next;
    emit backForwardChanged();
}

void Form2::onProgressChange(int progress, int progressMax)
{
    showProgress(TabRules::progressWidths(progress, progressMax, m_wb1->Busy()), ++m_progressGeneration);
}

void Form2::showProgress(QList<int> widths, quint64 generation)
{
    // The idle flash (full, then empty) is meant to be seen: the width after
    // a full bar follows a moment later, unless newer progress came first.
    while (!widths.isEmpty() && generation == m_progressGeneration) {
        const int width = widths.takeFirst();
        setProgressTwips(width);
        if (width == TabRules::kProgressFull && !widths.isEmpty()) {
            QTimer::singleShot(kFlashMs, this, [this, widths, generation] { showProgress(widths, generation); });
            return;
        }
    }
}

void Form2::setProgressTwips(int twips)
{
    m_progressTwips = twips;
    m_shape5->resize(px(twips), m_shape5->height());
}

void Form2::onCommandStateChange(int command, bool enable)
{
    if (command == BrowserControl::kCommandForward) {
        m_stateNext = enable;
    } else if (command == BrowserControl::kCommandBack) {
        m_stateBack = enable;
    }
    emit backForwardChanged();
}

void Form2::setZoom(double factor)
{
    ZoomRules::remember(QUrl(m_wb1->LocationURL()).host(), factor);
    m_wb1->setZoomFactor(factor);
    m_lblStatus3->setText(ZoomRules::text(factor));
}

QString Form2::zoomText() const
{
    return m_lblStatus3->text();
}

void Form2::onNavigateComplete2()
{
    // Each site at the zoom it was last given in this run.
    const double factor = ZoomRules::factorFor(QUrl(m_wb1->LocationURL()).host());
    if (std::abs(m_wb1->zoomFactor() - factor) > 0.001)
        m_wb1->setZoomFactor(factor);
    m_lblStatus3->setText(ZoomRules::text(factor));
    readBackForward();
    setTabCaption();
    emit addressChanged(m_wb1->LocationURL().trimmed());
    emit pageChanged();
}

void Form2::onDocumentComplete()
{
    readBackForward();
    refitBrowser();
    setTabCaption();
    emit pageChanged();
}

void Form2::onWindowSetPosition()
{
    if (m_wb1->x() != 0 || m_wb1->y() != 0)
        m_wb1->move(0, 0);
}

void Form2::refitBrowser()
{
    const TabRules::Size size =
        TabRules::refitBrowser({tw(m_wb1->width()), tw(m_wb1->height())}, tw(width()), tw(height()));
    m_wb1->resize(px(size.width), px(size.height));
}

void Form2::onSetSecureLockIcon(int value)
{
    const auto look = TabRules::lockAppearance(value);
    if (!look)
        return;
    if (look->visible && m_imgSecure->pixmap().isNull()) // looked up when first shown
        m_imgSecure->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16));
    m_imgSecure->setVisible(look->visible);
    m_imgSecure->setToolTip(look->toolTip);
}

void Form2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int scaleWidth = tw(width());
    const int scaleHeight = tw(height());
    if (scaleHeight - 275 >= 0)
        m_wb1->setGeometry(0, 0, px(scaleWidth), px(scaleHeight - 275));
    // Without its strip (full screen) the page takes the whole tab.
    if (m_picture2->isHidden()) {
        m_picture1->setGeometry(rect());
        m_wb1->setGeometry(m_picture1->rect());
        return;
    }
    const int stripHeight = m_picture2->height();
    if (scaleHeight - tw(stripHeight) - 15 >= 0)
        m_picture1->setGeometry(0, 0, width(), px(scaleHeight - tw(stripHeight) - 15));
    m_picture2->setGeometry(0, height() - stripHeight, width(), stripHeight);
    layoutStrip();
}

void Form2::layoutStrip()
{
    const TabRules::StripLayout l = TabRules::stripLayout(tw(m_picture2->width()));
    m_shape1->resize(px(l.statusWidth), m_shape1->height());
    m_lblStatus1->resize(px(l.statusWidth - 105), m_lblStatus1->height());
    m_shape4->move(px(l.progressLeft), m_shape4->y());
    m_shape5->move(px(l.progressLeft + 30), m_shape5->y());
    m_shape3->move(px(l.cellLeft), m_shape3->y());
    if (l.cellWidth >= 0)
        m_shape3->resize(px(l.cellWidth), m_shape3->height());
    m_lblStatus3->setGeometry(m_shape3->x(), m_lblStatus3->y(), std::max(0, m_shape3->width() - px(105)),
                              m_lblStatus3->height());
}

void Form2::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_wb1->setFocus();
}
