#include "navkit/favorites/bookmarkshtml.h"

#include "navkit/records/favoriterecord.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
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
            // A surrogate on its own is what this program writes for a
            // title's broken pair: read back as that code unit.
            if (ok && code >= 0xD800 && code <= 0xDFFF)
                replacement = QString(QChar(char16_t(code)));
            else if (ok && code > 0 && code <= 0x10FFFF)
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

// Text as written between tags: escaped, and every blank a reader would
// fold away (leading, trailing, a run, a tab or line break) written as a
// character reference, so that what is read back is the text as it was.
QString escape(const QString &text)
{
    const QString escaped = text.toHtmlEscaped();
    QString out;
    out.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const QChar c = escaped.at(i);
        // Half of a broken pair has no UTF-8 form: written as a reference.
        const bool paired = (c.isHighSurrogate() && i + 1 < escaped.size() && escaped.at(i + 1).isLowSurrogate())
            || (c.isLowSurrogate() && i > 0 && escaped.at(i - 1).isHighSurrogate());
        if (c.isSurrogate() && !paired) {
            out += QStringLiteral("&#x%1;").arg(c.unicode(), 0, 16);
            continue;
        }
        const bool single = c == u' ' && i > 0 && i + 1 < escaped.size() && !escaped.at(i - 1).isSpace()
            && !escaped.at(i + 1).isSpace();
        if (c.isSpace() && !single)
            out += QStringLiteral("&#%1;").arg(c.unicode());
        else
            out += c;
    }
    return out;
}

// Text between tags: runs of white space in the file as one blank (the
// file's own line breaks and indents), then entities decoded (blanks
// written as references are the text's own).
QString textOf(QStringView raw)
{
    return decodeEntities(raw.toString().simplified());
}

// A tag's attributes by lower-case name, values decoded: each quoted either
// way or not at all, so that "href=" inside another attribute's value is
// that value's text, not an address.
QHash<QString, QString> attributes(QStringView tag)
{
    static const QRegularExpression re(
        QStringLiteral("([A-Za-z_:][-A-Za-z0-9_:.]*)\\s*(?:=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+)))?"));
    QHash<QString, QString> found;
    for (auto it = re.globalMatch(tag); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(1).toLower();
        if (found.contains(name))
            continue; // the first one counts, as browsers read it
        for (int i = 2; i <= 4; ++i) {
            if (m.capturedStart(i) >= 0) {
                found.insert(name, decodeEntities(m.captured(i)).trimmed());
                break;
            }
        }
        if (!found.contains(name))
            found.insert(name, QString());
    }
    return found;
}

