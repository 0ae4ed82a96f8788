// Reads a page's META elements (keywords, description) for the favorites.
#pragma once

#include <QList>
#include <QString>

#include <utility>

class QWebEnginePage;

namespace MetaReader {

// The page's META elements as (name, content) in document order, read in an
// isolated script world. Waits in a local event loop, at most timeoutMs;
// empty when the time ran out, there is no page, or the page went away.
QList<std::pair<QString, QString>> read(QWebEnginePage *page, int timeoutMs = 5000);

} // namespace MetaReader
