#include "app/panes/paneheader.h"

#include "platform/deferredicon.h"
#include "platform/twips.h"

#include <QLabel>
#include <QPainter>
#include <QStyle>

using namespace Twips;

PaneHeader::PaneHeader(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(title, this))
    , m_icon(DeferredIconEngine::styleIcon(QStyle::SP_FileDialogInfoView))
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setFixedHeight(px(465));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->move(px(120), px(60));
    m_title->adjustSize();
}

QRect PaneHeader::iconRect() const
{
    // 16 pixels square, 100 twips from the right edge.
    return {width() - 16 - px(100), px(60), 16, 16};
}

void PaneHeader::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(0, height() - 2, width(), height() - 2);
    m_icon.paint(&painter, iconRect());
}
