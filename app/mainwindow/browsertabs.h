// The window's side of its browser tabs: what a tab reports reaches the tab strip, the tool bar and the open-pages file.
#pragma once

#include "app/browser/closedtabs.h"
#include "engine/browsercontrol.h"
#include "app/panes/pagetarget.h"

#include <QIcon>
#include <QObject>
#include <QUrl>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class BrowserControl;
class DockFrame;
class DocumentWindow;
class Form2;
class QWidget;

// The tab set: it opens browser tabs and the favorites tab in the dock
// frame, remembers the tabs closed, and turns what each tab reports into
// the window's state (back/next, address box: the signals below), the
// tab's caption and its line in the open-pages file. Tabs know nothing of
// the window. When another tab comes to the front, its whole state is sent
// again.
class BrowserTabs : public QObject
{
    Q_OBJECT

public:
    // window: the main window, which owns the set; popupSource: the hidden
    // browser whose engine new tabs share.
    BrowserTabs(QWidget *window, DockFrame *dock, BrowserControl *popupSource);

    enum class TabLoad { Now, WhenShown };
    // Opens a new browser tab for the address; a tab restored at start-up
    // loads its page when it is first shown (and goes in behind the tab in
    // front). The new tab.
    Form2 *openTab(const QString &address, TabLoad load = TabLoad::Now,
                   BrowserControl::Privacy privacy = BrowserControl::Privacy::Normal);
    // A private tab in front, marked as such on its tab; nothing of its
    // pages is kept.
    Form2 *openPrivateTab(const QString &address);
    // Brings the first tab showing a page of origin to the front; false
    // when none does.
    bool activateTabOf(const QUrl &origin);
    // The mark of a private tab, on its tab and in the address box.
    static QIcon privateIcon();
    void openFavoritesTab();
    // A tab is about to close (the window let it): its page is remembered.
    void tabClosing(DocumentWindow *window);
    const ClosedTabs &closed() const { return m_closed; }
    // Opens closed entry index (0: the last closed) in front, its back and
    // forward history restored; nothing when there is none.
    void reopenClosed(int index);
    // While the window closes it writes the open pages itself and nothing
    // closed is remembered; while the address box opens a page, a tab
    // coming to the front does not show its own address.
    void setWindowClosing(bool closing) { m_windowClosing = closing; }
    void setAddressNavigating(bool navigating) { m_addressNavigating = navigating; }
    Form2 *activeTab() const;
    // Says text in the status strip of the tab in front (a browser tab's or
    // the favorites tab's).
    void sayInActiveTab(const QString &text);

    // Why the address of the tab in front is sent: its page moved, or the
    // tab came to the front (the box then shows it whatever was typed).
    enum class AddressSource { Page, TabSwitch };

    // The tab in the front now: its back/next state and address are shown.
    void activated(Form2 *tab, DocumentWindow *document);
    // Pages write their entries of the open-pages list from now on (not
    // while the list of the last session is being opened).
    void startRecording() { m_recording = true; }
    // Opens the pages of the last session behind the tab in front, each
    // named by the title the history knows for it and given its back and
    // forward list.
    // A few tabs a turn of the event loop (each makes a tab's widgets), so
    // that the window's thread stays free for the page in front; done runs
    // once every one is in, unless the window closes first.
    void restoreSession(const QStringList &saved, std::function<void()> done);
    // A pane's request to open a page.
    void open(const QString &url, PageTarget target);
    // The address of every tab, in tab order ("" for tabs without a page).
    QStringList openPages() const;
    // The back/forward list of every saved page (tabs from position 3 with
    // an address), in tab order.
    QList<std::pair<QString, QByteArray>> savedHistories() const;

signals:
    // A browser tab was made, before its page starts loading.
    void tabOpened(Form2 *tab);
    // The state of the tab in front, for the window's commands.
    void activeBackForwardChanged(bool back, bool next);
    void activeAddressChanged(const QString &address, BrowserTabs::AddressSource source);
    // Whether the tab in front is private (the address box marks it).
    void activePrivateChanged(bool isPrivate);

private:
    void adopt(Form2 *tab);
    DocumentWindow *documentOf(const Form2 *tab) const;
    void recordPage(const Form2 *tab);

    QWidget *m_window;
    DockFrame *m_dock;
    BrowserControl *m_popupSource;
    class BackgroundTabs *m_background;
    ClosedTabs m_closed;
    bool m_recording = false;
    bool m_windowClosing = false;
    struct SessionRestore;
    void restoreTurn(const std::shared_ptr<SessionRestore> &restore);
    bool m_addressNavigating = false;
};
