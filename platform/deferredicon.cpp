#include "platform/deferredicon.h"

#include <QApplication>
#include <QPainter>

DeferredIconEngine::DeferredIconEngine(Resolver resolver)
    : m_resolver(std::move(resolver))
{}

QIcon DeferredIconEngine::styleIcon(QStyle::StandardPixmap which)
{
    return QIcon(new DeferredIconEngine([which] { return QApplication::style()->standardIcon(which); }));
}

void DeferredIconEngine::setLookup(Lookup lookup)
{
    s_lookup = lookup;
}

const QIcon &DeferredIconEngine::resolved()
{
    static const QIcon nothing;
    if (held())
        return nothing;
    if (!m_done) {
        m_done = true;
        if (m_resolver)
            m_icon = m_resolver();
    }
    return m_icon;
}

void DeferredIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    resolved().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QPixmap DeferredIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return resolved().pixmap(size, mode, state);
}

QPixmap DeferredIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale)
{
    return resolved().pixmap(size, scale, mode, state);
}

QSize DeferredIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    // Held, an icon claims the size it will have: nothing is laid out again.
    if (held())
        return size;
    return resolved().actualSize(size, mode, state);
}

QList<QSize> DeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    return resolved().availableSizes(mode, state);
}

QString DeferredIconEngine::iconName()
{
    return resolved().name();
}

bool DeferredIconEngine::isNull()
{
    // Answering without a lookup: a resolver is only given for images that
    // always have at least the style's fallback.
    return !m_resolver;
}

QIconEngine *DeferredIconEngine::clone() const
{
    auto *copy = new DeferredIconEngine(m_resolver);
    copy->m_icon = m_icon;
    copy->m_done = m_done;
    return copy;
}

QString DeferredIconEngine::key() const
{
    return QStringLiteral("DeferredIconEngine");
}
