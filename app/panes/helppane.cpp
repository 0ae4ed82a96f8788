#include "app/panes/helppane.h"

#include "engine/browsercontrol.h"
#include "app/panes/firstsight.h"
#include "app/panes/paneheader.h"
#include "platform/twips.h"

using namespace Twips;

Form8::Form8(QWidget *parent)
    : QWidget(parent)
    , m_header(new PaneHeader(QStringLiteral("Help Pane"), this))
    , m_wb1(new BrowserControl(this))
{
    m_wb1->setGeometry(0, px(495), px(5205), px(7095));
    // The pane starts behind the search pane: its page is loaded when it is
    // first seen, not at start-up, where it would hold up the home page.
    new FirstSight(this, [this] {
        m_seen = true;
        m_wb1->Navigate(QStringLiteral("about:blank"));
    });
}

void Form8::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_header->setGeometry(0, 0, width(), m_header->height());
    const int h = tw(height()) - 465 - 300;
    if (h >= 0)
        m_wb1->resize(m_wb1->width(), h / 15);
    m_wb1->resize(width(), m_wb1->height());
    // Whatever was brought into the pane is replaced.
    if (m_seen)
        m_wb1->Navigate(QStringLiteral("about:blank"));
}
