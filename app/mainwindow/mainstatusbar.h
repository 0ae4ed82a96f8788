// The main window's status bar.
#pragma once

#include <QStatusBar>

class QFrame;
class QLabel;

// The main window's status bar: three framed fields, the middle one
// stretching, the last kept at the right edge.
class MainStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MainStatusBar(QWidget *parent = nullptr);
    QLabel *lblStatus1() const { return m_lblStatus1; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QFrame *m_shape1;
    QLabel *m_lblStatus1;
    QFrame *m_shape4;
    QFrame *m_shape2;
    QLabel *m_lblStatus2;
    QFrame *m_shape3;
    QLabel *m_lblStatus3;
};
