#include "app/mainwindow/notificationpresenter.h"
#include "app/mainwindow/mainwindow.h"

#include "app/settings/browsersettings.h"
#include "app/mainwindow/addresscompleter.h"
#include "app/mainwindow/addressrules.h"
#include "engine/browsercontrol.h"
#include "engine/browserprofile.h"
#include "engine/localcontentguard.h"
#include "app/settings/clslayout.h"
#include "app/mainwindow/commanddispatcher.h"
#include "app/mainwindow/commandactions.h"
#include "app/mainwindow/commandtable.h"
#include "platform/dockframe.h"
#include "platform/dockpane.h"
#include "app/mainwindow/favoritepagesreader.h"
#include "app/mainwindow/favoritepagetext.h"
#include "app/mainwindow/favoritestar.h"
#include "navkit/records/favoriterecord.h"
#include "platform/deferredicon.h"
#include "platform/documentwindow.h"
#include "app/browser/downloadmanager.h"
#include "app/browser/browsertab.h"
#include "app/mainwindow/browsertabs.h"
#include "app/panes/searchpane.h"
#include "app/panes/historypane.h"
#include "app/panes/helppane.h"
#include "app/panes/favoritestab.h"
#include "platform/keycodes.h"
#include "app/mainwindow/loadedpages.h"
#include "platform/logging.h"
#include "app/mainwindow/mainrules.h"
#include "app/mainwindow/mainstatusbar.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlinicontrol.h"
#include "app/settings/mdlregistry.h"
#include "platform/platformpaths.h"
#include "platform/processlauncher.h"
#include "app/settings/programstate.h"
#include "platform/shownaddress.h"
#include "app/mainwindow/tabcommands.h"
#include "app/mainwindow/tabhistoryfile.h"
#include "app/browser/tabrules.h"
#include "app/mainwindow/windowplacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

const QString kCaption = QStringLiteral(" Kestrane - Quillon XP");

ProgramState &g()
{
    return programState();
}

} // namespace

