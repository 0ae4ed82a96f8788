// Reads a page's META elements (keywords, description) for the favorites.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <utility>

class QObject;
class QWebEnginePage;

namespace MetaReader {

using Elements = QList<std::pair<QString, QString>>;

// Reads the page's META elements as (name, content) in document order, in
// an isolated script world, and hands them to done once: empty when the
// time ran out or the page went away. done is not called once context is
// gone. Nothing waits: the caller goes on when done runs.
void readThen(QWebEnginePage *page, QObject *context, const std::function<void(const Elements &)> &done,
              int timeoutMs = 5000);

} // namespace MetaReader
