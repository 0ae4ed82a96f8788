#include "historylookup.h"

#include "logging.h"
#include "urlhistorystore.h"

HistoryLookup::HistoryLookup(QObject *parent)
    : QObject(parent)
    , m_worker(new QObject)
{
    m_thread.setObjectName(QStringLiteral("HistoryLookup"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

HistoryLookup::~HistoryLookup()
{
    // An index being made is given up; it is made again at the next start.
    m_stop = true;
    m_thread.quit();
    m_thread.wait();
    // The store was used on the thread; its connection closes here, after it ended.
    m_store.reset();
}

void HistoryLookup::ask(const QString &words, int limit)
{
    const quint64 question = ++m_latest;
    m_pending = true;
    QMetaObject::invokeMethod(
        m_worker,
        [this, question, words, limit] {
            if (question != m_latest || m_stop)
                return; // a newer question is on its way
            if (!m_store) {
                m_store = std::make_unique<UrlHistoryStore>();
                if (!m_store->buildWordIndex(&m_stop))
                    qCWarning(lcFiles) << "history searched without its word index";
            }
            QList<AddressRules::HistoryRow> rows;
            if (const auto entries = m_store->matchingWords(words, limit)) {
                for (const UrlHistoryEntry &e : *entries)
                    rows.append({e.title, e.url});
            } else {
                qCWarning(lcFiles) << "history not read for the address suggestions";
            }
            QMetaObject::invokeMethod(
                this,
                [this, question, words, rows] {
                    if (question != m_latest)
                        return;
                    m_pending = false;
                    emit found(words, rows);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
