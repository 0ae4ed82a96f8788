#include "app/mainwindow/suggestionlookup.h"

#include "platform/logging.h"
#include "platform/urlhistorystore.h"

SuggestionLookup::SuggestionLookup(Favorites favorites, PageText pageText, QObject *parent)
    : QObject(parent)
    , m_favorites(std::move(favorites))
    , m_pageText(std::move(pageText))
    , m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("SuggestionLookup"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

SuggestionLookup::~SuggestionLookup()
{
    // An index being made is given up; it is made again at the next start.
    m_stop = true;
    m_thread.quit();
    m_thread.wait();
    // The store was used on the thread; its connection closes here, after it ended.
    m_store.reset();
}

void SuggestionLookup::ask(const QString &words, const QString &dataFile, int favoriteLimit, int pageTextLimit,
                           int historyLimit)
{
    const quint64 question = ++m_latest;
    m_pending = true;
    QMetaObject::invokeMethod(
        m_worker,
        [this, question, words, dataFile, favoriteLimit, pageTextLimit, historyLimit] {
            if (question != m_latest || m_stop)
                return; // a newer question is on its way
            const QStringList favorites = m_favorites ? m_favorites(dataFile, words, favoriteLimit) : QStringList();
            if (question != m_latest || m_stop)
                return;
            const QList<AddressRules::PageMatch> pages = m_pageText && pageTextLimit > 0
                ? m_pageText(dataFile, words, pageTextLimit)
                : QList<AddressRules::PageMatch>();
            if (question != m_latest || m_stop)
                return;
            if (!m_store) {
                m_store = std::make_unique<UrlHistoryStore>();
                if (!m_store->buildWordIndex(&m_stop))
                    qCWarning(lcFiles) << "history searched without its word index";
            }
            QList<AddressRules::HistoryRow> visited;
            if (const auto entries = m_store->matchingWords(words, historyLimit)) {
                for (const UrlHistoryEntry &e : *entries)
                    visited.append({e.title, e.url});
            } else {
                qCWarning(lcFiles) << "history not read for the address suggestions";
            }
            QMetaObject::invokeMethod(
                this,
                [this, question, words, favorites, pages, visited] {
                    if (question != m_latest)
                        return;
                    m_pending = false;
                    emit found(words, favorites, pages, visited);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
