// The favorites and visited pages that hold the typed words, looked up on threads of their own; the newest question wins.
#pragma once

#include "app/mainwindow/addressrules.h"

#include <QObject>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

class UrlHistoryStore;

// The favorites and the visited pages that hold the words typed in the
// address box, looked up away from the window's thread: a keystroke never
// waits for the favorites store to be read or for the history's database.
// The favorites (with the pages' text) and the history are looked up on
// threads of their own, so that neither waits for the other: a store of a
// million favorites read after it changed elsewhere takes seconds, and the
// visited pages are listed meanwhile. Only the answer to the latest
// question is given; questions overtaken on the way are not even asked.
// The history is searched by its word index (an older history is indexed
// there first, once).
class SuggestionLookup : public QObject
{
    Q_OBJECT

public:
    // Called on the favorites' thread: the records of the favorites file
    // holding the words (at most the number given).
    using Favorites = std::function<QStringList(const QString &dataFile, const QString &words, int limit)>;
    // Called on the favorites' thread: the favorites whose page holds the words.
    using PageText =
        std::function<QList<AddressRules::PageMatch>(const QString &dataFile, const QString &words, int limit)>;

    struct Answer {
        QStringList favoriteRecords;
        QList<AddressRules::PageMatch> pageMatches;
        QList<AddressRules::HistoryRow> visited;
        bool favoritesIn = false; // favoriteRecords and pageMatches answer the question
        bool visitedIn = false;   // visited answers it
        bool complete() const { return favoritesIn && visitedIn; }
    };
    // How long a part that is in waits for the other before it is given
    // alone: both then usually come in one change of the list.
    static constexpr int kPartWaitMs = 25;

    // favorites and pageText must stay callable as long as the lookup lives.
    SuggestionLookup(Favorites favorites, PageText pageText, QObject *parent = nullptr);
    ~SuggestionLookup() override;

    // Asks for up to favoriteLimit favorites (of dataFile) and historyLimit
    // visited pages holding words; found answers it unless a newer question
    // came meanwhile.
    // pageTextLimit 0: the pages' text is not searched.
    void ask(const QString &words, const QString &dataFile, int favoriteLimit, int pageTextLimit, int historyLimit);
    // True from a question until its whole answer (or a newer one's) is given.
    bool pending() const { return m_pending; }

signals:
    // The answer once both parts are in; a part that waited kPartWaitMs for
    // the other comes first on its own (the other then follows).
    void found(const QString &words, const SuggestionLookup::Answer &answer);

private:
    // On the window's thread: one part of the answer to question.
    void partIn(quint64 question, const QString &words, const Answer &part);
    void lookUpFavorites(quint64 question, const QString &words, const QString &dataFile, int favoriteLimit,
                         int pageTextLimit);
    void lookUpHistory(quint64 question, const QString &words, int historyLimit);

    Favorites m_favorites;
    PageText m_pageText;
    QThread m_favoritesThread;
    QThread m_historyThread;
    QObject *m_favoritesWorker = nullptr;     // lives on m_favoritesThread
    QObject *m_historyWorker = nullptr;       // lives on m_historyThread
    std::unique_ptr<UrlHistoryStore> m_store; // used only on m_historyThread
    std::atomic<quint64> m_latest{0};
    std::atomic<bool> m_stop{false};
    bool m_pending = false;
    // The latest question's answer as far as it is in (window's thread).
    Answer m_answer;
    QString m_answerWords;
    QTimer m_partWait;
};
