// Loads pages in a hidden, silent browser that opens no windows, and reads their "keywords" and "description" META elements.
#pragma once

#include "engine/metareader.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class BrowserControl;
class QWidget;

// Loads pages in a hidden, silent browser that opens no windows, and reads
// their "keywords" and "description" META elements.
class KeywordFetcher : public QObject
{
    Q_OBJECT

public:
    // The browser lives in the given container, out of sight.
    explicit KeywordFetcher(QWidget *container);

    // How long a page may keep the browser busy before it is given up.
    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    BrowserControl *browser() const { return m_wb1; }

    // Loads the page and hands done its keywords and description joined
    // in document order, or "no keywords" when that is blank; nothing once
    // abort() was called. One page at a time; nothing waits.
    using Done = std::function<void(const std::optional<QString> &keywords)>;
    void fetchThen(const QString &url, const Done &done);
    // Ends a fetch in progress at once (its done gets nothing), and every later one.
    void abort();

    static QString keywordText(const QList<std::pair<QString, QString>> &metaElements);

signals:
    void addressShown(const QString &url);
    // The text of the page fetched for url, read before its keywords are
    // handed on (to find the favorite by its page's words).
    void textRead(const QString &url, const MetaReader::PageText &page);

private:
    void putBack();
    // The page loaded, failed, was given up or the fetch aborted.
    void loaded();

    BrowserControl *m_wb1;
    int m_deadlineMs = 60000;
    bool m_aborted = false;
    bool m_waiting = false; // a page of a fetch is loading
    bool m_givenUp = false;
    QString m_before; // the address shown before the fetch's page
    QString m_url;    // the fetch's
    Done m_done;
    QTimer m_deadline;
    QMetaObject::Connection m_finished;
    QMetaObject::Connection m_moved;
};
