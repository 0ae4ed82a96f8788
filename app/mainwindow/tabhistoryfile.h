// The back and forward lists of the open tabs, kept beside the open-pages list.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// "_tabhistory.dat" beside "_loaded.dat": for each tab, in tab order, its
// address and its back/forward list in the engine's own form. Only what
// matches the open-pages list is used at start-up; a missing or damaged
// file gives tabs without history and nothing else is lost.
namespace TabHistoryFile {

struct Entry {
    QString url;
    QByteArray history;
};

// The file for an open-pages file.
QString pathBeside(const QString &loadedFile);

// Replaces the file in one atomic write; false when it could not be written.
bool write(const QString &path, const QList<Entry> &entries);

// The entries, or none when the file is missing, damaged or from elsewhere.
QList<Entry> read(const QString &path);

// The history kept for url at the n-th saved page, if the entry there is
// for the same address.
QByteArray historyFor(const QList<Entry> &entries, qsizetype index, const QString &url);

} // namespace TabHistoryFile
