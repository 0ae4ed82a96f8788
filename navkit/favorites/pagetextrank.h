// The page text index's ranking function: which fields of a page hold the words.
#pragma once

struct sqlite3;

// "fieldrank(w0, w1, ...)", an FTS5 ranking function: a page scores the
// weight of each field that holds each word (every page found holds every
// word, so what tells them apart is where). It reads only what the index
// keeps (which fields hold a word), never a page's text: the built-in
// bm25 re-reads and splits every matching page when the index keeps no
// word positions, which costs milliseconds for a few hundred pages.
// Lower is better, as with bm25, so "ORDER BY rank" lists the best first.
namespace PageTextRank {

// Makes the function known to the connection; false when FTS5 is missing.
bool install(sqlite3 *db);

} // namespace PageTextRank
