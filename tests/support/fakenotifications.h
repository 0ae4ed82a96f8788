// A desktop notification service of the test's own, on the test's session bus.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// The freedesktop notification service, on a connection of its own to the
// session bus (so the browser's calls travel the bus as they would to a
// desktop's): it keeps what it was asked to show, and a test "clicks" one.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    FakeNotifications()
        : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-notifications")))
    {
        m_registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals)
            && m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    ~FakeNotifications() override
    {
        m_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-notifications"));
    }
    bool registered() const { return m_registered; }
    const QStringList &shown() const { return m_shown; }
    // What a click on the last notification sends.
    void clickLast() { emit ActionInvoked(uint(m_shown.size()), QStringLiteral("default")); }

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        m_shown.append(summary + u'\n' + body);
        return uint(m_shown.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

signals:
    void ActionInvoked(uint id, const QString &actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    bool m_registered = false;
    QStringList m_shown;
};
