// Draws a suggestion row.
#pragma once

#include <QStyledItemDelegate>

// Draws a suggestion row: the title over the address, the words typed in
// bold in both; the search row in one line.
class SuggestionDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum Role { UrlRole = Qt::UserRole + 1, KindRole, CompletionRole };

    using QStyledItemDelegate::QStyledItemDelegate;
    void setTyped(const QString &typed) { m_typed = typed; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    // Draws text in one line from the left of rect, emphasised parts bold,
    // cut off at the rect's right edge.
    void drawLine(QPainter *painter, const QRect &rect, const QString &text, const QFont &font) const;

    QString m_typed;
};
