// Reads every favorite's page whose text is not kept or is old, in the background.
#pragma once

#include "engine/metareader.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>

#include <functional>

class QWebEnginePage;
class QWebEngineProfile;

// Reads the pages of the favorites whose text is not kept yet or is older
// than a month, a few at a time, in pages no tab shows, on a profile of
// its own that keeps nothing (no cookies, history or downloads; what a
// page asks for is refused). Each page's text goes to store.
class FavoritePagesReader : public QObject
{
    Q_OBJECT

public:
    static constexpr int kAtOnce = 4;
    static constexpr int kMaxAgeDays = 30;
    static constexpr int kPageDeadlineMs = 30000;

    struct Hooks {
        // Called on a worker thread: the addresses due, given the age.
        std::function<QStringList(int maxAgeDays)> due;
        std::function<void()> prepare; // on the window's thread first
        std::function<void(const QString &url, const MetaReader::PageText &page)> store;
    };

    FavoritePagesReader(Hooks hooks, QObject *parent);
    ~FavoritePagesReader() override;

    // Starts reading; false when it is running already.
    bool start();
    // Stops: pages being read are given up, none more is.
    void cancel();
    bool running() const { return m_running; }

signals:
    // done of total pages read (or given up) so far.
    void progress(int done, int total);
    // The reading ended: read pages were kept; cancelled when the user stopped it.
    void finished(int read, int total, bool cancelled);

private:
    void startQueue(const QStringList &urls);
    void next();
    void loaded(QWebEnginePage *page, bool ok);
    void release(QWebEnginePage *page);
    void retire(QWebEnginePage *page);
    void end(bool cancelled);

    Hooks m_hooks;
    QWebEngineProfile *m_profile = nullptr;
    QList<QWebEnginePage *> m_reading;
    QList<QPointer<QWebEnginePage>> m_retired; // deleted later, but before the profile
    QStringList m_queue;
    int m_total = 0;
    int m_done = 0;
    int m_read = 0;
    bool m_running = false;
    quint64 m_run = 0; // of the latest start: a listing of an older one is dropped
    QThreadPool m_listing;
};
