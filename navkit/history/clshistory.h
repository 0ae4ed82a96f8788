// The URL history as a collection, indexed from 1, filled at creation and on every Refresh, Clear and DeleteURL.
#pragma once

#include "liveobjects.h"
#include "urlhistorystore.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class clsHistoryItem;

// The URL history as a collection, indexed from 1, filled at creation and
// on every Refresh, Clear and DeleteURL. Failures come back as false (or a
// null item), never as an exception or a crash; the collection then keeps
// what it held. Items belong to the collection and are deleted by the next
// refill; a host that keeps one longer takes it with setParent().
class clsHistory : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    Q_INVOKABLE explicit clsHistory(QObject *parent = nullptr);
    ~clsHistory() override;

    Q_INVOKABLE bool AddURL(const QString &URL, const QString &Title, quint32 Flags);
    int Count() const { return int(m_items.size()); }
    Q_INVOKABLE bool Clear();
    Q_INVOKABLE bool Refresh();
    Q_INVOKABLE bool Refresh(const QString &URLStartsWith);
    Q_INVOKABLE bool Refresh(const QString &URLStartsWith, quint32 Flags);
    Q_INVOKABLE QObject *Item(int Index) const;
    Q_INVOKABLE bool Remove(int Index);
    Q_INVOKABLE bool DeleteURL(const QString &URL, quint32 Flags);
    Q_INVOKABLE QObjectList NewEnum() const;

    // Library-internal: the entries of the collection without objects.
    std::vector<UrlHistoryEntry> entries() const;

private:
    void setItems(const std::vector<UrlHistoryEntry> &entries);

    std::unique_ptr<UrlHistoryStore> m_store;
    QList<QPointer<clsHistoryItem>> m_items;
    LiveObjectToken m_token;
};
