#include "form9.h"

#include "paneheader.h"

Form9::Form9(QWidget *parent)
    : QWidget(parent)
    , m_header(new PaneHeader(QStringLiteral("Favorites"), this))
{
    setMinimumWidth(120);
}

void Form9::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_header->setGeometry(0, 0, width(), m_header->height());
}
