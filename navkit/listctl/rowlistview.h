// The list control's view: rows placed a batch a turn.
#pragma once

#include <QListView>
#include <QPersistentModelIndex>

// The list control's view. A list of a million rows is placed a batch a
// turn (in one go it held the window for over 100 ms). What the view does
// with rows not placed yet is mended here:
// - it draws none of them until the last batch is placed: what is on
//   screen is kept until then, rather than drawn empty;
// - a new or grown list is placed at once, not on a later turn, so that a
//   paint in between does not draw it empty either;
// - End goes to the list's last row, not the last one placed, and a row
//   scrolled to before it is placed is scrolled to once it is.
class RowListView : public QListView
{
    Q_OBJECT

public:
    explicit RowListView(QWidget *parent = nullptr);
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    void reset() override;
    // Every row has its place, so the view draws the list as it is.
    bool rowsArePlaced() const;

    // Up to 7 ms a turn here: fewer turns bring a long list sooner, each
    // turn costing a paint besides its rows.
    static constexpr int kRowsPlacedATurn = 50000;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void scrollWhenPlaced(int turnsLeft);

    QPersistentModelIndex m_waiting; // to be scrolled to once placed
    ScrollHint m_waitingHint = EnsureVisible;
    bool m_drawn = false; // the viewport holds a picture of the list to keep
};
