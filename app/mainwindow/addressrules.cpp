#include "app/mainwindow/addressrules.h"

#include "app/panes/searchengines.h"
#include "navkit/records/favoriterecord.h"
#include "platform/shownaddress.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace AddressRules {

namespace {
bool hasScheme(const QString &t)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (scheme.match(t).hasMatch())
        return true;
    static const QStringList schemes = {QStringLiteral("about:"), QStringLiteral("file:"), QStringLiteral("data:"),
                                        QStringLiteral("mailto:"), QStringLiteral("view-source:")};
    return std::any_of(schemes.cbegin(), schemes.cend(),
                       [&t](const QString &s) { return t.startsWith(s, Qt::CaseInsensitive); });
}
} // namespace

QString localPath(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(u'/'))
        return QDir::cleanPath(t);
    if (t == QStringLiteral("~") || t.startsWith(QStringLiteral("~/")))
        return QDir::cleanPath(QDir::homePath() + t.mid(1));
    return {};
}

bool looksLikeAddress(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (hasScheme(t) || !localPath(t).isEmpty())
        return true;
    if (t.contains(u' ') || t.contains(u'\t'))
        return false;
    // The host: up to the first "/", "?" or "#", less a port.
    const qsizetype end = t.indexOf(QRegularExpression(QStringLiteral("[/?#]")));
    QString host = end < 0 ? t : t.left(end);
    static const QRegularExpression port(QStringLiteral(":(\\d{1,5})$"));
    const bool hasPort = port.match(host).hasMatch();
    host.remove(port);
    // Letters of any script, digits, "-", "_", "." and IPv6 brackets.
    static const QRegularExpression hostChars(QStringLiteral("^[\\w\\-.\\[\\]:]+$"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    if (host.isEmpty() || !hostChars.match(host).hasMatch())
        return false;
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 || host.startsWith(u'['))
        return true;
    if (host.contains(u'.'))
        return !host.startsWith(u'.') && !host.endsWith(u'.') && !host.contains(QStringLiteral(".."));
    // A name on the local network: "intranet/", "nas/share", "nas:8080".
    return hasPort || (end >= 0 && t.at(end) == u'/');
}

QString resolve(const QString &typed, const QString &searchTemplate)
{
    QString t = typed.trimmed();
    if (t.isEmpty())
        return t;
    // A local path opens as a file, whether it exists or not: it is never
    // sent to a search engine.
    if (const QString path = localPath(t); !path.isEmpty())
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    if (hasScheme(t))
        return t;
    // Spelled out: "nas:8080" would otherwise read as the scheme "nas".
    if (looksLikeAddress(t))
        return QStringLiteral("http://") + t;
    return searchTemplate.isEmpty() ? t : SearchEngines::searchAddress(searchTemplate, t);
}

QList<Suggestion> suggestions(const QString &typed, const QStringList &favoriteRecords,
                              const QList<HistoryRow> &history, const QString &engineName,
                              const QList<PageMatch> &pageMatches)
{
    using FavoriteRecord::Field;
    QList<Suggestion> rows;
    QSet<QString> listed;
    for (const QString &record : favoriteRecords) {
        const QString url = FavoriteRecord::field(record, Field::Url).trimmed();
        if (url.isEmpty() || listed.contains(url))
            continue;
        listed.insert(url);
        const QString shown = ShownAddress::of(url);
        rows.append({Suggestion::Kind::Favorite, FavoriteRecord::field(record, Field::Title).trimmed(), shown, shown});
    }
    for (const PageMatch &match : pageMatches) {
        const QString url = FavoriteRecord::field(match.record, Field::Url).trimmed();
        if (url.isEmpty() || listed.contains(url))
            continue;
        listed.insert(url);
        const QString shown = ShownAddress::of(url);
        const QString title = FavoriteRecord::field(match.record, Field::Title).trimmed();
        rows.append({Suggestion::Kind::PageText, title.isEmpty() ? shown : title, shown, shown, match.snippet});
    }
    for (const HistoryRow &h : history) {
        if (h.url.isEmpty() || listed.contains(h.url))
            continue;
        listed.insert(h.url);
        const QString shown = ShownAddress::of(h.url);
        rows.append({Suggestion::Kind::History, h.title.trimmed().isEmpty() ? shown : h.title.trimmed(), shown, shown});
    }
    const QString words = typed.trimmed();
    if (!words.isEmpty() && !engineName.isEmpty() && !looksLikeAddress(words))
        rows.append(
            {Suggestion::Kind::Search, QStringLiteral("Search %1 for %2").arg(engineName, words), QString(), words});
    return rows;
}

QList<std::pair<qsizetype, qsizetype>> emphasis(const QString &text, const QString &typed)
{
    QList<std::pair<qsizetype, qsizetype>> ranges;
    for (const QString &word : typed.split(u' ', Qt::SkipEmptyParts)) {
        for (qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(word, at + word.size(), Qt::CaseInsensitive))
            ranges.append({at, word.size()});
    }
    std::sort(ranges.begin(), ranges.end());
    QList<std::pair<qsizetype, qsizetype>> merged;
    for (const auto &[start, length] : ranges) {
        if (!merged.isEmpty() && start <= merged.last().first + merged.last().second) {
            auto &last = merged.last();
            last.second = std::max(last.second, start + length - last.first);
        } else {
            merged.append({start, length});
        }
    }
    return merged;
}

} // namespace AddressRules
