#include "form6.h"

#include "paneheader.h"

Form6::Form6(QWidget *parent)
    : QWidget(parent)
    , m_header(new PaneHeader(QStringLiteral("History Pane"), this))
{
    setMinimumWidth(120);
}

void Form6::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_header->setGeometry(0, 0, width(), m_header->height());
}
