// The white header strip of the side panes.
#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;

// The white header strip of the side panes: a bold title, an icon at the
// right end and a grey line under it.
class PaneHeader : public QWidget
{
    Q_OBJECT

public:
    PaneHeader(const QString &title, QWidget *parent);

    QRect iconRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_title;
    QIcon m_icon;
};
