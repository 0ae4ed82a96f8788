// Form9, the favorites tab: the stored favorites, narrowed by a filter.
#pragma once

#include "app/panes/pagetarget.h"

#include "navkit/proxies/listproxy.h"

#include <QWidget>

class PaneHeader;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

// The favorites tab: the favorites store in a list control, narrowed by a
// filter box; a double click opens a favorite in a new tab, a right click
// copies its address and offers the favorite's commands, Delete removes the
// selected ones and F2 edits one, Ctrl+R and a double click on the
// background reload.
class Form9 : public QWidget
{
    Q_OBJECT

public:
    explicit Form9(QWidget *parent = nullptr);

    // The list control, made on first use.
    ListProxy List1();
    QLineEdit *Text1() const { return m_text1; }
    QString statusText() const;
    void setStatus(const QString &text);
    // Bookmarks HTML files. An import runs away from the GUI thread: the
    // status line shows its progress and a Cancel button, then the outcome;
    // false when it did not start (one is running). An export too is
    // written away from the GUI thread; the status line says when it is.
    bool importBookmarks(const QString &htmlFile);
    bool importRunning() const;
    void exportBookmarks(const QString &htmlFile);
    // The status line's words for an import's outcome.
    static QString importedText(int added);
    QString countText() const;
    // The selected favorites leave the store in one save away from the GUI
    // thread; the status line then says how many went (or that the store
    // could not be saved). False when none was selected.
    bool deleteSelected();
    // The status after a delete: how many of those asked for were removed.
    static QString deletedText(int removed, int asked);
    // Edits a stored record in the edit dialog and stores the change away
    // from the GUI thread (the status line says when it is saved, or that
    // it could not be); false when cancelled.
    bool editRecord(const QString &record);
    // The record stored for an address; empty when none.
    QString recordFor(const QString &url);

private slots:
    void onListClick();
    void onListDblClick();
    void onListMouseDown(int *button, int *shift, float *x, float *y);
    void onListKeyUp(int *keyCode, int *shift);
    void onListKeyDown(int *keyCode, int *shift);
    void onImportProgress(int percent);
    void onImportFinished(int added);
    void onInsertFinished(const QString &record, bool saved);
    void onDeleteFinished(const QStringList &records, int removed);
    void onReplaceFinished(const QString &oldRecord, const QString &newRecord, bool saved);
    void onExportFinished(const QString &htmlFile, bool written);

signals:
    // The user chose a page to open.
    void openRequested(const QString &url, PageTarget target);
    // A favorite added through the list is stored.
    void favoriteStored(const QString &record);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void connectList();
    void ensureList();
    void layoutList();
    void reload();
    void refreshFiltered();
    void writeCount();

    PaneHeader *m_header;
    QLineEdit *m_text1;
    ListProxy m_list1;
    QWidget *m_picture2;
    QFrame *m_shape1;
    QLabel *m_lblStatus1;
    QToolButton *m_cancelImport;
    int m_deletedFrom = 0; // the first row of the delete asked for last
    QFrame *m_shape4;
    QFrame *m_shape3;
    QLabel *m_lblStatus3;
    bool m_listMade = false;
};
