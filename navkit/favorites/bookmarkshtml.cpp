#include "bookmarkshtml.h"

#include "favoriterecord.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <iterator>

namespace BookmarksHtml {

namespace {

const QString kNoKeywords = QStringLiteral("no keywords");

// The Latin-1 entities by code point from 160 on, then the few others
// titles use; "amp", "lt", "gt", "quot" and "apos" in any case.
QString namedEntity(const QString &name)
{
    static const char *const latin1[] = {
        "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
        "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
        "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
        "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
        "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
        "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
        "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
        "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
        "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
    for (int i = 0; i < int(std::size(latin1)); ++i) {
        if (name == QLatin1String(latin1[i]))
            return QChar(char16_t(160 + i));
    }
    static const std::pair<const char *, char16_t> others[] = {
        {"ndash", 0x2013}, {"mdash", 0x2014},  {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"ldquo", 0x201C},
        {"rdquo", 0x201D}, {"hellip", 0x2026}, {"bull", 0x2022},  {"euro", 0x20AC},  {"trade", 0x2122}};
    for (const auto &[entity, code] : others) {
        if (name == QLatin1String(entity))
            return QChar(code);
    }
    static const std::pair<const char *, char16_t> basic[] = {
        {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"apos", u'\''}};
    for (const auto &[entity, code] : basic) {
        if (name.compare(QLatin1String(entity), Qt::CaseInsensitive) == 0)
            return QChar(code);
    }
    return {};
}

QString decodeEntities(const QString &text)
{
    if (!text.contains(u'&'))
        return text;
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"));
    QString out;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        QString replacement;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.startsWith(QStringLiteral("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                                         : name.mid(1).toUInt(&ok);
            if (ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF))
                replacement = QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        } else {
            replacement = namedEntity(name);
        }
        out += replacement.isEmpty() ? m.captured(0) : replacement;
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString escape(const QString &text)
{
    return text.toHtmlEscaped();
}

// Text between tags: entities decoded, runs of white space as one blank.
QString textOf(QStringView raw)
{
    return decodeEntities(raw.toString()).simplified();
}

// The HREF of an anchor's attributes, quoted either way or not at all.
QString href(const QString &tag)
{
    static const QRegularExpression re(QStringLiteral("\\bhref\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    if (!m.hasMatch())
        return {};
    for (int i = 1; i <= 3; ++i) {
        if (m.capturedStart(i) >= 0)
            return decodeEntities(m.captured(i)).trimmed();
    }
    return {};
}

// Only pages a tab can open: not script ("javascript:"), inline data, or
// another browser's own places ("place:", "chrome:").
bool safeAddress(const QString &url)
{
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == QStringLiteral("http") || scheme == QStringLiteral("https") || scheme == QStringLiteral("ftp")
        || scheme == QStringLiteral("file");
}

} // namespace

QList<Bookmark> parse(const QByteArray &html)
{
    const QString text = QString::fromUtf8(html);
    static const QRegularExpression tag(QStringLiteral("<(/?)([a-zA-Z0-9]+)([^>]*)>"));
    QList<Bookmark> bookmarks;
    QStringList folders;
    QString pendingFolder;     // an <H3> seen, its <DL> not yet opened
    QList<bool> levelIsFolder; // per open <DL>: whether it opened a folder
    Bookmark *open = nullptr;  // the bookmark a <DD> would describe
    enum class In { Nothing, Folder, Anchor, Description } in = In::Nothing;
    QString anchorTag;
    qsizetype textStart = 0;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        const QStringView between = QStringView(text).mid(textStart, m.capturedStart() - textStart);
        textStart = m.capturedEnd();
        if (in == In::Folder && closing && name == QStringLiteral("h3")) {
            pendingFolder = textOf(between);
            in = In::Nothing;
        } else if (in == In::Anchor && closing && name == QStringLiteral("a")) {
            const QString url = href(anchorTag);
            open = nullptr;
            if (safeAddress(url)) {
                bookmarks.append({textOf(between), url, folders, {}});
                open = &bookmarks.last();
            }
            in = In::Nothing;
        } else if (in == In::Description) {
            // A description runs to the next tag that starts an entry or a list.
            if (open)
                open->description = textOf(between);
            in = In::Nothing;
        }
        if (closing) {
            if (name == QStringLiteral("dl") && !levelIsFolder.isEmpty()) {
                if (levelIsFolder.takeLast() && !folders.isEmpty())
                    folders.removeLast();
                open = nullptr;
            }
            continue;
        }
        if (name == QStringLiteral("h3")) {
            in = In::Folder;
            open = nullptr;
        } else if (name == QStringLiteral("a")) {
            in = In::Anchor;
            anchorTag = m.captured(3);
        } else if (name == QStringLiteral("dd")) {
            in = In::Description;
        } else if (name == QStringLiteral("dl")) {
            const bool folder = !pendingFolder.isEmpty();
            if (folder)
                folders.append(pendingFolder);
            pendingFolder.clear();
            levelIsFolder.append(folder);
            open = nullptr;
        } else if (name == QStringLiteral("dt")) {
            if (in != In::Folder)
                pendingFolder.clear(); // a folder without entries
        }
    }
    if (in == In::Description && open)
        open->description = textOf(QStringView(text).mid(textStart));
    return bookmarks;
}

QString toRecord(const Bookmark &bookmark)
{
    QStringList words = bookmark.folders;
    if (!bookmark.description.isEmpty())
        words.append(bookmark.description);
    const QString keywords = words.join(u' ').trimmed();
    const QString title = bookmark.title.isEmpty() ? bookmark.url : bookmark.title;
    return FavoriteRecord::compose(title, bookmark.url) + FavoriteRecord::kFieldSeparator
        + FavoriteRecord::fieldText(keywords.isEmpty() ? kNoKeywords : keywords);
}

QByteArray write(const QStringList &records)
{
    QString out = QStringLiteral("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                                 "<!-- This is an automatically generated file.\n"
                                 "     It will be read and overwritten.\n"
                                 "     DO NOT EDIT! -->\n"
                                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                                 "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n");
    for (const QString &record : records) {
        using FavoriteRecord::Field;
        const QString url = FavoriteRecord::field(record, Field::Url).trimmed();
        if (url.isEmpty())
            continue;
        out += QStringLiteral("    <DT><A HREF=\"%1\">%2</A>\n")
                   .arg(escape(url), escape(FavoriteRecord::field(record, Field::Title)));
        const QString keywords = FavoriteRecord::field(record, Field::Keywords);
        if (!keywords.trimmed().isEmpty() && keywords != kNoKeywords)
            out += QStringLiteral("    <DD>%1\n").arg(escape(keywords));
    }
    out += QStringLiteral("</DL><p>\n");
    return out.toUtf8();
}

QStringList newRecords(const QStringList &stored, const QStringList &batch)
{
    // The same address is the same favorite. (Not "the address appears
    // somewhere in the stored text", as the shortcut import rules: that
    // drops a bookmark whose address begins another stored one, and costs
    // a search of the whole store per bookmark.)
    QSet<QString> seen;
    seen.reserve(stored.size() + batch.size());
    for (const QString &record : stored)
        seen.insert(FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed());
    QStringList accepted;
    for (const QString &record : batch) {
        const QString url = FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed();
        if (url.isEmpty() || seen.contains(url))
            continue;
        seen.insert(url);
        accepted.append(record);
    }
    return accepted;
}

} // namespace BookmarksHtml
