// Conversions between the system's time formats and QDateTime.
#pragma once

#include <QDateTime>
#include <QtGlobal>

// Conversions between the system's time formats and QDateTime.
namespace TimeConv {

// Automation date: days since 30 December 1899 00:00, the fraction being the
// time of day. The date and time are taken as they read (no time zone);
// seconds are whole. Before the epoch the fraction counts forward from the
// start of the day, as the format defines (-1.25 is 29 Dec 1899 06:00).
double toAutomationDate(const QDateTime &dateTime);
QDateTime fromAutomationDate(double value, Qt::TimeSpec spec = Qt::LocalTime);

// File time: 100-nanosecond intervals since 1 January 1601 UTC.
quint64 toFileTime(const QDateTime &dateTime);
QDateTime fromFileTime(quint64 fileTime);

} // namespace TimeConv
