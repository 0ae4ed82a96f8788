#include "engine/metareader.h"

#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace MetaReader {

namespace {

// The META elements' script, and what it gives back.
const QString kMetaScript =
    QStringLiteral("Array.from(document.getElementsByTagName('meta'))"
                   ".map(function(m){return [m.getAttribute('name')||'', m.getAttribute('content')||''];})");

Elements elementsOf(const QVariant &value)
{
    Elements elements;
    for (const QVariant &pair : value.toList()) {
        const QVariantList p = pair.toList();
        if (p.size() == 2)
            elements.append({p.at(0).toString(), p.at(1).toString()});
    }
    return elements;
}

// Runs script in an isolated world and hands its answer to done once; an
// invalid value when the time ran out or the page went away.
void runThen(QWebEnginePage *page, QObject *context, const QString &script,
             const std::function<void(const QVariant &)> &done, int timeoutMs)
{
    // The timer is the reading's lifetime: whichever of answer, time-out or
    // the page's end comes first finishes it and deletes it, which cuts the
    // other two off. Owned by context, it goes with it, and done with it.
    auto *timer = new QTimer(context);
    timer->setSingleShot(true);
    const QPointer<QTimer> alive(timer);
    auto finished = std::make_shared<bool>(false);
    const auto once = [alive, finished, done](const QVariant &value) {
        if (*finished || !alive)
            return; // answered already, or context gone
        *finished = true;
        alive->stop();
        alive->deleteLater();
        done(value);
    };
    if (!page) {
        QTimer::singleShot(0, timer, [once] { once({}); });
        return;
    }
    QObject::connect(timer, &QTimer::timeout, timer, [once] { once({}); });
    QObject::connect(page, &QObject::destroyed, timer, [once] { once({}); });
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [once](const QVariant &value) { once(value); });
    timer->start(timeoutMs);
}

} // namespace

void readThen(QWebEnginePage *page, QObject *context, const std::function<void(const Elements &)> &done, int timeoutMs)
{
    runThen(
        page, context, kMetaScript, [done](const QVariant &value) { done(elementsOf(value)); }, timeoutMs);
}

void readTextThen(QWebEnginePage *page, QObject *context,
                  const std::function<void(const std::optional<PageText> &)> &done, int timeoutMs)
{
    // The text as shown (innerText: no scripts, styles or hidden parts),
    // cut in the page so a huge one never crosses to the browser whole.
    const QString script = QStringLiteral("[document.title, %1, (document.body ? document.body.innerText : '')"
                                          ".slice(0, %2)]")
                               .arg(kMetaScript)
                               .arg(kMaxTextChars);
    runThen(
        page, context, script,
        [done](const QVariant &value) {
            const QVariantList parts = value.toList();
            if (parts.size() != 3)
                return done(std::nullopt);
            done(PageText{parts.at(0).toString().simplified(), metaWords(elementsOf(parts.at(1))),
                          parts.at(2).toString()});
        },
        timeoutMs);
}

QString metaWords(const Elements &elements)
{
    QStringList words;
    for (const auto &[name, content] : elements) {
        if (name.compare(QStringLiteral("keywords"), Qt::CaseInsensitive) == 0
            || name.compare(QStringLiteral("description"), Qt::CaseInsensitive) == 0)
            words.append(content.simplified());
    }
    return words.join(u' ').trimmed();
}

} // namespace MetaReader
