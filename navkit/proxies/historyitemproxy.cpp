#include "navkit/proxies/historyitemproxy.h"

#include <QObject>
#include <QVariant>

namespace {
QVariant read(const QPointer<QObject> &o, const char *name)
{
    return o ? o->property(name) : QVariant();
}
} // namespace

QDateTime HistoryItemProxy::LastVisited() const
{
    return read(m_object, "LastVisited").toDateTime();
}
QDateTime HistoryItemProxy::Expires() const
{
    return read(m_object, "Expires").toDateTime();
}
QDateTime HistoryItemProxy::LastUpdated() const
{
    return read(m_object, "LastUpdated").toDateTime();
}
QString HistoryItemProxy::URL() const
{
    return read(m_object, "URL").toString();
}
quint32 HistoryItemProxy::Flags() const
{
    return read(m_object, "Flags").toUInt();
}
QString HistoryItemProxy::Title() const
{
    return read(m_object, "Title").toString();
}
