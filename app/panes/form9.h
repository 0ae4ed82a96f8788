#pragma once

#include <QWidget>

class PaneHeader;

// The favorites tab (its list and controls arrive with the list control).
class Form9 : public QWidget
{
    Q_OBJECT

public:
    explicit Form9(QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    PaneHeader *m_header;
};
