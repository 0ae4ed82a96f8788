// The URL history as a collection, indexed from 1, filled at creation and on every Refresh, Clear and DeleteURL.
#pragma once

#include "navkit/liveobjects.h"
#include "platform/urlhistorystore.h"

#include <QList>
#include <vector>
#include <QObject>
#include <QPointer>

#include <memory>

class clsHistoryItem;

// The URL history as a collection, indexed from 1, filled at creation and
// on every Refresh, Clear and DeleteURL. Failures come back as false (or a
// null item), never as an exception or a crash; the collection then keeps
// what it held. The entries are kept as read; an item object is made when
// a host first asks for it (a million visits make no million objects), and
// stays valid as long as the collection (a host that keeps one longer
// takes it with setParent()).
class clsHistory : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    Q_INVOKABLE explicit clsHistory(QObject *parent = nullptr);
    ~clsHistory() override;

    Q_INVOKABLE bool AddURL(const QString &URL, const QString &Title, quint32 Flags);
    int Count() const { return int(m_entries.size()); }
    Q_INVOKABLE bool Clear();
    Q_INVOKABLE bool Refresh();
    Q_INVOKABLE bool Refresh(const QString &URLStartsWith);
    Q_INVOKABLE bool Refresh(const QString &URLStartsWith, quint32 Flags);
    Q_INVOKABLE QObject *Item(int Index) const;
    Q_INVOKABLE bool Remove(int Index);
    Q_INVOKABLE bool DeleteURL(const QString &URL, quint32 Flags);
    Q_INVOKABLE QObjectList NewEnum() const;

    // Library-internal: the entries of the collection without objects.
    const std::vector<UrlHistoryEntry> &entries() const { return m_entries; }

private:
    clsHistoryItem *itemAt(qsizetype index) const;

    std::unique_ptr<UrlHistoryStore> m_store;
    std::vector<UrlHistoryEntry> m_entries;
    // The items made so far, by entry (null: none asked for yet).
    mutable std::vector<QPointer<clsHistoryItem>> m_items;
    LiveObjectToken m_token;
};
