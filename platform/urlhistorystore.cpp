#include "urlhistorystore.h"

#include "atomicfile.h"
#include "logging.h"
#include "platformpaths.h"
#include "timeconv.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

namespace {

constexpr quint64 kTicksPerDay = 864000000000ULL;

// A prepared statement that finalizes itself.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
    {
        m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_rc == SQLITE_OK; }
    int prepareResult() const { return m_rc; }
    sqlite3_stmt *get() const { return m_stmt; }
    void bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, qint64 v) { sqlite3_bind_int64(m_stmt, i, v); }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_ERROR;
};

quint64 nowFileTime()
{
    return TimeConv::toFileTime(QDateTime::currentDateTimeUtc());
}

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

QString columnText(sqlite3_stmt *stmt, int col)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, col)) : QString();
}

} // namespace

UrlHistoryStore::UrlHistoryStore()
    : UrlHistoryStore(PlatformPaths::root() + QStringLiteral("/urlhistory.sqlite"))
{
}

UrlHistoryStore::UrlHistoryStore(const QString &databasePath)
    : m_path(databasePath)
{
}

UrlHistoryStore::~UrlHistoryStore()
{
    close();
}

void UrlHistoryStore::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool UrlHistoryStore::ensureOpen()
{
    if (m_db)
        return true;
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        qCWarning(lcFiles) << "cannot create folder for" << m_path;
        return false;
    }
    const QByteArray path = QFile::encodeName(m_path);
    int rc = sqlite3_open_v2(path.constData(), &m_db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(m_db, 5000);
        rc = sqlite3_exec(m_db,
                          "PRAGMA journal_mode=WAL;"
                          "PRAGMA synchronous=NORMAL;"
                          "CREATE TABLE IF NOT EXISTS urls("
                          " url TEXT PRIMARY KEY NOT NULL, title TEXT,"
                          " last_visited INTEGER NOT NULL, last_updated INTEGER NOT NULL,"
                          " expires INTEGER NOT NULL, flags INTEGER NOT NULL DEFAULT 0);",
                          nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        qCWarning(lcFiles) << "history database not usable" << m_path << rc << (m_db ? sqlite3_errmsg(m_db) : "");
        close();
        return recoverFromDamage(rc) && ensureOpen();
    }
    return true;
}

bool UrlHistoryStore::recoverFromDamage(int rc)
{
    if (!isDamage(rc))
        return false;
    close();
    // Keep the damaged database for inspection; start afresh.
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString file = m_path + suffix;
        if (!QFile::exists(file))
            continue;
        QString target = file + QStringLiteral(".bad");
        for (int n = 1; QFile::exists(target); ++n)
            target = file + QStringLiteral(".bad.") + QString::number(n);
        if (!QFile::rename(file, target)) {
            qCWarning(lcFiles) << "cannot move damaged history aside" << file;
            return false;
        }
    }
    qCWarning(lcFiles) << "damaged history database moved aside" << m_path;
    return true;
}

template <typename Fn>
bool UrlHistoryStore::withRetry(Fn &&fn)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureOpen())
            return false;
        const int rc = fn();
        if (rc == SQLITE_OK || rc == SQLITE_DONE)
            return true;
        qCWarning(lcFiles) << "history operation failed" << rc << sqlite3_errmsg(m_db);
        if (!recoverFromDamage(rc))
            return false;
    }
    return false;
}

bool UrlHistoryStore::addUrl(const QString &url, const QString &title, quint32 flags)
{
    const quint64 now = nowFileTime();
    return putEntry({url, title, now, now, now + kExpiryDays * kTicksPerDay, flags});
}

bool UrlHistoryStore::putEntry(const UrlHistoryEntry &entry)
{
    return putEntries({entry});
}

bool UrlHistoryStore::putEntries(const std::vector<UrlHistoryEntry> &entries)
{
    return withRetry([&] {
        int rc = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
        Statement st(m_db,
                     "INSERT INTO urls(url, title, last_visited, last_updated, expires, flags)"
                     " VALUES(?1, ?2, ?3, ?4, ?5, ?6)"
                     " ON CONFLICT(url) DO UPDATE SET title=excluded.title,"
                     " last_visited=excluded.last_visited, last_updated=excluded.last_updated,"
                     " expires=excluded.expires, flags=excluded.flags");
        rc = st.prepareResult();
        for (const UrlHistoryEntry &e : entries) {
            if (rc != SQLITE_OK)
                break;
            st.bind(1, e.url);
            st.bind(2, e.title);
            st.bind(3, qint64(e.lastVisited));
            st.bind(4, qint64(e.lastUpdated));
            st.bind(5, qint64(e.expires));
            st.bind(6, qint64(e.flags));
            rc = sqlite3_step(st.get());
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
            sqlite3_reset(st.get());
        }
        const int end = sqlite3_exec(m_db, rc == SQLITE_OK ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
        return rc == SQLITE_OK ? end : rc;
    });
}

bool UrlHistoryStore::deleteUrl(const QString &url, quint32 flags)
{
    Q_UNUSED(flags); // the system's flags have no meaning for this store
    return withRetry([&] {
        Statement st(m_db, "DELETE FROM urls WHERE url = ?1");
        if (!st.ok())
            return st.prepareResult();
        st.bind(1, url);
        return sqlite3_step(st.get());
    });
}

bool UrlHistoryStore::clear()
{
    return withRetry([&] { return sqlite3_exec(m_db, "DELETE FROM urls", nullptr, nullptr, nullptr); });
}

std::optional<std::vector<UrlHistoryEntry>> UrlHistoryStore::enumerate(const QString &prefix, quint32 flags)
{
    Q_UNUSED(flags);
    std::vector<UrlHistoryEntry> entries;
    const bool ok = withRetry([&] {
        entries.clear();
        // A range on the key finds the prefix without scanning every row.
        Statement st(m_db, prefix.isEmpty()
                               ? "SELECT url, title, last_visited, last_updated, expires, flags FROM urls"
                                 " WHERE expires > ?1"
                               : "SELECT url, title, last_visited, last_updated, expires, flags FROM urls"
                                 " WHERE expires > ?1 AND url >= ?2 AND url < ?3");
        if (!st.ok())
            return st.prepareResult();
        st.bind(1, qint64(nowFileTime()));
        if (!prefix.isEmpty()) {
            st.bind(2, prefix);
            st.bind(3, prefix + QChar(0xdbff) + QChar(0xdfff)); // U+10FFFF sorts after every continuation
        }
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
            UrlHistoryEntry e;
            e.url = columnText(st.get(), 0);
            e.title = columnText(st.get(), 1);
            e.lastVisited = quint64(sqlite3_column_int64(st.get(), 2));
            e.lastUpdated = quint64(sqlite3_column_int64(st.get(), 3));
            e.expires = quint64(sqlite3_column_int64(st.get(), 4));
            e.flags = quint32(sqlite3_column_int64(st.get(), 5));
            entries.push_back(std::move(e));
        }
        return rc;
    });
    if (!ok)
        return std::nullopt;
    return entries;
}
