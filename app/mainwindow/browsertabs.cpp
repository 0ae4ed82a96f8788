#include "app/mainwindow/browsertabs.h"

#include "app/browser/backgroundtabs.h"
#include "engine/browsercontrol.h"
#include "app/browser/browsertab.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"
#include "app/mainwindow/loadedpages.h"
#include "app/panes/favoritestab.h"
#include "app/settings/programstate.h"
#include "app/mainwindow/tabhistoryfile.h"
#include "app/browser/permissionrules.h"
#include "app/browser/tabrules.h"
#include "platform/urlhistorystore.h"

#include <QPainter>
#include <QPixmap>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>

#include <memory>

QIcon BrowserTabs::privateIcon()
{
    // Drawn, not looked up: the mark must show whatever the desktop's theme.
    static const QIcon icon = [] {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x5b, 0x2a, 0x86));
        painter.drawEllipse(QRectF(2, 2, 28, 28));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(7, 11, 8, 6)); // a mask's eyes
        painter.drawEllipse(QRectF(17, 11, 8, 6));
        return QIcon(pixmap);
    }();
    return icon;
}

BrowserTabs::BrowserTabs(QWidget *window, DockFrame *dock, BrowserControl *popupSource)
    : QObject(window)
    , m_window(window)
    , m_dock(dock)
    , m_popupSource(popupSource)
    , m_background(new BackgroundTabs(this))
{}

bool BrowserTabs::activateTabOf(const QUrl &origin)
{
    const QString wanted = PermissionRules::originKey(origin);
    for (DocumentWindow *window : m_dock->documents()) {
        const auto *tab = qobject_cast<const Form2 *>(window->hostedForm());
        if (tab && PermissionRules::originKey(QUrl(tab->wb1()->LocationURL())) == wanted) {
            window->activate();
            return true;
        }
    }
    return false;
}

Form2 *BrowserTabs::openPrivateTab(const QString &address)
{
    return openTab(address, TabLoad::Now, BrowserControl::Privacy::Private);
}

Form2 *BrowserTabs::openTab(const QString &address, TabLoad load, BrowserControl::Privacy privacy)
{
    // Made inside the main window, hidden until its tab takes it: a form
    // without a parent would get a native window of its own as soon as its
    // browser starts, only to lose it again to the tab. A restored tab's
    // browser starts only when the tab is shown, so it is made without one:
    // moving a child of the main window into its tab walks the window's
    // whole focus chain, which grows with every tab.
    auto *tab = new Form2(m_popupSource, load == TabLoad::WhenShown ? nullptr : m_window, privacy);
    adopt(tab);
    emit tabOpened(tab);
    tab->setLoadURL(address, load == TabLoad::WhenShown ? Form2::LoadWhen::WhenShown : Form2::LoadWhen::Now);
    // A tab waiting to be shown names its site meanwhile.
    const QString host = QUrl(address.trimmed()).host();
    // A restored tab goes in behind the current one: bringing each of them
    // to the front for a moment (and moving the focus there) costs time for
    // nothing while the window is not yet drawn.
    DocumentWindow *window = m_dock->addDocument(
        tab->loadPending() && !host.isEmpty() ? TabRules::tabCaption(host) : QStringLiteral(" New Tab "), tab,
        tab->loadPending() ? DockFrame::Placement::Behind : DockFrame::Placement::Front);
    window->setSecondFlag(false);
    window->setShown(true);
    tab->setTag(window->key());
    if (tab->isPrivate())
        window->setIcon(privateIcon());
    return tab;
}

void BrowserTabs::openFavoritesTab()
{
    auto *form = new Form9;
    connect(form, &Form9::openRequested, this, &BrowserTabs::open);
    // Its place is fixed: a page opened before it at the start goes after it.
    DocumentWindow *window =
        m_dock->addDocument(QStringLiteral(" Favorites "), form, DockFrame::Placement::Front, TabRules::kFavoritesTab);
    window->setSecondFlag(false);
    window->setShown(true);
}

void BrowserTabs::tabClosing(DocumentWindow *window)
{
    if (m_windowClosing)
        return;
    if (auto *tab = qobject_cast<Form2 *>(window->hostedForm()))
        m_closed.remember(tab);
}

void BrowserTabs::reopenClosed(int index)
{
    const ClosedTabs::Entry entry = m_closed.take(index);
    if (entry.url.isEmpty())
        return;
    ProgramState &g = programState();
    g.OpenInFront = true;
    Form2 *tab = openTab(entry.url);
    g.OpenInFront = false;
    // Back and Forward as they were; the history brings back its current
    // page, which is the address just asked for.
    if (!entry.history.isEmpty())
        tab->wb1()->restoreHistory(entry.history);
}

void BrowserTabs::adopt(Form2 *tab)
{
    m_background->watch(tab);
    connect(tab, &Form2::backForwardChanged, this, [this, tab] {
        if (activeTab() == tab)
            emit activeBackForwardChanged(tab->StateBack(), tab->StateNext());
    });
    connect(tab, &Form2::addressChanged, this, [this, tab](const QString &address) {
        if (activeTab() == tab)
            emit activeAddressChanged(address, AddressSource::Page);
    });
    connect(tab, &Form2::captionChanged, this, [this, tab](const QString &caption, const QString &toolTip) {
        if (DocumentWindow *document = documentOf(tab))
            document->setCaption(caption, toolTip);
    });
    connect(tab, &Form2::pageChanged, this, [this, tab] { recordPage(tab); });
    // A link a private page opens in a new tab stays private.
    connect(tab, &Form2::newTabRequested, this, [this, tab](const QString &url) {
        openTab(url, TabLoad::Now,
                tab->isPrivate() ? BrowserControl::Privacy::Private : BrowserControl::Privacy::Normal);
    });
}

