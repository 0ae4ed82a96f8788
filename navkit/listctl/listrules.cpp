#include "listrules.h"

#include "favoritesstore.h"
#include "mdlapplication.h"
#include "timeconv.h"
#include "urlhistorystore.h"

#include <QDateTime>
#include <QLocale>

namespace ListRules {

QString rowText(const QString &title)
{
    return QStringLiteral("  ") + title.trimmed();
}

QString historyTitle(const QString &title, const QString &url)
{
    const QString t = title.trimmed();
    if (!t.isEmpty())
        return t;
    const QString u = url.trimmed();
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

Rows historyRows(const std::vector<UrlHistoryEntry> &entries, std::optional<QDate> day)
{
    const QString sep = FavoritesStore::kFieldSeparator;
    QStringList records;
    records.reserve(qsizetype(entries.size()));
    for (const UrlHistoryEntry &e : entries) {
        const QDateTime local = TimeConv::fromFileTime(e.lastVisited).toLocalTime();
        if (day && local.date() != *day)
            continue;
        const QDateTime visited(local.date(), QTime(local.time().hour(), local.time().minute(), local.time().second()));
        records.append(visitTimeText(TimeConv::toAutomationDate(visited)) + sep + historyTitle(e.title, e.url) + sep
                       + e.url.trimmed());
    }
    mdlApplication::SortDescending(records);
    Rows out;
    out.rows.reserve(records.size());
    out.urls.reserve(records.size());
    for (const QString &record : std::as_const(records)) {
        const QStringList fields = record.split(sep);
        out.rows.append(rowText(fields.value(1)));
        out.urls.append(fields.value(2).trimmed());
    }
    return out;
}

Rows favoriteRows(const QStringList &records, const QString &search)
{
    const QString sep = FavoritesStore::kFieldSeparator;
    const bool all = search.trimmed().isEmpty();
    Rows out;
    for (const QString &record : records) {
        if (!all && !record.contains(search, Qt::CaseInsensitive))
            continue;
        const qsizetype first = record.indexOf(sep);
        if (first < 0) {
            out.rows.append(rowText(record));
            out.urls.append(QString());
            continue;
        }
        const qsizetype second = record.indexOf(sep, first + sep.size());
        out.rows.append(rowText(record.left(first)));
        const qsizetype urlStart = first + sep.size();
        out.urls.append(record.mid(urlStart, second < 0 ? -1 : second - urlStart).trimmed());
    }
    return out;
}

} // namespace ListRules
