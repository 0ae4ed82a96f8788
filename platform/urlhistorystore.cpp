#include "platform/urlhistorystore.h"

#include "platform/atomicfile.h"
#include "platform/historysalvage.h"
#include "platform/historywords.h"
#include "platform/lasthistorylist.h"
#include "platform/logging.h"
#include "platform/platformpaths.h"
#include "platform/sqliteopening.h"
#include "platform/sqlitestatement.h"
#include "platform/timeconv.h"
#include "platform/urlhistoryrow.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QFileInfo>
#include <QThread>
#include <QCoreApplication>

#include <fcntl.h>
#include <limits>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using UrlHistoryRow::entryAt;
using UrlHistoryRow::kLongestValue;

constexpr quint64 kTicksPerDay = 864000000000ULL;

using Statement = SqliteStatement;

quint64 nowFileTime()
{
    return TimeConv::toFileTime(QDateTime::currentDateTimeUtc());
}

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool onGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// Less than a frame on the GUI thread; elsewhere the other writer is waited for.
int busyTimeoutMs()
{
    return onGuiThread() ? 10 : 5000;
}

bool fileId(const QString &path, quint64 *device, quint64 *inode)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    *device = quint64(st.st_dev);
    *inode = quint64(st.st_ino);
    return true;
}

// A free name for a file moved aside: "<path>.bad", ".bad.1", ...
QString asideName(const QString &path)
{
    QString target = path + QStringLiteral(".bad");
    for (int n = 1; QFile::exists(target) || QFile::exists(target + QStringLiteral("-wal")); ++n)
        target = path + QStringLiteral(".bad.") + QString::number(n);
    return target;
}

const char *const kSchema = "CREATE TABLE IF NOT EXISTS urls("
                            " url TEXT PRIMARY KEY NOT NULL, title TEXT,"
                            " last_visited INTEGER NOT NULL, last_updated INTEGER NOT NULL,"
                            " expires INTEGER NOT NULL, flags INTEGER NOT NULL DEFAULT 0);"
                            // The history list: a day's visits, newest first, and
                            // their count, from the index alone.
                            "CREATE INDEX IF NOT EXISTS urls_by_visit ON urls(last_visited, expires);";

} // namespace

UrlHistoryStore::UrlHistoryStore()
    : UrlHistoryStore(PlatformPaths::root() + QStringLiteral("/urlhistory.sqlite"))
{}

UrlHistoryStore::UrlHistoryStore(const QString &databasePath)
    : m_path(databasePath)
{}

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

bool UrlHistoryStore::fileReplaced() const
{
    quint64 device = 0;
    quint64 inode = 0;
    return !fileId(m_path, &device, &inode) || device != m_device || inode != m_inode;
}

bool UrlHistoryStore::ensureOpen()
{
    // Another connection (or process) may have moved a damaged file aside:
    // writing on into the old file would lose every later visit.
    if (m_db && fileReplaced())
        close();
    if (m_db)
        return true;
    const bool folderMade = PlatformPaths::makePrivateFolder(QFileInfo(m_path).absolutePath());
    if (!folderMade && !QFileInfo::exists(m_path)) {
        qCWarning(lcFiles) << "cannot create folder for" << m_path;
        return false;
    }
    const QByteArray path = QFile::encodeName(m_path);
    // Made by hand so that it is private from the start; SQLite gives its
    // journal files the same permissions. Only when missing: closing a
    // descriptor of the file would drop the locks other connections of
    // this process hold on it.
    if (const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600); fd >= 0)
        ::close(fd);
    const int rc = SqliteOpening::whileBusy(
        busyTimeoutMs(), [&] { return openWritable(path); }, [this] { close(); });
    if (rc == kOpenedReadOnly)
        return openReadOnly();
    if (rc != SQLITE_OK) {
        m_lastResult = rc;
        qCWarning(lcFiles) << "history database not usable" << m_path << rc << (m_db ? sqlite3_errmsg(m_db) : "");
        close();
        const int primary = rc & 0xff;
        if ((primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM)
            && QFileInfo::exists(m_path))
            return openReadOnly();
        return recoverFromDamage(rc) && ensureOpen();
    }
    fileId(m_path, &m_device, &m_inode);
    return true;
}

int UrlHistoryStore::openWritable(const QByteArray &path)
{
    int rc = sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    // SQLite opens a file it may not write (a read-only volume) for reading:
    // the history is then read as it is, and nothing is written.
    if (rc == SQLITE_OK && sqlite3_db_readonly(m_db, "main") == 1) {
        close();
        return kOpenedReadOnly;
    }
    if (rc != SQLITE_OK)
        return rc;
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, kLongestValue);
    sqlite3_busy_timeout(m_db, busyTimeoutMs());
    rc = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
    // A new database gets its word index at once; an older one is indexed
    // later, off the window's thread (buildWordIndex).
    const bool made = rc == SQLITE_OK && !Statement::hasTable(m_db, "urls");
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK && made)
        rc = sqlite3_exec(m_db, HistoryWords::kSchema, nullptr, nullptr, nullptr);
    return rc;
}

