// A page's notification shown in the window's corner when the desktop has no notification service.
#pragma once

#include <QFrame>
#include <QTimer>

#include <functional>

class QLabel;

// A page's notification shown in the window's lower right corner when the
// desktop has no notification service: its title and text for a few
// seconds; a click runs the notification's click and closes it.
class NotificationToast : public QFrame
{
    Q_OBJECT

public:
    NotificationToast(QWidget *window, const QString &title, const QString &body, std::function<void()> clicked);

    static constexpr int kShownMs = 6000;
    QString title() const;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void place();

    QLabel *m_title;
    std::function<void()> m_clicked;
    QTimer m_timer;
};
