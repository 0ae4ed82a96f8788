#include "platform/dockframe.h"

#include "platform/addressbox.h"
#include "platform/documentarea.h"
#include "platform/documentwindow.h"
#include "platform/keycodes.h"
#include "platform/dockpane.h"
#include "platform/twips.h"

#include <QAction>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QTabBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

#include <algorithm>

namespace {
constexpr int kLayoutVersion = 1;

} // namespace

DockFrame::DockFrame(QMainWindow *host)
    : QObject(host)
    , m_host(host)
    , m_tabs(new QTabWidget)
    , m_address(new AddressBox)
{
    m_tabs->setObjectName(QStringLiteral("Documents"));
    m_tabs->setDocumentMode(true);
    // Close buttons are placed by updateCloseButtons, not by the tab bar: its
    // own lay out every tab again for each tab added.
    m_tabs->setTabsClosable(false);
    m_tabs->setMovable(false);
    // Captions are short already; with many tabs the bar scrolls instead.
    m_tabs->setElideMode(Qt::ElideNone);
    m_tabs->setUsesScrollButtons(true);
    m_tabs->tabBar()->installEventFilter(this);
    host->setCentralWidget(new DocumentArea(m_tabs, host));
    host->installEventFilter(this);

    host->menuBar()->setObjectName(QStringLiteral("MenuBar"));
    for (const QString &name : {QStringLiteral("ToolBar"), QStringLiteral("Address")}) {
        if (name == QStringLiteral("Address"))
            host->addToolBarBreak();
        auto *bar = host->addToolBar(name);
        bar->setObjectName(name);
        m_bars.insert(name, bar);
    }
    auto *addressAction = new QWidgetAction(this);
    addressAction->setObjectName(QStringLiteral("mnuAddress"));
    addressAction->setDefaultWidget(m_address);
    m_address->setObjectName(QStringLiteral("mnuAddressEdit"));
    connect(m_address, &AddressBox::keyDown, this,
            [this](int *code, int *shift) { emit EditKeyDown(m_addressCommand, code, shift); });
    m_addressCommand = addressAction;
    m_bars.value(QStringLiteral("Address"))->addWidget(new QLabel(QStringLiteral("Address  ")));
    m_bars.value(QStringLiteral("Address"))->addAction(addressAction);
    m_commands.insert(QStringLiteral("mnuAddress"), addressAction);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        updateCloseButtons();
        if (DocumentWindow *w = documentAt(index))
            emit DocumentActivated(w);
    });
}

DockFrame::~DockFrame() = default;

QMenuBar *DockFrame::menuBar() const
{
    return m_host->menuBar();
}

QToolBar *DockFrame::toolBar(const QString &name) const
{
    return m_bars.value(name);
}

QMenu *DockFrame::addMenu(const QString &key, const QString &caption)
{
    QMenu *menu = m_host->menuBar()->addMenu(caption);
    menu->setObjectName(key);
    menu->menuAction()->setObjectName(key);
    return menu;
}

QAction *DockFrame::addCommand(const QString &key, const QString &caption, const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, m_host);
    action->setObjectName(key);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, action] { emit CommandExecuted(action); });
    if (!m_commands.contains(key))
        m_commands.insert(key, action);
    return action;
}

QAction *DockFrame::command(const QString &key) const
{
    return m_commands.value(key);
}

QString DockFrame::commandText(const QString &key) const
{
    if (key == QStringLiteral("mnuAddress"))
        return m_address->text();
    const QAction *a = command(key);
    return a ? a->text() : QString();
}

void DockFrame::setCommandText(const QString &key, const QString &text)
{
    if (key == QStringLiteral("mnuAddress")) {
        m_address->showAddress(text);
    } else if (QAction *a = command(key)) {
        a->setText(text);
    }
}

void DockFrame::setCommandWidth(const QString &key, int twips)
{
    if (key == QStringLiteral("mnuAddress") && twips >= 0)
        m_address->setFixedWidth(Twips::px(twips));
}

void DockFrame::setBarDockedSize(const QString &name, int widthTwips, int heightTwips)
{
    if (QToolBar *bar = toolBar(name)) {
        bar->setMinimumHeight(Twips::px(heightTwips));
        bar->setProperty("dockedWidth", widthTwips);
    }
}

void DockFrame::holdPages(Hold hold)
{
    // The tab widget's page stack (a direct child); hiding the tab widget
    // itself would hand its room to the docked panes.
    const auto stacks = m_tabs->findChildren<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QStackedWidget *stack : stacks)
        stack->setVisible(hold != Hold::PagesAndTabBar);
    // A visible tab bar lays out every tab again at each tab added: with
    // thousands of restored tabs that alone took minutes.
    m_tabs->tabBar()->setVisible(hold == Hold::Nothing);
    m_held = hold != Hold::Nothing;
    updateCloseButtons();
}

bool DockFrame::wantsCloseButton(int index) const
{
    const DocumentWindow *w = documentAt(index);
    if (m_held || !w || m_fixed.contains(w))
        return false;
    return m_tabs->count() <= kCloseButtonsOnAllTabs || index == m_tabs->currentIndex();
}

