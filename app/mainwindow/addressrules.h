// The rules of the address box.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The rules of the address box: what typed text is, what Enter opens, and
// the rows the suggestion list shows.
namespace AddressRules {

// Text a user types as an address (a scheme, a local path, a host with a
// dot or a port, localhost, a single name followed by "/"), as opposed to
// words to search for.
bool looksLikeAddress(const QString &text);

// The file a typed absolute or "~/" path names, cleaned; empty for
// anything else.
QString localPath(const QString &text);

// What Enter opens for the text in the box: a local path as its file
// address, an address (with "http://" when it has no scheme), or a search
// with the template when the text is words and there is an engine.
QString resolve(const QString &typed, const QString &searchTemplate);

struct Suggestion {
    // PageText: a favorite found by the words of its page.
    enum class Kind { Favorite, History, Search, PageText };
    Kind kind;
    QString title;
    QString url;
    // What the box holds when the row is picked: the address, or for the
    // search row the words typed.
    QString completion;
    QString snippet = {}; // of the page's text, for a PageText row
};

// A favorite whose page holds the words: its record and a snippet.
struct PageMatch {
    QString record;
    QString snippet;
};

struct HistoryRow {
    QString title;
    QString url;
};

// The suggestion rows for typed: favorites first (stored records, as
// matched), then favorites found by the text of their page (most relevant
// first), then history rows not already listed, then, for text that is not
// an address and an engine named, the search row.
QList<Suggestion> suggestions(const QString &typed, const QStringList &favoriteRecords,
                              const QList<HistoryRow> &history, const QString &engineName,
                              const QList<PageMatch> &pageMatches = {});

// Where typed's words occur in text (any case), as sorted, merged
// (start, length) ranges: the parts a row shows emphasised.
QList<std::pair<qsizetype, qsizetype>> emphasis(const QString &text, const QString &typed);

} // namespace AddressRules
