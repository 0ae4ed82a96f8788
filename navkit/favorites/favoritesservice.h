// The favorites store's operations as an object hosts create by class name, with no window.
#pragma once

#include "navkit/favorites/bookmarksimport.h"
#include "navkit/liveobjects.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class FavoritesIndex;

// "QuillonHelper.Favorites": what hosts do to the favorites store, each
// call naming the store's file. The list control's favorites methods
// forward here; a host that needs only the data (the address box's
// suggestions, the star) creates this instead of a hidden list.
class FavoritesService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("ProgID", "QuillonHelper.Favorites")

public:
    Q_INVOKABLE explicit FavoritesService(QObject *parent = nullptr);

    // Appends a record in one save; false when it could not be saved. A
    // blank record is not stored (true: nothing to do).
    Q_INVOKABLE bool InsertFavorite(const QString &dataFile, const QString &record);
    // The same on a worker thread, so the window never waits for the save
    // (a million favorites take seconds to write): InsertFinished follows,
    // in the order the records were given. Saves still running when the
    // service ends are finished first.
    Q_INVOKABLE void StartInsertFavorite(const QString &dataFile, const QString &record);
    // Removes one stored copy of each record in one atomic save. The number
    // of records removed (a record no longer stored is not: 0 when none
    // was, and nothing is written then); -1 when the store could not be
    // saved: it is then as it was.
    Q_INVOKABLE int DeleteFavorites(const QString &dataFile, const QStringList &records);
    // Puts newRecord in the place of the first stored copy of oldRecord, in
    // one atomic save. False when oldRecord is no longer stored or the
    // store could not be saved.
    Q_INVOKABLE bool ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord);
    // Deletes, replaces and exports on the insert's worker thread, in the
    // order asked (after the inserts asked before): DeleteFinished,
    // ReplaceFinished and ExportFinished follow with what the calls above
    // would answer.
    Q_INVOKABLE void StartDeleteFavorites(const QString &dataFile, const QStringList &records);
    Q_INVOKABLE void StartReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord);
    Q_INVOKABLE void StartExportBookmarks(const QString &dataFile, const QString &htmlFile);
    // The stored record whose address is url; empty when there is none.
    Q_INVOKABLE QString FindFavorite(const QString &dataFile, const QString &url) const;
    // Up to max records holding search in any field (any case), in stored
    // order. The store is read again only when it changed.
    Q_INVOKABLE QStringList SuggestFavorites(const QString &dataFile, const QString &search, int max) const;
    // Adds the bookmarks of a bookmarks HTML file (an address already
    // stored is not added again), here. The number added; -1 when the file
    // could not be read or the store not saved; kTooLarge for a file over
    // 64 MB, which is not read at all.
    Q_INVOKABLE int ImportBookmarks(const QString &dataFile, const QString &htmlFile);
    // The same away from the GUI thread: ImportProgress now and then, then
    // ImportFinished with what ImportBookmarks would answer, or kCancelled
    // after CancelImport (nothing written). False when one is running.
    Q_INVOKABLE bool StartImportBookmarks(const QString &dataFile, const QString &htmlFile);
    Q_INVOKABLE void CancelImport();
    // Writes every favorite to a bookmarks HTML file, atomically. False
    // when the store could not be read whole or the file not written.
    Q_INVOKABLE bool ExportBookmarks(const QString &dataFile, const QString &htmlFile);

    // Keeps a page's text, title and META words in the page text index
    // when its address is stored as a favorite (on the index's writer
    // thread; the call returns at once).
    Q_INVOKABLE void StorePageText(const QString &dataFile, const QString &url, const QString &title,
                                   const QString &meta, const QString &text);
    // Up to max favorites whose page holds every word of search (the last
    // as a prefix once it has 3 characters), most relevant first: for each
    // its record, then a snippet of its text. Runs on the calling thread
    // (not the window's: the store may not be read yet).
    Q_INVOKABLE QStringList FindPageText(const QString &dataFile, const QString &search, int max) const;
    // The same for a list: the records of stored (the store of dataFile as
    // read) whose page holds the words, and a snippet each.
    static std::vector<std::pair<qsizetype, QString>>
    pageTextMatches(const FavoritesIndex &stored, const QString &dataFile, const QString &search, int max);
    // Forgets the text of every page (on the writer thread).
    Q_INVOKABLE void ClearPageText(const QString &dataFile);
    // The addresses of the favorites (web pages only) whose text is not
    // kept or was read more than maxAgeDays ago, each once. Reads the
    // store: not for the window's thread.
    Q_INVOKABLE QStringList PagesToRead(const QString &dataFile, int maxAgeDays) const;

    // The import's own answers, one definition for every layer above it.
    static constexpr int kTooLarge = BookmarksImport::kTooLarge;
    static constexpr int kCancelled = BookmarksImport::kCancelled;

signals:
    void ImportProgress(int percent);
    void ImportFinished(int added);
    void InsertFinished(const QString &record, bool saved);
    void DeleteFinished(const QStringList &records, int removed);
    void ReplaceFinished(const QString &oldRecord, const QString &newRecord, bool saved);
    void ExportFinished(const QString &htmlFile, bool written);

public:
    ~FavoritesService() override;

private:
    // Forgets the text of the addresses of these records that no favorite
    // has any more.
    static void forgetTextOfGone(const QString &dataFile, const QStringList &records);
    // Runs work on the saves' thread and then done (a queued call) on the
    // service's own.
    void onSaveThread(std::function<std::function<void()>()> work);

    QThreadPool m_saves; // one thread: saves in the order given
    BookmarksImport *m_import = nullptr;
    LiveObjectToken m_token;
};
