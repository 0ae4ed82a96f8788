#pragma once

#include <QWidget>

class PaneHeader;

// The history pane (its list and controls arrive with the list control).
class Form6 : public QWidget
{
    Q_OBJECT

public:
    explicit Form6(QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    PaneHeader *m_header;
};
