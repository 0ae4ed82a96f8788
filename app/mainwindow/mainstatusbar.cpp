#include "mainstatusbar.h"

#include "mainrules.h"

#include <QFrame>
#include <QLabel>

namespace {
int px(int twips)
{
    return twips / 15;
}
QFrame *box(QWidget *parent, int l, int t, int w, int h)
{
    auto *f = new QFrame(parent);
    f->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #808080; }"));
    f->setGeometry(px(l), px(t), px(w), px(h));
    return f;
}
QLabel *label(QWidget *parent, const QString &text, int l, int t, int w, int h)
{
    auto *lbl = new QLabel(text, parent);
    lbl->setGeometry(px(l), px(t), px(w), px(h));
    return lbl;
}
} // namespace

MainStatusBar::MainStatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    setFixedHeight(px(285));
    m_shape1 = box(this, 1950, 15, 5415, 240);
    m_lblStatus1 = label(this, QStringLiteral("Ready"), 2010, 30, 5250, 210);
    m_shape4 = box(this, 7395, 15, 1080, 240);
    m_shape2 = box(this, 8505, 15, 270, 240);
    m_lblStatus2 = label(this, QString(), 8550, 30, 240, 195);
    m_shape3 = box(this, 8805, 15, 1395, 240);
    m_lblStatus3 = label(this, QString(), 8835, 30, 1290, 210);
}

void MainStatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    const auto l = MainRules::statusBarLayout(width() * 15);
    m_shape3->move(px(l.shape3Left), m_shape3->y());
    if (l.shape2Width >= 0)
        m_shape2->resize(px(l.shape2Width), m_shape2->height());
    if (l.label2Width >= 0)
        m_lblStatus2->resize(px(l.label2Width), m_lblStatus2->height());
    m_lblStatus3->move(px(l.label3Left), m_lblStatus3->y());
}
