#include "app/browser/findbar.h"

#include "engine/browsercontrol.h"
#include "engine/browserpage.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QWebEngineView>

FindBar::FindBar(BrowserControl *browser)
    : QWidget(browser)
    , m_browser(browser)
    , m_box(new QLineEdit(this))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Find:"), this));
    m_box->setClearButtonEnabled(true);
    layout->addWidget(m_box, 1);
    browser->setBottomBar(this);
    hide();
    connect(m_box, &QLineEdit::textChanged, this, [this] { findNext(false); });
    connect(m_box, &QLineEdit::returnPressed, this,
            [this] { findNext(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier); });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::close);
}

void FindBar::open()
{
    show();
    m_box->setFocus();
    m_box->selectAll();
}

void FindBar::findNext(bool backward)
{
    m_browser->page()->findText(m_box->text(), backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void FindBar::close()
{
    hide();
    m_browser->page()->findText(QString());
    m_browser->view()->setFocus();
}
