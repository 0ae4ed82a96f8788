// The rules of the list control, as small functions.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

struct UrlHistoryEntry;

// The rules of the list control, as small functions.
namespace ListRules {

// "  " + the title trimmed.
QString rowText(const QString &title);

// The title shown for a history entry: its title, or for an untitled one
// its URL, or for an untitled "file:" URL the last part of the path.
QString historyTitle(const QString &title, const QString &url);

// The calendar day a date text stands for; nullopt when it is not a date.
std::optional<QDate> dayOf(const QString &dateText);

// The visit time as text whose descending order is the descending time
// order (an automation date with a fixed number of digits).
QString visitTimeText(double automationDate);

struct Rows {
    QStringList rows;
    QStringList urls;
};

// History rows, newest first: entries of the given day (all when none),
// sorted by record text "time>¤<title>¤<url" descending.
Rows historyRows(const std::vector<UrlHistoryEntry> &entries, std::optional<QDate> day);

} // namespace ListRules
