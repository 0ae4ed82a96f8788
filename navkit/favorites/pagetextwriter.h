// The one thread of the process that writes to the page text indexes.
#pragma once

#include <QString>

#include <functional>

class PageTextIndex;

// The one thread of the process that writes to the page text indexes: jobs
// run there in the order posted, each with that thread's connection to the
// index file named. Never the window's thread: a page's text takes a moment
// to index, a batch of them longer.
namespace PageTextWriter {

void post(const QString &indexFile, std::function<void(PageTextIndex &)> job);
// Returns when every job posted so far has run (before the program ends,
// and for tests).
void waitForDone();

} // namespace PageTextWriter
