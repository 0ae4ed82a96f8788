#include "navkit/favorites/pagetextindex.h"

#include "navkit/favorites/pagetextrank.h"
#include "platform/fileidentity.h"
#include "platform/logging.h"
#include "platform/platformpaths.h"
#include "platform/sqliteopening.h"
#include "platform/sqlitestatement.h"

#include <QFile>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// One row per address; the text's row in page_text has the same rowid.
// detail=column keeps the index small (no word positions): a search needs
// only which words a column holds, and the snippet finds them again.
constexpr const char *kSchema = "CREATE TABLE IF NOT EXISTS page("
                                " id INTEGER PRIMARY KEY, url TEXT NOT NULL UNIQUE, read_at INTEGER NOT NULL);"
                                "CREATE VIRTUAL TABLE IF NOT EXISTS page_text USING fts5("
                                " title, meta, body, tokenize = 'unicode61 remove_diacritics 2', detail = column);";

constexpr int kBusyTimeoutMs = 5000;

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool exec(sqlite3 *db, const char *sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        qCWarning(lcFiles) << "page text index:" << sql << rc << sqlite3_errmsg(db);
    return rc == SQLITE_OK;
}

QString columnText(sqlite3_stmt *st, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(st, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(st, column));
}

} // namespace

QString PageTextIndex::fileFor(const QString &favoritesFile)
{
    const QFileInfo info(favoritesFile);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral("_text.db"));
}

QString PageTextIndex::matchExpression(const QString &typed)
{
    // The pieces the index's tokenizer would make of the words: letters and
    // digits. Each is quoted, so nothing typed is read as query syntax.
    QStringList tokens;
    QString token;
    bool longEnough = false;
    const auto flush = [&] {
        if (token.isEmpty())
            return;
        longEnough = longEnough || token.size() >= 3;
        tokens.append(token);
        token.clear();
    };
    for (const QChar c : typed) {
        if (c.isLetterOrNumber())
            token.append(c);
        else
            flush();
    }
    const bool lastComplete = token.isEmpty(); // the words end in a blank
    // A last word still being typed counts from its third character: "tr"
    // would match nearly every page and the list would empty for a key.
    if (!lastComplete && token.size() < 3)
        token.clear();
    flush();
    if (!longEnough)
        return {};
    QString expression;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (i > 0)
            expression.append(u' ');
        expression.append(u'"' + tokens.at(i) + u'"');
        if (i == tokens.size() - 1 && !lastComplete && tokens.at(i).size() >= 3)
            expression.append(u'*');
    }
    return expression;
}

QString PageTextIndex::capped(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= kMaxTextBytes)
        return text;
    qsizetype end = kMaxTextBytes;
    while (end > 0 && (uchar(utf8.at(end)) & 0xC0) == 0x80)
        --end; // not inside a character
    utf8.truncate(end);
    return QString::fromUtf8(utf8);
}

PageTextIndex::PageTextIndex(const QString &path)
    : m_path(path)
{}

PageTextIndex::~PageTextIndex()
{
    close();
}

void PageTextIndex::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool PageTextIndex::fileReplaced() const
{
    const auto now = FileIdentity::of(m_path, FileIdentity::Generation::Skip);
    return !now || now->device != m_device || now->inode != m_inode;
}

bool PageTextIndex::ensureOpen()
{
    // Cleared or set aside by another connection: that one made a new file.
    if (m_db && fileReplaced())
        close();
    if (m_db)
        return true;
    if (!PlatformPaths::makePrivateFolder(QFileInfo(m_path).absolutePath())) {
        qCWarning(lcFiles) << "no folder for the page text index" << m_path;
        return false;
    }
    const QByteArray path = QFile::encodeName(m_path);
    // Private from the start; SQLite gives its journal the same permissions.
    // Only when missing: closing a descriptor of the file would drop the
    // locks other connections of this process hold on it.
    if (const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600); fd >= 0)
        ::close(fd);
    const auto attempt = [&] {
        int rc = sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
            // secure_delete: the text of a deleted favorite is overwritten,
            // not just unlinked from the file's pages.
            rc = sqlite3_exec(m_db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA secure_delete=ON;",
                              nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK)
                rc = sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK && !PageTextRank::install(m_db))
                rc = SQLITE_ERROR;
        }
        return rc;
    };
    const int rc = SqliteOpening::whileBusy(kBusyTimeoutMs, attempt, [this] { close(); });
    if (rc != SQLITE_OK) {
        qCWarning(lcFiles) << "page text index not usable" << m_path << rc << (m_db ? sqlite3_errmsg(m_db) : "");
        close();
        return setAsideIfDamaged(rc) && ensureOpen();
    }
    if (const auto id = FileIdentity::of(m_path, FileIdentity::Generation::Skip)) {
        m_device = id->device;
        m_inode = id->inode;
    }
    return true;
}

