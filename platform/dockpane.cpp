#include "platform/dockpane.h"

#include <QDockWidget>

DockPane::DockPane(QDockWidget *dock, QObject *parent)
    : QObject(parent)
    , m_dock(dock)
{}

QString DockPane::name() const
{
    return m_dock->objectName();
}

QWidget *DockPane::hostedForm() const
{
    return m_dock->widget();
}

void DockPane::setHostedForm(QWidget *form)
{
    m_dock->setWidget(form);
}

bool DockPane::visible() const
{
    return !m_dock->isHidden();
}

void DockPane::setVisible(bool visible)
{
    m_dock->setVisible(visible);
}

bool DockPane::inView() const
{
    return m_dock->isVisible() && !m_dock->visibleRegion().isEmpty();
}

void DockPane::bringIntoView()
{
    m_dock->show();
    m_dock->raise(); // a tabbed pane becomes the current tab
}
