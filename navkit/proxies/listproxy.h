// Typed access to a "QuillonHelper.List" control, created by ProgID and called by name.
#pragma once

#include <QPointer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

// Typed access to a "QuillonHelper.List" control, created by ProgID and
// called by name. Every call on a missing control does nothing and answers
// an empty value.
class ListProxy
{
public:
    // Creates the control by ProgID as a child of parent; invalid when the
    // class cannot be created.
    static ListProxy create(QWidget *parent);
    explicit ListProxy(QWidget *control = nullptr)
        : m_control(control)
    {}

    bool isValid() const { return !m_control.isNull(); }
    QWidget *widget() const { return m_control; }

    int ListCount() const;
    int ListIndex() const;
    void setListImage(const QString &name);
    void setFocusRect(int value);
    void setSorted(bool value);
    QString List(int index) const;
    QString ListUrl(int index) const;
    QString ItemUrl(int index) const;
    void Clear();
    void RefreshHistoryEx(const QString &date = QString(), const QString &mask = QString());
    void RefreshFavoritesEx(const QString &dataFile, const QString &search = QString());
    // Every favorite, listed when read: a large store is read by a worker
    // (the list is empty until then).
    void RefreshFavoritesLater(const QString &dataFile);
    void InsertFavorites(const QString &dataFile, const QString &item);
    int ImportFromIE(const QString &dataFile, bool clear);
    int ImportBookmarks(const QString &dataFile, const QString &htmlFile);
    // What ImportBookmarks answers for a file over 64 MB (not read), and
    // what an import away from the GUI thread answers when cancelled.
    static constexpr int kImportTooLarge = -2;
    static constexpr int kImportCancelled = -3;
    // An import away from the GUI thread: its progress (a percentage) and
    // outcome (what ImportBookmarks answers) reach the receiver's slots,
    // taking an int each, connected once. False (logged) when not connected
    // or not started.
    bool connectImport(QObject *receiver, const char *progressSlot, const char *finishedSlot);
    // InsertFavorites saves away from the GUI thread: the receiver's slot
    // (QString record, bool saved) hears when it is stored. False (logged)
    // when not connected.
    bool connectInsert(QObject *receiver, const char *finishedSlot);
    // Deletes, replaces and exports away from the GUI thread, answered to
    // the receiver's slots (QStringList records, int removed), (QString old,
    // QString new, bool saved) and (QString htmlFile, bool written). False
    // (logged) when not connected.
    bool connectSaves(QObject *receiver, const char *deletedSlot, const char *replacedSlot, const char *exportedSlot);
    void StartDeleteFavorites(const QString &dataFile, const QStringList &records);
    void StartReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord);
    void StartExportBookmarks(const QString &dataFile, const QString &htmlFile);
    bool StartImportBookmarks(const QString &dataFile, const QString &htmlFile);
    void CancelImport();
    bool ExportBookmarks(const QString &dataFile, const QString &htmlFile);
    QString ItemRecord(int index) const;
    QList<int> SelectedRows() const;
    void setMultiSelect(bool value);
    // The number removed; -1 when the store could not be saved.
    int DeleteFavorites(const QString &dataFile, const QStringList &records);
    bool ReplaceFavorite(const QString &dataFile, const QString &oldRecord, const QString &newRecord);
    QString FindFavorite(const QString &dataFile, const QString &url) const;
    QStringList SuggestFavorites(const QString &dataFile, const QString &search, int max) const;
    void selectRow(int index);

private:
    QPointer<QWidget> m_control;
};
