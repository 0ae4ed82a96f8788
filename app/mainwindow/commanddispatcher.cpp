#include "app/mainwindow/commanddispatcher.h"

#include "app/mainwindow/favoritepagesreader.h"

#include "app/settings/sitepermissionsdialog.h"
#include "app/settings/browsersettings.h"
#include "navkit/records/favoriterecord.h"

#include "engine/browsercontrol.h"
#include "platform/dockframe.h"
#include "platform/dockpane.h"
#include "app/browser/downloadmanager.h"
#include "platform/documentwindow.h"
#include "app/mainwindow/mainrules.h"
#include "app/mainwindow/browsertabs.h"
#include "app/mainwindow/tabcommands.h"
#include "app/browser/zoomrules.h"
#include "app/browser/browsertab.h"
#include "engine/browserpage.h"
#include "app/browser/findbar.h"
#include "engine/metareader.h"
#include "engine/startpage.h"
#include "app/settings/aboutbox.h"
#include "app/settings/settingsdialog.h"
#include "app/panes/favoritestab.h"
#include "app/settings/internetoptions.h"
#include "platform/filedialogservice.h"
#include "platform/logging.h"
#include "platform/makerinfo.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlcommondialog.h"
#include "app/settings/mdlregistry.h"
#include "platform/platformpaths.h"
#include "app/settings/programstate.h"
#include "app/browser/tabrules.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QLineEdit>
#include <QMainWindow>
#include <QUrl>

CommandDispatcher::CommandDispatcher(const Targets &targets, QObject *parent)
    : QObject(parent)
    , m_to(targets)
{
    buildHandlers();
}

BrowserControl *CommandDispatcher::activeBrowser() const
{
    auto *tab = m_to.tabs->activeTab();
    return tab ? tab->wb1() : nullptr;
}

QString CommandDispatcher::openFilter()
{
    const QChar nul(u'\0');
    return QStringLiteral("HTML Files (*.html)") + nul + QStringLiteral("*.html;*.htm") + nul
        + QStringLiteral("All Files (*.*)") + nul + QStringLiteral("*.*");
}

QString CommandDispatcher::favoriteRecord(const QString &title, const QString &url,
                                          const QList<std::pair<QString, QString>> &metaElements)
{
    return FavoriteRecord::compose(title, url) + FavoriteRecord::kFieldSeparator
        + FavoriteRecord::fieldText(FavoriteRecord::keywordText(metaElements));
}