Form1::Form1()
    : m_dsMain(new DockFrame(this))
    , m_wb(new BrowserControl(this))
    , m_picture2(new MainStatusBar(this))
{
    setWindowTitle(kCaption);
    setObjectName(QStringLiteral("Form1"));
    m_wb->hide();
    // Silent for good: nothing here turns it back on (the design sets it
    // again after each event, which has no effect).
    m_wb->setSilent(true);
    m_downloads = new DownloadManager(this);
    connect(m_downloads, &DownloadManager::announced, m_picture2->lblStatus1(), &QLabel::setText);
    setStatusBar(m_picture2);
    buildCommands();
    for (const auto &[name, caption] : {std::pair{QStringLiteral("frmSearch"), QStringLiteral("Search")},
                                        std::pair{QStringLiteral("frmHistory"), QStringLiteral("History")},
                                        std::pair{QStringLiteral("frmHelp"), QStringLiteral("Help")}}) {
        m_dsMain->addPane(name, caption);
    }
    // Design-time arrangement: one side bar with the three panes as tabs,
    // wide enough for their controls. A saved layout replaces it.
    QDockWidget *search = m_dsMain->pane(QStringLiteral("frmSearch"))->dock();
    QDockWidget *history = m_dsMain->pane(QStringLiteral("frmHistory"))->dock();
    QDockWidget *help = m_dsMain->pane(QStringLiteral("frmHelp"))->dock();
    tabifyDockWidget(search, history);
    tabifyDockWidget(history, help);
    search->raise();
    resizeDocks({search}, {300}, Qt::Horizontal);
    const std::pair<const char *, const char *> paneImages[] = {
        {"frmSearch", "mnuSearch"}, {"frmHistory", "mnuHistory"}, {"frmHelp", "mnuHelp"}};
    for (const auto &[pane, image] : paneImages)
        m_dsMain->pane(QString::fromLatin1(pane))
            ->dock()
            ->setWindowIcon(CommandTable::image(QString::fromLatin1(image)));

    connect(m_dsMain, &DockFrame::CommandExecuted, this, &Form1::onCommand);
    connect(m_dsMain, &DockFrame::DocumentActivated, this, &Form1::onDocumentActivated);
    connect(m_dsMain, &DockFrame::DocumentClosing, this, &Form1::onDocumentClosing);
    connect(m_dsMain, &DockFrame::DocumentClosed, this, &Form1::onDocumentClosed);
    connect(m_dsMain, &DockFrame::DocumentOpened, this, &Form1::onDocumentOpened);
    connect(m_dsMain, &DockFrame::EditKeyDown, this, &Form1::onEditKeyDown);
    m_tabs = new BrowserTabs(this, m_dsMain, m_wb);
    m_tabCommands = new TabCommands(this, m_dsMain, m_tabs);
    setupPageText();
    m_dispatcher = new CommandDispatcher({this, m_dsMain, m_tabs, m_tabCommands, m_downloads, m_pagesReader}, this);
    connect(m_tabs, &BrowserTabs::activeBackForwardChanged, this, &Form1::showBackForward);
    new NotificationPresenter(this, m_tabs);
    // The address box marks a private tab in front.
    QAction *privateMark = m_dsMain->addressBox()->addAction(BrowserTabs::privateIcon(), QLineEdit::LeadingPosition);
    privateMark->setObjectName(QStringLiteral("PrivateMark"));
    privateMark->setToolTip(QStringLiteral("Private tab: nothing of its pages is kept"));
    privateMark->setVisible(false);
    connect(m_tabs, &BrowserTabs::activePrivateChanged, privateMark, &QAction::setVisible);
    connect(m_tabs, &BrowserTabs::activeAddressChanged, this,
            [this](const QString &address, BrowserTabs::AddressSource source) {
                // What the user is typing is never replaced by the page's doings.
                if (source == BrowserTabs::AddressSource::Page && m_dsMain->addressBox()->userEditing())
                    return;
                const QString shown = ShownAddress::of(address);
                if (m_dsMain->commandText(QStringLiteral("mnuAddress")) != shown)
                    m_dsMain->setCommandText(QStringLiteral("mnuAddress"), shown);
            });
    connect(m_dsMain, &DockFrame::Resized, this, [this] {
        sizeAddressBar();
        m_timer1.start();
    });
    m_timer1.setInterval(350);
    m_timer1.setSingleShot(true);
    connect(&m_timer1, &QTimer::timeout, this, &Form1::sizeAddressBar);

    connect(m_wb, &BrowserControl::BeforeNavigate2, this, &Form1::onWbBeforeNavigate);
    connect(m_wb, &BrowserControl::NewWindow2, this, [](QObject **, bool *cancel) { *cancel = true; });
}

Form1::~Form1()
{
    // The star's lookups still running use the completer's favorites: they
    // end before the completer goes.
    delete m_star;
    DeferredIconEngine::setLookup(DeferredIconEngine::Lookup::Allowed);
}

void Form1::buildCommands()
{
    QToolBar *bar = CommandActions::build(this, m_dsMain);
    // Enabled by the tabs' back and forward state.
    showBackForward(false, false);
    command(CommandId::StopReadingPages)->setEnabled(false); // while favorites' pages are read
    m_dsMain->addressBox()->setToolTip(QStringLiteral("Address Bar"));
    bar->addAction(m_downloads->indicator());
}

QAction *Form1::command(CommandId id) const
{
    return m_dsMain->command(CommandIds::key(id));
}

QWidget *Form1::ActiveTabForm() const
{
    const DocumentWindow *w = m_dsMain->activeDocument();
    return w ? w->hostedForm() : nullptr;
}

