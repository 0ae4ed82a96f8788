#include "navkit/favorites/bookmarksimport.h"

#include "navkit/favorites/bookmarkshtml.h"
#include "navkit/favorites/favoritesstore.h"
#include "platform/logging.h"

#include <QFile>
#include <QThread>

BookmarksImport::BookmarksImport(QObject *parent)
    : QObject(parent)
{}

BookmarksImport::~BookmarksImport()
{
    if (!m_thread)
        return;
    cancel();
    m_thread->wait();
    delete m_thread;
}

bool BookmarksImport::start(const QString &dataFile, const QString &htmlFile)
{
    if (m_thread)
        return false;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    auto result = std::make_shared<std::atomic<int>>(kFailed);
    m_cancel = cancelled;
    // The worker reports through queued signals; it never touches this
    // object's state, which the GUI thread alone changes.
    m_thread = QThread::create([this, dataFile, htmlFile, cancelled, result] {
        int last = -1;
        *result = run(dataFile, htmlFile, [this, cancelled, &last](int percent) {
            if (percent != last)
                emit progress(last = percent);
            return !*cancelled;
        });
    });
    connect(m_thread, &QThread::finished, this, [this, result] {
        m_thread->deleteLater();
        m_thread = nullptr;
        m_cancel.reset();
        emit finished(*result);
    });
    m_thread->start(QThread::LowPriority);
    return true;
}

void BookmarksImport::cancel()
{
    if (m_cancel)
        *m_cancel = true;
}

int BookmarksImport::run(const QString &dataFile, const QString &htmlFile, const std::function<bool(int)> &progress)
{
    QFile file(htmlFile);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcFiles) << "bookmarks file not read" << htmlFile;
        return kFailed;
    }
    if (file.size() > kLargestFile) {
        qCWarning(lcFiles) << "bookmarks file too large" << htmlFile << file.size();
        return kTooLarge;
    }
    const QByteArray html = file.readAll();
    file.close();
    if (!progress(0))
        return kCancelled;
    // Reading is most of the work: 0-90 %, the save the rest.
    const QList<BookmarksHtml::Bookmark> bookmarks =
        BookmarksHtml::parse(html, [&progress](qsizetype done, qsizetype total) {
            return progress(total > 0 ? int(done * 90 / total) : 0);
        });
    if (!progress(90))
        return kCancelled;
    QStringList records;
    records.reserve(bookmarks.size());
    for (const BookmarksHtml::Bookmark &bookmark : bookmarks)
        records.append(BookmarksHtml::toRecord(bookmark));
    int added = 0;
    bool cancelled = false;
    const bool saved =
        FavoritesStore::save(dataFile, records, FavoritesStore::AfterSave::Nothing,
                             [&](const QStringList &stored, const QStringList &batch) -> std::optional<QStringList> {
                                 // The last moment a cancel still leaves the store as it was.
                                 if (!progress(95)) {
                                     cancelled = true;
                                     return std::nullopt;
                                 }
                                 QStringList fresh = BookmarksHtml::newRecords(stored, batch);
                                 added = int(fresh.size());
                                 return fresh;
                             });
    if (cancelled)
        return kCancelled;
    if (!saved) {
        qCWarning(lcFiles) << "bookmarks not saved to" << dataFile;
        return kFailed;
    }
    progress(100);
    return added;
}
