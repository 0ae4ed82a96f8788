// A docked side pane of a DockFrame, found by its name.
#pragma once

#include <QObject>
#include <QString>

class QDockWidget;
class QWidget;

// A docked side pane of a DockFrame, found by its name.
class DockPane : public QObject
{
    Q_OBJECT

public:
    DockPane(QDockWidget *dock, QObject *parent);

    QString name() const;
    QWidget *hostedForm() const;
    void setHostedForm(QWidget *form);
    bool visible() const;
    void setVisible(bool visible);
    // Shown and not covered by another pane tabbed with it.
    bool inView() const;
    // Shows the pane and brings it in front of the panes tabbed with it.
    void bringIntoView();
    QDockWidget *dock() const { return m_dock; }

private:
    QDockWidget *m_dock;
};
