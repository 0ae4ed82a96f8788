#include "metareader.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace MetaReader {

QList<std::pair<QString, QString>> read(QWebEnginePage *page, int timeoutMs)
{
    if (!page)
        return {};
    // Shared with the callback, which may run after this function gave up.
    struct State {
        QList<std::pair<QString, QString>> result;
        bool done = false;
        QEventLoop loop;
    };
    auto state = std::make_shared<State>();
    page->runJavaScript(
        QStringLiteral("Array.from(document.getElementsByTagName('meta'))"
                       ".map(function(m){return [m.getAttribute('name')||'', m.getAttribute('content')||''];})"),
        QWebEngineScript::ApplicationWorld, [state](const QVariant &value) {
            if (state->done)
                return;
            for (const QVariant &pair : value.toList()) {
                const QVariantList p = pair.toList();
                if (p.size() == 2)
                    state->result.append({p.at(0).toString(), p.at(1).toString()});
            }
            state->done = true;
            state->loop.quit();
        });
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &state->loop, &QEventLoop::quit);
    // A tab closed meanwhile takes its page along: nothing more to wait for
    // (and nothing of the page may be touched after the wait).
    QObject::connect(page, &QObject::destroyed, &state->loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!state->done)
        state->loop.exec();
    state->done = true;
    return state->result;
}

} // namespace MetaReader
