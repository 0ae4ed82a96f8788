// The bookmarks HTML file every major browser imports and exports, read into and written from favorite records.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The file format: "<!DOCTYPE NETSCAPE-Bookmark-file-1>", folders as
// <DT><H3>name</H3> followed by a <DL> of their entries, bookmarks as
// <DT><A HREF="..." ADD_DATE="..." ...>title</A>, each optionally followed
// by <DD>description. Readers are lenient: tags in any case, unclosed <DT>
// and <P>, entities in names and addresses.
namespace BookmarksHtml {

struct Bookmark {
    QString title;
    QString url;
    QStringList folders; // outermost first; the innermost kMostFolders only
    QString description;
    QString tags;     // TAGS="...", comma-separated
    QString shortcut; // SHORTCUTURL="..." (a keyword)
};

// What a record keeps of the folders: the innermost few, at most a
// kilobyte of their names.
inline constexpr qsizetype kMostFolders = 8;
inline constexpr qsizetype kMostFolderText = 1024;

// Every bookmark with an address, in file order. Anchors without HREF, and
// addresses a tab would not open as a page (script, inline data, another
// browser's own places) are left out, as are commented-out entries and
// links inside a description. The text is read in the charset the file
// declares (or marks), else UTF-8, else Windows-1252.
QList<Bookmark> parse(const QByteArray &html);

// The same, telling progress now and then how far it has read (of total,
// in characters); progress answering false stops the reading, and what was
// read so far is returned.
using Progress = std::function<bool(qsizetype done, qsizetype total)>;
QList<Bookmark> parse(const QByteArray &html, const Progress &progress);

// A bookmark as a favorite record: its keyword text is the folder path
// (each folder's name, so a filter by a folder's name finds it), its tags
// and keyword, then the description, separated by blanks; "no keywords"
// when all are empty.
QString toRecord(const Bookmark &bookmark);

// The file for these favorite records, one bookmark each in store order,
// the keyword text as its <DD> description ("no keywords" left out).
// Addresses the reader leaves out (script, inline data, about:, mailto:)
// are left out here too; reading the file back gives the records written,
// blanks in titles and keyword text as they were.
QByteArray write(const QStringList &records);

// The form two spellings of one address share: scheme and host in small
// letters, no default port, "/" for an empty path. Text that is no such
// address, trimmed.
QString addressKey(const QString &url);

// The records of a batch that the store takes, given what it holds: a
// record whose address (compared by addressKey) is already stored, or is
// that of an earlier record of the batch, is left out.
QStringList newRecords(const QStringList &stored, const QStringList &batch);

} // namespace BookmarksHtml
