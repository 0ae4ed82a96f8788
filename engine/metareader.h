// Reads a page's META elements (keywords, description) and its text for the favorites.
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>
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

// What a favorite's page says, for finding it by its words: its title, the
// words of its "keywords" and "description" META elements, and the text it
// shows (at most kMaxTextChars of it).
struct PageText {
    QString title;
    QString meta;
    QString text;
};
constexpr int kMaxTextChars = 64 * 1024;
// Reads it the same way; done gets nothing when the time ran out or the
// page went away.
void readTextThen(QWebEnginePage *page, QObject *context,
                  const std::function<void(const std::optional<PageText> &)> &done, int timeoutMs = 5000);
// The META words of elements: keywords and description contents, blank-separated.
QString metaWords(const Elements &elements);

} // namespace MetaReader
