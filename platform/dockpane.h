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
    QDockWidget *dock() const { return m_dock; }

private:
    QDockWidget *m_dock;
};
