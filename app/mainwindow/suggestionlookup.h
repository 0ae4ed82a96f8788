// The favorites and visited pages that hold the typed words, looked up on a thread of their own; the newest question wins.
#pragma once

#include "app/mainwindow/addressrules.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class UrlHistoryStore;

// The favorites and the visited pages that hold the words typed in the
// address box, looked up on a thread of their own: a keystroke never waits
// for the favorites store to be read or for the history's database. Only
// the answer to the latest question is given; questions overtaken on the
// way are not even asked. The history is searched by its word index (an
// older history is indexed there first, once).
class SuggestionLookup : public QObject
{
    Q_OBJECT

public:
    // Called on the lookup's thread: the records of the favorites file
    // holding the words (at most the number given).
    using Favorites = std::function<QStringList(const QString &dataFile, const QString &words, int limit)>;
    // Called on the lookup's thread: the favorites whose page holds the words.
    using PageText =
        std::function<QList<AddressRules::PageMatch>(const QString &dataFile, const QString &words, int limit)>;

    // favorites and pageText must stay callable as long as the lookup lives.
    SuggestionLookup(Favorites favorites, PageText pageText, QObject *parent = nullptr);
    ~SuggestionLookup() override;

    // Asks for up to favoriteLimit favorites (of dataFile) and historyLimit
    // visited pages holding words; found answers it unless a newer question
    // came meanwhile.
    // pageTextLimit 0: the pages' text is not searched.
    void ask(const QString &words, const QString &dataFile, int favoriteLimit, int pageTextLimit, int historyLimit);
    // True from a question until its answer (or a newer one's) is given.
    bool pending() const { return m_pending; }

signals:
    void found(const QString &words, const QStringList &favoriteRecords,
               const QList<AddressRules::PageMatch> &pageMatches, const QList<AddressRules::HistoryRow> &visited);

private:
    Favorites m_favorites;
    PageText m_pageText;
    QThread m_thread;
    QObject *m_worker = nullptr;              // lives on m_thread
    std::unique_ptr<UrlHistoryStore> m_store; // used only on m_thread
    std::atomic<quint64> m_latest{0};
    std::atomic<bool> m_stop{false};
    bool m_pending = false;
};
