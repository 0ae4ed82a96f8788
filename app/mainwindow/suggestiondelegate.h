// Draws a suggestion row.
#pragma once

#include <QStyledItemDelegate>

// Draws a suggestion row: the title over the address, the words typed in
// bold in both; a favorite found by its page's text has a snippet of that
// text in a third line; the search row is one line.
class SuggestionDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum Role { UrlRole = Qt::UserRole + 1, KindRole, CompletionRole, SnippetRole };

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
