// Runs an action once, soon after a widget is first seen on screen.
#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Runs an action once, soon after a widget is first seen on screen. Being
// "visible" is not enough: a side pane behind another in a tabbed dock
// area stays visible, only moved out of sight, and a tab briefly made
// current while the window is put together is painted and hidden again.
// The action runs from the event loop, never inside a paint or a show.
class FirstSight : public QObject
{
public:
    FirstSight(QWidget *widget, std::function<void()> action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void runIfSeen();

    QWidget *m_widget;
    std::function<void()> m_action;
    bool m_queued = false;
};