bool PageTextIndex::setAsideIfDamaged(int rc)
{
    if (!isDamage(rc))
        return false;
    close();
    // Derived data: the last damaged copy is kept for a look, older ones go.
    const QString aside = m_path + QStringLiteral(".damaged");
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString file = m_path + suffix;
        QFile::remove(aside + suffix);
        if (QFile::exists(file) && !QFile::rename(file, aside + suffix)) {
            qCWarning(lcFiles) << "cannot move the damaged page text index aside" << file;
            return false;
        }
    }
    qCWarning(lcFiles) << "damaged page text index moved aside as" << aside;
    return true;
}

bool PageTextIndex::put(const QList<Page> &pages, const QDateTime &readAt)
{
    if (!ensureOpen())
        return false;
    if (!exec(m_db, "BEGIN IMMEDIATE"))
        return false;
    SqliteStatement find(m_db, "SELECT id FROM page WHERE url = ?1");
    SqliteStatement forget(m_db, "DELETE FROM page_text WHERE rowid = ?1");
    SqliteStatement touch(m_db, "UPDATE page SET read_at = ?2 WHERE id = ?1");
    SqliteStatement add(m_db, "INSERT INTO page(url, read_at) VALUES (?1, ?2)");
    SqliteStatement text(m_db, "INSERT INTO page_text(rowid, title, meta, body) VALUES (?1, ?2, ?3, ?4)");
    int rc = find.ok() && forget.ok() && touch.ok() && add.ok() && text.ok() ? SQLITE_OK : find.prepareResult();
    const qint64 when = readAt.toSecsSinceEpoch();
    for (const Page &page : pages) {
        if (rc != SQLITE_OK)
            break;
        find.bind(1, page.url);
        qint64 id = -1;
        if (sqlite3_step(find.get()) == SQLITE_ROW)
            id = sqlite3_column_int64(find.get(), 0);
        sqlite3_reset(find.get());
        if (id >= 0) {
            forget.bind(1, id);
            touch.bind(1, id);
            touch.bind(2, when);
            rc = sqlite3_step(forget.get()) == SQLITE_DONE && sqlite3_step(touch.get()) == SQLITE_DONE
                ? SQLITE_OK
                : sqlite3_errcode(m_db);
            sqlite3_reset(forget.get());
            sqlite3_reset(touch.get());
        } else {
            add.bind(1, page.url);
            add.bind(2, when);
            rc = sqlite3_step(add.get()) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(m_db);
            sqlite3_reset(add.get());
            id = sqlite3_last_insert_rowid(m_db);
        }
        if (rc != SQLITE_OK)
            break;
        text.bind(1, id);
        text.bind(2, page.title);
        text.bind(3, page.meta);
        text.bind(4, capped(page.text));
        rc = sqlite3_step(text.get()) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(m_db);
        sqlite3_reset(text.get());
    }
    if (rc == SQLITE_OK && exec(m_db, "COMMIT"))
        return true;
    qCWarning(lcFiles) << "page text not stored" << rc << sqlite3_errmsg(m_db);
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (setAsideIfDamaged(rc))
        return put(pages, readAt);
    return false;
}

bool PageTextIndex::remove(const QStringList &urls)
{
    if (urls.isEmpty())
        return true;
    if (!ensureOpen() || !exec(m_db, "BEGIN IMMEDIATE"))
        return false;
    SqliteStatement text(m_db, "DELETE FROM page_text WHERE rowid = (SELECT id FROM page WHERE url = ?1)");
    SqliteStatement row(m_db, "DELETE FROM page WHERE url = ?1");
    bool ok = text.ok() && row.ok();
    for (const QString &url : urls) {
        if (!ok)
            break;
        text.bind(1, url);
        row.bind(1, url);
        ok = sqlite3_step(text.get()) == SQLITE_DONE && sqlite3_step(row.get()) == SQLITE_DONE;
        sqlite3_reset(text.get());
        sqlite3_reset(row.get());
    }
    if (ok && exec(m_db, "COMMIT"))
        return true;
    qCWarning(lcFiles) << "page text not removed" << sqlite3_errmsg(m_db);
    const int rc = sqlite3_errcode(m_db);
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return setAsideIfDamaged(rc); // a new, empty index holds none of it
}