void Form1::load(const QString &frontPage, std::optional<int> requestsBefore)
{
    m_isLoading = true;
    PlatformPaths::prepareProgramFolder();
    const QString folder = PlatformPaths::programFolder();
    m_popStopCommand = command(CommandId::PopupStop);

    // The open pages and the favorites are the user's own.
    PlatformPaths::makePrivateFolder(folder + QStringLiteral("/_data"));
    g().LoadedFile = folder + QStringLiteral("/_data/_loaded.dat");
    g().ConfigFile = folder + QStringLiteral("/_config.dat");
    g().FavoritesFile = folder + QStringLiteral("/_data/_favorites.dat");
    g().PermissionsFile = folder + QStringLiteral("/_data/_permissions.dat");
    g().PrevTabIndex = TabRules::kHomeTab;
    // Read before any page is requested: a page that completes writes its
    // entry and the tab count, and must not shorten the list first.
    const QStringList saved = LoadedPages::read(g().LoadedFile);

    g().HomePage = BrowserSettings::homePage();
    g().LoadBack = BrowserSettings::loadBack();
    g().AllowPopup = BrowserSettings::popupStop() ? 1 : 0;
    m_popStopCommand->setChecked(g().AllowPopup == 1);

    // The first page is requested first: the engine fetches and lays it out
    // while the window is put together. The window is drawn once the two
    // fixed tabs are in place; the tab pages stay hidden until then (each
    // new tab is current for a moment, and a page shown even that briefly
    // sets up its drawing, some megabytes a tab, for nothing).
    setUpdatesEnabled(false);
    DeferredIconEngine::setLookup(DeferredIconEngine::Lookup::Held);
    m_dsMain->holdPages(DockFrame::Hold::PagesAndTabBar);
    const int requested = requestsBefore.value_or(BrowserProfile::requestGuard()->pageRequests());
    // The page in front from the start, though the window is not drawn yet:
    // the home page, or the page the browser was started for (a link opened
    // from another program), which then waits for nothing else. The home
    // tab then loads its page when it is first shown.
    const bool startedForPage = !frontPage.trimmed().isEmpty();
    m_firstTab =
        m_tabs->openTab(g().HomePage, startedForPage ? BrowserTabs::TabLoad::WhenShown : BrowserTabs::TabLoad::Now);
    if (startedForPage) {
        // In front whatever the setting for new tabs: it is what was asked for.
        g().OpenInFront = true;
        m_firstTab = m_tabs->openTab(frontPage);
        g().OpenInFront = false;
    }
    m_firstAddress = startedForPage ? frontPage : g().HomePage;
    BrowserControl *first = m_firstTab->wb1();
    first->showSoon();
    // Its own record of the load's end: the engine says a load has started
    // some 30 ms after it was asked for, so "busy" is no sign of one asked.
    connect(
        first, &BrowserControl::DocumentComplete, this, [this] { m_firstPageEnded = true; }, Qt::SingleShotConnection);
    // The engine takes the request's first steps on this thread: the rest
    // waits until the request is on its way (a moment, at most a fifth of a
    // second), then is built while the page is fetched. Built and drawn
    // before the request instead, as a bare engine program draws its window,
    // it held the request back by as long as it took (some 60 ms under X),
    // and the load event came later too. Each step below goes on from the
    // event loop, so what the last one put on screen is drawn first; none
    // runs once the window is closing. (At the program's start the window
    // itself is made only once the request is out: it goes on at once.)
    const auto step = [this](const std::function<void()> &next) { goOnLater(next); };
    // Until the first page is on screen, nothing else is built: the panes'
    // forms, the completer and the star, and the saved session follow it,
    // the session a few tabs a turn.
    const auto build = [this, step, folder, saved] {
        clsLayout layout;
        layout.Load(folder + QStringLiteral("/_layout.lay"));
        if (layout.Layout().typeId() == QMetaType::QByteArray)
            m_dsMain->restoreLayout(layout.Layout().toByteArray());
        m_dsMain->setStartUp(true);
        WindowPlacement::restore(this);
        m_isLoading = false;
        show();
        step([this, saved] {
            m_tabs->openFavoritesTab();
            // The two fixed tabs show no close button.
            m_dsMain->setClosable(m_dsMain->document(TabRules::kHomeTab), false);
            m_dsMain->setClosable(m_dsMain->document(TabRules::kFavoritesTab), false);
            showFirstPage();
            // A turn each: together they held the window for some 60 ms.
            afterFirstPage([this, saved] {
                inTurns({[this] { showCommandImages(); },
                         [this] {
                             ProcessLauncher::start(kRegsvr, ProcessLauncher::Window::Minimised);
                             setupCompletion();
                         },
                         [this] {
                             auto *search = new Form5;
                             connect(search, &Form5::openRequested, m_tabs, &BrowserTabs::open);
                             mdlAplication::AttachPane(m_dsMain, search, QStringLiteral("frmSearch"));
                             auto *history = new Form6;
                             connect(history, &Form6::openRequested, m_tabs, &BrowserTabs::open);
                             mdlAplication::AttachPane(m_dsMain, history, QStringLiteral("frmHistory"));
                             mdlAplication::AttachPane(m_dsMain, new Form8, QStringLiteral("frmHelp"));
                         },
                         [this, saved] {
                             m_tabs->restoreSession(saved, [this] {
                                 if (!m_isClosing)
                                     finishLoad();
                             });
                         }});
            });
        });
    };
    if (const QString scheme = QUrl::fromUserInput(m_firstAddress).scheme();
        scheme == QStringLiteral("http") || scheme == QStringLiteral("https"))
        BrowserProfile::whenPageRequested(requested, std::chrono::milliseconds(200), this, build);
    else
        build();
}

