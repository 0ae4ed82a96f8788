#include "tabcommands.h"

#include "browsercontrol.h"
#include "browsertab.h"
#include "dockframe.h"
#include "documentwindow.h"
#include "fullscreenview.h"
#include "mainwindow.h"
#include "tabrules.h"

#include <QMenu>
#include <QTabBar>
#include <QTabWidget>

TabCommands::TabCommands(Form1 *main)
    : QObject(main)
    , m_main(main)
    , m_fullScreen(new FullScreenView(main))
{
    DockFrame *frame = main->dsMain();
    // After the window's own handler, which refuses to close the fixed tabs.
    connect(frame, &DockFrame::DocumentClosing, this, [this](DocumentWindow *window, int, bool *cancel) {
        if (*cancel || m_main->IsClosing())
            return;
        if (auto *tab = qobject_cast<Form2 *>(window->hostedForm()))
            m_closed.remember(tab);
    });
    QTabBar *bar = frame->tabs()->tabBar();
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, this, [this, bar](const QPoint &at) {
        const int index = bar->tabAt(at);
        DocumentWindow *window = index < 0 ? nullptr : m_main->dsMain()->document(index + 1);
        if (!window)
            return;
        QMenu menu(bar);
        menu.setObjectName(QStringLiteral("TabMenu"));
        fillMenu(&menu, window);
        menu.exec(bar->mapToGlobal(at));
    });
}

void TabCommands::step(Step step)
{
    DockFrame *frame = m_main->dsMain();
    const int count = frame->documentCount();
    if (count < 2)
        return;
    const int current = frame->tabs()->currentIndex() + 1;
    const int next = step == Step::Next ? current % count + 1 : (current + count - 2) % count + 1;
    if (DocumentWindow *w = frame->document(next))
        w->activate();
}

void TabCommands::goTo(int position)
{
    DockFrame *frame = m_main->dsMain();
    const int target = position <= 0 ? frame->documentCount() : position;
    if (DocumentWindow *w = frame->document(target))
        w->activate();
}

void TabCommands::reopenLast()
{
    if (!m_closed.isEmpty())
        ClosedTabs::reopen(m_closed.take(0));
}

void TabCommands::toggleFullScreen()
{
    m_fullScreen->toggle();
}

void TabCommands::fillMenu(QMenu *menu, DocumentWindow *window)
{
    auto *tab = qobject_cast<Form2 *>(window->hostedForm());
    const bool fixed = window->position() <= TabRules::kFavoritesTab;
    QPointer<DocumentWindow> target(window);
    QAction *reload = menu->addAction(QStringLiteral("&Reload"), this, [target] {
        if (auto *t = target ? qobject_cast<Form2 *>(target->hostedForm()) : nullptr)
            t->wb1()->Refresh();
    });
    reload->setEnabled(tab);
    QAction *clone = menu->addAction(QStringLiteral("&Clone"), this, [this, target] {
        if (!target)
            return;
        target->activate();
        m_main->dsMain()->command(QStringLiteral("mnuClone"))->trigger();
    });
    clone->setEnabled(tab);
    menu->addSeparator();
    QAction *close = menu->addAction(QStringLiteral("Close &Tab"), this, [this, target] {
        if (target)
            m_main->dsMain()->closeDocument(target);
    });
    close->setEnabled(!fixed);
    menu->addAction(QStringLiteral("Close &Other Tabs"), this, [this, target] {
        if (target)
            closeOthers(target);
    });
    menu->addSeparator();
    QMenu *reopen = menu->addMenu(QStringLiteral("Reopen Closed Tab"));
    reopen->setObjectName(QStringLiteral("ReopenMenu"));
    fillReopenMenu(reopen);
}

void TabCommands::fillReopenMenu(QMenu *menu)
{
    menu->setEnabled(!m_closed.isEmpty());
    for (int i = 0; i < m_closed.entries().size(); ++i) {
        const ClosedTabs::Entry &e = m_closed.entries().at(i);
        QAction *a = menu->addAction(e.title.trimmed().isEmpty() ? e.url : e.title.trimmed(), this,
                                     [this, i] { ClosedTabs::reopen(m_closed.take(i)); });
        a->setToolTip(e.url);
    }
}

void TabCommands::closeOthers(DocumentWindow *keep)
{
    // From the last tab back: positions before the one closed stay valid.
    DockFrame *frame = m_main->dsMain();
    for (int p = frame->documentCount(); p > TabRules::kFavoritesTab; --p) {
        DocumentWindow *w = frame->document(p);
        if (w && w != keep)
            frame->closeDocument(w);
    }
    keep->activate();
}
