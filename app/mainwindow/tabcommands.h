// What is done to tabs as a whole.
#pragma once

#include <QObject>

class BrowserTabs;
class ClosedTabs;
class DockFrame;
class DocumentWindow;
class QMainWindow;
class QMenu;

// What is done to tabs as a whole: going to the next, previous or n-th
// tab, the tab strip's context menu (reload, clone, close, close the
// others, reopen), the closed tabs to reopen, and full screen.
class TabCommands : public QObject
{
    Q_OBJECT

public:
    // The window's menu bar must hold the Tabs menu already.
    TabCommands(QMainWindow *window, DockFrame *frame, BrowserTabs *tabs);

    enum class Step { Next, Previous };
    void step(Step step);
    // Position 1 to 8; 0 is the last tab.
    void goTo(int position);
    void reopenLast();
    void toggleFullScreen();
    // Leaves full screen if it is on.
    void endFullScreen();
    const ClosedTabs &closed() const;
    // The entries of a tab's context menu.
    void fillMenu(QMenu *menu, DocumentWindow *window);
    // Every open tab by its whole title (its address as tooltip, the
    // current one checked); picking one brings it to the front.
    void fillTabList(QMenu *menu);

private:
    void closeOthers(DocumentWindow *keep);
    void fillReopenMenu(QMenu *menu);

    DockFrame *m_frame;
    BrowserTabs *m_tabs;
    class FullScreenView *m_fullScreen;
};
