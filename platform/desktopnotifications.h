// The desktop's notification service (freedesktop notifications on the session bus).
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

// The desktop's notification service: the freedesktop notification service
// on the session bus. A notification shown there runs its click handler
// when the user clicks it. Nothing waits for the service.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifications(QObject *parent = nullptr);

    // Whether the service answers (or can be started) on the session bus.
    static bool available();
    // Shows title and body; clicked runs when the user clicks it.
    void show(const QString &title, const QString &body, std::function<void()> clicked);

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    // Joins the session bus and hears the service's signals, once.
    void listen();

    QHash<uint, std::function<void()>> m_clicks;
    bool m_listening = false;
};
