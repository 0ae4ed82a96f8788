#include "navkit/history/clshistory.h"
#include "navkit/history/clshistoryitem.h"
#include "testenvironment.h"
#include "platform/timeconv.h"
#include "platform/historywords.h"
#include "platform/urlhistorystore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <sqlite3.h>

#include <sched.h>
#include <sys/mount.h>

namespace {
constexpr quint64 kDay = 864000000000ULL;
quint64 now()
{
    return TimeConv::toFileTime(QDateTime::currentDateTimeUtc());
}
QStringList urls(const std::vector<UrlHistoryEntry> &entries)
{
    QStringList out;
    for (const auto &e : entries)
        out.append(e.url);
    return out;
}
} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void storeOperations()
    {
        UrlHistoryStore store;
        QVERIFY(store.addUrl(QStringLiteral("http://a.test/"), QStringLiteral("A"), 0x10));
        QVERIFY(store.addUrl(QStringLiteral("file:///tmp/x.html"), QString(), 0));
        QVERIFY(store.addUrl(QStringLiteral("file:///tmp/y.html"), QStringLiteral("Y"), 0));
        auto all = store.enumerate(QString(), 0);
        QVERIFY(all);
        QCOMPARE(all->size(), size_t(3));
        const auto &a = all->front();
        QCOMPARE(a.title, QStringLiteral("A"));
        QCOMPARE(a.flags, 0x10u);
        QCOMPARE(a.lastVisited, a.lastUpdated);
        QCOMPARE(a.expires - a.lastVisited, 20 * kDay);
        QVERIFY(qAbs(qint64(a.lastVisited - now())) < qint64(60 * 10000000LL));

        QCOMPARE(urls(*store.enumerate(QStringLiteral("file:"), 0)),
                 (QStringList{QStringLiteral("file:///tmp/x.html"), QStringLiteral("file:///tmp/y.html")}));
        QVERIFY(store.enumerate(QStringLiteral("FILE:"), 0)->empty());

        // A new visit updates the times and the title.
        QVERIFY(store.putEntry({QStringLiteral("http://old.test/"), QStringLiteral("Old"), now() - 3 * kDay,
                                now() - 3 * kDay, now() + 17 * kDay, 7}));
        QVERIFY(store.addUrl(QStringLiteral("http://old.test/"), QStringLiteral("New"), 7));
        const auto again = *store.enumerate(QStringLiteral("http://old"), 0);
        QCOMPARE(again.size(), size_t(1));
        QCOMPARE(again[0].title, QStringLiteral("New"));
        QVERIFY(again[0].lastVisited > now() - kDay);

        // Expired entries are not listed.
        QVERIFY(store.putEntry({QStringLiteral("http://gone.test/"), QStringLiteral("G"), now() - 25 * kDay,
                                now() - 25 * kDay, now() - 5 * kDay, 0}));
        QVERIFY(!urls(*store.enumerate(QString(), 0)).contains(QStringLiteral("http://gone.test/")));

        QVERIFY(store.deleteUrl(QStringLiteral("http://a.test/"), 0));
        QCOMPARE(store.enumerate(QString(), 0)->size(), size_t(3));
        QVERIFY(store.clear());
        QVERIFY(store.enumerate(QString(), 0)->empty());
    }

    // The address box's words: each the start of a word of the title or the
    // address, newest visit first; a database from before the word index
    // is searched without it until it is indexed.
    void wordsFindVisitedPages()
    {
        const QString path = m_env->platformRoot() + QStringLiteral("/urlhistory.sqlite");
        QVERIFY(QDir().mkpath(m_env->platformRoot()));
        sqlite3 *old = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &old), SQLITE_OK);
        const QByteArray rows =
            QStringLiteral(
                "CREATE TABLE urls(url TEXT PRIMARY KEY NOT NULL, title TEXT, last_visited INTEGER NOT NULL,"
                " last_updated INTEGER NOT NULL, expires INTEGER NOT NULL, flags INTEGER NOT NULL DEFAULT 0);"
                "INSERT INTO urls VALUES('http://garden.test/roses', 'Roses', %1, %1, %2, 0);"
                "INSERT INTO urls VALUES('http://cafe.test/', 'Caf\u00e9 Central', %3, %3, %2, 0);"
                "INSERT INTO urls VALUES('http://127.0.0.1:8080/gardening', 'Tools', %4, %4, %2, 0);")
                .arg(now() - 30)
                .arg(now() + kDay)
                .arg(now() - 20)
                .arg(now() - 10)
                .toUtf8();
        QCOMPARE(sqlite3_exec(old, rows.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(old);

        UrlHistoryStore store;
        const auto found = [&store](const char *typed) {
            return urls(*store.matchingWords(QString::fromUtf8(typed), 6));
        };
        QVERIFY(!store.hasWordIndex());
        QCOMPARE(found("gard"),
                 (QStringList{QStringLiteral("http://127.0.0.1:8080/gardening"),
                              QStringLiteral("http://garden.test/roses")}));
        const std::atomic<bool> stop{false};
        QVERIFY(store.buildWordIndex(&stop));
        QVERIFY(store.hasWordIndex());
        QCOMPARE(found("gard"),
                 (QStringList{QStringLiteral("http://127.0.0.1:8080/gardening"),
                              QStringLiteral("http://garden.test/roses")}));
        QCOMPARE(found("ROSES gar"), QStringList{QStringLiteral("http://garden.test/roses")});
        QCOMPARE(found("cafe"), QStringList{QStringLiteral("http://cafe.test/")}); // accents ignored
        QCOMPARE(found("127.0.0.1:80"), QStringList{QStringLiteral("http://127.0.0.1:8080/gardening")});
        QVERIFY(found("arden").isEmpty());    // words are found by their start
        QVERIFY(found("\" * : /").isEmpty()); // nothing searchable, and no query error
        // The newest visits are looked at without the index for words it
        // has no prefixes for: the same rule as the index's.
        const QList<std::pair<QString, QString>> entries{
            {QStringLiteral("Roses"), QStringLiteral("http://garden.test/roses")},
            {QStringLiteral("Caf\u00e9 Central"), QStringLiteral("http://cafe.test/")},
            {QStringLiteral("Tools"), QStringLiteral("http://127.0.0.1:8080/gardening")}};
        for (const char *typed : {"gard", "ROSES gar", "cafe", "CAF\u00c9 cen", "127.0.0.1:80", "0.0.1:8080/gar",
                                  "arden", "test/ro", "central tools", "ro\u0301ses", "http garden", "8080"}) {
            QStringList expected;
            for (qsizetype i = entries.size() - 1; i >= 0; --i) { // newest first
                if (HistoryWords::matches(QString::fromUtf8(typed), entries[i].first, entries[i].second))
                    expected.append(entries[i].second);
            }
            QCOMPARE(found(typed), expected);
        }

        // A new visit comes first; a removed page is gone; clearing empties the index.
        QVERIFY(store.addUrl(QStringLiteral("http://garden.test/roses"), QStringLiteral("Roses"), 0));
        QCOMPARE(found("gard").value(0), QStringLiteral("http://garden.test/roses"));
        QVERIFY(store.deleteUrl(QStringLiteral("http://garden.test/roses"), 0));
        QCOMPARE(found("gard"), QStringList{QStringLiteral("http://127.0.0.1:8080/gardening")});
        QVERIFY(store.clear());
        QVERIFY(found("gard").isEmpty());
        QVERIFY(store.addUrl(QStringLiteral("http://garden.test/again"), QStringLiteral("Again"), 0));
        QCOMPARE(found("again"), QStringList{QStringLiteral("http://garden.test/again")});
        // More than the rows shown among the newest visits: those, newest first.
        QStringList pages;
        for (int i = 0; i < 9; ++i) {
            const QString url = QStringLiteral("http://p.test/%1").arg(i);
            QVERIFY(store.addUrl(url, QStringLiteral("Page %1").arg(i), 0));
            pages.prepend(url);
        }
        QCOMPARE(found("pag"), pages.mid(0, 6));
        QCOMPARE(found("page 3"), QStringList{QStringLiteral("http://p.test/3")});
    }

    void sharedBetweenConnections()
    {
        UrlHistoryStore first;
        UrlHistoryStore second;
        QVERIFY(first.addUrl(QStringLiteral("http://one.test/"), QStringLiteral("1"), 0));
        QVERIFY(second.addUrl(QStringLiteral("http://two.test/"), QStringLiteral("2"), 0));
        QCOMPARE(first.enumerate(QString(), 0)->size(), size_t(2));

        // A new database that another connection is writing: SQLite answers
        // the one that read it first and now wants to write "busy" at once,
        // whatever its busy timeout. A visit recorded off the window's thread
        // waits its turn rather than be lost.
        const QString fresh = QFileInfo(first.databasePath()).absolutePath() + QStringLiteral("/fresh.sqlite");
        QVERIFY(QFile(fresh).open(QIODevice::WriteOnly));
        sqlite3 *maker = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(fresh).constData(), &maker), SQLITE_OK);
        QCOMPARE(sqlite3_exec(maker, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        bool recorded = false;
        std::unique_ptr<QThread> recorder(QThread::create([&] {
            recorded = UrlHistoryStore(fresh).addUrl(QStringLiteral("http://w.test/"), QStringLiteral("W"), 0);
        }));
        QSignalSpy done(recorder.get(), &QThread::finished);
        recorder->start();
        QVERIFY(!done.wait(300)); // waiting, not given up
        QCOMPARE(sqlite3_exec(maker, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(maker);
        QVERIFY(done.count() == 1 || done.wait(10000));
        QVERIFY(recorded);
        QCOMPARE(UrlHistoryStore(fresh).enumerate(QString(), 0)->size(), size_t(1));
    }

    // A history on a volume mounted read-only is read, and not written.
    void readOnlyVolume()
    {
        // A mount of this process's own, where it may make one.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            QSKIP("no mount namespace of our own here");
        const QString folder = m_env->path(QStringLiteral("volume"));
        QVERIFY(QDir().mkpath(folder));
        const QByteArray where = QFile::encodeName(folder);
        if (::mount("volume", where.constData(), "tmpfs", 0, "size=4m") != 0)
            QSKIP("no tmpfs to mount here");
        const auto unmount = qScopeGuard([&where] { ::umount2(where.constData(), MNT_DETACH); });
        const QString path = folder + QStringLiteral("/urlhistory.sqlite");
        {
            UrlHistoryStore store(path);
            QVERIFY(store.addUrl(QStringLiteral("http://kept.test/"), QStringLiteral("K"), 0));
            QVERIFY(store.addUrl(QStringLiteral("http://also.test/"), QStringLiteral("A"), 0));
        }
        QCOMPARE(::mount(nullptr, where.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        {
            UrlHistoryStore store(path);
            const auto listed = store.enumerate(QString(), 0);
            QVERIFY(listed);
            QCOMPARE(listed->size(), size_t(2));
            QVERIFY(!store.addUrl(QStringLiteral("http://new.test/"), QStringLiteral("N"), 0));
            QVERIFY(store.entryFor(QStringLiteral("http://kept.test/")));
        }
        QVERIFY(!QFile::exists(path + QStringLiteral(".bad")));
    }

    void damagedDatabaseIsMovedAside()
    {
        const QString path = m_env->platformRoot() + QStringLiteral("/urlhistory.sqlite");
        QVERIFY(QDir().mkpath(m_env->platformRoot()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x42'));
        f.close();
        UrlHistoryStore store;
        QVERIFY(store.addUrl(QStringLiteral("http://after.test/"), QStringLiteral("A"), 0));
        QCOMPARE(store.enumerate(QString(), 0)->size(), size_t(1));
        QVERIFY(QFile::exists(path + QStringLiteral(".bad")));
    }

    void oneDamagedPageLosesOnlyItsRows()
    {
        const QString path = m_env->platformRoot() + QStringLiteral("/urlhistory.sqlite");
        const quint64 t = now();
        {
            std::vector<UrlHistoryEntry> entries;
            entries.reserve(5000);
            for (int i = 0; i < 5000; ++i)
                entries.push_back({QStringLiteral("http://site%1.test/page").arg(i), QStringLiteral("Title %1").arg(i),
                                   t, t, t + kDay, 0});
            UrlHistoryStore writer;
            QVERIFY(writer.putEntries(entries));
        }                         // the last connection folds the journal into the file
        UrlHistoryStore recorder; // a connection that was open when the damage was found
        QVERIFY(recorder.enumerate(QStringLiteral("http://site1.test/"), 0));
        {
            // A page of the entries in the middle of the table (the word
            // index's pages lie between them).
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            sqlite3_stmt *st = nullptr;
            QCOMPARE(sqlite3_prepare_v2(db, "SELECT pageno FROM dbstat WHERE name = 'urls' AND pagetype = 'leaf'", -1,
                                        &st, nullptr),
                     SQLITE_OK);
            QList<qint64> leaves;
            while (sqlite3_step(st) == SQLITE_ROW)
                leaves.append(sqlite3_column_int64(st, 0));
            sqlite3_finalize(st);
            sqlite3_close(db);
            QVERIFY(leaves.size() > 20);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek((leaves.at(leaves.size() / 2) - 1) * 4096);
            f.write(QByteArray(4096, '\x42'));
        }
        UrlHistoryStore reader;
        reader.addUrl(QStringLiteral("http://during.test/"), QStringLiteral("D"), 0);
        const auto after = reader.enumerate(QString(), 0);
        QVERIFY(after);
        qInfo() << "rows kept after one damaged page:" << after->size() << "of 5001";
        QVERIFY2(after->size() >= 4800, qPrintable(QString::number(after->size())));
        // The connection opened before the move records into the live database.
        QVERIFY(recorder.addUrl(QStringLiteral("http://later.test/"), QStringLiteral("L"), 0));
        const QStringList seen = urls(*UrlHistoryStore().enumerate(QStringLiteral("http://"), 0));
        QVERIFY(seen.contains(QStringLiteral("http://later.test/")));
        QVERIFY(seen.contains(QStringLiteral("http://during.test/")));
        QVERIFY(QFile::exists(path + QStringLiteral(".bad")));
    }

    void busyDatabaseGivesTheLastListAtOnce()
    {
        QString path;
        {
            UrlHistoryStore store;
            QVERIFY(store.addUrl(QStringLiteral("http://known.test/"), QStringLiteral("K"), 0));
            QCOMPARE(urls(*store.enumerate(QString(), 0)), QStringList{QStringLiteral("http://known.test/")});
            path = store.databasePath();
        }
        // Another program holds the database exclusively.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(
                     other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; INSERT INTO urls VALUES('x','x',1,1,1,0);",
                     nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QElapsedTimer clock;
        clock.start();
        UrlHistoryStore fresh; // on the GUI thread: no waiting
        const auto list = fresh.enumerate(QString(), 0);
        qInfo() << "a read of a held database answered in" << clock.elapsed() << "ms";
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(list);
        QCOMPARE(urls(*list), QStringList{QStringLiteral("http://known.test/")});
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }

    void collection()
    {
        // Visits are kept to the second.
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
        UrlHistoryStore store;
        store.addUrl(QStringLiteral("file:///a.html"), QString(), 0);
        store.addUrl(QStringLiteral("file:///b.html"), QStringLiteral("B"), 0);
        store.addUrl(QStringLiteral("http://c.test/"), QStringLiteral("C"), 0);

        clsHistory history; // filled at creation
        QCOMPARE(history.Count(), 3);
        QVERIFY(history.AddURL(QStringLiteral("http://d.test/"), QStringLiteral("D"), 0));
        QCOMPARE(history.Count(), 3); // until the next Refresh
        QVERIFY(history.Refresh(QStringLiteral("file:")));
        QCOMPARE(history.Count(), 2);
        QVERIFY(history.DeleteURL(QStringLiteral("file:///b.html"), 0));
        QCOMPARE(history.Count(), 3); // reloaded without the filter

        auto *first = qobject_cast<clsHistoryItem *>(history.Item(1));
        QVERIFY(first);
        QCOMPARE(first->Title(), QString());
        const QDateTime visited = first->LastVisited();
        QVERIFY2(visited >= before && visited <= QDateTime::currentDateTime(),
                 qPrintable(visited.toString(Qt::ISODate)));
        QCOMPARE(visited.time().msec(), 0);
        QCOMPARE(visited.timeSpec(), Qt::LocalTime);
        // Twenty days of real time, whatever the clocks did meanwhile.
        QCOMPARE(visited.secsTo(first->Expires()), 20 * 24 * 3600);

        const QString second = qobject_cast<clsHistoryItem *>(history.Item(2))->URL();
        QVERIFY(history.Remove(1));
        QCOMPARE(history.Count(), 2);
        QCOMPARE(qobject_cast<clsHistoryItem *>(history.Item(1))->URL(), second);
        QCOMPARE(first->URL(), QStringLiteral("file:///a.html")); // still valid after removal
        const QPointer<clsHistoryItem> kept = first;
        QVERIFY(history.Refresh(QString()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QVERIFY(kept); // and after a refresh, once events ran
        QCOMPARE(kept->URL(), QStringLiteral("file:///a.html"));
        QVERIFY(!history.Item(0));
        QVERIFY(!history.Item(3));
        QVERIFY(!history.Remove(5));
        QCOMPARE(history.NewEnum().size(), 2);
        QVERIFY(history.Clear());
        QCOMPARE(history.Count(), 0);
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
