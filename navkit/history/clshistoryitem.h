// One entry of the URL history.
#pragma once

#include "navkit/liveobjects.h"
#include "platform/urlhistorystore.h"

#include <QDateTime>
#include <QObject>

// One entry of the URL history. Dates are local time with whole seconds,
// computed on every read from the stored UTC times (which never change).
class clsHistoryItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QDateTime LastVisited READ LastVisited CONSTANT)
    Q_PROPERTY(QDateTime Expires READ Expires CONSTANT)
    Q_PROPERTY(QDateTime LastUpdated READ LastUpdated CONSTANT)
    Q_PROPERTY(QString URL READ URL CONSTANT)
    Q_PROPERTY(quint32 Flags READ Flags CONSTANT)
    Q_PROPERTY(QString Title READ Title CONSTANT)

public:
    Q_INVOKABLE explicit clsHistoryItem(QObject *parent = nullptr);

    QDateTime LastVisited() const { return localTime(m_entry.lastVisited); }
    QDateTime Expires() const { return localTime(m_entry.expires); }
    QDateTime LastUpdated() const { return localTime(m_entry.lastUpdated); }
    QString URL() const { return m_entry.url; }
    quint32 Flags() const { return m_entry.flags; }
    QString Title() const { return m_entry.title; }

    // Library-internal: fills the item with a copy of a store record.
    void fill(const UrlHistoryEntry &entry) { m_entry = entry; }
    const UrlHistoryEntry &entry() const { return m_entry; }

    static QDateTime localTime(quint64 fileTime);

    // Library-internal: a host was given this item, so it must stay valid
    // after it leaves the collection (until the collection goes).
    void markHandedOut() { m_handedOut = true; }
    bool handedOut() const { return m_handedOut; }

private:
    UrlHistoryEntry m_entry;
    bool m_handedOut = false;
    LiveObjectToken m_token;
};