bool UrlHistoryStore::openReadOnly()
{
    // A WAL database needs its shared-memory file even to be read; where
    // none can be made (the volume is read-only), nothing can change the
    // file either, so it is read as immutable.
    const QString uri = QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded);
    for (const char *options : {"?mode=ro", "?immutable=1"}) {
        const QByteArray name = uri.toUtf8() + options;
        int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, kLongestValue);
            sqlite3_busy_timeout(m_db, busyTimeoutMs());
            // A read proves the file can be read this way.
            rc = sqlite3_exec(m_db, "SELECT count(*) FROM urls WHERE 0", nullptr, nullptr, nullptr);
        }
        if (rc == SQLITE_OK) {
            qCWarning(lcFiles) << "history opened read-only" << m_path << options;
            fileId(m_path, &m_device, &m_inode);
            return true;
        }
        m_lastResult = rc;
        close();
    }
    qCWarning(lcFiles) << "history not readable" << m_path;
    return false;
}

bool UrlHistoryStore::recoverFromDamage(int rc)
{
    if (!isDamage(rc))
        return false;
    close();
    // The damaged file keeps its journal beside it under the new name, so
    // what was written to it stays readable.
    const QString aside = asideName(m_path);
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString file = m_path + suffix;
        if (QFile::exists(file) && !QFile::rename(file, aside + suffix)) {
            qCWarning(lcFiles) << "cannot move damaged history aside" << file;
            return false;
        }
    }
    const qint64 saved = salvage(aside, m_path);
    qCWarning(lcFiles) << "damaged history database moved aside as" << aside << "rows recovered:" << saved;
    return true;
}

qint64 UrlHistoryStore::salvage(const QString &damagedPath, const QString &targetPath)
{
    const std::vector<UrlHistoryEntry> rows = HistorySalvage::readableRows(damagedPath);
    if (rows.empty())
        return 0;
    UrlHistoryStore target(targetPath);
    return target.putEntries(rows) ? qint64(rows.size()) : 0;
}

template <typename Fn> bool UrlHistoryStore::withRetry(Fn &&fn)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!ensureOpen())
            return false;
        const int rc = fn();
        m_lastResult = rc;
        if (rc == SQLITE_OK || rc == SQLITE_DONE)
            return true;
        qCWarning(lcFiles) << "history operation failed" << rc << sqlite3_errmsg(m_db);
        if (!recoverFromDamage(rc))
            return false;
    }
    return false;
}

template <typename Bind>
std::optional<std::vector<UrlHistoryEntry>> UrlHistoryStore::readEntries(const char *sql, Bind &&bind, size_t expected)
{
    std::vector<UrlHistoryEntry> entries;
    entries.reserve(expected);
    const bool ok = withRetry([&] {
        entries.clear();
        Statement st(m_db, sql);
        if (!st.ok())
            return st.prepareResult();
        bind(st);
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
            entries.push_back(entryAt(st.get(), 0));
        return rc;
    });
    if (!ok)
        return std::nullopt;
    if (entries.size() < expected / 2)
        entries.shrink_to_fit(); // the history was cleared meanwhile
    return entries;
}

bool UrlHistoryStore::addUrl(const QString &url, const QString &title, quint32 flags)
{
    const quint64 now = nowFileTime();
    return putEntry({url, title, now, now, now + kExpiryDays * kTicksPerDay, flags});
}

