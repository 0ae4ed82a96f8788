// A favorite record: title, address and keyword text between the field separators.
#pragma once

#include <QList>
#include <QString>

#include <utility>

// A favorite record: fields joined by the three characters ">¤<" (title,
// URL, then the keyword text). History list rows use the same separator.
namespace FavoriteRecord {

inline const QString kFieldSeparator = QStringLiteral(">\u00A4<");

// A field's text as stored: a separator inside it (a page may put one in
// its title) is broken up, so it can never start a field of its own.
inline QString fieldText(const QString &text)
{
    if (!text.contains(kFieldSeparator))
        return text;
    QString out = text;
    return out.replace(kFieldSeparator, QStringLiteral(">\u00A4 <"));
}

inline QString compose(const QString &title, const QString &url)
{
    return fieldText(title) + kFieldSeparator + fieldText(url);
}

// A record of three fields; of two when there is no keyword text.
inline QString compose(const QString &title, const QString &url, const QString &keywords)
{
    const QString record = compose(title, url);
    return keywords.isEmpty() ? record : record + kFieldSeparator + fieldText(keywords);
}

// The fields of a stored record: 0 the title, 1 the URL, 2 the keyword text
// (empty when the record has fewer).
enum class Field { Title = 0, Url = 1, Keywords = 2 };
inline QString field(const QString &record, Field which)
{
    const int n = int(which);
    return record.section(kFieldSeparator, n, n);
}

// The keyword field for a page: the contents of its "keywords" and
// "description" META elements (name in any case) in document order, joined
// with nothing between; "no keywords" when that is blank.
inline QString keywordText(const QList<std::pair<QString, QString>> &metaElements)
{
    QString text;
    for (const auto &[name, content] : metaElements) {
        if (name.compare(QStringLiteral("keywords"), Qt::CaseInsensitive) == 0
            || name.compare(QStringLiteral("description"), Qt::CaseInsensitive) == 0)
            text += content;
    }
    return text.trimmed().isEmpty() ? QStringLiteral("no keywords") : text;
}

} // namespace FavoriteRecord