void CommandDispatcher::buildHandlers()
{
    ProgramState &g = programState();
    const auto add = [this](CommandId id, const std::function<void()> &handler) {
        m_handlers[std::size_t(id)] = handler;
    };
    // Commands that act on the active tab's page; nothing without one.
    const auto onPage = [this](CommandId id, const std::function<void(BrowserControl *)> &handler) {
        m_handlers[std::size_t(id)] = [this, handler] {
            if (BrowserControl *browser = activeBrowser())
                handler(browser);
        };
    };
    add(CommandId::New, [this, &g] {
        g.OpenInFront = true;
        m_to.tabs->openTab(g.HomePage);
        g.OpenInFront = false;
    });
    add(CommandId::NewTab, [this] {
        execute(CommandId::New);
        // A new tab by key is for typing an address: the box takes the keys
        // at once (F8 and New leave the focus on the page).
        AddressBox *box = m_to.dock->addressBox();
        box->setFocus(Qt::ShortcutFocusReason);
        box->selectAll();
    });
    add(CommandId::NewPrivateTab, [this] {
        m_to.tabs->openPrivateTab(QStringLiteral("about:blank"));
        AddressBox *box = m_to.dock->addressBox();
        box->setFocus(Qt::ShortcutFocusReason);
        box->selectAll();
    });
    add(CommandId::ReopenTab, [this] { m_to.tabCommands->reopenLast(); });
    add(CommandId::NextTab, [this] { m_to.tabCommands->step(TabCommands::Step::Next); });
    add(CommandId::PreviousTab, [this] { m_to.tabCommands->step(TabCommands::Step::Previous); });
    for (int n = 1; n <= 8; ++n)
        add(CommandIds::tab(n), [this, n] { m_to.tabCommands->goTo(n); });
    add(CommandId::LastTab, [this] { m_to.tabCommands->goTo(0); });
    add(CommandId::FullScreen, [this] { m_to.tabCommands->toggleFullScreen(); });
    add(CommandId::ZoomIn, [this] { zoom(ZoomRules::step(activeZoom(), ZoomRules::Direction::In)); });
    add(CommandId::ZoomOut, [this] { zoom(ZoomRules::step(activeZoom(), ZoomRules::Direction::Out)); });
    add(CommandId::ZoomReset, [this] { zoom(1.0); });
    add(CommandId::Clone, [this, &g] {
        g.OpenInFront = true;
        if (BrowserControl *browser = activeBrowser())
            m_to.tabs->openTab(browser->LocationURL().trimmed());
        g.OpenInFront = false;
    });
    add(CommandId::Open, [this] { openFile(false); });
    add(CommandId::OpenNew, [this] { openFile(true); });
    add(CommandId::ImportBookmarks, [this] { importBookmarks(); });
    add(CommandId::ExportBookmarks, [this] { exportBookmarks(); });
    add(CommandId::Settings, [this] {
        Form4 dialog(m_to.window);
        dialog.exec();
    });
    add(CommandId::About, [this] {
        Form3 dialog(m_to.window);
        dialog.exec();
    });
    add(CommandId::Exit, [this] { m_to.window->close(); });
    add(CommandId::History, [this] { togglePane(QStringLiteral("frmHistory")); });
    add(CommandId::SearchPane, [this] { togglePane(QStringLiteral("frmSearch")); });
    add(CommandId::HelpPane, [this] { togglePane(QStringLiteral("frmHelp")); });
    add(CommandId::PopupStop, [this] { togglePopStop(); });
    add(CommandId::GotoAddress, [this] {
        if (QWidget *box = mdlAplication::AddressBoxWindow(m_to.dock)) {
            box->setFocus();
            if (auto *edit = qobject_cast<QLineEdit *>(box))
                edit->selectAll();
        }
    });
    add(CommandId::Email, [] { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:"))); });
    add(CommandId::Support,
        [] { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + MakerInfo::kSupportEmail)); });
    add(CommandId::Content, [this] { openHelp(); });
    add(CommandId::InternetOptions, [this] {
        InternetOptions dialog(m_to.window);
        dialog.exec();
    });
    add(CommandId::SitePermissions, [this] {
        SitePermissionsDialog dialog(programState().PermissionsFile, m_to.window);
        dialog.exec();
    });
    add(CommandId::AddFavorite, [this] { addToFavorites(); });
    add(CommandId::ReadFavoritePages, [this] { readFavoritePages(); });
    add(CommandId::StopReadingPages, [this] {
        if (m_to.pagesReader)
            m_to.pagesReader->cancel();
    });
    add(CommandId::Downloads, [this] { m_to.downloads->showWindow(); });
    for (const CommandId id : {CommandId::Back, CommandId::Back1})
        onPage(id, [](BrowserControl *b) { b->GoBack(); });
    for (const CommandId id : {CommandId::Next, CommandId::Next1})
        onPage(id, [](BrowserControl *b) { b->GoForward(); });
    onPage(CommandId::Stop, [](BrowserControl *b) { b->Stop(); });
    onPage(CommandId::Refresh, [](BrowserControl *b) { b->Refresh(); });
    onPage(CommandId::HardRefresh, [](BrowserControl *b) { b->RefreshBypassingCache(); });
    onPage(CommandId::Home, [this](BrowserControl *b) { goHome(b); });
    onPage(CommandId::Save, [](BrowserControl *b) { b->ExecWB(BrowserControl::SaveAs); });
    onPage(CommandId::Print, [](BrowserControl *b) { b->ExecWB(BrowserControl::Print); });
    onPage(CommandId::Cut, [](BrowserControl *b) { b->ExecWB(BrowserControl::Cut); });
    onPage(CommandId::Copy, [](BrowserControl *b) { b->ExecWB(BrowserControl::Copy); });
    onPage(CommandId::Paste, [](BrowserControl *b) { b->ExecWB(BrowserControl::Paste); });
    onPage(CommandId::SelectAll, [](BrowserControl *b) { b->ExecWB(BrowserControl::SelectAll); });
    add(CommandId::Find, [this] {
        if (auto *tab = m_to.tabs->activeTab())
            tab->findBar()->open();
    });
    add(CommandId::CloseTab, [this] {
        // The fixed tabs refuse in the window's closing handler.
        if (DocumentWindow *w = m_to.dock->activeDocument())
            m_to.dock->closeDocument(w);
    });
    for (std::size_t i = 0; i < m_handlers.size(); ++i) {
        if (!m_handlers[i])
            qCWarning(lcFiles) << "command without a handler" << CommandIds::key(CommandId(i));
    }
}