std::optional<UrlHistoryEntry> UrlHistoryStore::entryFor(const QString &url)
{
    auto entries = readEntries("SELECT url, title, last_visited, last_updated, expires, flags FROM urls WHERE url = ?1",
                               [&](Statement &st) { st.bind(1, url); });
    if (!entries || entries->empty())
        return std::nullopt;
    return entries->front();
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
        // A visit writes its entry anew, so that the entry's row number (the
        // word index's order) follows the last visit.
        Statement gone(m_db, "DELETE FROM urls WHERE url = ?1");
        Statement st(m_db,
                     "INSERT INTO urls(url, title, last_visited, last_updated, expires, flags)"
                     " VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        rc = gone.ok() ? st.prepareResult() : gone.prepareResult();
        for (const UrlHistoryEntry &e : entries) {
            if (rc != SQLITE_OK)
                break;
            gone.bind(1, e.url);
            rc = sqlite3_step(gone.get());
            sqlite3_reset(gone.get());
            if (rc != SQLITE_DONE)
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
    // The word index is emptied at once rather than entry by entry.
    return withRetry([&] {
        return sqlite3_exec(m_db, HistoryWords::exists(m_db) ? HistoryWords::kClear : "DELETE FROM urls", nullptr,
                            nullptr, nullptr);
    });
}

bool UrlHistoryStore::hasWordIndex()
{
    return ensureOpen() && HistoryWords::exists(m_db);
}

bool UrlHistoryStore::buildWordIndex(const std::atomic<bool> *stop)
{
    if (!ensureOpen() || HistoryWords::exists(m_db))
        return m_db != nullptr;
    const int rc = HistoryWords::build(m_db, stop);
    m_lastResult = rc;
    if (rc != SQLITE_OK)
        qCWarning(lcFiles) << "history word index not made" << rc << sqlite3_errmsg(m_db);
    return rc == SQLITE_OK;
}

std::optional<std::vector<UrlHistoryEntry>> UrlHistoryStore::matchingWords(const QString &typed, int limit)
{
    std::vector<UrlHistoryEntry> found;
    const bool ok = withRetry([&] {
        found.clear();
        return HistoryWords::find(m_db, typed, nowFileTime(), limit, &found);
    });
    return ok ? std::optional(std::move(found)) : std::nullopt;
}

std::optional<std::vector<UrlHistoryEntry>> UrlHistoryStore::visitedSince(quint64 after)
{
    return readEntries("SELECT url, title, last_visited, last_updated, expires, flags FROM urls"
                       " WHERE expires > ?1 AND last_visited > ?2",
                       [&](Statement &st) {
                           st.bind(1, qint64(nowFileTime()));
                           st.bind(2, qint64(after));
                       });
}

namespace {

// The WHERE clause of a visit range; ?1 to ?3 are the times, ?4 and ?5 the
// prefix's key range.
QByteArray rangeSql(const char *select, const UrlHistoryStore::VisitRange &range, const char *tail)
{
    QByteArray sql(select);
    sql += " FROM urls WHERE last_visited >= ?1 AND last_visited < ?2 AND expires > ?3";
    if (!range.prefix.isEmpty())
        sql += " AND url >= ?4 AND url < ?5";
    return sql + tail;
}

void bindRange(Statement &st, const UrlHistoryStore::VisitRange &range)
{
    const auto clamp = [](quint64 v) {
        return qint64(std::min<quint64>(v, quint64(std::numeric_limits<qint64>::max())));
    };
    st.bind(1, clamp(range.from));
    st.bind(2, clamp(range.before));
    st.bind(3, clamp(range.expiresAfter));
    if (!range.prefix.isEmpty()) {
        st.bind(4, range.prefix);
        st.bind(5, range.prefix + QChar(0xdbff) + QChar(0xdfff));
    }
}

} // namespace

std::optional<UrlHistoryStore::VisitCount> UrlHistoryStore::countVisits(const VisitRange &range)
{
    VisitCount result;
    const bool ok = withRetry([&] {
        Statement st(m_db, rangeSql("SELECT COUNT(*), MAX(last_visited)", range, "").constData());
        if (!st.ok())
            return st.prepareResult();
        bindRange(st, range);
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_ROW)
            result = {sqlite3_column_int64(st.get(), 0), quint64(sqlite3_column_int64(st.get(), 1))};
        return rc == SQLITE_ROW ? SQLITE_DONE : rc;
    });
    return ok ? std::optional<VisitCount>(result) : std::nullopt;
}

std::optional<std::vector<UrlHistoryEntry>> UrlHistoryStore::visitsNewestFirst(const VisitRange &range, qint64 offset,
                                                                               int limit)
{
    const QByteArray sql = rangeSql("SELECT url, title, last_visited, last_updated, expires, flags", range,
                                    " ORDER BY last_visited DESC LIMIT ?6 OFFSET ?7");
    return readEntries(sql.constData(), [&](Statement &st) {
        bindRange(st, range);
        st.bind(6, qint64(std::max(limit, 0)));
        st.bind(7, std::max<qint64>(offset, 0));
    });
}

std::optional<std::vector<UrlHistoryEntry>> UrlHistoryStore::enumerate(const QString &prefix, quint32 flags)
{
    Q_UNUSED(flags);
    // A range on the key finds the prefix without scanning every row.
    auto entries = readEntries(
        prefix.isEmpty() ? "SELECT url, title, last_visited, last_updated, expires, flags FROM urls"
                           " WHERE expires > ?1"
                         : "SELECT url, title, last_visited, last_updated, expires, flags FROM urls"
                           " WHERE expires > ?1 AND url >= ?2 AND url < ?3",
        [&](Statement &st) {
            st.bind(1, qint64(nowFileTime()));
            if (!prefix.isEmpty()) {
                st.bind(2, prefix);
                // U+10FFFF sorts after every continuation
                st.bind(3, prefix + QChar(0xdbff) + QChar(0xdfff));
            }
        },
        prefix.isEmpty() ? m_lastWholeCount : 0);
    if (!entries) {
        if (SqliteOpening::isBusy(m_lastResult))
            return LastHistoryList::find(m_path, prefix);
        return std::nullopt;
    }
    if (prefix.isEmpty())
        m_lastWholeCount = entries->size();
    LastHistoryList::remember(m_path, prefix, *entries);
    return entries;
}
