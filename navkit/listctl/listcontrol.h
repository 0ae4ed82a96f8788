// The list control hosts create as "QuillonHelper.List".
#pragma once

#include "navkit/favorites/favoritesservice.h"
#include "navkit/liveobjects.h"

#include <QByteArray>
#include <QStringList>
#include <QThreadPool>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class FavoriteRows;
class HistoryRows;
class RowListView;
class RowModel;

// The list control hosts create as "QuillonHelper.List": one text row per
// entry ("  " + title) and two hidden URL lists, one from the last history
// refresh (ListUrl) and one from the last favorites refresh (ItemUrl).
// Members are reached by name; events pass their arguments as pointers so a
// host's change reaches the list (KeyAscii set to 0 cancels the key).
class ListControl : public QWidget
{
    Q_OBJECT
    Q_CLASSINFO("ProgID", "QuillonHelper.List")
    Q_PROPERTY(int ListCount READ ListCount)
    Q_PROPERTY(int ListIndex READ ListIndex)
    Q_PROPERTY(QString ListImage READ ListImage WRITE setListImage)
    Q_PROPERTY(int FocusRect READ FocusRect WRITE setFocusRect)
    Q_PROPERTY(bool Sorted READ Sorted WRITE setSorted)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE setMultiSelect)

public:
    Q_INVOKABLE explicit ListControl(QWidget *parent = nullptr);

    int ListCount() const;
    int ListIndex() const;
    QString ListImage() const { return m_image; }
    void setListImage(const QString &n_ListImage) { m_image = n_ListImage; }
    int FocusRect() const { return m_focusRect; }
    void setFocusRect(int n_FocusRect);
    bool Sorted() const { return false; } // rows are matched to URLs by position
    void setSorted(bool n_Sorted) { m_sorted = n_Sorted; }
    QString Text() const;
    void setText(const QString &n_Text);
    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int n_MousePointer);
    // Ctrl and Shift with the mouse or arrows select several rows.
    bool MultiSelect() const;
    void setMultiSelect(bool n_MultiSelect);

    Q_INVOKABLE QString List(int Index) const;
    Q_INVOKABLE bool setList(int Index, const QString &n_List);
    Q_INVOKABLE QString ListUrl(int Index) const;
    Q_INVOKABLE QString ItemUrl(int Index) const;
    Q_INVOKABLE bool AddItem(const QString &Item);
    Q_INVOKABLE bool AddItem(const QString &Item, int Index);
    Q_INVOKABLE bool RemoveItem(int Index);
    Q_INVOKABLE void Clear();
    Q_INVOKABLE void RefreshHistoryEx();
    Q_INVOKABLE void RefreshHistoryEx(const QString &m_date);
    Q_INVOKABLE void RefreshHistoryEx(const QString &m_date, const QString &m_mask);
    Q_INVOKABLE void RefreshFavoritesEx(const QString &dataFile);
    Q_INVOKABLE void RefreshFavoritesEx(const QString &dataFile, const QString &strSearch);
    // Lists every favorite as RefreshFavoritesEx does: at once when the
    // store is small or already read, else when a worker has read it (the
    // list is empty meanwhile), so a million favorites never stall the
    // window. FavoritesListed follows, unless another list was asked for
    // first.
    Q_INVOKABLE void RefreshFavoritesLater(const QString &dataFile);
    // Stores above this size are read by a worker for RefreshFavoritesLater.
    static constexpr qint64 kReadAtOnceBytes = 1 << 20;
    Q_INVOKABLE void InsertFavorites(const QString &dataFile, const QString &Item);
    Q_INVOKABLE int ImportFromIE(const QString &dataFile, bool bClear);
    // Adds the bookmarks of a bookmarks HTML file to the store (an address
    // already stored is not added again) and shows the store. The number
    // added; -1 when the file could not be read or the store not saved;
    // kTooLarge (the hosts' ListProxy::kImportTooLarge) for a file over
    // 64 MB, which is not read at all.
    Q_INVOKABLE int ImportBookmarks(const QString &dataFile, const QString &htmlFile);
    static constexpr int kTooLarge = FavoritesService::kTooLarge;
    // The same away from the GUI thread: ImportProgress now and then, then
    // ImportFinished with what ImportBookmarks would answer, or kCancelled
    // after CancelImport (nothing written). False when one is running.
    Q_INVOKABLE bool StartImportBookmarks(const QString &dataFile, const QString &htmlFile);
    Q_INVOKABLE void CancelImport();
    static constexpr int kCancelled = FavoritesService::kCancelled;
    // Writes every favorite to a bookmarks HTML file, atomically. False
    // when the file could not be written.
    Q_INVOKABLE bool ExportBookmarks(const QString &dataFile, const QString &htmlFile);

    // The whole stored record behind a row of the last favorites refresh.
    Q_INVOKABLE QString ItemRecord(int Index) const;
    // The selected rows, in order.
    Q_INVOKABLE QList<int> SelectedRows() const;
    // Removes one stored copy of each record in one atomic save. The number
    // of records removed (a record no longer stored is not: 0 when none
    // was, and nothing is written then); -1 when the store could not be
    // saved: it is then as it was.
    Q_INVOKABLE int DeleteFavorites(const QString &dataFile, const QStringList &records);
    // Puts newRecord in the place of the first stored copy of oldRecord, in
    // one atomic save. False when oldRecord is no longer stored or the
    // store could not be saved.
    Q_INVOKABLE bool ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord);
    // The same three away from the window's thread, in the order asked:
    // DeleteFinished, ReplaceFinished and ExportFinished follow with what
    // the calls would answer (the list is left as it is: the host lists
    // again).
    Q_INVOKABLE void StartDeleteFavorites(const QString &dataFile, const QStringList &records);
    Q_INVOKABLE void StartReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord);
    Q_INVOKABLE void StartExportBookmarks(const QString &dataFile, const QString &htmlFile);
    // The stored record whose address is url; empty when there is none.
    Q_INVOKABLE QString FindFavorite(const QString &dataFile, const QString &url) const;
    // Up to max records holding search in any field (any case), in stored
    // order. The store is read again only when it changed.
    Q_INVOKABLE QStringList SuggestFavorites(const QString &dataFile, const QString &search, int max) const;

    // Selects a row as a user would (raises Click).
    Q_INVOKABLE void selectRow(int Index);
    RowListView *listBox() const { return m_list; }