// The text of a file: a byte-order mark, else the charset its META
// declares, else UTF-8 when it is valid UTF-8, else Windows-1252 (what the
// old exports without a declaration were written in).
QString decodeFile(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder bom(QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8));
        return bom.decode(bytes);
    }
    static const QRegularExpression declared(QStringLiteral("charset\\s*=\\s*[\"']?([-A-Za-z0-9_:.]+)"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = declared.match(QString::fromLatin1(bytes.left(4096)));
    if (m.hasMatch() && m.captured(1).compare(QStringLiteral("utf-8"), Qt::CaseInsensitive) != 0) {
        QStringDecoder named(m.captured(1).toLatin1().constData());
        if (named.isValid())
            return named.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
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
    return parse(html, {});
}

QList<Bookmark> parse(const QByteArray &html, const Progress &progress)
{
    QString text = decodeFile(html);
    // Commented-out entries are not entries.
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    text.replace(comment, QStringLiteral(" "));
    // A ">" inside a quoted attribute value does not end the tag.
    static const QRegularExpression tag(QStringLiteral("<(/?)([a-zA-Z0-9]+)((?:[^>\"']|\"[^\"]*\"|'[^']*')*)>"));
    QList<Bookmark> bookmarks;
    QStringList folders;
    QString pendingFolder;     // an <H3> seen, its <DL> not yet opened
    QList<bool> levelIsFolder; // per open <DL>: whether it opened a folder
    qsizetype open = -1;       // the bookmark a <DD> would describe
    enum class In { Nothing, Folder, Anchor, Description } in = In::Nothing;
    QHash<QString, QString> anchor;
    QString collected; // the text of a title, folder name or description, tags left out
    qsizetype textStart = 0;
    const auto finishDescription = [&] {
        if (in == In::Description && open >= 0)
            bookmarks[open].description = textOf(collected);
        if (in == In::Description)
            in = In::Nothing;
    };
    qsizetype tags = 0;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (progress && ++tags % 1024 == 0 && !progress(m.capturedEnd(), text.size()))
            return bookmarks;
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        collected += QStringView(text).mid(textStart, m.capturedStart() - textStart);
        textStart = m.capturedEnd();
        // A line or block break inside text reads as a blank.
        static const QSet<QString> breaks = {QStringLiteral("br"), QStringLiteral("p"), QStringLiteral("div"),
                                             QStringLiteral("li")};
        if (breaks.contains(name))
            collected += u' ';
        // Inside a title, a folder name or a description, other tags only
        // mark up the text: it runs on to its own end.
        if (in == In::Folder) {
            if (closing && name == QStringLiteral("h3")) {
                pendingFolder = textOf(collected);
                in = In::Nothing;
            }
            continue;
        }
        if (in == In::Anchor) {
            if (closing && name == QStringLiteral("a")) {
                const QString url = anchor.value(QStringLiteral("href"));
                open = -1;
                if (safeAddress(url)) {
                    // Only the innermost folders: no copy of a deep path per entry.
                    const qsizetype from = std::max<qsizetype>(0, folders.size() - kMostFolders);
                    bookmarks.append({textOf(collected),
                                      url,
                                      folders.mid(from),
                                      {},
                                      anchor.value(QStringLiteral("tags")),
                                      anchor.value(QStringLiteral("shortcuturl"))});
                    open = bookmarks.size() - 1;
                }
                in = In::Nothing;
            }
            continue;
        }
        if (in == In::Description) {
            // A description runs to the next entry or list; a link in it is text.
            const bool ends = name == QStringLiteral("dt") || name == QStringLiteral("dl")
                || name == QStringLiteral("h3") || (!closing && name == QStringLiteral("dd"));
            if (!ends)
                continue;
            finishDescription();
        }
        collected.clear();
        if (closing) {
            if (name == QStringLiteral("dl") && !levelIsFolder.isEmpty()) {
                if (levelIsFolder.takeLast() && !folders.isEmpty())
                    folders.removeLast();
                open = -1;
            }
            continue;
        }
        if (name == QStringLiteral("h3")) {
            in = In::Folder;
            open = -1;
        } else if (name == QStringLiteral("a")) {
            in = In::Anchor;
            anchor = attributes(m.capturedView(3));
        } else if (name == QStringLiteral("dd")) {
            in = In::Description;
        } else if (name == QStringLiteral("dl")) {
            const bool folder = !pendingFolder.isEmpty();
            if (folder)
                folders.append(pendingFolder);
            pendingFolder.clear();
            levelIsFolder.append(folder);
            open = -1;
        } else if (name == QStringLiteral("dt")) {
            pendingFolder.clear(); // a folder without entries
        }
    }
    collected += QStringView(text).mid(textStart);
    finishDescription();
    return bookmarks;
}

QString toRecord(const Bookmark &bookmark)
{
    // The innermost folders, and no more than a kilobyte of their names: a
    // file of deeply nested folders must not make every record huge.
    QStringList words = bookmark.folders.mid(std::max<qsizetype>(0, bookmark.folders.size() - kMostFolders));
    QString folderWords = words.join(u' ');
    if (folderWords.size() > kMostFolderText)
        folderWords = folderWords.right(kMostFolderText);
    words.clear();
    if (!folderWords.isEmpty())
        words.append(folderWords);
    // Tags and the keyword of a bookmark are what its owner filters by.
    for (const QString &more : {bookmark.tags, bookmark.shortcut}) {
        if (!more.trimmed().isEmpty())
            words.append(QString(more).replace(u',', u' ').simplified());
    }
    if (!bookmark.description.isEmpty())
        words.append(bookmark.description);
    // The description as read (a file this program wrote gives its keyword
    // text back as it was stored).
    QString keywords = words.join(u' ');
    if (keywords.trimmed().isEmpty())
        keywords.clear();
    // An untitled bookmark stays untitled (the list shows its address).
    return FavoriteRecord::compose(bookmark.title, bookmark.url) + FavoriteRecord::kFieldSeparator
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
        // What the reader would leave out (no address, or one a tab does not
        // open as a page) stays out of the file too: the two are inverse.
        if (url.isEmpty() || !safeAddress(url))
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

QString addressKey(const QString &url)
{
    QString text = url.trimmed();
    QUrl parsed(text, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty() || parsed.host().isEmpty())
        return text;
    // QUrl lower-cases scheme and host already; the default port and an
    // empty path are spelled one way.
    static const QHash<QString, int> defaultPorts = {
        {QStringLiteral("http"), 80}, {QStringLiteral("https"), 443}, {QStringLiteral("ftp"), 21}};
    if (parsed.port() != -1 && parsed.port() == defaultPorts.value(parsed.scheme(), -2))
        parsed.setPort(-1);
    if (parsed.path().isEmpty())
        parsed.setPath(QStringLiteral("/"));
    return parsed.toString(QUrl::FullyEncoded);
}

QStringList newRecords(const QStringList &stored, const QStringList &batch)
{
    // The same address, however spelled, is the same favorite; what is
    // stored keeps its own spelling. (Not "the address appears
    // somewhere in the stored text", as the shortcut import rules: that
    // drops a bookmark whose address begins another stored one, and costs
    // a search of the whole store per bookmark.)
    QSet<QString> seen;
    seen.reserve(stored.size() + batch.size());
    for (const QString &record : stored)
        seen.insert(addressKey(FavoriteRecord::field(record, FavoriteRecord::Field::Url)));
    QStringList accepted;
    for (const QString &record : batch) {
        const QString url = addressKey(FavoriteRecord::field(record, FavoriteRecord::Field::Url));
        if (url.isEmpty() || seen.contains(url))
            continue;
        seen.insert(url);
        accepted.append(record);
    }
    return accepted;
}

} // namespace BookmarksHtml
