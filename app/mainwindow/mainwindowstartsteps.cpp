// The main window's start after the first page's request: its tab shown,
// the steps that wait for its load event, the images drawn then,
// and the end of the start (kept apart from mainwindow.cpp, which holds
// the window's construction and the order of the steps).
#include "app/mainwindow/mainwindow.h"

#include "app/browser/browsertab.h"
#include "app/mainwindow/browsertabs.h"
#include "app/browser/tabrules.h"
#include "app/mainwindow/commandtable.h"
#include "app/settings/programstate.h"
#include "engine/browsercontrol.h"
#include "platform/deferredicon.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"

#include <QApplication>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>

#include <memory>

void Form1::showFirstPage()
{
    DocumentWindow *first = m_firstTab ? m_dsMain->documentByKey(m_firstTab->Tag()) : nullptr;
    if (first)
        first->activate();
    // The tab bar stays hidden while the session's tabs are added: a shown
    // bar lays out every tab again at each one.
    m_dsMain->holdPages(DockFrame::Hold::TabBar);
    if (first && first->hostedForm())
        first->hostedForm()->setFocus(); // it could not take the focus while hidden
    setUpdatesEnabled(true);
    m_dsMain->setCommandText(QStringLiteral("mnuAddress"), m_firstAddress);
}

void Form1::showCommandImages()
{
    // The program's icon, for this window and those it opens (none of
    // their own, so they take the application's).
    QApplication::setWindowIcon(CommandTable::programIcon());
    DeferredIconEngine::setLookup(DeferredIconEngine::Lookup::Allowed);
    // Drawn without their images so far: the buttons and the panes' tabs.
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w->isVisible() && (qobject_cast<QToolButton *>(w) || qobject_cast<QTabBar *>(w)))
            w->update();
    }
}

void Form1::goOnLater(const std::function<void()> &next)
{
    QTimer::singleShot(0, this, [this, next] {
        if (!m_isClosing)
            next();
    });
}

void Form1::inTurns(std::deque<std::function<void()>> steps)
{
    if (steps.empty())
        return;
    std::function<void()> first = std::move(steps.front());
    steps.pop_front();
    goOnLater([this, first = std::move(first), rest = std::move(steps)] {
        first();
        inTurns(rest);
    });
}

void Form1::afterFirstPage(const std::function<void()> &next)
{
    Form2 *tab = m_firstTab;
    // No page asked for (no home page), or its load over already.
    if (!tab || !tab->wb1()->existingPage() || m_firstPageEnded) {
        goOnLater(next);
        return;
    }
    // Until the first page's load event the window's thread is the engine's
    // (a second at most: a slow site does not hold the rest back). The
    // timer is the wait: the first of the two deletes it, which cuts the
    // other off.
    constexpr int kLongestWaitMs = 1000;
    auto *wait = new QTimer(this);
    wait->setSingleShot(true);
    auto done = std::make_shared<bool>(false);
    const auto go = [this, wait, next, done] {
        if (*done)
            return; // the other one came first
        *done = true;
        wait->stop();
        wait->deleteLater();
        // Not from inside the load event's own signal: the page's other
        // handlers come first, and what follows is a turn of its own.
        goOnLater(next);
    };
    connect(wait, &QTimer::timeout, wait, go);
    connect(tab->wb1(), &BrowserControl::DocumentComplete, wait, go, Qt::SingleShotConnection);
    wait->start(kLongestWaitMs);
}

void Form1::finishLoad()
{
    m_dsMain->holdPages(DockFrame::Hold::Nothing);
    // Restored tabs write their entries only once they load: the list is
    // written whole now, at the positions they have in this session, and
    // from now on each page writes its own.
    m_tabs->startRecording();
    if (m_dsMain->documentCount() > TabRules::kFavoritesTab)
        saveOpenPages();
    m_loaded = true;
    emit loaded();
}
