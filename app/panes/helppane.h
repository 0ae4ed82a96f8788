// Form8, the help pane.
#pragma once

#include <QWidget>

class BrowserControl;
class PaneHeader;

// The help pane: a header and a browser that always shows "about:blank".
class Form8 : public QWidget
{
    Q_OBJECT

public:
    explicit Form8(QWidget *parent = nullptr);
    BrowserControl *wb1() const { return m_wb1; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    PaneHeader *m_header;
    BrowserControl *m_wb1;
    bool m_seen = false;
};
