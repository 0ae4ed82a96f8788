#include "bookmarkshtml.h"

#include "favoriterecord.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

namespace BookmarksHtml {

namespace {

const QString kNoKeywords = QStringLiteral("no keywords");

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
            static const QList<std::pair<QString, QString>> named = {
                {QStringLiteral("amp"), QStringLiteral("&")},   {QStringLiteral("lt"), QStringLiteral("<")},
                {QStringLiteral("gt"), QStringLiteral(">")},    {QStringLiteral("quot"), QStringLiteral("\"")},
                {QStringLiteral("apos"), QStringLiteral("'")},  {QStringLiteral("nbsp"), QStringLiteral("\u00A0")}};
            for (const auto &[key, value] : named) {
                if (name.compare(key, Qt::CaseInsensitive) == 0)
                    replacement = value;
            }
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
    QString pendingFolder;    // an <H3> seen, its <DL> not yet opened
    QList<bool> levelIsFolder; // per open <DL>: whether it opened a folder
    Bookmark *open = nullptr; // the bookmark a <DD> would describe
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
