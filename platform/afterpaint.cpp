#include "platform/afterpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

const QEvent::Type kRun = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

AfterPaint::AfterPaint(QWidget *widget, std::function<void()> call)
    : QObject(widget)
    , m_call(std::move(call))
{}

void AfterPaint::call(QWidget *widget, std::function<void()> call)
{
    // The repaint is posted once per window while one is pending: asked for
    // now, it is ahead of the call posted below at the same priority.
    widget->update();
    QCoreApplication::postEvent(new AfterPaint(widget, std::move(call)), new QEvent(kRun), Qt::LowEventPriority);
}

bool AfterPaint::event(QEvent *event)
{
    if (event->type() != kRun)
        return QObject::event(event);
    // The repaint and this event are handled in one pass over the posted
    // events, with no timer or input between them: the call goes on a turn
    // of its own, or the repaint and the call would be one pause.
    QTimer::singleShot(0, parent(), std::exchange(m_call, {}));
    deleteLater();
    return true;
}