void Form1::setupCompletion()
{
    m_completer = new AddressCompleter(m_dsMain->addressBox(), this);
    const auto pageAddress = [this] {
        auto *tab = qobject_cast<Form2 *>(ActiveTabForm());
        return tab ? tab->wb1()->LocationURL() : QString();
    };
    m_completer->setPageAddress(pageAddress);
    FavoriteStar::Hooks hooks;
    hooks.address = pageAddress;
    hooks.storedRecord = [this](const QString &url) { return m_completer->storedRecord(url); };
    hooks.prepare = [this] { m_completer->prepareFavorites(); };
    hooks.add = [this] { command(CommandId::AddFavorite)->trigger(); };
    hooks.edit = [this](const QString &record) {
        if (DocumentWindow *w = m_dsMain->document(TabRules::kFavoritesTab)) {
            if (auto *favorites = qobject_cast<Form9 *>(w->hostedForm()))
                favorites->editRecord(record);
        }
    };
    m_star = new FavoriteStar(m_dsMain->addressBox(), std::move(hooks), this);
    connect(m_tabs, &BrowserTabs::activeAddressChanged, m_star, &FavoriteStar::recheck);
    connect(m_dispatcher, &CommandDispatcher::favoriteAdded, m_star, &FavoriteStar::recheck);
    connect(m_dispatcher, &CommandDispatcher::favoriteAdded, m_pageText, [this](const QString &record) {
        // The page in front, when it still shows the favorite just stored.
        auto *tab = qobject_cast<Form2 *>(ActiveTabForm());
        const QString url = FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed();
        if (tab && !tab->isPrivate() && tab->wb1()->LocationURL() == url)
            m_pageText->favoriteAdded(tab->wb1());
    });
    connect(this, &Form1::commandExecuted, m_star, &FavoriteStar::recheck);
    // The page in front came before the star: its first look (which also
    // reads the favorites in the background, ready for the first key).
    m_star->recheck();
    // A click on a suggestion opens it as Enter would.
    connect(m_completer, &AddressCompleter::chosen, this, [this](const QString &text) {
        m_dsMain->addressBox()->setText(text);
        openTyped(text, PageTarget::ActiveTab);
    });
}

QString Form1::readAddress()
{
    // The whole text: a fixed-size buffer would cut long addresses.
    m_addressText = m_dsMain->addressBox()->text();
    return m_addressText;
}

void Form1::sizeAddressBar()
{
    m_dsMain->setBarDockedSize(QStringLiteral("Address"), 3540, 345);
    m_dsMain->setCommandWidth(QStringLiteral("mnuAddress"), MainRules::addressWidth(m_dsMain->widthTwips()));
    m_dsMain->setBarDockedSize(QStringLiteral("Address"), 3540, 345);
}

