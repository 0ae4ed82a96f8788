#include "app/mainwindow/suggestionlookup.h"

#include "platform/logging.h"
#include "platform/urlhistorystore.h"

namespace {

QObject *workerOn(QThread &thread, const QString &name)
{
    auto *worker = new QObject;
    thread.setObjectName(name);
    worker->moveToThread(&thread);
    QObject::connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.start(QThread::LowPriority);
    return worker;
}

} // namespace

SuggestionLookup::SuggestionLookup(Favorites favorites, PageText pageText, QObject *parent)
    : QObject(parent)
    , m_favorites(std::move(favorites))
    , m_pageText(std::move(pageText))
{
    m_favoritesWorker = workerOn(m_favoritesThread, QStringLiteral("FavoriteSuggestions"));
    m_historyWorker = workerOn(m_historyThread, QStringLiteral("HistorySuggestions"));
    m_partWait.setSingleShot(true);
    m_partWait.setInterval(kPartWaitMs);
    connect(&m_partWait, &QTimer::timeout, this, [this] {
        if (m_pending && (m_answer.favoritesIn || m_answer.visitedIn))
            emit found(m_answerWords, m_answer);
    });
}

SuggestionLookup::~SuggestionLookup()
{
    // An index being made is given up; it is made again at the next start.
    m_stop = true;
    m_favoritesThread.quit();
    m_historyThread.quit();
    m_favoritesThread.wait();
    m_historyThread.wait();
    // The store was used on the thread; its connection closes here, after it ended.
    m_store.reset();
}

void SuggestionLookup::ask(const QString &words, const QString &dataFile, int favoriteLimit, int pageTextLimit,
                           int historyLimit)
{
    const quint64 question = ++m_latest;
    m_pending = true;
    m_answer = {};
    m_answerWords = words;
    m_partWait.stop();
    QMetaObject::invokeMethod(
        m_favoritesWorker,
        [this, question, words, dataFile, favoriteLimit, pageTextLimit] {
            lookUpFavorites(question, words, dataFile, favoriteLimit, pageTextLimit);
        },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        m_historyWorker, [this, question, words, historyLimit] { lookUpHistory(question, words, historyLimit); },
        Qt::QueuedConnection);
}

void SuggestionLookup::lookUpFavorites(quint64 question, const QString &words, const QString &dataFile,
                                       int favoriteLimit, int pageTextLimit)
{
    if (question != m_latest || m_stop)
        return; // a newer question is on its way
    Answer part;
    part.favoritesIn = true;
    if (m_favorites)
        part.favoriteRecords = m_favorites(dataFile, words, favoriteLimit);
    if (question != m_latest || m_stop)
        return;
    if (m_pageText && pageTextLimit > 0)
        part.pageMatches = m_pageText(dataFile, words, pageTextLimit);
    QMetaObject::invokeMethod(
        this, [this, question, words, part] { partIn(question, words, part); }, Qt::QueuedConnection);
}

void SuggestionLookup::lookUpHistory(quint64 question, const QString &words, int historyLimit)
{
    if (question != m_latest || m_stop)
        return;
    if (!m_store) {
        m_store = std::make_unique<UrlHistoryStore>();
        if (!m_store->buildWordIndex(&m_stop))
            qCWarning(lcFiles) << "history searched without its word index";
    }
    Answer part;
    part.visitedIn = true;
    if (const auto entries = m_store->matchingWords(words, historyLimit)) {
        for (const UrlHistoryEntry &e : *entries)
            part.visited.append({e.title, e.url});
    } else {
        qCWarning(lcFiles) << "history not read for the address suggestions";
    }
    QMetaObject::invokeMethod(
        this, [this, question, words, part] { partIn(question, words, part); }, Qt::QueuedConnection);
}

void SuggestionLookup::partIn(quint64 question, const QString &words, const Answer &part)
{
    if (question != m_latest || words != m_answerWords)
        return;
    if (part.favoritesIn) {
        m_answer.favoriteRecords = part.favoriteRecords;
        m_answer.pageMatches = part.pageMatches;
        m_answer.favoritesIn = true;
    }
    if (part.visitedIn) {
        m_answer.visited = part.visited;
        m_answer.visitedIn = true;
    }
    if (!m_answer.complete()) {
        if (!m_partWait.isActive())
            m_partWait.start();
        return;
    }
    m_partWait.stop();
    m_pending = false;
    emit found(words, m_answer);
}