void BrowserTabs::activated(Form2 *tab, DocumentWindow *document)
{
    emit activeBackForwardChanged(tab && tab->StateBack(), tab && tab->StateNext());
    emit activePrivateChanged(tab && tab->isPrivate());
    if (!tab)
        return;
    if (!m_addressNavigating) {
        // A restored tab shown for the first time has no page yet: its address.
        const QString shown = tab->wb1()->LocationURL();
        emit activeAddressChanged(shown.isEmpty() ? tab->pageAddress() : shown, AddressSource::TabSwitch);
    }
    if (!tab->loadPending()) { // a restored tab keeps naming its site until it is shown
        const QString title = tab->wb1()->LocationName();
        const QString address = tab->wb1()->LocationURL();
        document->setCaption(TabRules::activatedCaption(title, document->position()),
                             TabRules::pageToolTip(title, address));
    }
}

struct BrowserTabs::SessionRestore {
    QStringList saved;
    QList<TabHistoryFile::Entry> histories;
    UrlHistoryStore visited;
    qsizetype next = 0;
    std::function<void()> done;
};

void BrowserTabs::restoreSession(const QStringList &saved, std::function<void()> done)
{
    auto restore = std::make_shared<SessionRestore>();
    restore->saved = saved;
    restore->histories = TabHistoryFile::read(TabHistoryFile::pathBeside(programState().LoadedFile));
    restore->done = std::move(done);
    restoreTurn(restore);
}

void BrowserTabs::restoreTurn(const std::shared_ptr<SessionRestore> &restore)
{
    if (m_windowClosing)
        return;
    // A tab costs a millisecond or more, and more as the tab bar grows (it
    // lays out every tab at each insert): a turn ends after a share of a
    // frame's time, whatever it has made by then.
    constexpr qint64 kTurnMs = 16;
    QElapsedTimer turn;
    turn.start();
    for (; restore->next < restore->saved.size() && turn.elapsed() < kTurnMs; ++restore->next) {
        const qsizetype i = restore->next;
        const QString &url = restore->saved.at(i);
        Form2 *form = openTab(url, TabLoad::WhenShown);
        form->setRestoredHistory(TabHistoryFile::historyFor(restore->histories, i, url));
        // Named by the title last seen for the page until it loads.
        const std::optional<UrlHistoryEntry> known = restore->visited.entryFor(url.trimmed());
        DocumentWindow *window = documentOf(form);
        if (window && known && !known->title.trimmed().isEmpty())
            window->setCaption(TabRules::tabCaption(known->title), known->title.trimmed());
    }
    if (restore->next < restore->saved.size())
        QTimer::singleShot(0, this, [this, restore] { restoreTurn(restore); });
    else if (restore->done)
        restore->done();
}

void BrowserTabs::open(const QString &url, PageTarget target)
{
    if (target == PageTarget::NewTab) {
        openTab(url);
    } else if (Form2 *tab = activeTab()) {
        tab->wb1()->Navigate(url);
    }
}

QStringList BrowserTabs::openPages() const
{
    QStringList addresses;
    for (DocumentWindow *w : m_dock->documents()) {
        const auto *tab = qobject_cast<const Form2 *>(w->hostedForm());
        // A private page is never kept for the next start.
        addresses.append(tab && !tab->isPrivate() ? tab->pageAddress() : QString());
    }
    return addresses;
}

QList<std::pair<QString, QByteArray>> BrowserTabs::savedHistories() const
{
    QList<std::pair<QString, QByteArray>> histories;
    const QList<DocumentWindow *> windows = m_dock->documents();
    for (qsizetype i = TabRules::kFavoritesTab; i < windows.size(); ++i) {
        const auto *tab = qobject_cast<const Form2 *>(windows.at(i)->hostedForm());
        const QString url = tab && !tab->isPrivate() ? tab->pageAddress().trimmed() : QString();
        if (!url.isEmpty())
            histories.append({url, tab->historyState()});
    }
    return histories;
}

Form2 *BrowserTabs::activeTab() const
{
    const DocumentWindow *w = m_dock->activeDocument();
    return w ? qobject_cast<Form2 *>(w->hostedForm()) : nullptr;
}

void BrowserTabs::sayInActiveTab(const QString &text)
{
    const DocumentWindow *w = m_dock->activeDocument();
    QWidget *form = w ? w->hostedForm() : nullptr;
    if (auto *tab = qobject_cast<Form2 *>(form))
        tab->showStatus(text);
    else if (auto *favorites = qobject_cast<Form9 *>(form))
        favorites->setStatus(text);
}

DocumentWindow *BrowserTabs::documentOf(const Form2 *tab) const
{
    return m_dock->documentByKey(tab->Tag());
}

void BrowserTabs::recordPage(const Form2 *tab)
{
    // Once the window closes it writes the whole list itself; pages that
    // complete meanwhile would write into positions that are shifting.
    if (!m_recording || m_windowClosing)
        return;
    const QString &file = programState().LoadedFile;
    if (DocumentWindow *document = documentOf(tab))
        LoadedPages::writeEntryLater(file, document->position(),
                                     tab->isPrivate() ? QString() : tab->wb1()->LocationURL().trimmed(),
                                     m_dock->documentCount());
    else
        LoadedPages::writeCountLater(file, m_dock->documentCount());
}
