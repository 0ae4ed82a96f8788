#include "keywordfetcher.h"

#include "browsercontrol.h"
#include "browserpage.h"
#include "metareader.h"
#include "favoriterecord.h"
#include "twips.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

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
    if (m_wait)
        m_wait->quit();
}

std::optional<QString> KeywordFetcher::fetch(const QString &url)
{
    if (m_aborted)
        return std::nullopt;
    // Wait until the page has loaded (or failed), keeping the window
    // responsive; at the deadline stop it and read whatever document there is.
    QEventLoop wait;
    const auto finished = connect(m_wb1, &BrowserControl::DocumentComplete, &wait, &QEventLoop::quit);
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    bool givenUp = false;
    connect(&deadline, &QTimer::timeout, &wait, [this, &wait, &givenUp] {
        givenUp = true;
        m_wb1->Stop(); // what the Escape key does
        wait.quit();
    });
    // A jump within the page already shown (an anchor) loads nothing and
    // so never completes: the address changing with the browser idle ends
    // the wait as well.
    const auto moved = connect(m_wb1, &BrowserControl::NavigateComplete2, &wait, [this, &wait] {
        if (!m_wb1->Busy())
            wait.quit();
    });
    const QString before = m_wb1->LocationURL();
    m_wb1->Navigate(url);
    emit addressShown(m_wb1->LocationURL());
    deadline.start(m_deadlineMs);
    m_wait = &wait;
    wait.exec();
    m_wait = nullptr;
    disconnect(finished);
    disconnect(moved);
    if (m_aborted)
        return std::nullopt;
    emit addressShown(m_wb1->LocationURL());
    // A page given up before it replaced the previous one has no keywords of
    // its own: the previous page's would be stored with the wrong favorite.
    if (givenUp && m_wb1->LocationURL() == before)
        return QStringLiteral("no keywords");
    return keywordText(MetaReader::read(m_wb1->page(), 5000));
}
