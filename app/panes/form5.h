#pragma once

#include <QWidget>

class PaneHeader;

// The search pane (its list and controls arrive with the list control).
class Form5 : public QWidget
{
    Q_OBJECT

public:
    explicit Form5(QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    PaneHeader *m_header;
};
