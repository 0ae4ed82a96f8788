#include "navkit/listctl/listrules.h"

#include "navkit/favorites/favoritesstore.h"
#include "navkit/mdlapplication.h"
#include "platform/timeconv.h"
#include "platform/urlhistorystore.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>

namespace ListRules {

QString rowText(const QString &title)
{
    return QStringLiteral("  ") + title.trimmed();
}

QString historyTitle(const QString &title, const QString &url)
{
    QString t = title.trimmed();
    if (!t.isEmpty())
        return t;
    QString u = url.trimmed();
    if (!u.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
        return u;
    return u.section(u'/', -1).trimmed();
}

std::optional<QDate> dayOf(const QString &dateText)
{
    const QString t = dateText.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (const QDateTime &dt : {QDateTime::fromString(t, Qt::ISODate), QDateTime::fromString(t, Qt::TextDate),
                                QLocale().toDateTime(t, QLocale::ShortFormat)}) {
        if (dt.isValid())
            return dt.date();
    }
    for (const QDate &d : {QDate::fromString(t, Qt::ISODate), QLocale().toDate(t, QLocale::ShortFormat)}) {
        if (d.isValid())
            return d;
    }
    return std::nullopt;
}

QString visitTimeText(double automationDate)
{
    // Five whole digits and six decimals cover the years 1927 to 2173 with
    // a text order equal to the time order.
    return QString::number(automationDate, 'f', 6).rightJustified(12, u'0');
}

namespace {

// Local time of UTC instants, with the zone's offset looked up once per hour
// rather than once per entry (time-zone conversion dominates otherwise).
class LocalClock
{
public:
    qint64 localSeconds(qint64 utcSeconds)
    {
        const qint64 hour = utcSeconds / 3600;
        auto it = m_offsets.constFind(hour);
        if (it == m_offsets.cend())
            it = m_offsets.insert(hour, QDateTime::fromSecsSinceEpoch(hour * 3600).offsetFromUtc());
        return utcSeconds + *it;
    }

private:
    QHash<qint64, int> m_offsets;
};

constexpr qint64 kFileTimeEpochOffset = 11644473600LL; // seconds from 1601 to 1970
constexpr double kAutomationDaysTo1970 = 25569.0;      // days from 30 Dec 1899 to 1 Jan 1970

} // namespace

Rows historyRows(const std::vector<UrlHistoryEntry> &entries, std::optional<QDate> day)
{
    const QString sep = FavoritesStore::kFieldSeparator;
    const qint64 wantedDay = day ? QDate(1970, 1, 1).daysTo(*day) : 0;
    LocalClock clock;
    QStringList records;
    records.reserve(qsizetype(entries.size()));
    for (const UrlHistoryEntry &e : entries) {
        const qint64 utc = qint64(e.lastVisited / 10000000ULL) - kFileTimeEpochOffset;
        const qint64 local = clock.localSeconds(utc);
        const qint64 localDay = local >= 0 ? local / 86400 : (local - 86399) / 86400;
        if (day && localDay != wantedDay)
            continue;
        const double automation = double(local) / 86400.0 + kAutomationDaysTo1970;
        records.append(visitTimeText(automation) + sep + FavoritesStore::fieldText(historyTitle(e.title, e.url)) + sep
                       + FavoritesStore::fieldText(e.url.trimmed()));
    }
    mdlApplication::SortDescending(records);
    Rows out;
    out.rows.reserve(records.size());
    out.urls.reserve(records.size());
    for (const QString &record : std::as_const(records)) {
        const qsizetype first = record.indexOf(sep);
        const qsizetype second = record.indexOf(sep, first + sep.size());
        out.rows.append(rowText(record.mid(first + sep.size(), second - first - sep.size())));
        out.urls.append(record.mid(second + sep.size()).trimmed());
    }
    return out;
}

} // namespace ListRules
