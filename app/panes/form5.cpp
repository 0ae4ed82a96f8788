#include "form5.h"

#include "paneheader.h"

Form5::Form5(QWidget *parent)
    : QWidget(parent)
    , m_header(new PaneHeader(QStringLiteral("Search Pane"), this))
{
    setMinimumWidth(120);
}

void Form5::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_header->setGeometry(0, 0, width(), m_header->height());
}
