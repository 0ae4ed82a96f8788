#include "navkit/history/clshistoryitem.h"

#include "platform/timeconv.h"

clsHistoryItem::clsHistoryItem(QObject *parent)
    : QObject(parent)
{}

QDateTime clsHistoryItem::localTime(quint64 fileTime)
{
    const QDateTime local = TimeConv::fromFileTime(fileTime).toLocalTime();
    return QDateTime(local.date(), QTime(local.time().hour(), local.time().minute(), local.time().second()),
                     Qt::LocalTime);
}
