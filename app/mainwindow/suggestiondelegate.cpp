#include "app/mainwindow/suggestiondelegate.h"

#include "app/mainwindow/addressrules.h"

#include <QApplication>
#include <QPainter>

namespace {
constexpr int kMargin = 6;
}

void SuggestionDelegate::drawLine(QPainter *painter, const QRect &rect, const QString &text, const QFont &font) const
{
    QFont bold = font;
    bold.setBold(true);
    int x = rect.left();
    qsizetype at = 0;
    const auto draw = [&](qsizetype from, qsizetype length, const QFont &f) {
        if (length <= 0 || x >= rect.right())
            return;
        const QString part = text.mid(from, length);
        painter->setFont(f);
        const QRect box(x, rect.top(), rect.right() - x, rect.height());
        painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, part);
        x += QFontMetrics(f).horizontalAdvance(part);
    };
    for (const auto &[start, length] : AddressRules::emphasis(text, m_typed)) {
        draw(at, start - at, font);
        draw(start, length, bold);
        at = start + length;
    }
    draw(at, text.size() - at, font);
}

void SuggestionDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    painter->save();
    painter->setClipRect(option.rect);
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const QColor text = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const QColor link = selected ? text : option.palette.color(group, QPalette::Link);
    const QRect inner = option.rect.adjusted(kMargin, 1, -kMargin, -1);
    const QString title = index.data(Qt::DisplayRole).toString();
    const QString url = index.data(UrlRole).toString();
    painter->setPen(text);
    if (url.isEmpty()) {
        drawLine(painter, inner, title, option.font);
    } else {
        const QString snippet = index.data(SnippetRole).toString();
        const int line = inner.height() / (snippet.isEmpty() ? 2 : 3);
        drawLine(painter, QRect(inner.left(), inner.top(), inner.width(), line), title, option.font);
        QFont small = option.font;
        small.setPointSizeF(option.font.pointSizeF() * 0.9);
        painter->setPen(link);
        drawLine(painter, QRect(inner.left(), inner.top() + line, inner.width(), line), url, small);
        if (!snippet.isEmpty()) {
            QColor quiet = text;
            quiet.setAlphaF(0.7f);
            painter->setPen(quiet);
            drawLine(painter, QRect(inner.left(), inner.top() + 2 * line, inner.width(), inner.height() - 2 * line),
                     snippet, small);
        }
    }
    painter->restore();
}

QSize SuggestionDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // One height for the rows of a kind; a row with a snippet of its page
    // has a third line.
    const int lines = index.data(SnippetRole).toString().isEmpty() ? 2 : 3;
    return {200, lines * option.fontMetrics.height() + 6};
}
