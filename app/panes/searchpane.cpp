#include "app/panes/searchpane.h"

#include "app/settings/mdlinicontrol.h"
#include "app/panes/paneheader.h"
#include "platform/twipsgeometry.h"
#include "app/settings/programstate.h"
#include "app/panes/searchengines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using TwipsGeometry::px;
using TwipsGeometry::tw;

Form5::Form5(QWidget *parent)
    : QWidget(parent)
    , m_header(new PaneHeader(QStringLiteral("Search Pane"), this))
    , m_text1(new QLineEdit(this))
    , m_combo1(new QComboBox(this))
    , m_check1(new QCheckBox(QStringLiteral("Send To All Search Engines"), this))
    , m_check2(new QCheckBox(QStringLiteral("Open In New Window"), this))
    , m_command1(new QPushButton(QStringLiteral("Search ..."), this))
{
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
    setMinimumWidth(120);
    auto *label3 = new QLabel(QStringLiteral("Search String :"), this);
    label3->move(px(120), px(720));
    m_text1->setGeometry(px(120), px(945), px(4770), px(315) + 2);
    m_check2->setGeometry(px(120), px(1335), px(1950) + 40, px(240) + 2);
    auto *label1 = new QLabel(QStringLiteral("Search Engine :"), this);
    label1->move(px(120), px(1815));
    m_combo1->setGeometry(px(120), px(2055), px(4770), px(315) + 4);
    m_check1->setGeometry(px(120), px(2655), px(2310) + 40, px(240) + 2);
    m_command1->setGeometry(px(3705), px(3090), px(1185), px(360));
    m_command1->setDefault(true);
    // Enter in the text box reaches the pane's own key handler, which
    // presses the button: one Enter, one search.
    connect(m_command1, &QPushButton::clicked, this, &Form5::search);

    // Load.
    m_combo1->addItems(SearchEngines::read(programState().ConfigFile, QStringLiteral("Text")));
    m_combo1->setCurrentIndex(m_combo1->count() > 0 ? 0 : -1);
}

QString Form5::configValue(const QString &key) const
{
    return mdlIniControl::ReadIniValue(programState().ConfigFile, QStringLiteral("Search"), key);
}

QString Form5::fillTemplate(const QString &urlTemplate, const QString &query)
{
    // Encoded as the address box does: "&", "+" or "#" in the words would
    // otherwise end or change the query.
    return SearchEngines::searchAddress(urlTemplate, query);
}

void Form5::search()
{
    const QString query = m_text1->text().trimmed();
    if (!m_check1->isChecked()) {
        const int p = m_combo1->currentIndex(); // -1 with no engines: key "Url0"
        const QString address = fillTemplate(configValue(QStringLiteral("Url%1").arg(p + 1)), query);
        emit openRequested(address, m_check2->isChecked() ? PageTarget::NewTab : PageTarget::ActiveTab);
        return;
    }
    for (const QString &urlTemplate : SearchEngines::read(programState().ConfigFile, QStringLiteral("Url")))
        emit openRequested(fillTemplate(urlTemplate, query), PageTarget::NewTab);
}

void Form5::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_header->setGeometry(0, 0, width(), m_header->height());
    const int inner = tw(width());
    if (inner - 300 >= 0) {
        m_text1->resize(px(inner - 300), m_text1->height());
        m_combo1->resize(px(inner - 300), m_combo1->height());
    }
    const int left = inner - 1185 - 150;
    if (left >= 0)
        m_command1->move(px(left), m_command1->y());
}

void Form5::keyPressEvent(QKeyEvent *event)
{
    // Enter anywhere in the pane presses "Search ...".
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_command1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