double CommandDispatcher::activeZoom() const
{
    const BrowserControl *browser = activeBrowser();
    return browser ? browser->zoomFactor() : 1.0;
}

void CommandDispatcher::zoom(double factor)
{
    if (auto *tab = m_to.tabs->activeTab())
        tab->setZoom(factor);
}

bool CommandDispatcher::handles(CommandId id) const
{
    return bool(m_handlers[std::size_t(id)]);
}

void CommandDispatcher::execute(CommandId id)
{
    if (const auto &handler = m_handlers[std::size_t(id)])
        handler();
    else
        qCWarning(lcFiles) << "no handler for command" << CommandIds::key(id);
}

QString CommandDispatcher::homeAddress(const QString &storedStartPage, const QString &settingsHomePage)
{
    if (!storedStartPage.trimmed().isEmpty())
        return storedStartPage.trimmed();
    if (!settingsHomePage.trimmed().isEmpty())
        return settingsHomePage.trimmed();
    return QStringLiteral("about:blank");
}

void CommandDispatcher::goHome(BrowserControl *browser)
{
    browser->Navigate(homeAddress(StartPage::stored(), programState().HomePage));
}

void CommandDispatcher::openHelp()
{
    const QString helpFile = PlatformPaths::installFolder() + QStringLiteral("/quillon.chm");
    if (QFileInfo::exists(helpFile) && QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile)))
        return;
    // No viewer for the help file here: the guide shipped with the program, in a tab.
    const QString guide = PlatformPaths::userGuide();
    if (guide.isEmpty()) {
        qCWarning(lcFiles) << "no help file and no user guide" << helpFile;
        return;
    }
    ProgramState &g = programState();
    g.OpenInFront = true;
    m_to.tabs->openTab(QUrl::fromLocalFile(guide).toString());
    g.OpenInFront = false;
}

void CommandDispatcher::openFile(bool newTab)
{
    const QString file = mdlCommonDialog::OpenFileDialog(m_to.window, openFilter(), QStringLiteral("Open File ..."),
                                                         mdlCommonDialog::kExplorerFlag)
                             .trimmed();
    if (file.isEmpty())
        return;
    const QString address = QUrl::fromLocalFile(file).toString();
    if (newTab) {
        m_to.tabs->openTab(address);
    } else if (BrowserControl *browser = activeBrowser()) {
        browser->Navigate(address);
    }
}

