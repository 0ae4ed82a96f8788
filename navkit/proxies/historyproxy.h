// Typed access to a "QuillonHelper.clsHistory" object, created by ProgID and called by name, as a generated client wrapper would.
#pragma once

#include "navkit/proxies/historyitemproxy.h"

#include <QPointer>
#include <QString>

class QObject;

// Typed access to a "QuillonHelper.clsHistory" object, created by ProgID
// and called by name, as a generated client wrapper would. Every call
// reports failure as false / an invalid item; none throws.
class HistoryProxy
{
public:
    // Creates the object by ProgID, owned by parent.
    static HistoryProxy create(QObject *parent = nullptr);
    explicit HistoryProxy(QObject *object = nullptr)
        : m_object(object)
    {}

    bool isValid() const { return !m_object.isNull(); }
    QObject *object() const { return m_object; }

    bool AddURL(const QString &url, const QString &title, quint32 flags);
    int Count() const;
    bool Clear();
    bool Refresh(const QString &urlStartsWith = QString(), quint32 flags = 0);
    HistoryItemProxy Item(int index) const;
    bool Remove(int index);
    bool DeleteURL(const QString &url, quint32 flags = 0);

private:
    QPointer<QObject> m_object;
};
