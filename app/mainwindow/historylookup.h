// The visited pages that hold the typed words, looked up on a thread of their own; the newest question wins.
#pragma once

#include "addressrules.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>

class UrlHistoryStore;

// The visited pages that hold the words typed in the address box, looked
// up by the history's word index on a thread of its own: a keystroke never
// waits for the database. Only the answer to the latest question is given;
// questions overtaken on the way are not even asked. An older history is
// indexed there first (once).
class HistoryLookup : public QObject
{
    Q_OBJECT

public:
    explicit HistoryLookup(QObject *parent = nullptr);
    ~HistoryLookup() override;

    // Asks for up to limit pages holding words; found answers it unless a
    // newer question came meanwhile.
    void ask(const QString &words, int limit);
    // True from a question until its answer (or a newer one's) is given.
    bool pending() const { return m_pending; }

signals:
    void found(const QString &words, const QList<AddressRules::HistoryRow> &rows);

private:
    QThread m_thread;
    QObject *m_worker = nullptr;              // lives on m_thread
    std::unique_ptr<UrlHistoryStore> m_store; // used only on m_thread
    std::atomic<quint64> m_latest{0};
    std::atomic<bool> m_stop{false};
    bool m_pending = false;
};
