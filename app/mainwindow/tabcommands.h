#pragma once

#include "closedtabs.h"

#include <QObject>

class DocumentWindow;
class Form1;
class QMenu;

// What is done to tabs as a whole: going to the next, previous or n-th
// tab, the tab strip's context menu (reload, clone, close, close the
// others, reopen), the closed tabs to reopen, and full screen.
class TabCommands : public QObject
{
    Q_OBJECT

public:
    explicit TabCommands(Form1 *main);

    enum class Step { Next, Previous };
    void step(Step step);
    // Position 1 to 8; 0 is the last tab.
    void goTo(int position);
    void reopenLast();
    void toggleFullScreen();
    // Leaves full screen if it is on.
    void endFullScreen();
    const ClosedTabs &closed() const { return m_closed; }
    // The entries of a tab's context menu.
    void fillMenu(QMenu *menu, DocumentWindow *window);
    // Every open tab by its whole title (its address as tooltip, the
    // current one checked); picking one brings it to the front.
    void fillTabList(QMenu *menu);

private:
    void closeOthers(DocumentWindow *keep);
    void fillReopenMenu(QMenu *menu);

    Form1 *m_main;
    class FullScreenView *m_fullScreen;
    ClosedTabs m_closed;
};