signals:
    void Click();
    void DblClick();
    void KeyDown(int *KeyCode, int *Shift);
    void KeyPress(int *KeyAscii);
    void KeyUp(int *KeyCode, int *Shift);
    void MouseDown(int *Button, int *Shift, float *X, float *Y);
    void MouseUp(int *Button, int *Shift, float *X, float *Y);
    void Scroll();
    void ImportProgress(int percent);
    void ImportFinished(int added);
    // An InsertFavorites call's record is saved (or could not be) and listed.
    void InsertFinished(const QString &record, bool saved);
    // A history list longer than its first rows is counted and listed whole.
    void HistoryCounted(int count);
    void DeleteFinished(const QStringList &records, int removed);
    void ReplaceFinished(const QString &oldRecord, const QString &newRecord, bool saved);
    void ExportFinished(const QString &htmlFile, bool written);
    // A RefreshFavoritesLater call's favorites are listed.
    void FavoritesListed(int count);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setRows(QStringList rows);
    void countHistoryLater(const std::shared_ptr<HistoryRows> &rows);

    QWidget *m_picture1;
    RowListView *m_list;
    RowModel *m_model;
    QWidget *m_picture2;
    FavoritesService *m_service;                     // what the favorites methods forward to
    std::shared_ptr<HistoryRows> m_history;          // the last history refresh
    std::shared_ptr<const FavoriteRows> m_favorites; // the last favorites refresh
    QString m_image = QStringLiteral("bmp_01");
    int m_focusRect = 0;
    bool m_sorted = false;
    int m_mousePointer = 0;
    bool m_shown = false;
    int m_clickedRow = -1; // the row the last Click was raised for
    LiveObjectToken m_token;
    static constexpr int kMaxPageTextRows = 50; // favorites found by their page's text, at most
    quint64 m_listAsked = 0;                    // lists asked for: a worker's late answer is for the last one only
    // Counts long history lists and reads large favorites stores; last, so
    // it is joined before anything an answer touches goes.
    QThreadPool m_readers;
};
