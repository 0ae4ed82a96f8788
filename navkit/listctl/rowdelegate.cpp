#include "navkit/listctl/rowdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int kRowHeight = 18;
}

RowDelegate::RowDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
    , m_image(QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon).pixmap(16, 16))
{}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width() + 20, kRowHeight);
}

void RowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (!m_focusRect)
        opt.state &= ~QStyle::State_HasFocus;
    opt.icon = QIcon(m_image);
    opt.decorationSize = QSize(16, 16);
    opt.features |= QStyleOptionViewItem::HasDecoration;
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}
