// The window's full screen: the page alone, without bars, panes or status.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QMainWindow;
class QWidget;

// F11 puts the window in full screen and hides its menu, tool bars, side
// panes, its status bar and the tabs' status strips; F11 or Esc brings
// back what was shown before.
class FullScreenView : public QObject
{
    Q_OBJECT

public:
    explicit FullScreenView(QMainWindow *window);

    bool isOn() const { return m_on; }
    void toggle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enter();
    void leave();
    // The window's bars, panes and status bar, and each tab's status strip.
    QList<QWidget *> chrome() const;

    QMainWindow *m_window;
    QList<QPointer<QWidget>> m_hidden;
    QList<QPointer<class QDockWidget>> m_inFront; // panes in view before
    bool m_on = false;
    bool m_wasMaximized = false;
};
