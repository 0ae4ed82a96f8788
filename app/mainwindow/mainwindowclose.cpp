// The main window's end: closing every tab and writing what the next start
// restores (kept apart from mainwindow.cpp, which holds the window's start).
#include "app/mainwindow/mainwindow.h"

#include "app/mainwindow/browsertabs.h"
#include "app/mainwindow/loadedpages.h"
#include "app/mainwindow/tabcommands.h"
#include "app/mainwindow/tabhistoryfile.h"
#include "app/mainwindow/windowplacement.h"
#include "app/settings/clslayout.h"
#include "app/settings/programstate.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"
#include "platform/logging.h"
#include "platform/platformpaths.h"
#include "platform/processlauncher.h"

#include <QCloseEvent>

#include <algorithm>

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    m_isClosing = true;
    m_tabs->setWindowClosing(true);
    m_tabCommands->endFullScreen(); // the layout and placement are kept as they are outside it
    // Closed before its start-up was done (a quit right after the start):
    // the session, layout and placement on disk are still the user's.
    if (m_loaded)
        saveOpenPages();
    hide();
    // Each tab closed in front makes the next one current: the tab stack
    // would turn drawing off and on over every page it still holds, and
    // the bar would move its close button, for each of them. With updates
    // off for the whole window and the pages held, neither happens.
    setUpdatesEnabled(false);
    m_dsMain->holdPages(DockFrame::Hold::PagesAndTabBar);
    // Last tab first: a tab closed behind the current one changes nothing
    // else, while each one closed in front would make the next current.
    QList<DocumentWindow *> windows = m_dsMain->documents();
    std::reverse(windows.begin(), windows.end());
    for (DocumentWindow *w : std::as_const(windows)) {
        w->setShown(false);
        if (w->shown()) {
            // A tab refused to close: the window comes back.
            m_isClosing = false;
            m_tabs->setWindowClosing(false);
            event->ignore();
            m_dsMain->holdPages(DockFrame::Hold::Nothing);
            setUpdatesEnabled(true);
            show();
            return;
        }
    }
    if (m_loaded)
        savePlacementAndLayout();
    ProcessLauncher::start(kRegsvr, ProcessLauncher::Window::Minimised);
    m_unloaded = true;
    event->accept();
}

void Form1::saveOpenPages()
{
    if (!LoadedPages::writeAll(programState().LoadedFile, m_tabs->openPages()))
        qCWarning(lcProfile) << "open pages not saved" << programState().LoadedFile;
    QList<TabHistoryFile::Entry> histories;
    for (const auto &[url, history] : m_tabs->savedHistories())
        histories.append({url, history});
    TabHistoryFile::write(TabHistoryFile::pathBeside(programState().LoadedFile), histories);
}

void Form1::savePlacementAndLayout()
{
    clsLayout layout;
    layout.setLayout(m_dsMain->saveLayout());
    layout.Save(PlatformPaths::programFolder() + QStringLiteral("/_layout.lay"));
    WindowPlacement::save(this);
}
