// An icon that is looked up the first time it is drawn or measured.
#pragma once

#include <QIcon>
#include <QIconEngine>
#include <QStyle>

#include <functional>

// An icon that is looked up the first time it is drawn or measured. Most
// command images sit in menus that are never opened during a session, and
// looking up theme and style icons for all of them at start-up delays the
// first page.
class DeferredIconEngine : public QIconEngine
{
public:
    using Resolver = std::function<QIcon()>;

    explicit DeferredIconEngine(Resolver resolver);
    // The current style's standard icon, looked up when first needed.
    static QIcon styleIcon(QStyle::StandardPixmap which);
    // While held, icons are drawn as nothing and not looked up: the
    // window's first frame, drawn while the home page loads, does not wait
    // for the style's images (every size of each) to be decoded. Whoever
    // releases repaints what was drawn meanwhile.
    enum class Lookup { Held, Allowed };
    static void setLookup(Lookup lookup);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
    bool isNull() override;
    QIconEngine *clone() const override;
    QString key() const override;

private:
    const QIcon &resolved();
    bool held() const { return !m_done && s_lookup == Lookup::Held; }

    Resolver m_resolver;
    QIcon m_icon;
    bool m_done = false;
    static inline Lookup s_lookup = Lookup::Allowed;
};
