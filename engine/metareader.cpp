#include "engine/metareader.h"

#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace MetaReader {

void readThen(QWebEnginePage *page, QObject *context, const std::function<void(const Elements &)> &done, int timeoutMs)
{
    // The timer is the reading's lifetime: whichever of answer, time-out or
    // the page's end comes first finishes it and deletes it, which cuts the
    // other two off. Owned by context, it goes with it, and done with it.
    auto *timer = new QTimer(context);
    timer->setSingleShot(true);
    const QPointer<QTimer> alive(timer);
    auto finished = std::make_shared<bool>(false);
    const auto once = [alive, finished, done](const Elements &elements) {
        if (*finished || !alive)
            return; // answered already, or context gone
        *finished = true;
        alive->stop();
        alive->deleteLater();
        done(elements);
    };
    if (!page) {
        QTimer::singleShot(0, timer, [once] { once({}); });
        return;
    }
    QObject::connect(timer, &QTimer::timeout, timer, [once] { once({}); });
    QObject::connect(page, &QObject::destroyed, timer, [once] { once({}); });
    page->runJavaScript(
        QStringLiteral("Array.from(document.getElementsByTagName('meta'))"
                       ".map(function(m){return [m.getAttribute('name')||'', m.getAttribute('content')||''];})"),
        QWebEngineScript::ApplicationWorld, [once](const QVariant &value) {
            Elements elements;
            for (const QVariant &pair : value.toList()) {
                const QVariantList p = pair.toList();
                if (p.size() == 2)
                    elements.append({p.at(0).toString(), p.at(1).toString()});
            }
            once(elements);
        });
    timer->start(timeoutMs);
}

} // namespace MetaReader
