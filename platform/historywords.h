// The URL history's word index: the typed words of the address box found by an index, newest visit first.
#pragma once

#include "platform/urlhistorystore.h"

#include <QString>

#include <atomic>
#include <vector>

struct sqlite3;

// The URL history's word index: every word of an entry's title and address
// (any case, accents ignored), kept by triggers as entries change, so the
// address box's words are found without reading the history. The index
// holds entries in the order of their last write, so the newest visits come
// first and a search stops after the rows shown.
namespace HistoryWords {

// Creates the index and its triggers (for a database made new).
extern const char *const kSchema;
// Removes every entry and empties the index, in one transaction.
extern const char *const kClear;

// The full-text query for what the user typed: every word must begin a
// word of the title or the address (a word with dots or slashes, such as
// "127.0.0.1", as a phrase); empty when nothing searchable was typed.
QString query(const QString &typed);

// Whether an entry's title and address hold every typed word the way the
// index finds them: each word's parts (letters and digits, any case,
// accents ignored) follow one another in the title or the address, the
// last one as the start of a word.
bool matches(const QString &typed, const QString &title, const QString &url);

// True when the database has the index.
bool exists(sqlite3 *db);

// Makes the index for a database that has none and fills it from every
// entry, in one transaction. Returns an SQLite result code; stops with
// SQLITE_INTERRUPT when *stop becomes true.
int build(sqlite3 *db, const std::atomic<bool> *stop);

// Up to limit unexpired entries that hold every typed word, newest first
// (by the index when there is one, else by the newest visits read up to a
// bound). A word of three letters or more has no prefix index: the newest
// visits are looked at first, and the index asked only when they do not
// fill the rows (merging every word that starts so costs a tenth of a
// second and more in a year of history). Returns an SQLite result code; rows are appended to found.
int find(sqlite3 *db, const QString &typed, quint64 now, int limit, std::vector<UrlHistoryEntry> *found);

} // namespace HistoryWords
