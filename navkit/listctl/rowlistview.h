// The list control's view: rows placed a batch a turn.
#pragma once

#include <QListView>
#include <QPersistentModelIndex>

// The list control's view. A list of a million rows is placed a batch a
// turn (in one go it held the window for 50 ms), so the first rows are
// drawn at once. What the view does with rows not placed yet is mended
// here: End goes to the list's last row, not the last one placed, and a
// row scrolled to before it is placed is scrolled to once it is.
class RowListView : public QListView
{
    Q_OBJECT

public:
    explicit RowListView(QWidget *parent = nullptr);
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

    static constexpr int kRowsPlacedATurn = 10000;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void scrollWhenPlaced(int turnsLeft);

    QPersistentModelIndex m_waiting; // to be scrolled to once placed
    ScrollHint m_waitingHint = EnsureVisible;
};
