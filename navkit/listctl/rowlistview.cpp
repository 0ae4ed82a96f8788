#include "navkit/listctl/rowlistview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace {

// Enough for a list of int's range a batch a turn, and an end to waiting
// when the view stops placing (hidden, or the list changed).
constexpr int kTurnsToWait = 1000;

} // namespace

RowListView::RowListView(QWidget *parent)
    : QListView(parent)
{
    setUniformItemSizes(true); // 100,000 rows stay fast
    setLayoutMode(QListView::Batched);
    setBatchSize(kRowsPlacedATurn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent clears it
}

QModelIndex RowListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // The view's own End is the last row placed so far.
    if (cursorAction == MoveEnd && model()) {
        const int rows = model()->rowCount(rootIndex());
        if (rows > 0)
            return model()->index(rows - 1, modelColumn(), rootIndex());
    }
    return QListView::moveCursor(cursorAction, modifiers);
}

void RowListView::reset()
{
    QListView::reset();
    executeDelayedItemsLayout();
}

void RowListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QListView::rowsInserted(parent, start, end);
    executeDelayedItemsLayout();
}

bool RowListView::rowsArePlaced() const
{
    if (!model())
        return true;
    const QModelIndex first = model()->index(0, modelColumn(), rootIndex());
    if (!first.isValid())
        return true;
    // Until the last batch is placed the view finds no row at any point,
    // though it knows where the first ones are.
    const QRect at = visualRect(first);
    return at.isValid() && indexAt(at.center()) == first;
}

void RowListView::paintEvent(QPaintEvent *event)
{
    // Rows placed in part are drawn as none: what was drawn stays instead
    // (the viewport is not cleared before a paint), unless nothing was
    // since the view was shown or resized (the screen there holds what lay
    // beneath, or nothing).
    if (!rowsArePlaced() && m_drawn)
        return;
    QPainter(viewport()).fillRect(event->rect(), viewport()->palette().brush(viewport()->backgroundRole()));
    QListView::paintEvent(event);
    m_drawn = true;
}

void RowListView::resizeEvent(QResizeEvent *event)
{
    m_drawn = false;
    QListView::resizeEvent(event);
}

void RowListView::hideEvent(QHideEvent *event)
{
    m_drawn = false;
    QListView::hideEvent(event);
}

void RowListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // A row not placed yet has no place to scroll to: the view would do
    // nothing.
    if (index.isValid() && !visualRect(index).isValid()) {
        const bool waiting = m_waiting.isValid();
        m_waiting = index;
        m_waitingHint = hint;
        if (!waiting)
            scrollWhenPlaced(kTurnsToWait);
        return;
    }
    m_waiting = QPersistentModelIndex();
    QListView::scrollTo(index, hint);
}

void RowListView::scrollWhenPlaced(int turnsLeft)
{
    QTimer::singleShot(0, this, [this, turnsLeft] {
        if (!m_waiting.isValid())
            return; // scrolled elsewhere meanwhile, or the row has gone
        if (visualRect(m_waiting).isValid()) {
            const QModelIndex index = m_waiting;
            m_waiting = QPersistentModelIndex();
            QListView::scrollTo(index, m_waitingHint);
        } else if (turnsLeft > 1) {
            scrollWhenPlaced(turnsLeft - 1);
        } else {
            m_waiting = QPersistentModelIndex();
        }
    });
}
