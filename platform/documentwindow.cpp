#include "platform/documentwindow.h"

#include "platform/dockframe.h"

#include <QIcon>
#include <QLayout>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

DocumentWindow::DocumentWindow(DockFrame *frame, QString key, QWidget *page)
    : QObject(frame)
    , m_frame(frame)
    , m_key(std::move(key))
    , m_page(page)
{}

int DocumentWindow::position() const
{
    const int index = m_page ? m_frame->tabs()->indexOf(m_page) : -1;
    return index < 0 ? -1 : index + 1;
}

QString DocumentWindow::labelText(const QString &caption)
{
    // '&' would turn into a mnemonic in a tab label.
    QString text = caption;
    return text.replace(u'&', QStringLiteral("&&"));
}

QString DocumentWindow::caption() const
{
    const int index = position() - 1;
    return index < 0 ? QString() : m_frame->tabs()->tabText(index);
}

void DocumentWindow::setCaption(const QString &caption, const QString &toolTip)
{
    const int index = position() - 1;
    if (index >= 0) {
        const QString text = labelText(caption);
        // Setting the same text again still lays out every tab.
        if (m_frame->tabs()->tabText(index) != text)
            m_frame->tabs()->setTabText(index, text);
        m_frame->tabs()->setTabToolTip(index, toolTip.isEmpty() ? caption.trimmed() : toolTip);
    }
}

void DocumentWindow::setIcon(const QIcon &icon)
{
    if (const int index = position() - 1; index >= 0)
        m_frame->tabs()->setTabIcon(index, icon);
}

QIcon DocumentWindow::icon() const
{
    const int index = position() - 1;
    return index < 0 ? QIcon() : m_frame->tabs()->tabIcon(index);
}

QString DocumentWindow::toolTip() const
{
    const int index = position() - 1;
    return index < 0 ? QString() : m_frame->tabs()->tabToolTip(index);
}

bool DocumentWindow::shown() const
{
    return position() > 0;
}

void DocumentWindow::setShown(bool shown)
{
    if (!shown && position() > 0)
        m_frame->closeDocument(this);
}

void DocumentWindow::setHostedForm(QWidget *form)
{
    if (m_form == form || !m_page)
        return;
    if (m_form && m_form->parentWidget() == m_page)
        m_page->layout()->removeWidget(m_form);
    m_form = form;
    if (form) {
        form->setParent(m_page);
        m_page->layout()->addWidget(form);
        form->show();
    }
}

void DocumentWindow::activate()
{
    if (position() > 0)
        m_frame->tabs()->setCurrentWidget(m_page);
}

void DocumentWindow::release()
{
    m_frame->forget(this);
}
