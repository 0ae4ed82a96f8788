#include "commanddispatcher.h"

#include "browsersettings.h"
#include "favoriterecord.h"

#include "browsercontrol.h"
#include "dockframe.h"
#include "dockpane.h"
#include "downloadmanager.h"
#include "documentwindow.h"
#include "mainrules.h"
#include "browsertabs.h"
#include "tabcommands.h"
#include "zoomrules.h"
#include "browsertab.h"
#include "browserpage.h"
#include "findbar.h"
#include "metareader.h"
#include "startpage.h"
#include "aboutbox.h"
#include "settingsdialog.h"
#include "favoritestab.h"
#include "internetoptions.h"
#include "filedialogservice.h"
#include "logging.h"
#include "makerinfo.h"
#include "mdlaplication.h"
#include "mdlcommondialog.h"
#include "mdlregistry.h"
#include "platformpaths.h"
#include "programstate.h"
#include "tabrules.h"

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
    const auto add = [this](const char *key, const std::function<void()> &handler) {
        m_handlers.insert(QString::fromLatin1(key), handler);
    };
    // Commands that act on the active tab's page; nothing without one.
    const auto onPage = [this](const char *key, const std::function<void(BrowserControl *)> &handler) {
        m_handlers.insert(QString::fromLatin1(key), [this, handler] {
            if (BrowserControl *browser = activeBrowser())
                handler(browser);
        });
    };
    add("mnuNew", [this, &g] {
        g.OpenInFront = true;
        m_to.tabs->openTab(g.HomePage);
        g.OpenInFront = false;
    });
    add("mnuNewTab", [this] {
        execute(QStringLiteral("mnuNew"));
        // A new tab by key is for typing an address: the box takes the keys
        // at once (F8 and New leave the focus on the page).
        AddressBox *box = m_to.dock->addressBox();
        box->setFocus(Qt::ShortcutFocusReason);
        box->selectAll();
    });
    add("mnuReopenTab", [this] { m_to.tabCommands->reopenLast(); });
    add("mnuNextTab", [this] { m_to.tabCommands->step(TabCommands::Step::Next); });
    add("mnuPrevTab", [this] { m_to.tabCommands->step(TabCommands::Step::Previous); });
    for (int n = 1; n <= 8; ++n)
        m_handlers.insert(QStringLiteral("mnuTab%1").arg(n), [this, n] { m_to.tabCommands->goTo(n); });
    add("mnuTabLast", [this] { m_to.tabCommands->goTo(0); });
    add("mnuFullScreen", [this] { m_to.tabCommands->toggleFullScreen(); });
    add("mnuZoomIn", [this] { zoom(ZoomRules::step(activeZoom(), ZoomRules::Direction::In)); });
    add("mnuZoomOut", [this] { zoom(ZoomRules::step(activeZoom(), ZoomRules::Direction::Out)); });
    add("mnuZoomReset", [this] { zoom(1.0); });
    add("mnuClone", [this, &g] {
        g.OpenInFront = true;
        if (BrowserControl *browser = activeBrowser())
            m_to.tabs->openTab(browser->LocationURL().trimmed());
        g.OpenInFront = false;
    });
    add("mnuOpen", [this] { openFile(false); });
    add("mnuOpenNew", [this] { openFile(true); });
    add("mnuImportBm", [this] { importBookmarks(); });
    add("mnuExportBm", [this] { exportBookmarks(); });
    add("mnuSettings", [this] {
        Form4 dialog(m_to.window);
        dialog.exec();
    });
    add("mnuAbout", [this] {
        Form3 dialog(m_to.window);
        dialog.exec();
    });
    add("mnuExit", [this] { m_to.window->close(); });
    add("mnuHistory", [this] { togglePane(QStringLiteral("frmHistory")); });
    add("mnuFindPan", [this] { togglePane(QStringLiteral("frmSearch")); });
    add("mnuHelpPan", [this] { togglePane(QStringLiteral("frmHelp")); });
    add("mnuPopStop", [this] { togglePopStop(); });
    add("mnuGotoAddress", [this] {
        if (QWidget *box = mdlAplication::AddressBoxWindow(m_to.dock)) {
            box->setFocus();
            if (auto *edit = qobject_cast<QLineEdit *>(box))
                edit->selectAll();
        }
    });
    add("mnuEmail", [] { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:"))); });
    add("mnuSupport", [] { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + MakerInfo::kSupportEmail)); });
    add("mnuContent", [this] { openHelp(); });
    add("mnuInternet", [this] {
        InternetOptions dialog(m_to.window);
        dialog.exec();
    });
    add("mnuFav", [this] { addToFavorites(); });
    add("mnuDownloads", [this] { m_to.downloads->showWindow(); });
    for (const char *key : {"mnuBack", "mnuBack1"})
        onPage(key, [](BrowserControl *b) { b->GoBack(); });
    for (const char *key : {"mnuNext", "mnuNext1"})
        onPage(key, [](BrowserControl *b) { b->GoForward(); });
    onPage("mnuStop", [](BrowserControl *b) { b->Stop(); });
    onPage("mnuRefresh", [](BrowserControl *b) { b->Refresh(); });
    onPage("mnuHardRefresh", [](BrowserControl *b) { b->RefreshBypassingCache(); });
    onPage("mnuHome", [this](BrowserControl *b) { goHome(b); });
    onPage("mnuSave", [](BrowserControl *b) { b->ExecWB(BrowserControl::SaveAs); });
    onPage("mnuPrint", [](BrowserControl *b) { b->ExecWB(BrowserControl::Print); });
    onPage("mnuCut", [](BrowserControl *b) { b->ExecWB(BrowserControl::Cut); });
    onPage("mnuCopy", [](BrowserControl *b) { b->ExecWB(BrowserControl::Copy); });
    onPage("mnuPaste", [](BrowserControl *b) { b->ExecWB(BrowserControl::Paste); });
    onPage("mnuSelAll", [](BrowserControl *b) { b->ExecWB(BrowserControl::SelectAll); });
    add("mnuFind", [this] {
        if (auto *tab = m_to.tabs->activeTab())
            tab->findBar()->open();
    });
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

bool CommandDispatcher::handles(const QString &key) const
{
    return m_handlers.contains(key);
}

void CommandDispatcher::execute(const QString &key)
{
    const auto handler = m_handlers.constFind(key);
    if (handler == m_handlers.cend()) {
        qCWarning(lcFiles) << "no handler for command" << key;
        return;
    }
    (*handler)();
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
            list.InsertFavorites(programState().FavoritesFile, record);
            emit favoriteAdded(record);
        } else
            qCWarning(lcFiles) << "favorite not stored: the favorites list is not there" << record;
    });
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
    QAction *command = m_to.dock->command(QStringLiteral("mnuPopStop"));
    if (!command)
        return;
    // The checkable command has already flipped its check mark.
    const bool on = command->isChecked();
    programState().AllowPopup = on ? 1 : 0;
    BrowserSettings::instance().setPopupStop(on);
    // Ctrl+Q quits elsewhere: say what it did here.
    m_to.tabs->sayInActiveTab(MainRules::popStopText(on));
}
