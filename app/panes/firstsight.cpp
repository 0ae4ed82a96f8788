#include "app/panes/firstsight.h"

#include <QEvent>
#include <QWidget>

FirstSight::FirstSight(QWidget *widget, std::function<void()> action)
    : QObject(widget)
    , m_widget(widget)
    , m_action(std::move(action))
{
    widget->installEventFilter(this);
}

bool FirstSight::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_widget && event->type() == QEvent::Paint && !m_queued) {
        m_queued = true;
        QMetaObject::invokeMethod(this, &FirstSight::runIfSeen, Qt::QueuedConnection);
    }
    return false;
}

void FirstSight::runIfSeen()
{
    m_queued = false;
    if (!m_widget->isVisible() || m_widget->visibleRegion().isEmpty())
        return; // painted while passing; wait for the next paint
    m_widget->removeEventFilter(this);
    const auto action = std::move(m_action);
    deleteLater();
    if (action)
        action();
}