void Form1::onEditKeyDown(QAction *command, int *keyCode, int *shift)
{
    if (!command || command->objectName() != QStringLiteral("mnuAddress") || *keyCode != KeyCodes::kEnter)
        return;
    // The key is left to the box: with the completion list open, the list
    // closes on it.
    openTyped(readAddress(), *shift == KeyCodes::kCtrl ? PageTarget::NewTab : PageTarget::ActiveTab);
}

void Form1::openTyped(const QString &typed, PageTarget target)
{
    const QString address = AddressRules::resolve(typed, AddressCompleter::firstEngine().second);
    m_dsMain->addressBox()->finishEditing();
    m_addressNavigating = true;
    m_tabs->setAddressNavigating(true);
    if (target == PageTarget::ActiveTab) {
        if (auto *form = qobject_cast<Form2 *>(ActiveTabForm()))
            form->wb1()->Navigate(address);
    } else {
        m_tabs->openTab(address);
    }
    m_addressNavigating = false;
    m_tabs->setAddressNavigating(false);
}

void Form1::onWbBeforeNavigate(const QString &url, bool *cancel)
{
    *cancel = true;
    const bool open = MainRules::popupOpensTab(g().AllowPopup, g().LastShift, g().OpenInFront, m_isLoading);
    if (open) {
        m_tabs->openTab(url);
        g().OpenInFront = false;
    }
    emit popupDecided(url, open);
}

void Form1::showBackForward(bool back, bool next)
{
    for (const CommandId id : {CommandId::Back1, CommandId::Back})
        command(id)->setEnabled(back);
    for (const CommandId id : {CommandId::Next1, CommandId::Next})
        command(id)->setEnabled(next);
}

void Form1::onDocumentActivated(DocumentWindow *window)
{
    // Tabs come to the front one after the other as the window closes
    // them: nobody sees them.
    if (!window || m_isClosing)
        return;
    g().PrevTabIndex = g().CurTabIndex;
    g().CurTabIndex = window->position();
    QWidget *form = window->hostedForm();
    auto *tab = qobject_cast<Form2 *>(form);
    m_tabs->activated(tab, window);
    if (!form)
        return;
    form->setFocus();
    if (tab)
        tab->wb1()->setFocus();
    else if (window->position() == TabRules::kFavoritesTab)
        window->setCaption(QStringLiteral(" Favorites "));
    setWindowTitle(kCaption);
}

void Form1::sayInActiveTab(const QString &text)
{
    m_tabs->sayInActiveTab(text);
}

void Form1::onDocumentClosing(DocumentWindow *window, int, bool *cancel)
{
    if (window->position() <= TabRules::kFavoritesTab && !m_isClosing) {
        *cancel = true;
        sayInActiveTab(MainRules::fixedTabText(window->position()));
    } else {
        m_tabs->tabClosing(window); // remembered to reopen
    }
    if (!m_isClosing)
        LoadedPages::writeCountLater(g().LoadedFile, m_dsMain->documentCount());
    setWindowTitle(kCaption);
}

void Form1::onDocumentClosed(DocumentWindow *window, int number)
{
    if (QWidget *form = window->hostedForm()) {
        window->setHostedForm(nullptr);
        form->hide();
        form->deleteLater();
    }
    window->release();
    // The tabs after the closed one moved up: the list is written again
    // whole, in one write however many tabs there are.
    if (number == 1 && !m_isClosing)
        saveOpenPages();
}

void Form1::onDocumentOpened(DocumentWindow *, int)
{
    if (g().LoadBack == 1 && !g().OpenInFront) {
        if (DocumentWindow *previous = m_dsMain->document(g().PrevTabIndex)) {
            // The tab opened behind: the one the user was on comes back.
            previous->activate();
            previous->setShown(true);
            if (QWidget *form = previous->hostedForm()) {
                form->update();
                if (auto *tab = qobject_cast<Form2 *>(form))
                    tab->wb1()->setFocus();
            }
        }
    }
}

void Form1::onCommand(QAction *command)
{
    if (const auto id = CommandIds::fromKey(command->objectName()))
        m_dispatcher->execute(*id);
    emit commandExecuted(command->objectName());
}
