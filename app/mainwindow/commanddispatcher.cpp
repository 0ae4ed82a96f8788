#include "commanddispatcher.h"

#include "favoriterecord.h"

#include "browsercontrol.h"
#include "dockframe.h"
#include "dockpane.h"
#include "documentwindow.h"
#include "mainwindow.h"
#include "browsertab.h"
#include "aboutbox.h"
#include "settingsdialog.h"
#include "favoritestab.h"
#include "internetoptions.h"
#include "logging.h"
#include "makerinfo.h"
#include "mdlaplication.h"
#include "mdlcommondialog.h"
#include "mdlregistry.h"
#include "platformpaths.h"
#include "programstate.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QPointer>
#include <QLineEdit>
#include <QUrl>

CommandDispatcher::CommandDispatcher(Form1 *main)
    : QObject(main)
    , m_main(main)
{
}

BrowserControl *CommandDispatcher::activeBrowser() const
{
    auto *tab = qobject_cast<Form2 *>(m_main->ActiveTabForm());
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
    QString collected;
    for (const auto &[name, content] : metaElements) {
        const QString n = name.toLower();
        if (n == QStringLiteral("keywords") || n == QStringLiteral("description"))
            collected += content;
    }
    if (collected.trimmed().isEmpty())
        collected = QStringLiteral("no keywords");
    return FavoriteRecord::compose(title, url) + FavoriteRecord::kFieldSeparator + FavoriteRecord::fieldText(collected);
}

void CommandDispatcher::execute(const QString &key)
{
    ProgramState &g = programState();
    BrowserControl *browser = activeBrowser();
    if (key == QStringLiteral("mnuNew")) {
        g.OpenInFront = true;
        mdlAplication::OpenBrowserTab(g.HomePage);
        g.OpenInFront = false;
    } else if (key == QStringLiteral("mnuClone")) {
        g.OpenInFront = true;
        if (browser)
            mdlAplication::OpenBrowserTab(browser->LocationURL().trimmed());
        g.OpenInFront = false;
    } else if (key == QStringLiteral("mnuOpen")) {
        openFile(false);
    } else if (key == QStringLiteral("mnuOpenNew")) {
        openFile(true);
    } else if (key == QStringLiteral("mnuSettings")) {
        Form4 dialog(m_main);
        dialog.exec();
    } else if (key == QStringLiteral("mnuAbout")) {
        Form3 dialog(m_main);
        dialog.exec();
    } else if (key == QStringLiteral("mnuExit")) {
        m_main->close();
    } else if (key == QStringLiteral("mnuHistory")) {
        togglePane(QStringLiteral("frmHistory"));
    } else if (key == QStringLiteral("mnuFindPan")) {
        togglePane(QStringLiteral("frmSearch"));
    } else if (key == QStringLiteral("mnuHelpPan")) {
        togglePane(QStringLiteral("frmHelp"));
    } else if (key == QStringLiteral("mnuPopStop")) {
        togglePopStop();
    } else if (key == QStringLiteral("mnuGotoAddress")) {
        if (QWidget *box = mdlAplication::AddressBoxWindow()) {
            box->setFocus();
            if (auto *edit = qobject_cast<QLineEdit *>(box))
                edit->selectAll();
        }
    } else if (key == QStringLiteral("mnuEmail")) {
        QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:")));
    } else if (key == QStringLiteral("mnuSupport")) {
        QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + MakerInfo::kSupportEmail));
    } else if (key == QStringLiteral("mnuContent")) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(PlatformPaths::programFolder() + QStringLiteral("/quillon.chm")));
    } else if (key == QStringLiteral("mnuInternet")) {
        InternetOptions dialog(m_main);
        dialog.exec();
    } else if (key == QStringLiteral("mnuFav")) {
        addToFavorites();
    } else if (browser) {
        if (key == QStringLiteral("mnuBack") || key == QStringLiteral("mnuBack1"))
            browser->GoBack();
        else if (key == QStringLiteral("mnuNext") || key == QStringLiteral("mnuNext1"))
            browser->GoForward();
        else if (key == QStringLiteral("mnuStop"))
            browser->Stop();
        else if (key == QStringLiteral("mnuRefresh"))
            browser->Refresh();
        else if (key == QStringLiteral("mnuHome"))
            goHome(browser);
        else if (key == QStringLiteral("mnuSave"))
            browser->ExecWB(BrowserControl::SaveAs);
        else if (key == QStringLiteral("mnuPrint"))
            browser->ExecWB(BrowserControl::Print);
        else if (key == QStringLiteral("mnuCut"))
            browser->ExecWB(BrowserControl::Cut);
        else if (key == QStringLiteral("mnuCopy"))
            browser->ExecWB(BrowserControl::Copy);
        else if (key == QStringLiteral("mnuPaste"))
            browser->ExecWB(BrowserControl::Paste);
        else if (key == QStringLiteral("mnuSelAll"))
            browser->ExecWB(BrowserControl::SelectAll);
        else if (key == QStringLiteral("mnuFind"))
            browser->showFindBar();
    }
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
    browser->Navigate(homeAddress(BrowserControl::storedStartPage(), programState().HomePage));
}

void CommandDispatcher::openFile(bool newTab)
{
    const QString file =
        mdlCommonDialog::OpenFileDialog(m_main, openFilter(), QStringLiteral("Open File ..."), mdlCommonDialog::kExplorerFlag)
            .trimmed();
    if (file.isEmpty())
        return;
    const QString address = QUrl::fromLocalFile(file).toString();
    if (newTab) {
        mdlAplication::OpenBrowserTab(address);
    } else if (BrowserControl *browser = activeBrowser()) {
        browser->Navigate(address);
    }
}

void CommandDispatcher::addToFavorites()
{
    QPointer<BrowserControl> browser = activeBrowser();
    if (!browser)
        return;
    // Title and address first: reading the META elements waits for the
    // page, and the tab may be closed meanwhile.
    const QString title = browser->LocationName();
    const QString address = browser->LocationURL();
    const auto meta = browser->metaElements();
    if (!browser)
        qCWarning(lcFiles) << "tab closed while its keywords were read; stored without" << address;
    const QString record = favoriteRecord(title, address, meta);
    DocumentWindow *favorites = m_main->dsMain()->document(2);
    auto *tab = favorites ? qobject_cast<Form9 *>(favorites->hostedForm()) : nullptr;
    ListProxy list = tab ? tab->List1() : ListProxy();
    if (list.isValid())
        list.InsertFavorites(programState().FavoritesFile, record);
    else
        qCWarning(lcFiles) << "favorite not stored: the favorites list is not there" << record;
}

void CommandDispatcher::togglePane(const QString &name)
{
    if (DockPane *pane = m_main->dsMain()->pane(name))
        pane->setVisible(!pane->visible());
}

void CommandDispatcher::togglePopStop()
{
    QAction *command = m_main->PopStopCommand();
    if (!command)
        return;
    // The checkable command has already flipped its check mark.
    const bool on = command->isChecked();
    programState().AllowPopup = on ? 1 : 0;
    mdlRegistry::SetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, QStringLiteral("AllowPopup"),
                                  on ? QStringLiteral("1") : QStringLiteral("0"));
}