void CommandDispatcher::addToFavorites()
{
    QPointer<BrowserControl> browser = activeBrowser();
    if (!browser)
        return;
    // Title and address now: the META elements come later, and the tab
    // may be closed meanwhile (the favorite is then stored without them).
    const QString title = browser->LocationName();
    const QString address = browser->LocationURL();
    MetaReader::readThen(browser->page(), this, [this, browser, title, address](const MetaReader::Elements &meta) {
        if (!browser)
            qCWarning(lcFiles) << "tab closed while its keywords were read; stored without" << address;
        const QString record = favoriteRecord(title, address, meta);
        Form9 *tab = favoritesTab();
        ListProxy list = tab ? tab->List1() : ListProxy();
        if (list.isValid()) {
            // Stored away from the window's thread; the tab says when.
            connect(tab, &Form9::favoriteStored, this, &CommandDispatcher::favoriteAdded, Qt::UniqueConnection);
            list.InsertFavorites(programState().FavoritesFile, record);
        } else
            qCWarning(lcFiles) << "favorite not stored: the favorites list is not there" << record;
    });
}

void CommandDispatcher::readFavoritePages()
{
    FavoritePagesReader *reader = m_to.pagesReader;
    if (!reader || reader->running())
        return;
    QAction *stop = m_to.dock->command(CommandIds::key(CommandId::StopReadingPages));
    const auto say = [this](const QString &text) {
        if (Form2 *tab = m_to.tabs->activeTab())
            tab->showStatus(text);
    };
    connect(reader, &FavoritePagesReader::progress, this, [say](int done, int total) {
        say(QStringLiteral("Reading favorites' pages: %1 of %2").arg(done).arg(total));
    });
    connect(
        reader, &FavoritePagesReader::finished, this,
        [this, say, stop](int read, int total, bool cancelled) {
            disconnect(m_to.pagesReader, &FavoritePagesReader::progress, this, nullptr);
            if (stop)
                stop->setEnabled(false);
            say(cancelled ? QStringLiteral("Reading favorites' pages stopped: %1 of %2 read").arg(read).arg(total)
                          : QStringLiteral("Favorites' pages read: %1 of %2").arg(read).arg(total));
        },
        Qt::SingleShotConnection);
    if (stop)
        stop->setEnabled(true);
    reader->start();
}

Form9 *CommandDispatcher::favoritesTab() const
{
    DocumentWindow *favorites = m_to.dock->document(TabRules::kFavoritesTab);
    return favorites ? qobject_cast<Form9 *>(favorites->hostedForm()) : nullptr;
}

void CommandDispatcher::importBookmarks()
{
    Form9 *tab = favoritesTab();
    if (!tab)
        return;
    const QString path = FileDialogService::chooseBookmarksFile(m_to.window);
    if (path.isEmpty())
        return;
    // The favorites tab shows the progress and the outcome.
    if (DocumentWindow *favorites = m_to.dock->document(TabRules::kFavoritesTab))
        favorites->activate();
    tab->importBookmarks(path);
}

void CommandDispatcher::exportBookmarks()
{
    Form9 *tab = favoritesTab();
    if (!tab)
        return;
    const QString path = FileDialogService::getSaveFileName(
        m_to.window, QStringLiteral("Export Bookmarks"), QDir::home().filePath(QStringLiteral("bookmarks.html")),
        FileDialogService::bookmarksFilter() + QStringLiteral(";;All Files (*)"));
    if (!path.isEmpty())
        tab->exportBookmarks(path);
}

void CommandDispatcher::togglePane(const QString &name)
{
    DockPane *pane = m_to.dock->pane(name);
    if (!pane)
        return;
    // Only a pane the user can see is hidden; a covered one comes to the front.
    if (pane->inView())
        pane->setVisible(false);
    else
        pane->bringIntoView();
}

void CommandDispatcher::togglePopStop()
{
    QAction *command = m_to.dock->command(CommandIds::key(CommandId::PopupStop));
    if (!command)
        return;
    // The checkable command has already flipped its check mark.
    const bool on = command->isChecked();
    programState().AllowPopup = on ? 1 : 0;
    BrowserSettings::instance().setPopupStop(on);
    // Ctrl+Q quits elsewhere: say what it did here.
    m_to.tabs->sayInActiveTab(MainRules::popStopText(on));
}
