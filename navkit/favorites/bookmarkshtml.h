// The bookmarks HTML file every major browser imports and exports, read into and written from favorite records.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The file format: "<!DOCTYPE NETSCAPE-Bookmark-file-1>", folders as
// <DT><H3>name</H3> followed by a <DL> of their entries, bookmarks as
// <DT><A HREF="..." ADD_DATE="..." ...>title</A>, each optionally followed
// by <DD>description. Readers are lenient: tags in any case, unclosed <DT>
// and <P>, entities in names and addresses.
namespace BookmarksHtml {

struct Bookmark {
    QString title;
    QString url;
    QStringList folders; // outermost first
    QString description;
};

// Every bookmark with an address, in file order. Anchors without HREF, and
// addresses a tab would not open as a page (script, inline data, another
// browser's own places) are left out.
QList<Bookmark> parse(const QByteArray &html);

// A bookmark as a favorite record: its keyword text is the folder path
// (each folder's name, so a filter by a folder's name finds it) and then
// the description, separated by blanks; "no keywords" when both are empty.
QString toRecord(const Bookmark &bookmark);

// The file for these favorite records, one bookmark each in store order,
// the keyword text as its <DD> description ("no keywords" left out).
// Reading it back gives the same records.
QByteArray write(const QStringList &records);

// The records of a batch that the store takes, given what it holds: a
// record whose address is already stored, or is that of an earlier record
// of the batch, is left out.
QStringList newRecords(const QStringList &stored, const QStringList &batch);

} // namespace BookmarksHtml
