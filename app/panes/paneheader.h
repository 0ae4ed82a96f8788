#pragma once

#include <QWidget>

class QLabel;

// The white header strip of the side panes: a bold title, an icon at the
// right end and a grey line under it.
class PaneHeader : public QWidget
{
    Q_OBJECT

public:
    PaneHeader(const QString &title, QWidget *parent);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_title;
    QLabel *m_icon;
};
