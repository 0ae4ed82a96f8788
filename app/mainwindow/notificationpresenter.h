// Web notifications pages are allowed to show, on the desktop or in the window's corner.
#pragma once

#include <QObject>

#include <memory>

class BrowserTabs;
class DesktopNotifications;
class QWebEngineNotification;
class QWidget;

// The notifications pages are allowed to show: through the desktop's
// notification service when it runs, else as a toast in the window's
// corner. A click brings a tab of the page's site to the front and tells
// the page. Serves every profile of the program while it lives.
class NotificationPresenter : public QObject
{
    Q_OBJECT

public:
    NotificationPresenter(QWidget *window, BrowserTabs *tabs);
    ~NotificationPresenter() override;

private:
    void present(std::unique_ptr<QWebEngineNotification> notification);

    QWidget *m_window;
    BrowserTabs *m_tabs;
    DesktopNotifications *m_desktop;
};
