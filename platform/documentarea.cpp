#include "platform/documentarea.h"

#include <QResizeEvent>

DocumentArea::DocumentArea(QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
{
    setObjectName(QStringLiteral("DocumentArea"));
    m_content->setParent(this);
}

QSize DocumentArea::sizeHint() const
{
    return m_content->sizeHint();
}

QSize DocumentArea::minimumSizeHint() const
{
    return m_content->minimumSizeHint();
}

void DocumentArea::resizeEvent(QResizeEvent *event)
{
    m_content->setGeometry(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}
