#include "app/mainwindow/mainstatusbar.h"

#include "app/mainwindow/mainrules.h"
#include "platform/twipsgeometry.h"

#include <QFrame>
#include <QLabel>

using namespace TwipsGeometry;

namespace {
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
    m_shape1 = greyBox(this, twipsRect(1950, 15, 5415, 240));
    m_lblStatus1 = label(this, QStringLiteral("Ready"), 2010, 30, 5250, 210);
    m_shape4 = greyBox(this, twipsRect(7395, 15, 1080, 240));
    m_shape2 = greyBox(this, twipsRect(8505, 15, 270, 240));
    m_lblStatus2 = label(this, QString(), 8550, 30, 240, 195);
    m_shape3 = greyBox(this, twipsRect(8805, 15, 1395, 240));
    m_lblStatus3 = label(this, QString(), 8835, 30, 1290, 210);
}

void MainStatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    const auto l = MainRules::statusBarLayout(tw(width()));
    m_shape3->move(px(l.shape3Left), m_shape3->y());
    if (l.shape2Width >= 0)
        m_shape2->resize(px(l.shape2Width), m_shape2->height());
    if (l.label2Width >= 0)
        m_lblStatus2->resize(px(l.label2Width), m_lblStatus2->height());
    m_lblStatus3->move(px(l.label3Left), m_lblStatus3->y());
}
