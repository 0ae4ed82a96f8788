#include "app/browser/backgroundtabs.h"

#include "engine/browsercontrol.h"
#include "engine/browserpage.h"
#include "app/browser/browsertab.h"
#include "platform/logging.h"
#include "app/browser/tablifecycle.h"

#include <QEvent>
#include <QTimer>

namespace {

// The timer of a tab, a child of the tab so that it goes with it.
QTimer *timerOf(Form2 *tab)
{
    return tab->findChild<QTimer *>(QStringLiteral("backgroundTimer"), Qt::FindDirectChildrenOnly);
}

} // namespace

BackgroundTabs::BackgroundTabs(QObject *parent)
    : QObject(parent)
    , m_freezeAfter(TabLifecycle::kFreezeAfter)
    , m_memoryLow(&TabLifecycle::memoryLowNow)
{}

void BackgroundTabs::watch(Form2 *tab)
{
    auto *timer = new QTimer(tab);
    timer->setObjectName(QStringLiteral("backgroundTimer"));
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, tab] { settle(tab); });
    tab->installEventFilter(this);
    if (tab->isHidden())
        timer->start(m_freezeAfter);
}

bool BackgroundTabs::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide)
        return false;
    auto *tab = qobject_cast<Form2 *>(watched);
    QTimer *timer = tab ? timerOf(tab) : nullptr;
    if (!timer)
        return false;
    if (event->type() == QEvent::Hide) {
        timer->start(m_freezeAfter);
        return false;
    }
    timer->stop();
    // A discarded page loads again as it becomes active.
    if (BrowserPage *page = tab->wb1()->existingPage(); page && page->lifecycleState() != TabLifecycle::State::Active)
        page->setLifecycleState(TabLifecycle::State::Active);
    return false;
}

void BackgroundTabs::settle(Form2 *tab)
{
    BrowserPage *page = tab->wb1()->existingPage();
    if (!page || tab->isVisible())
        return;
    const TabLifecycle::State next = TabLifecycle::backgroundState(m_memoryLow(), page->recommendedState());
    if (next != page->lifecycleState()) {
        qCDebug(lcTabs) << "background tab" << page->url() << "now" << int(next);
        page->setLifecycleState(next);
    }
    // A frozen page may yet be discarded when memory runs low, and one the
    // engine keeps active (playing sound) may be frozen once it is silent.
    if (next != TabLifecycle::State::Discarded)
        timerOf(tab)->start(std::min<std::chrono::milliseconds>(m_freezeAfter, TabLifecycle::kRecheckEvery));
}
