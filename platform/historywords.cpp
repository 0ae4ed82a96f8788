#include "platform/historywords.h"

#include "platform/sqlitestatement.h"
#include "platform/urlhistoryrow.h"

#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

#include <sqlite3.h>

namespace HistoryWords {

namespace {

#define QUILLON_WORD_DELETE_TRIGGER                                                                                    \
    "CREATE TRIGGER IF NOT EXISTS urls_words_delete AFTER DELETE ON urls BEGIN"                                        \
    " INSERT INTO urls_words(urls_words, rowid, title, url) VALUES ('delete', old.rowid, old.title, old.url); END;"

#define QUILLON_WORD_TRIGGERS                                                                                          \
    "CREATE TRIGGER IF NOT EXISTS urls_words_insert AFTER INSERT ON urls BEGIN"                                        \
    " INSERT INTO urls_words(rowid, title, url) VALUES (new.rowid, new.title, new.url); "                              \
    "END;" QUILLON_WORD_DELETE_TRIGGER                                                                                 \
    "CREATE TRIGGER IF NOT EXISTS urls_words_update AFTER UPDATE OF url, title ON urls BEGIN"                          \
    " INSERT INTO urls_words(urls_words, rowid, title, url) VALUES ('delete', old.rowid, old.title, old.url);"         \
    " INSERT INTO urls_words(rowid, title, url) VALUES (new.rowid, new.title, new.url); END;"

// Prefix indexes for one and two letters: the first keys of a new address
// find their rows without merging every word that starts with them.
#define QUILLON_WORD_TABLE                                                                                             \
    "CREATE VIRTUAL TABLE IF NOT EXISTS urls_words USING fts5(title, url, content='urls', content_rowid='rowid',"      \
    " prefix='1 2', tokenize='unicode61 remove_diacritics 2');"

// Without the index (an older database not yet indexed, or one opened
// read-only): the newest visits are read up to this bound.
constexpr int kScanBound = 20000;
// With it, for words its prefixes do not serve: the newest visits looked at
// before the index is asked.
constexpr int kRecentBound = 2000;
// The prefix lengths the index keeps (see QUILLON_WORD_TABLE).
constexpr qsizetype kIndexedPrefix = 2;

bool isMark(QChar c)
{
    const QChar::Category k = c.category();
    return k == QChar::Mark_NonSpacing || k == QChar::Mark_SpacingCombining || k == QChar::Mark_Enclosing;
}

// The words of text as the index splits and folds them.
QStringList tokens(const QString &text)
{
    QStringList out;
    QString word;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (isMark(c))
            continue; // an accent: the letter stays
        if (c.isLetterOrNumber() || c.category() == QChar::Other_PrivateUse) {
            word += c.toLower();
        } else if (!word.isEmpty()) {
            out.append(std::exchange(word, {}));
        }
    }
    if (!word.isEmpty())
        out.append(word);
    return out;
}

// Whether words holds parts one after another, the last as a word's start.
bool holdsPhrase(const QStringList &words, const QStringList &parts)
{
    for (qsizetype i = 0; i + parts.size() <= words.size(); ++i) {
        qsizetype k = 0;
        while (k + 1 < parts.size() && words.at(i + k) == parts.at(k))
            ++k;
        if (k + 1 == parts.size() && words.at(i + k).startsWith(parts.last()))
            return true;
    }
    return false;
}

// Each typed word's parts; words with nothing searchable are left out.
QList<QStringList> phrases(const QString &typed)
{
    QList<QStringList> out;
    for (const QString &word : typed.split(u' ', Qt::SkipEmptyParts)) {
        QStringList parts = tokens(word);
        if (!parts.isEmpty())
            out.append(parts);
    }
    return out;
}

bool holdsAll(const QList<QStringList> &wanted, const QString &title, const QString &url)
{
    const QStringList inTitle = tokens(title);
    const QStringList inUrl = tokens(url);
    return std::all_of(wanted.cbegin(), wanted.cend(), [&](const QStringList &parts) {
        return holdsPhrase(inTitle, parts) || holdsPhrase(inUrl, parts);
    });
}

int scanNewest(sqlite3 *db, const QString &typed, quint64 now, int limit, int bound,
               std::vector<UrlHistoryEntry> *found)
{
    SqliteStatement st(db,
                       "SELECT url, title, last_visited, last_updated, expires, flags FROM urls"
                       " WHERE expires > ?1 ORDER BY last_visited DESC LIMIT ?2");
    if (!st.ok())
        return st.prepareResult();
    st.bind(1, qint64(now));
    st.bind(2, qint64(bound));
    const QList<QStringList> wanted = phrases(typed);
    int rc = SQLITE_OK;
    while (int(found->size()) < limit && (rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        UrlHistoryEntry e = UrlHistoryRow::entryAt(st.get(), 0);
        if (holdsAll(wanted, e.title, e.url))
            found->push_back(std::move(e));
    }
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
}

} // namespace

const char *const kSchema = QUILLON_WORD_TABLE QUILLON_WORD_TRIGGERS;

// Without the delete trigger while every entry goes, so the index is
// emptied at once rather than entry by entry.
const char *const kClear =
    "BEGIN IMMEDIATE; DROP TRIGGER IF EXISTS urls_words_delete; DELETE FROM urls;"
    " INSERT INTO urls_words(urls_words) VALUES ('delete-all');" QUILLON_WORD_DELETE_TRIGGER " COMMIT;";

QString query(const QString &typed)
{
    QStringList terms;
    for (const QString &word : typed.split(QChar(u' '), Qt::SkipEmptyParts)) {
        bool searchable = false;
        for (const QChar c : word)
            searchable = searchable || c.isLetterOrNumber();
        if (!searchable)
            continue;
        QString quoted = word;
        quoted.replace(u'"', QStringLiteral("\"\""));
        terms.append(u'"' + quoted + QStringLiteral("\"*"));
    }
    return terms.join(u' ');
}

bool matches(const QString &typed, const QString &title, const QString &url)
{
    const QList<QStringList> wanted = phrases(typed);
    return !wanted.isEmpty() && holdsAll(wanted, title, url);
}

bool exists(sqlite3 *db)
{
    return SqliteStatement::hasTable(db, "urls_words");
}

int build(sqlite3 *db, const std::atomic<bool> *stop)
{
    sqlite3_progress_handler(
        db, 10000, [](void *flag) { return static_cast<const std::atomic<bool> *>(flag)->load() ? 1 : 0; },
        const_cast<std::atomic<bool> *>(stop));
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(
            db, QUILLON_WORD_TABLE "INSERT INTO urls_words(urls_words) VALUES ('rebuild');" QUILLON_WORD_TRIGGERS,
            nullptr, nullptr, nullptr);
        const int end = sqlite3_exec(db, rc == SQLITE_OK ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
        rc = rc == SQLITE_OK ? end : rc;
    }
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    return rc;
}

int find(sqlite3 *db, const QString &typed, quint64 now, int limit, std::vector<UrlHistoryEntry> *found)
{
    const QString match = query(typed);
    if (match.isEmpty() || limit <= 0)
        return SQLITE_OK;
    if (!exists(db))
        return scanNewest(db, typed, now, limit, kScanBound, found);
    const QList<QStringList> wanted = phrases(typed);
    const bool unindexedPrefix = std::any_of(
        wanted.cbegin(), wanted.cend(), [](const QStringList &parts) { return parts.last().size() > kIndexedPrefix; });
    if (unindexedPrefix) {
        std::vector<UrlHistoryEntry> recent;
        if (scanNewest(db, typed, now, limit, kRecentBound, &recent) == SQLITE_OK && int(recent.size()) >= limit) {
            std::move(recent.begin(), recent.end(), std::back_inserter(*found));
            return SQLITE_OK;
        }
    }
    // The index gives its rows newest first and the search stops at the
    // limit; an expired entry is passed over.
    SqliteStatement st(db,
                       "SELECT u.url, u.title, u.last_visited, u.last_updated, u.expires, u.flags"
                       " FROM urls_words JOIN urls u ON u.rowid = urls_words.rowid"
                       " WHERE urls_words MATCH ?1 AND u.expires > ?2"
                       " ORDER BY urls_words.rowid DESC LIMIT ?3");
    if (!st.ok())
        return st.prepareResult();
    st.bind(1, match);
    st.bind(2, qint64(now));
    st.bind(3, qint64(limit));
    int rc = SQLITE_OK;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        found->push_back(UrlHistoryRow::entryAt(st.get(), 0));
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

} // namespace HistoryWords
