// Form1, the main window: menus, tool bars, address bar, tabs and panes.
#pragma once

#include "app/mainwindow/commandid.h"
#include "app/panes/pagetarget.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

class BrowserControl;
class DockFrame;
class DocumentWindow;
class Form2;
class MainStatusBar;
class QAction;

// The main window: start-up and shutdown, the tab events, the address bar,
// the status bar and the hidden browser wb that turns pages' new windows
// into tabs (or drops them when pop-up stop is on).
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    Form1();
    ~Form1() override;

    // Start-up: layout, settings, placement, panes, the fixed tabs and the
    // pages open last time. It goes on from the event loop and says loaded()
    // when done. frontPage: the page the browser was started for, shown in
    // front after the fixed tabs instead of the home page.
    // requestsBefore: the count of page requests before the first page was
    // started ahead of the window (its request may be out already); by
    // default, the count now.
    void load(const QString &frontPage = {}, std::optional<int> requestsBefore = {});
    bool isLoaded() const { return m_loaded; }

    DockFrame *dsMain() const { return m_dsMain; }
    BrowserControl *wb() const { return m_wb; }
    class FavoriteStar *star() const { return m_star; }
    class TabCommands *tabCommands() const { return m_tabCommands; }
    class BrowserTabs *tabs() const { return m_tabs; }
    class DownloadManager *downloads() const { return m_downloads; }
    QWidget *ActiveTabForm() const;
    QAction *PopStopCommand() const { return m_popStopCommand; }
    bool IsLoading() const { return m_isLoading; }
    bool IsClosing() const { return m_isClosing; }
    bool AddressNavigating() const { return m_addressNavigating; }

    // The address box text, whole.
    QString readAddress();
    // Says text in the active tab's status strip (the window's own status
    // bar keeps its "Ready").
    void sayInActiveTab(const QString &text);

signals:
    // Start-up is done: the fixed tabs and the last session's are in place.
    void loaded();
    // Every command, after the built-in handling.
    void commandExecuted(const QString &key);
    // A page's new window was opened as a tab, or dropped.
    void popupDecided(const QString &url, bool opened);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildCommands();
    void onCommand(QAction *command);
    QAction *command(CommandId id) const;
    // Back and Forward as the active tab can go (both off on a tab without a page).
    void showBackForward(bool back, bool next);
    void onDocumentActivated(DocumentWindow *window);
    void onDocumentClosing(DocumentWindow *window, int number, bool *cancel);
    void onDocumentClosed(DocumentWindow *window, int number);
    void onDocumentOpened(DocumentWindow *window, int number);
    void onEditKeyDown(QAction *command, int *keyCode, int *shift);
    void onWbBeforeNavigate(const QString &url, bool *cancel);
    void sizeAddressBar();
    void savePlacementAndLayout();
    // The whole open-pages list, in tab order, as the window closes.
    void saveOpenPages();
    void setupCompletion();
    // Keeping favorites' page text as pages load, and reading their pages.
    void setupPageText();
    static inline const QString kRegsvr = QStringLiteral("regsvr32.exe /s shdocvw.dll");
    // The first page's tab in front, drawn, with the focus.
    void showFirstPage();
    // The command images, held while the window's first frame is drawn, looked up and
    // drawn; and the program's icon, left out of it too.
    void showCommandImages();
    // next, from the event loop, unless the window is closing by then.
    void goOnLater(const std::function<void()> &next);
    // next, once the first page's first load has ended (a second at most).
    void afterFirstPage(const std::function<void()> &next);
    // Each step on a turn of its own, in order; none once the window is closing.
    void inTurns(std::deque<std::function<void()>> steps);
    void finishLoad();
    // Opens what the address box holds (an address, or words to search for).
    void openTyped(const QString &typed, PageTarget target);

    DockFrame *m_dsMain;
    class CommandDispatcher *m_dispatcher = nullptr;
    class BrowserTabs *m_tabs = nullptr;
    class DownloadManager *m_downloads = nullptr;
    BrowserControl *m_wb;
    MainStatusBar *m_picture2;
    QAction *m_popStopCommand = nullptr;
    QTimer m_timer1;
    QString m_addressText;
    class AddressCompleter *m_completer = nullptr;
    class FavoriteStar *m_star = nullptr;
    class FavoritePageText *m_pageText = nullptr;
    class FavoritePagesReader *m_pagesReader = nullptr;
    class TabCommands *m_tabCommands = nullptr;
    bool m_isLoading = false;
    bool m_isClosing = false;
    bool m_addressNavigating = false;
    bool m_unloaded = false;
    bool m_loaded = false;
    // The tab requested first at the start (the home tab, or the page the
    // browser was started for) and its address.
    QPointer<Form2> m_firstTab;
    QString m_firstAddress;
    bool m_firstPageEnded = false; // its first load has ended, loaded or failed
};
