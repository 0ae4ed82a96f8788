#include "app/panes/historypane.h"

#include "app/panes/firstsight.h"
#include "platform/keycodes.h"
#include "app/panes/paneheader.h"
#include "platform/twipsgeometry.h"
#include "app/settings/programstate.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QLabel>

using TwipsGeometry::px;
using TwipsGeometry::tw;

Form6::Form6(QWidget *parent)
    : QWidget(parent)
    , m_header(new PaneHeader(QStringLiteral("History Pane"), this))
    , m_check1(new QCheckBox(QStringLiteral(" Show all history"), this))
    , m_picture2(new QWidget(this))
    , m_label1(new QLabel(m_picture2))
{
    setMinimumWidth(120);
    m_check1->setGeometry(px(165), px(585), px(1635) + 30, px(195) + 4);
    m_picture2->setFixedHeight(px(780));
    m_label1->setGeometry(px(15), px(90), px(3000), px(615));
    m_label1->setAutoFillBackground(true);
    m_label1->setBackgroundRole(QPalette::Base);
    m_label1->setForegroundRole(QPalette::Text);
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(m_check1, &QCheckBox::clicked, this, &Form6::reload);
    new FirstSight(this, [this] { ensureList(); });
}

ListProxy Form6::List1()
{
    ensureList();
    return m_list1;
}

void Form6::ensureList()
{
    // Made when the pane is first seen or the list asked for: the pane
    // starts behind the search pane, and loading the list component and the
    // history at start-up would hold up the home page.
    if (m_listMade)
        return;
    m_listMade = true;
    m_list1 = ListProxy::create(this);
    QWidget *list = m_list1.widget();
    if (!list)
        return;
    list->move(-1, px(870));
    connect(list, SIGNAL(Click()), this, SLOT(onListClick()));
    connect(list, SIGNAL(DblClick()), this, SLOT(onListDblClick()));
    connect(list, SIGNAL(MouseDown(int *, int *, float *, float *)), this,
            SLOT(onListMouseDown(int *, int *, float *, float *)));
    connect(list, SIGNAL(KeyUp(int *, int *)), this, SLOT(onListKeyUp(int *, int *)));
    // Load: today's entries.
    m_list1.RefreshHistoryEx(QDateTime::currentDateTime().toString(Qt::ISODate));
    layoutList();
    list->show(); // made after its form may have been shown
}

QString Form6::dateLimit() const
{
    return m_check1->isChecked() ? QString() : QDateTime::currentDateTime().toString(Qt::ISODate);
}

QString Form6::statusText() const
{
    return m_label1->text();
}

void Form6::reload()
{
    ensureList();
    m_list1.RefreshHistoryEx(dateLimit());
}

void Form6::onListClick()
{
    const QString url = m_list1.ListUrl(m_list1.ListIndex());
    m_label1->setText(url);
    m_label1->setToolTip(url);
}

void Form6::onListDblClick()
{
    const QString url = m_list1.ListUrl(m_list1.ListIndex());
    emit openRequested(url, programState().LastShift == KeyCodes::kShift ? PageTarget::NewTab : PageTarget::ActiveTab);
}

void Form6::onListMouseDown(int *button, int *, float *, float *)
{
    if (*button & 2) {
        QApplication::clipboard()->clear();
        QApplication::clipboard()->setText(m_list1.ListUrl(m_list1.ListIndex()));
    }
}

void Form6::onListKeyUp(int *keyCode, int *shift)
{
    if (*keyCode == KeyCodes::kR && *shift == KeyCodes::kCtrl)
        reload();
}

void Form6::layoutList()
{
    if (QWidget *list = m_list1.widget()) {
        const int h = tw(height()) - 465 - 780 - 400;
        if (h >= 0)
            list->resize(list->width(), px(h));
        list->resize(width(), list->height());
    }
}

void Form6::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_header->setGeometry(0, 0, width(), m_header->height());
    m_picture2->setGeometry(0, height() - m_picture2->height(), width(), m_picture2->height());
    layoutList();
    if (tw(width()) - 30 >= 0)
        m_label1->resize(px(tw(width()) - 30), m_label1->height());
}
