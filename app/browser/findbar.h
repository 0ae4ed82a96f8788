// The find bar under a tab's page: type to highlight, Enter for the next match.
#pragma once

#include <QWidget>

class BrowserControl;
class QLineEdit;

// Typing highlights the matches, Enter and Shift+Enter step through them,
// Escape closes the bar and gives the page its focus back. Opened with
// Ctrl+F anywhere in the browser it searches.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(BrowserControl *browser);

    void open();
    QLineEdit *box() const { return m_box; }

private:
    void findNext(bool backward);
    void close();

    BrowserControl *m_browser;
    QLineEdit *m_box;
};
