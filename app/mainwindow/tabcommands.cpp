#include "app/mainwindow/tabcommands.h"

#include "app/mainwindow/commandid.h"

#include "engine/browsercontrol.h"
#include "app/browser/browsertab.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"
#include "app/mainwindow/fullscreenview.h"
#include "app/mainwindow/browsertabs.h"
#include "app/browser/closedtabs.h"
#include "platform/shownaddress.h"
#include "app/browser/tabrules.h"

#include <QMenu>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QToolButton>
#include <QTabBar>
#include <QTabWidget>

TabCommands::TabCommands(QMainWindow *window, DockFrame *frame, BrowserTabs *tabs)
    : QObject(window)
    , m_frame(frame)
    , m_tabs(tabs)
    , m_fullScreen(new FullScreenView(window))
{
    // With many tabs only a few fit: a button at the end of the bar and the
    // Tabs menu list them all.
    auto *listButton = new QToolButton(frame->tabs());
    listButton->setObjectName(QStringLiteral("TabListButton"));
    listButton->setArrowType(Qt::DownArrow);
    listButton->setAutoRaise(true);
    listButton->setToolTip(QStringLiteral("List all tabs"));
    listButton->setPopupMode(QToolButton::InstantPopup);
    auto *listMenu = new QMenu(listButton);
    listMenu->setObjectName(QStringLiteral("TabListMenu"));
    listButton->setMenu(listMenu);
    connect(listMenu, &QMenu::aboutToShow, this, [this, listMenu] {
        listMenu->clear();
        fillTabList(listMenu);
    });
    frame->tabs()->setCornerWidget(listButton, Qt::TopRightCorner);
    if (auto *tabsMenu = window->menuBar()->findChild<QMenu *>(QStringLiteral("mnuTabs"))) {
        connect(tabsMenu, &QMenu::aboutToShow, this, [this, tabsMenu] {
            for (QAction *a : tabsMenu->actions()) {
                if (a->property("tabEntry").toBool())
                    a->deleteLater();
            }
            QMenu list;
            fillTabList(&list);
            QAction *separator = tabsMenu->addSeparator();
            separator->setProperty("tabEntry", true);
            for (QAction *a : list.actions()) {
                a->setParent(tabsMenu);
                a->setProperty("tabEntry", true);
                tabsMenu->addAction(a);
            }
        });
    }

    QTabBar *bar = frame->tabs()->tabBar();
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, this, [this, bar](const QPoint &at) {
        const int index = bar->tabAt(at);
        DocumentWindow *document = index < 0 ? nullptr : m_frame->document(index + 1);
        if (!document)
            return;
        QMenu menu(bar);
        menu.setObjectName(QStringLiteral("TabMenu"));
        fillMenu(&menu, document);
        menu.exec(bar->mapToGlobal(at));
    });
}

const ClosedTabs &TabCommands::closed() const
{
    return m_tabs->closed();
}

void TabCommands::step(Step step)
{
    DockFrame *frame = m_frame;
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
    DockFrame *frame = m_frame;
    const int target = position <= 0 ? frame->documentCount() : position;
    if (DocumentWindow *w = frame->document(target))
        w->activate();
}

void TabCommands::reopenLast()
{
    m_tabs->reopenClosed(0);
}

void TabCommands::toggleFullScreen()
{
    m_fullScreen->toggle();
}

void TabCommands::endFullScreen()
{
    if (m_fullScreen->isOn())
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
        m_frame->command(CommandIds::key(CommandId::Clone))->trigger();
    });
    clone->setEnabled(tab);
    menu->addSeparator();
    QAction *close = menu->addAction(QStringLiteral("Close &Tab"), this, [this, target] {
        if (target)
            m_frame->closeDocument(target);
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

void TabCommands::fillTabList(QMenu *menu)
{
    DockFrame *frame = m_frame;
    const DocumentWindow *current = frame->activeDocument();
    for (DocumentWindow *w : frame->documents()) {
        const QString title = w->toolTip().isEmpty() ? w->caption().trimmed() : w->toolTip();
        QPointer<DocumentWindow> target(w);
        QAction *a = menu->addAction(QString(title).replace(u'&', QStringLiteral("&&")), this, [target] {
            if (target)
                target->activate();
        });
        a->setCheckable(true);
        a->setChecked(w == current);
        if (const auto *tab = qobject_cast<Form2 *>(w->hostedForm()))
            a->setToolTip(ShownAddress::of(tab->pageAddress()));
    }
    menu->setToolTipsVisible(true);
}

void TabCommands::fillReopenMenu(QMenu *menu)
{
    menu->setEnabled(!m_tabs->closed().isEmpty());
    for (int i = 0; i < m_tabs->closed().entries().size(); ++i) {
        const ClosedTabs::Entry &e = m_tabs->closed().entries().at(i);
        QAction *a = menu->addAction(e.title.trimmed().isEmpty() ? e.url : e.title.trimmed(), this,
                                     [this, i] { m_tabs->reopenClosed(i); });
        a->setToolTip(e.url);
    }
}

void TabCommands::closeOthers(DocumentWindow *keep)
{
    // From the last tab back: positions before the one closed stay valid.
    DockFrame *frame = m_frame;
    for (int p = frame->documentCount(); p > TabRules::kFavoritesTab; --p) {
        DocumentWindow *w = frame->document(p);
        if (w && w != keep)
            frame->closeDocument(w);
    }
    keep->activate();
}
