// A call run on the window thread once the screen shows what was changed.
#pragma once

#include <QObject>

#include <functional>

// Qt posts a window's repaint at low priority, behind every ordinary posted
// call, so a call queued the ordinary way (a zero timer, a queued
// connection) runs before the user sees what the turn changed. A call
// queued here runs behind the repaint: a long piece of work started in
// answer to an input shows the input's effect first.
class AfterPaint : public QObject
{
    Q_OBJECT

public:
    // Runs call on a turn of its own after widget's repaint, unless widget
    // is gone by then. widget is marked for a repaint first, so that there
    // is a repaint to wait for.
    static void call(QWidget *widget, std::function<void()> call);

protected:
    bool event(QEvent *event) override;

private:
    AfterPaint(QWidget *widget, std::function<void()> call);
    std::function<void()> m_call;
};
