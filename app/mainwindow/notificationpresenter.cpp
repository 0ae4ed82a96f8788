#include "app/mainwindow/notificationpresenter.h"

#include "app/mainwindow/browsertabs.h"
#include "app/mainwindow/notificationtoast.h"
#include "engine/browserprofile.h"
#include "platform/desktopnotifications.h"

#include <QPointer>
#include <QWebEngineNotification>
#include <QWebEngineProfile>

#include <utility>

NotificationPresenter::NotificationPresenter(QWidget *window, BrowserTabs *tabs)
    : QObject(window)
    , m_window(window)
    , m_tabs(tabs)
    , m_desktop(new DesktopNotifications(this))
{
    BrowserProfile::forEachProfile(this, [this](QWebEngineProfile *profile) {
        profile->setNotificationPresenter(
            [self = QPointer<NotificationPresenter>(this)](std::unique_ptr<QWebEngineNotification> notification) {
                if (self)
                    self->present(std::move(notification));
            });
    });
}

NotificationPresenter::~NotificationPresenter()
{
    // The profiles outlive the window: they present nothing more here.
    for (QWebEngineProfile *profile : {BrowserProfile::instance(), BrowserProfile::offTheRecordIfMade()}) {
        if (profile)
            profile->setNotificationPresenter({});
    }
}

void NotificationPresenter::present(std::unique_ptr<QWebEngineNotification> notification)
{
    // Kept as long as either way of showing it may still be clicked.
    std::shared_ptr<QWebEngineNotification> shown(notification.release());
    shown->show();
    const auto clicked = [tabs = QPointer<BrowserTabs>(m_tabs), shown] {
        if (tabs)
            tabs->activateTabOf(shown->origin());
        shown->click();
    };
    if (DesktopNotifications::available())
        m_desktop->show(shown->title(), shown->message(), clicked);
    else
        new NotificationToast(m_window, shown->title(), shown->message(), clicked);
}
