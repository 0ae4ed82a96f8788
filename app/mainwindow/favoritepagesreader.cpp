#include "app/mainwindow/favoritepagesreader.h"

#include "platform/logging.h"

#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {
const char *const kUrlProperty = "favoriteUrl";
}

FavoritePagesReader::FavoritePagesReader(Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_hooks(std::move(hooks))
{
    m_listing.setMaxThreadCount(1);
}

FavoritePagesReader::~FavoritePagesReader()
{
    m_listing.clear();
    m_listing.waitForDone();
    // The pages go before their profile.
    qDeleteAll(m_reading);
    m_reading.clear();
    for (const QPointer<QWebEnginePage> &page : std::as_const(m_retired))
        delete page.data();
    delete m_profile;
}

bool FavoritePagesReader::start()
{
    if (m_running)
        return false;
    m_running = true;
    m_total = m_done = m_read = 0;
    const quint64 run = ++m_run;
    m_hooks.prepare();
    m_listing.start([this, run] {
        const QStringList urls = m_hooks.due(kMaxAgeDays);
        QMetaObject::invokeMethod(
            this,
            [this, run, urls] {
                if (run == m_run && m_running)
                    startQueue(urls);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void FavoritePagesReader::startQueue(const QStringList &urls)
{
    m_queue = urls;
    m_total = int(urls.size());
    emit progress(0, m_total);
    if (urls.isEmpty())
        return end(false);
    if (!m_profile) {
        // Off the record: nothing of these pages is kept on disk, and the
        // user's own sessions are not used.
        m_profile = new QWebEngineProfile;
        m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    }
    for (int i = 0; i < kAtOnce; ++i)
        next();
}

void FavoritePagesReader::next()
{
    if (!m_running || m_queue.isEmpty())
        return;
    const QString url = m_queue.takeFirst();
    auto *page = new QWebEnginePage(m_profile);
    page->setAudioMuted(true);
    page->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, false);
    page->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    page->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    page->setProperty(kUrlProperty, url);
    m_reading.append(page);
    auto *deadline = new QTimer(page);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, page] { loaded(page, false); });
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) { loaded(page, ok); });
    deadline->start(kPageDeadlineMs);
    page->load(QUrl(url));
}

void FavoritePagesReader::loaded(QWebEnginePage *page, bool ok)
{
    if (!m_reading.contains(page) || page->property("read").toBool())
        return;
    page->setProperty("read", true);
    if (!ok) {
        qCWarning(lcTabs) << "favorite's page not read" << page->property(kUrlProperty).toString();
        return release(page);
    }
    MetaReader::readTextThen(page, this, [this, page](const std::optional<MetaReader::PageText> &text) {
        if (!m_reading.contains(page))
            return; // cancelled meanwhile
        if (text) {
            m_hooks.store(page->property(kUrlProperty).toString(), *text);
            ++m_read;
        }
        release(page);
    });
}

void FavoritePagesReader::release(QWebEnginePage *page)
{
    m_reading.removeOne(page);
    retire(page);
    ++m_done;
    emit progress(m_done, m_total);
    if (m_queue.isEmpty() && m_reading.isEmpty())
        return end(false);
    next();
}

void FavoritePagesReader::retire(QWebEnginePage *page)
{
    // Not deleted here: this may run inside one of the page's own signals.
    m_retired.removeAll(nullptr);
    m_retired.append(page);
    page->deleteLater();
}

void FavoritePagesReader::cancel()
{
    if (!m_running)
        return;
    m_queue.clear();
    for (QWebEnginePage *page : std::as_const(m_reading))
        retire(page);
    m_reading.clear();
    end(true);
}

void FavoritePagesReader::end(bool cancelled)
{
    m_running = false;
    emit finished(m_read, m_total, cancelled);
}
