#include "platform/sessionbusjoin.h"

#include "platform/logging.h"

#include <QDBusConnection>

SessionBusJoin::SessionBusJoin()
    : m_thread([] {
        if (!QDBusConnection::sessionBus().isConnected())
            qCInfo(lcDialog) << "no session bus: notifications are shown in the window, no accessibility bridge";
    })
{}
