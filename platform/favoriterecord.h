#pragma once

#include <QString>

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

} // namespace FavoriteRecord
