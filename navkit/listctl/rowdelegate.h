// Draws a list row 18 pixels high with the row image in front of the text, and a focus rectangle around the current row when asked to.
#pragma once

#include <QStyledItemDelegate>

// Draws a list row 18 pixels high with the row image in front of the text,
// and a focus rectangle around the current row when asked to.
class RowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit RowDelegate(QObject *parent);

    void setFocusRect(bool on) { m_focusRect = on; }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QPixmap m_image;
    bool m_focusRect = false;
};
