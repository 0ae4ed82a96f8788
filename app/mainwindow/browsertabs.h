// The window's side of its browser tabs: what a tab reports reaches the tab strip, the tool bar and the open-pages file.
#pragma once

#include "pagetarget.h"

#include <QObject>
#include <QString>
#include <QStringList>

class DockFrame;
class DocumentWindow;
class Form1;
class Form2;

// Tabs know nothing of the window: each reports through its signals and
// this class, owned by the window, turns the reports of the tab in front
// into the window's state (back/next, address box) and every tab's into its
// caption and its line in the open-pages file. When another tab comes to
// the front, its whole state is sent again.
class BrowserTabs : public QObject
{
    Q_OBJECT

public:
    BrowserTabs(Form1 *window, DockFrame *dock);

    // Why the address of the tab in front is sent: its page moved, or the
    // tab came to the front (the box then shows it whatever was typed).
    enum class AddressSource { Page, TabSwitch };

    // Connects a tab made for this window.
    void adopt(Form2 *tab);
    // The tab in the front now: its back/next state and address are shown.
    void activated(Form2 *tab, DocumentWindow *document);
    // Pages write their entries of the open-pages list from now on (not
    // while the list of the last session is being opened).
    void startRecording() { m_recording = true; }
    // Opens the pages of the last session behind the tab in front, each
    // named by the title the history knows for it and given its back and
    // forward list. (Each tab's opened event lets the window's events run.)
    void restoreSession(const QStringList &saved);
    // A pane's request to open a page.
    void open(const QString &url, PageTarget target);
    // The address of every tab, in tab order ("" for tabs without a page).
    QStringList openPages() const;
    // The back/forward list of every saved page (tabs from position 3 with
    // an address), in tab order.
    QList<std::pair<QString, QByteArray>> savedHistories() const;

signals:
    // The state of the tab in front, for the window's commands.
    void activeBackForwardChanged(bool back, bool next);
    void activeAddressChanged(const QString &address, BrowserTabs::AddressSource source);

private:
    Form2 *activeTab() const;
    DocumentWindow *documentOf(const Form2 *tab) const;
    void recordPage(const Form2 *tab);

    Form1 *m_window;
    DockFrame *m_dock;
    class BackgroundTabs *m_background;
    bool m_recording = false;
};