bool PageTextIndex::clear()
{
    close();
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString file = m_path + suffix;
        if (QFile::exists(file) && !QFile::remove(file)) {
            qCWarning(lcFiles) << "page text not cleared" << file;
            return false;
        }
    }
    return ensureOpen();
}

std::optional<QList<PageTextIndex::Hit>> PageTextIndex::search(const QString &typed, int limit)
{
    const QString expression = matchExpression(typed);
    if (expression.isEmpty() || limit <= 0)
        return QList<Hit>();
    if (!QFileInfo::exists(m_path))
        return QList<Hit>(); // nothing read yet: no file is made for a search
    if (!ensureOpen())
        return std::nullopt;
    // Titles weigh most, then the META words, then the text. Ranking reads
    // every page that matches: for words on most pages (a short prefix) that
    // takes long, so past a time budget the first pages that match are
    // listed instead, unranked: a keystroke never waits for the whole index.
    std::optional<QList<Hit>> hits = query(expression, limit, Order::ByRelevance);
    if (!hits && m_interrupted)
        hits = query(expression, limit, Order::Stored);
    return hits;
}

std::optional<QList<PageTextIndex::Hit>> PageTextIndex::query(const QString &expression, int limit, Order order)
{
    // The index sorts by rank itself, so the snippets are made for the
    // pages listed only.
    const char *ranked = "SELECT p.url, t.snip FROM (SELECT rowid AS id, rank AS r,"
                         " snippet(page_text, -1, '', '', '\u2026', 12) AS snip FROM page_text"
                         " WHERE page_text MATCH ?1 AND rank MATCH 'fieldrank(4.0, 2.0, 1.0)'"
                         " ORDER BY rank LIMIT ?2) AS t JOIN page p ON p.id = t.id ORDER BY t.r";
    const char *stored = "SELECT p.url, snippet(page_text, -1, '', '', '\u2026', 12) FROM page_text"
                         " JOIN page p ON p.id = page_text.rowid WHERE page_text MATCH ?1 LIMIT ?2";
    SqliteStatement st(m_db, order == Order::ByRelevance ? ranked : stored);
    if (!st.ok()) {
        qCWarning(lcFiles) << "page text not searched" << sqlite3_errmsg(m_db);
        return std::nullopt;
    }
    st.bind(1, expression);
    st.bind(2, qint64(limit));
    QElapsedTimer clock;
    clock.start();
    struct Budget {
        QElapsedTimer *clock;
        qint64 ms;
    } budget{&clock, kRankingBudgetMs};
    m_interrupted = false;
    if (order == Order::ByRelevance) {
        sqlite3_progress_handler(
            m_db, 4000,
            [](void *b) { return static_cast<Budget *>(b)->clock->elapsed() > static_cast<Budget *>(b)->ms ? 1 : 0; },
            &budget);
    }
    QList<Hit> hits;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        hits.append({columnText(st.get(), 0), columnText(st.get(), 1).simplified()});
    sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    if (rc == SQLITE_DONE)
        return hits;
    if (rc == SQLITE_INTERRUPT) {
        m_interrupted = true;
        return std::nullopt;
    }
    qCWarning(lcFiles) << "page text search failed" << rc << sqlite3_errmsg(m_db);
    setAsideIfDamaged(rc); // the next write starts a new one
    return std::nullopt;
}

QHash<QString, QDateTime> PageTextIndex::readTimes()
{
    QHash<QString, QDateTime> times;
    if (!QFileInfo::exists(m_path) || !ensureOpen())
        return times;
    SqliteStatement st(m_db, "SELECT url, read_at FROM page");
    while (st.ok() && sqlite3_step(st.get()) == SQLITE_ROW)
        times.insert(columnText(st.get(), 0), QDateTime::fromSecsSinceEpoch(sqlite3_column_int64(st.get(), 1)));
    return times;
}

qint64 PageTextIndex::pageCount()
{
    if (!QFileInfo::exists(m_path) || !ensureOpen())
        return 0;
    SqliteStatement st(m_db, "SELECT count(*) FROM page");
    return st.ok() && sqlite3_step(st.get()) == SQLITE_ROW ? sqlite3_column_int64(st.get(), 0) : 0;
}
