#include "app/mainwindow/favoritestar.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

QIcon drawStar(bool filled)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 ? 6.5 : 14.0;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(16 + radius * std::cos(angle), 17 + radius * std::sin(angle));
        i ? star.lineTo(point) : star.moveTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(filled ? QColor(0xc8, 0x8a, 0x00) : QColor(0x70, 0x70, 0x70), 2));
    p.setBrush(filled ? QColor(0xff, 0xc1, 0x07) : Qt::transparent);
    p.drawPath(star);
    return QIcon(pixmap);
}

} // namespace

FavoriteStar::FavoriteStar(QLineEdit *box, Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_empty(drawStar(false))
    , m_full(drawStar(true))
    , m_action(box->addAction(m_empty, QLineEdit::TrailingPosition))
    , m_hooks(std::move(hooks))
{
    m_lookups.setMaxThreadCount(1);
    m_action->setObjectName(QStringLiteral("FavoriteStar"));
    show(false);
    m_delay.setSingleShot(true);
    m_delay.setInterval(300);
    connect(&m_delay, &QTimer::timeout, this, &FavoriteStar::look);
    connect(m_action, &QAction::triggered, this, &FavoriteStar::onClicked);
}

void FavoriteStar::recheck()
{
    m_delay.start();
}

void FavoriteStar::look()
{
    const QString address = m_hooks.address();
    const quint64 question = ++m_question;
    if (address.isEmpty()) {
        show(false);
        return;
    }
    if (m_hooks.prepare)
        m_hooks.prepare();
    // Looked up away from the window's thread: the first look reads the
    // whole store (seconds for a million favorites).
    m_lookups.start([self = QPointer<FavoriteStar>(this), lookUp = m_hooks.storedRecord, address, question] {
        const bool stored = !lookUp(address).isEmpty();
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, question, stored] {
                if (self && self->m_question == question)
                    self->show(stored);
            },
            Qt::QueuedConnection);
    });
}

void FavoriteStar::show(bool stored)
{
    m_stored = stored;
    m_action->setIcon(stored ? m_full : m_empty);
    m_action->setToolTip(stored ? QStringLiteral("Edit this favorite") : QStringLiteral("Add to Favorites"));
}

void FavoriteStar::onClicked()
{
    const QString address = m_hooks.address();
    if (address.isEmpty())
        return;
    if (m_hooks.prepare)
        m_hooks.prepare();
    // Asked on the lookup thread as well: the store may not have been read
    // yet (seconds for a million favorites). The answer acts only while
    // the same page is in front.
    m_lookups.start([self = QPointer<FavoriteStar>(this), lookUp = m_hooks.storedRecord, address] {
        const QString record = lookUp(address);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, address, record] {
                if (!self || self->m_hooks.address() != address)
                    return;
                if (record.isEmpty())
                    self->m_hooks.add();
                else
                    self->m_hooks.edit(record);
                self->look();
            },
            Qt::QueuedConnection);
    });
}
