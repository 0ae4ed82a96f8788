#include "linkimport/keywordfetcher.h"

#include "engine/browsercontrol.h"
#include "engine/browserpage.h"
#include "engine/metareader.h"
#include "navkit/records/favoriterecord.h"
#include "platform/twips.h"

#include <QWidget>

#include <utility>

using namespace Twips;

KeywordFetcher::KeywordFetcher(QWidget *container)
    : QObject(container)
    , m_wb1(new BrowserControl(container))
{
    m_wb1->setSilent(true);
    putBack();
    // The page may ask for anything; the browser stays where it is, silent,
    // and opens no window.
    const auto quiet = [this] {
        m_wb1->setSilent(true);
        putBack();
    };
    connect(m_wb1, &BrowserControl::NewWindow2, this, [this](QObject **, bool *cancel) {
        m_wb1->setSilent(true);
        *cancel = true;
    });
    connect(m_wb1, &BrowserControl::BeforeNavigate2, this, quiet);
    connect(m_wb1, &BrowserControl::NavigateComplete2, this, quiet);
    connect(m_wb1, &BrowserControl::WindowSetLeft, this, quiet);
    connect(m_wb1, &BrowserControl::WindowSetTop, this, quiet);
    connect(m_wb1, &BrowserControl::WindowSetWidth, this, quiet);
    connect(m_wb1, &BrowserControl::WindowSetHeight, this, quiet);
    connect(m_wb1, &BrowserControl::DocumentComplete, this, [this] { m_wb1->setSilent(true); });
    connect(m_wb1, &BrowserControl::GotFocus, this, [this] { m_wb1->setSilent(true); });
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { m_wb1->setSilent(true); });
    timer->start(200);
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (!m_waiting)
            return;
        // At the deadline the page is stopped (what the Escape key does) and
        // whatever document there is, is read.
        m_givenUp = true;
        m_wb1->Stop();
        loaded();
    });
}

void KeywordFetcher::putBack()
{
    m_wb1->setGeometry(px(100), px(7080), px(100), px(100));
}

QString KeywordFetcher::keywordText(const QList<std::pair<QString, QString>> &metaElements)
{
    return FavoriteRecord::keywordText(metaElements);
}

void KeywordFetcher::abort()
{
    m_aborted = true;
    m_wb1->Stop();
    loaded();
}

void KeywordFetcher::fetchThen(const QString &url, const Done &done)
{
    if (m_aborted) {
        QTimer::singleShot(0, this, [done] { done(std::nullopt); });
        return;
    }
    m_done = done;
    m_waiting = true;
    m_givenUp = false;
    m_finished = connect(m_wb1, &BrowserControl::DocumentComplete, this, &KeywordFetcher::loaded);
    // A jump within the page already shown (an anchor) loads nothing and
    // so never completes: the address changing with the browser idle ends
    // the wait as well.
    m_moved = connect(m_wb1, &BrowserControl::NavigateComplete2, this, [this] {
        if (!m_wb1->Busy())
            loaded();
    });
    m_before = m_wb1->LocationURL();
    m_url = url;
    m_deadline.start(m_deadlineMs);
    m_wb1->Navigate(url);
    emit addressShown(m_wb1->LocationURL());
}

void KeywordFetcher::loaded()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_deadline.stop();
    disconnect(m_finished);
    disconnect(m_moved);
    const Done done = std::exchange(m_done, {});
    if (m_aborted) {
        done(std::nullopt);
        return;
    }
    emit addressShown(m_wb1->LocationURL());
    // A page given up before it replaced the previous one has no keywords of
    // its own: the previous page's would be stored with the wrong favorite.
    if (m_givenUp && m_wb1->LocationURL() == m_before) {
        done(QStringLiteral("no keywords"));
        return;
    }
    MetaReader::readThen(
        m_wb1->page(), this,
        [this, done](const MetaReader::Elements &elements) {
            if (m_aborted)
                return done(std::nullopt);
            const QString keywords = keywordText(elements);
            // The text is read before done: done goes on to the next page.
            MetaReader::readTextThen(m_wb1->page(), this,
                                     [this, done, keywords](const std::optional<MetaReader::PageText> &page) {
                                         if (page && !m_aborted)
                                             emit textRead(m_url, *page);
                                         if (m_aborted)
                                             done(std::nullopt);
                                         else
                                             done(keywords);
                                     });
        },
        5000);
}