void DockFrame::updateCloseButtons()
{
    QTabBar *bar = m_tabs->tabBar();
    // Looking is cheap; only adding or removing a button makes the tab bar
    // lay out every tab, so that is done only where something changes.
    for (int index = 0; index < bar->count(); ++index) {
        QWidget *button = bar->tabButton(index, QTabBar::RightSide);
        const bool want = wantsCloseButton(index);
        if (want && !button) {
            auto *close = new QToolButton(bar);
            close->setAutoRaise(true);
            close->setIcon(bar->style()->standardIcon(QStyle::SP_TabCloseButton, nullptr, bar));
            close->setIconSize(QSize(12, 12));
            close->setFixedSize(16, 16);
            close->setFocusPolicy(Qt::NoFocus);
            close->setToolTip(QStringLiteral("Close Tab"));
            connect(close, &QToolButton::clicked, this, [this, close] {
                QTabBar *tabs = m_tabs->tabBar();
                for (int i = 0; i < tabs->count(); ++i) {
                    if (tabs->tabButton(i, QTabBar::RightSide) == close) {
                        closeDocument(documentAt(i));
                        return;
                    }
                }
            });
            bar->setTabButton(index, QTabBar::RightSide, close);
        } else if (!want && button) {
            bar->setTabButton(index, QTabBar::RightSide, nullptr);
            button->deleteLater();
        }
    }
}

DocumentWindow *DockFrame::addDocument(const QString &caption, QWidget *form, Placement placement, int position)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *window = new DocumentWindow(this, QStringLiteral("doc%1").arg(m_nextKey++), page);
    m_documents.append(window);
    m_byPage.insert(page, window);
    m_byKey.insert(window->key(), window);
    window->setHostedForm(form);
    {
        const QSignalBlocker blocker(m_tabs); // activation is reported once, below
        const int index = m_tabs->insertTab(position > 0 ? position - 1 : -1, page, DocumentWindow::labelText(caption));
        m_tabs->setTabToolTip(index, caption.trimmed());
        if (placement == Placement::Front)
            m_tabs->setCurrentIndex(index);
    }
    updateCloseButtons();
    if (placement == Placement::Front)
        emit DocumentActivated(window);
    emit DocumentOpened(window, 1);
    return window;
}

QList<DocumentWindow *> DockFrame::documents() const
{
    QList<DocumentWindow *> out;
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (DocumentWindow *w = documentAt(i))
            out.append(w);
    }
    return out;
}

int DockFrame::documentCount() const
{
    return m_tabs->count();
}

DocumentWindow *DockFrame::document(int position) const
{
    return documentAt(position - 1);
}

DocumentWindow *DockFrame::documentAt(int index) const
{
    QWidget *page = index >= 0 ? m_tabs->widget(index) : nullptr;
    return page ? m_byPage.value(page) : nullptr;
}

DocumentWindow *DockFrame::documentByKey(const QString &key) const
{
    DocumentWindow *w = m_byKey.value(key);
    return w && w->position() > 0 ? w : nullptr;
}

DocumentWindow *DockFrame::activeDocument() const
{
    return documentAt(m_tabs->currentIndex());
}

bool DockFrame::closeDocument(DocumentWindow *window)
{
    if (!window || window->position() < 1)
        return false;
    bool cancel = false;
    emit DocumentClosing(window, 1, &cancel);
    if (cancel)
        return false;
    const int index = window->position() - 1;
    QWidget *page = window->page();
    if (index >= 0)
        m_tabs->removeTab(index);
    updateCloseButtons();
    emit DocumentClosed(window, 1);
    if (page)
        page->deleteLater();
    return true;
}

void DockFrame::setClosable(DocumentWindow *window, bool closable)
{
    if (!window)
        return;
    if (closable)
        m_fixed.remove(window);
    else
        m_fixed.insert(window);
    updateCloseButtons();
}

void DockFrame::forget(DocumentWindow *window)
{
    if (m_documents.removeOne(window)) {
        m_byPage.remove(m_byPage.key(window));
        m_byKey.remove(window->key());
        m_fixed.remove(window);
        window->deleteLater();
    }
}

DockPane *DockFrame::addPane(const QString &name, const QString &caption)
{
    auto *dock = new QDockWidget(caption, m_host);
    dock->setObjectName(name);
    m_host->addDockWidget(Qt::LeftDockWidgetArea, dock);
    auto *pane = new DockPane(dock, this);
    m_panes.insert(name, pane);
    return pane;
}

DockPane *DockFrame::pane(const QString &name) const
{
    return m_panes.value(name);
}

QByteArray DockFrame::saveLayout() const
{
    return m_host->saveState(kLayoutVersion);
}

bool DockFrame::restoreLayout(const QByteArray &layout)
{
    return m_host->restoreState(layout, kLayoutVersion);
}

int DockFrame::widthTwips() const
{
    return Twips::tw(m_host->width());
}

bool DockFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_host && event->type() == QEvent::Resize) {
        emit Resized();
    } else if (watched == m_tabs->tabBar() && event->type() == QEvent::Wheel) {
        // The wheel moves through the tabs, one a notch, whatever the style says.
        const QPoint delta = static_cast<QWheelEvent *>(event)->angleDelta();
        const int steps = (delta.y() != 0 ? delta.y() : delta.x()) / -120;
        if (steps != 0)
            m_tabs->setCurrentIndex(std::clamp(m_tabs->currentIndex() + steps, 0, m_tabs->count() - 1));
        return true;
    } else if (watched == m_tabs->tabBar() && event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::MiddleButton) {
            if (DocumentWindow *w = documentAt(m_tabs->tabBar()->tabAt(mouse->position().toPoint())))
                closeDocument(w);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
