#pragma once

#include <QString>

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
// last visit. A damaged database is moved aside and a new one used.
class UrlHistoryStore
{
public:
    UrlHistoryStore();                          // in the platform root
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

    // For tests and tools: stores entries with the given times as they are,
    // in one transaction.
    bool putEntry(const UrlHistoryEntry &entry);
    bool putEntries(const std::vector<UrlHistoryEntry> &entries);

    QString databasePath() const { return m_path; }

private:
    bool ensureOpen();
    void close();
    bool recoverFromDamage(int resultCode);
    template <typename Fn>
    bool withRetry(Fn &&fn);

    QString m_path;
    sqlite3 *m_db = nullptr;
};
