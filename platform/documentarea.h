// The main window's central area, filled by the document tabs.
#pragma once

#include <QWidget>

// The main window's central area, filled by the document tabs. The tab
// widget asks for a new layout whenever a tab's caption or icon changes.
// As the main window's own central widget, each such request laid the whole
// window out again and repainted the docks' separator: while a page loads,
// several times a second. Under X that repaint also waited for the server to
// take in the window's first paint, holding the engine's work on the
// window's thread back while the first page loaded. The request now ends
// here, where there is no layout to redo; the tabs' size hints still count
// whenever the main window is laid out for another reason.
class DocumentArea : public QWidget
{
    Q_OBJECT

public:
    // Takes content over as its only child.
    DocumentArea(QWidget *content, QWidget *parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *m_content;
};
