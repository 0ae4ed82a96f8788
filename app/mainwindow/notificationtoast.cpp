#include "app/mainwindow/notificationtoast.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <utility>

NotificationToast::NotificationToast(QWidget *window, const QString &title, const QString &body,
                                     std::function<void()> clicked)
    : QFrame(window)
    , m_title(new QLabel(title, this))
    , m_clicked(std::move(clicked))
{
    setObjectName(QStringLiteral("NotificationToast"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    // The page's words, never markup.
    m_title->setTextFormat(Qt::PlainText);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    auto *text = new QLabel(body, this);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(text);
    setFixedWidth(300);
    adjustSize();
    place();
    raise();
    show();
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShownMs);
    connect(&m_timer, &QTimer::timeout, this, &QObject::deleteLater);
    m_timer.start();
}

QString NotificationToast::title() const
{
    return m_title->text();
}

void NotificationToast::place()
{
    const QWidget *window = parentWidget();
    move(window->width() - width() - 16, window->height() - height() - 40);
}

void NotificationToast::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (m_clicked)
        m_clicked();
    deleteLater();
}
