// Whether a service answers on the desktop's session bus.
#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QString>
#include <QStringList>

namespace SessionBus {

// Whether the service named is on the session bus, or can be started there.
inline bool answers(const QString &service)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(service).value())
        return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(service);
}

} // namespace SessionBus
