#include "paneheader.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>

PaneHeader::PaneHeader(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(title, this))
    , m_icon(new QLabel(this))
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setFixedHeight(465 / 15);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->move(120 / 15, 60 / 15);
    m_title->adjustSize();
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(16, 16));
    m_icon->resize(16, 16);
}

void PaneHeader::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The icon keeps 100 twips from the right edge.
    m_icon->move(width() - m_icon->width() - 100 / 15, 60 / 15);
}

void PaneHeader::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(0, height() - 2, width(), height() - 2);
}
