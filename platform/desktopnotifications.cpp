#include "platform/desktopnotifications.h"

#include "platform/logging.h"
#include "platform/sessionbus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
} // namespace

DesktopNotifications::DesktopNotifications(QObject *parent)
    : QObject(parent)
{
    // The service's signals are listened to from the first notification on,
    // not from here: the window makes this at start-up, and joining the bus
    // and each subscription are round trips on the window's thread.
}

void DesktopNotifications::listen()
{
    if (m_listening)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    m_listening = true;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this, SLOT(onClosed(uint, uint)));
}

bool DesktopNotifications::available()
{
    return SessionBus::answers(kService);
}

void DesktopNotifications::show(const QString &title, const QString &body, std::function<void()> clicked)
{
    listen(); // before the call, so that no click on it comes unheard
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Quillon XP") << uint(0) << QString() << title << body
         << QStringList{QStringLiteral("default"), QStringLiteral("Open")} << QVariantMap() << int(-1);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, clicked = std::move(clicked)](QDBusPendingCallWatcher *done) {
                const QDBusPendingReply<uint> reply = *done;
                if (reply.isError())
                    qCWarning(lcFiles) << "desktop notification not shown:" << reply.error().message();
                else
                    m_clicks.insert(reply.value(), clicked);
                done->deleteLater();
            });
}

void DesktopNotifications::onActionInvoked(uint id, const QString &)
{
    if (const auto it = m_clicks.constFind(id); it != m_clicks.cend())
        (*it)();
}

void DesktopNotifications::onClosed(uint id, uint)
{
    m_clicks.remove(id);
}
