// Form6, the history pane: the pages visited, by day.
#pragma once

#include "app/panes/pagetarget.h"

#include "navkit/proxies/listproxy.h"

#include <QWidget>

class PaneHeader;
class QCheckBox;
class QLabel;

// The history pane: today's entries (or all, with " Show all history") in a
// list control; a double click opens an entry in the active tab, or with
// Shift held in a new tab; a right click copies its address; Ctrl+R reloads.
class Form6 : public QWidget
{
    Q_OBJECT

public:
    explicit Form6(QWidget *parent = nullptr);

    // The list control, made on first use.
    ListProxy List1();
    QCheckBox *Check1() const { return m_check1; }
    QString statusText() const;
    // The date limit for the list: now, or "" with the box checked.
    QString dateLimit() const;

private slots:
    void reload();
    void onListClick();
    void onListDblClick();
    void onListMouseDown(int *button, int *shift, float *x, float *y);
    void onListKeyUp(int *keyCode, int *shift);

signals:
    // The user chose a page to open.
    void openRequested(const QString &url, PageTarget target);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void ensureList();
    void layoutList();

    PaneHeader *m_header;
    QCheckBox *m_check1;
    ListProxy m_list1;
    QWidget *m_picture2;
    QLabel *m_label1;
    bool m_listMade = false;
};
