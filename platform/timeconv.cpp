#include "platform/timeconv.h"

#include <QTimeZone>

#include <cmath>

namespace TimeConv {

namespace {
const QDate kAutomationEpoch(1899, 12, 30);
constexpr qint64 kSecondsPerDay = 86400;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr qint64 kFileTimeEpochOffset = 11644473600LL;
} // namespace

double toAutomationDate(const QDateTime &dateTime)
{
    const qint64 days = kAutomationEpoch.daysTo(dateTime.date());
    const int seconds = dateTime.time().msecsSinceStartOfDay() / 1000;
    const double fraction = double(seconds) / kSecondsPerDay;
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

QDateTime fromAutomationDate(double value, Qt::TimeSpec spec)
{
    if (!std::isfinite(value) || std::fabs(value) > 3e6)
        return {};
    const double whole = std::trunc(value);
    qint64 seconds = std::llround(std::fabs(value - whole) * kSecondsPerDay);
    qint64 days = qint64(whole);
    if (seconds >= kSecondsPerDay) { // rounding reached the next day
        seconds -= kSecondsPerDay;
        days += 1;
    }
    const QDate date = kAutomationEpoch.addDays(days);
    const QTime time = QTime(0, 0).addSecs(int(seconds));
    return QDateTime(date, time, spec);
}

quint64 toFileTime(const QDateTime &dateTime)
{
    const qint64 msecs = dateTime.toMSecsSinceEpoch() + kFileTimeEpochOffset * 1000;
    return msecs < 0 ? 0 : quint64(msecs) * 10000;
}

QDateTime fromFileTime(quint64 fileTime)
{
    const qint64 msecs = qint64(fileTime / 10000) - kFileTimeEpochOffset * 1000;
    return QDateTime::fromMSecsSinceEpoch(msecs, QTimeZone::utc());
}

} // namespace TimeConv
