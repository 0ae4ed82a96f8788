// Bringing a bookmarks HTML file into the favorites store on a worker thread, with progress and a way to cancel.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

// One import at a time: the file is read, parsed and saved away from the
// GUI thread; progress and the outcome arrive as signals in the thread
// that owns the object. A cancel stops it before anything is written; an
// import that has begun its save (one atomic write) finishes it.
class BookmarksImport : public QObject
{
    Q_OBJECT

public:
    // What an import answers besides the number of bookmarks added.
    static constexpr int kFailed = -1;    // the file not read, or the store not saved
    static constexpr int kTooLarge = -2;  // over kLargestFile: not read at all
    static constexpr int kCancelled = -3; // nothing written
    static constexpr qint64 kLargestFile = qint64(64) << 20;

    explicit BookmarksImport(QObject *parent = nullptr);
    ~BookmarksImport() override; // a running import is cancelled and waited for

    // False when an import is already running.
    bool start(const QString &dataFile, const QString &htmlFile);
    void cancel();
    bool isRunning() const { return m_thread != nullptr; }

    // The import itself, in the calling thread. progress gets a percentage
    // now and then and answers false to cancel.
    static int run(const QString &dataFile, const QString &htmlFile, const std::function<bool(int)> &progress);

signals:
    void progress(int percent);
    void finished(int added);

private:
    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel;
};
