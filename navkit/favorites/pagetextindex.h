// The words of favorites' pages, in a full-text index beside the favorites file.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct sqlite3;

// The text, title and META words of the pages stored as favorites, in an
// SQLite full-text index beside the favorites file, keyed by address. It
// holds derived data only: the favorites file never depends on it, and a
// damaged index is moved aside and started anew. One object is one
// connection, used on one thread; writes come from one thread of the
// process (PageTextWriter), searches from any other with its own object.
class PageTextIndex
{
public:
    // At most this much of a page's text is kept (UTF-8 bytes).
    static constexpr qsizetype kMaxTextBytes = 64 * 1024;

    struct Page {
        QString url;
        QString title;
        QString meta; // keywords and description
        QString text; // the visible text
    };
    struct Hit {
        QString url;
        QString snippet; // a few words around the match, "…" where cut
    };

    // The index that belongs to a favorites file: "<name>_text.db" beside it.
    static QString fileFor(const QString &favoritesFile);
    // The full-text query for what was typed: every word must be there,
    // the last one as a prefix once it has 3 characters. Empty when the
    // words are too short to be worth a search (no word of 3 characters).
    static QString matchExpression(const QString &typed);
    // text cut to kMaxTextBytes at a character's boundary.
    static QString capped(const QString &text);

    explicit PageTextIndex(const QString &path);
    ~PageTextIndex();
    PageTextIndex(const PageTextIndex &) = delete;
    PageTextIndex &operator=(const PageTextIndex &) = delete;

    // Stores the pages (replacing what an address had) in one transaction,
    // read at the time given. False when they could not be stored.
    bool put(const QList<Page> &pages, const QDateTime &readAt = QDateTime::currentDateTimeUtc());
    // Forgets the text of these addresses. False when it could not.
    bool remove(const QStringList &urls);
    // Forgets every page: the file is removed and made anew, so none of
    // the text stays in its free pages.
    bool clear();
    // Up to limit pages holding every typed word, most relevant first.
    std::optional<QList<Hit>> search(const QString &typed, int limit);
    // When each stored address was read.
    QHash<QString, QDateTime> readTimes();
    qint64 pageCount();
    QString path() const { return m_path; }

    // How long ranking may take before the first pages that match are listed unranked.
    static constexpr qint64 kRankingBudgetMs = 15;

private:
    enum class Order { ByRelevance, Stored };
    std::optional<QList<Hit>> query(const QString &expression, int limit, Order order);
    bool ensureOpen();
    void close();
    // Moves a damaged file aside (and its journal) so a new one is made;
    // false when rc is no sign of damage or the move failed.
    bool setAsideIfDamaged(int rc);
    bool fileReplaced() const;

    QString m_path;
    sqlite3 *m_db = nullptr;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    bool m_interrupted = false; // the last query ran out of its time
};
