// The stand-in for the system's URL history: an SQLite database of visited pages.
#pragma once

#include <QString>

#include <atomic>
#include <optional>
#include <vector>

struct sqlite3;

// One entry of the URL history. Times are file times (UTC, 100 ns since
// 1601); flags are passed through unchanged.
struct UrlHistoryEntry {
    QString url;
    QString title;
    quint64 lastVisited = 0;
    quint64 lastUpdated = 0;
    quint64 expires = 0;
    quint32 flags = 0;
};

// The stand-in for the system's URL history: an SQLite database
// ("urlhistory.sqlite" in the platform root) that the browser and the
// import tool may use at the same time. Entries expire 20 days after their
// last visit. A damaged database is moved aside, every row that can still
// be read is copied into a new one, and recording goes on there; every
// connection notices the move at its next call and reopens.
//
// On the GUI thread a busy database is not waited for: a read gives the
// last list read from it instead (when it was not too long to keep), so the
// window never freezes.
class UrlHistoryStore
{
public:
    UrlHistoryStore(); // in the platform root
    explicit UrlHistoryStore(const QString &databasePath);
    ~UrlHistoryStore();
    UrlHistoryStore(const UrlHistoryStore &) = delete;
    UrlHistoryStore &operator=(const UrlHistoryStore &) = delete;

    static constexpr int kExpiryDays = 20;

    // A new visit sets last-visited and last-updated to now, and the title.
    bool addUrl(const QString &url, const QString &title, quint32 flags);
    bool deleteUrl(const QString &url, quint32 flags);
    bool clear();
    // Entries not yet expired whose URL starts with prefix (all when empty),
    // in the store's order. nullopt when the store cannot be read.
    std::optional<std::vector<UrlHistoryEntry>> enumerate(const QString &prefix, quint32 flags);

    // Up to limit unexpired entries whose title and address hold every
    // typed word (each as the start of one of theirs), newest visit first,
    // found by the word index. nullopt when the store cannot be read.
    std::optional<std::vector<UrlHistoryEntry>> matchingWords(const QString &typed, int limit);
    bool hasWordIndex();
    // Indexes an older database's entries (new ones are indexed from the
    // start); long with a large history, so never on the window's thread.
    // Gives up, indexing nothing, when *stop becomes true.
    bool buildWordIndex(const std::atomic<bool> *stop);

    // Entries not yet expired visited after the given time, in no order.
    // nullopt when the store cannot be read (busy included).
    std::optional<std::vector<UrlHistoryEntry>> visitedSince(quint64 after);

    // Visits in [from, before) whose entries expire after expiresAfter and
    // whose URL starts with prefix (any when empty): the history list's rows.
    struct VisitRange {
        quint64 from = 0;
        quint64 before = 0;
        quint64 expiresAfter = 0;
        QString prefix;
    };
    // How many entries the range holds and the newest visit among them;
    // nullopt when the store cannot be read.
    struct VisitCount {
        qint64 count = 0;
        quint64 newest = 0;
    };
    std::optional<VisitCount> countVisits(const VisitRange &range);
    // Up to limit entries of the range from the offset-th on, newest visit
    // first; nullopt when the store cannot be read (busy included).
    std::optional<std::vector<UrlHistoryEntry>> visitsNewestFirst(const VisitRange &range, qint64 offset, int limit);

    // For tests and tools: stores entries with the given times as they are,
    // in one transaction.
    // The entry of exactly this address, if there is one.
    std::optional<UrlHistoryEntry> entryFor(const QString &url);
    bool putEntry(const UrlHistoryEntry &entry);
    bool putEntries(const std::vector<UrlHistoryEntry> &entries);

    QString databasePath() const { return m_path; }

    // Copies every row of a damaged database that SQLite can still read into
    // target (created when missing). Returns the number of rows copied.
    static qint64 salvage(const QString &damagedPath, const QString &targetPath);

private:
    bool ensureOpen();
    void close();
    bool openReadOnly();
    // Opens m_db for writing and sets it up; kOpenedReadOnly when the file
    // may only be read. SQLite's result otherwise (m_db left for its message).
    static constexpr int kOpenedReadOnly = -1;
    int openWritable(const QByteArray &path);
    bool recoverFromDamage(int resultCode);
    bool fileReplaced() const;
    template <typename Fn> bool withRetry(Fn &&fn);
    // The entries a SELECT of the six entry columns gives, its parameters
    // set by bind(SqliteStatement &); nullopt when the store cannot be read.
    // Room for `expected` entries is made at once.
    template <typename Bind>
    std::optional<std::vector<UrlHistoryEntry>> readEntries(const char *sql, Bind &&bind, size_t expected = 0);

    QString m_path;
    sqlite3 *m_db = nullptr;
    int m_lastResult = 0; // of the last operation, to tell a busy database apart
    quint64 m_device = 0; // of the file the connection has open
    quint64 m_inode = 0;
    // Entries the last whole enumeration gave: a million grown one by one
    // would be moved twenty times over.
    size_t m_lastWholeCount = 0;
};
