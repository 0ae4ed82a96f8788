// Loads pages in a hidden, silent browser that opens no windows, and reads their "keywords" and "description" META elements.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QEventLoop;

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

    // The page's keywords and description joined in document order, or
    // "no keywords" when that is blank; nothing once abort() was called.
    std::optional<QString> fetch(const QString &url);
    // Ends a fetch in progress at once, and every later one.
    void abort();

    static QString keywordText(const QList<std::pair<QString, QString>> &metaElements);

signals:
    void addressShown(const QString &url);

private:
    void putBack();

    BrowserControl *m_wb1;
    int m_deadlineMs = 60000;
    bool m_aborted = false;
    QPointer<QEventLoop> m_wait;
};
