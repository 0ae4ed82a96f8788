// Typed access to a "QuillonHelper.clsHistoryItem" object through its properties by name.
#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>

class QObject;

// Typed access to a "QuillonHelper.clsHistoryItem" object through its
// properties by name. Reads of a vanished object give empty values.
class HistoryItemProxy
{
public:
    explicit HistoryItemProxy(QObject *object = nullptr)
        : m_object(object)
    {}

    bool isValid() const { return !m_object.isNull(); }
    QObject *object() const { return m_object; }

    QDateTime LastVisited() const;
    QDateTime Expires() const;
    QDateTime LastUpdated() const;
    QString URL() const;
    quint32 Flags() const;
    QString Title() const;

private:
    QPointer<QObject> m_object;
};
