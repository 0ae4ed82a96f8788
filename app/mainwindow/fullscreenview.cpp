#include "app/mainwindow/fullscreenview.h"

#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

FullScreenView::FullScreenView(QMainWindow *window)
    : QObject(window)
    , m_window(window)
{}

bool FullScreenView::eventFilter(QObject *watched, QEvent *event)
{
    // Esc leaves full screen whatever has the focus (a page would take it
    // as its own key); only while full screen is on is this filter there.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == m_window) {
            if (event->type() == QEvent::KeyPress)
                leave();
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FullScreenView::toggle()
{
    if (m_on)
        leave();
    else
        enter();
}

QList<QWidget *> FullScreenView::chrome() const
{
    QList<QWidget *> widgets{m_window->menuBar(), m_window->statusBar()};
    for (QToolBar *bar : m_window->findChildren<QToolBar *>(Qt::FindDirectChildrenOnly))
        widgets.append(bar);
    for (QDockWidget *pane : m_window->findChildren<QDockWidget *>(Qt::FindDirectChildrenOnly))
        widgets.append(pane);
    for (QWidget *strip : m_window->findChildren<QWidget *>(QStringLiteral("StatusStrip")))
        widgets.append(strip);
    return widgets;
}

void FullScreenView::enter()
{
    m_on = true;
    m_hidden.clear();
    m_inFront.clear();
    for (QDockWidget *pane : m_window->findChildren<QDockWidget *>(Qt::FindDirectChildrenOnly)) {
        if (pane->isVisible() && !pane->visibleRegion().isEmpty())
            m_inFront.append(pane);
    }
    for (QWidget *w : chrome()) {
        if (w && !w->isHidden()) {
            m_hidden.append(w);
            w->hide();
        }
    }
    m_wasMaximized = m_window->isMaximized();
    m_window->setWindowState(m_window->windowState() | Qt::WindowFullScreen);
    qApp->installEventFilter(this);
}

void FullScreenView::leave()
{
    m_on = false;
    qApp->removeEventFilter(this);
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowFullScreen)
                             | (m_wasMaximized ? Qt::WindowMaximized : Qt::WindowNoState));
    for (const QPointer<QWidget> &w : std::as_const(m_hidden)) {
        if (w)
            w->show();
    }
    m_hidden.clear();
    // Showing panes tabbed together brings each to the front in turn: the
    // ones in front before are put back there.
    for (const QPointer<QDockWidget> &pane : std::as_const(m_inFront)) {
        if (pane)
            pane->raise();
    }
    m_inFront.clear();
}
