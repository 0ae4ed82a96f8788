#include "navkit/favorites/favoritesstore.h"
#include "navkit/proxies/listproxy.h"
#include "navkit/listctl/listrules.h"
#include "navkit/listctl/rowlistview.h"
#include "testenvironment.h"
#include "platform/timeconv.h"
#include "platform/urlhistorystore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QScreen>
#include <QTimer>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {
constexpr quint64 kDay = 864000000000ULL;
quint64 fileTime(const QDateTime &t)
{
    return TimeConv::toFileTime(t);
}
const QString S = FavoritesStore::kFieldSeparator;
} // namespace

// A host's KeyPress handler that cancels every key.
class KeyEater : public QObject
{
    Q_OBJECT
public:
    int eaten = 0;
public slots:
    void eat(int *keyAscii)
    {
        *keyAscii = 0;
        ++eaten;
    }
};

// A host that reads the selected row when the list reports a click or a
// mouse button, as the panes do.
class RowReader : public QObject
{
    Q_OBJECT
public:
    explicit RowReader(QWidget *list)
        : m_list(list)
    {}
    QList<int> atClick;
    QList<int> atMouseDown;
public slots:
    void click() { atClick.append(m_list->property("ListIndex").toInt()); }
    void mouseDown(int *, int *, float *, float *) { atMouseDown.append(m_list->property("ListIndex").toInt()); }

private:
    QWidget *m_list;
};

// The list control as hosts see it: created by class name, called by name.
class TestListControl : public QObject
{
    Q_OBJECT

    ListProxy create()
    {
        ListProxy list = ListProxy::create(&m_host);
        return list;
    }
    QStringList rows(const ListProxy &list)
    {
        QStringList out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.append(list.List(i));
        return out;
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(QDir().mkpath(m_env->programDir()));
        QVERIFY(m_env->installComponents(NAVKIT_LIBRARY));
        m_store = m_env->path(QStringLiteral("_favorites.dat"));
    }
    void cleanup() { m_env.reset(); }

    void newControl()
    {
        ListProxy list = create();
        QVERIFY(list.isValid());
        QCOMPARE(list.widget()->metaObject()->className(), "ListControl");
        QCOMPARE(list.ListCount(), 11);
        QCOMPARE(list.List(0), QStringLiteral("Item 0"));
        QCOMPARE(list.List(10), QStringLiteral("Item 10"));
        QCOMPARE(list.ListUrl(0), QString());
        QCOMPARE(list.ItemUrl(0), QString());
        QCOMPARE(list.ListIndex(), -1);
        QCOMPARE(list.widget()->property("ListImage").toString(), QStringLiteral("bmp_01"));
        QCOMPARE(list.widget()->property("FocusRect").toInt(), 0);
    }

    void favoritesFilter()
    {
        FavoritesStore::save(
            m_store,
            {QStringLiteral("Daily News") + S + QStringLiteral("http://a.test/") + S + QStringLiteral("no keywords"),
             QStringLiteral("  Weather ") + S + QStringLiteral(" http://news.test/w ") + S + QStringLiteral("rain"),
             QStringLiteral("Recipes") + S + QStringLiteral("http://c.test/") + S + QStringLiteral("cooking, NeWs"),
             QStringLiteral("Other") + S + QStringLiteral("http://d.test/"), QStringLiteral("Just a title")});
        ListProxy list = create();
        list.RefreshFavoritesEx(m_store);
        QCOMPARE(rows(list),
                 (QStringList{QStringLiteral("  Daily News"), QStringLiteral("  Weather"), QStringLiteral("  Recipes"),
                              QStringLiteral("  Other"), QStringLiteral("  Just a title")}));
        QCOMPARE(list.ItemUrl(1), QStringLiteral("http://news.test/w"));
        QCOMPARE(list.ItemUrl(4), QString()); // rows and addresses stay aligned
        list.RefreshFavoritesEx(m_store, QStringLiteral("NEWS"));
        QCOMPARE(
            rows(list),
            (QStringList{QStringLiteral("  Daily News"), QStringLiteral("  Weather"), QStringLiteral("  Recipes")}));
        QCOMPARE(list.ItemUrl(2), QStringLiteral("http://c.test/"));
        list.RefreshFavoritesEx(m_store, QStringLiteral("   "));
        QCOMPARE(list.ListCount(), 5);
        // The text is matched as given, blanks included (only the host trims).
        list.RefreshFavoritesEx(m_store, QStringLiteral(" news"));
        QCOMPARE(rows(list), (QStringList{QStringLiteral("  Daily News"), QStringLiteral("  Recipes")}));
        list.RefreshFavoritesEx(m_store, QStringLiteral(">"));
        QCOMPARE(list.ListCount(), 4); // every separator holds ">", a record without one does not
        list.RefreshFavoritesEx(m_env->path(QStringLiteral("missing.dat")));
        QCOMPARE(list.ListCount(), 0);

        // InsertFavorites: saved away from the GUI thread, a new row once it
        // is stored, its address after the next refresh; a blank record is
        // neither stored nor listed.
        list.RefreshFavoritesEx(m_store);
        QSignalSpy inserted(list.widget(), SIGNAL(InsertFinished(QString, bool)));
        const QString added =
            QStringLiteral(" Added ") + S + QStringLiteral("http://e.test/") + S + QStringLiteral("x");
        list.InsertFavorites(m_store, added);
        list.InsertFavorites(m_store, QStringLiteral("   "));
        QTRY_COMPARE(inserted.size(), 2);
        QCOMPARE(inserted.at(0), (QVariantList{added, true}));
        QCOMPARE(list.ListCount(), 6);
        QCOMPARE(list.List(5), QStringLiteral("  Added"));
        QCOMPARE(list.ItemUrl(5), QString());
        QCOMPARE(FavoritesStore::load(m_store).last(), added);
        list.RefreshFavoritesEx(m_store);
        QCOMPARE(list.ItemUrl(5), QStringLiteral("http://e.test/"));
        QCOMPARE(FavoritesStore::load(m_store).size(), 6);

        // A small store is listed at once by RefreshFavoritesLater too; a
        // large one (not read yet) is read by a worker, the list empty until
        // then, and listed whole.
        QSignalSpy listed(list.widget(), SIGNAL(FavoritesListed(int)));
        list.RefreshFavoritesLater(m_store);
        QCOMPARE(listed.size(), 1);
        QCOMPARE(list.ListCount(), 6);
        const QString large = m_env->path(QStringLiteral("large.dat"));
        QStringList many;
        for (int i = 0; i < 12000; ++i)
            many.append(QStringLiteral("Page %1 ").arg(i).repeated(8) + S + QStringLiteral("http://l.test/%1").arg(i));
        QVERIFY(FavoritesStore::save(large, many));
        QVERIFY(QFileInfo(large).size() > 1 << 20);
        list.widget()->resize(300, 400);
        m_host.resize(300, 400);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
        list.RefreshFavoritesLater(large);
        QCOMPARE(list.ListCount(), 0);
        QVERIFY(listed.wait());
        QCOMPARE(listed.last().at(0).toInt(), 12000);
        QCOMPARE(list.ItemUrl(11999), QStringLiteral("http://l.test/11999"));
        // The view places its rows a batch a turn: End, pressed as the list
        // arrives, reaches the last one once placed, and a click picks it.
        auto *view = list.widget()->findChild<QListView *>();
        QVERIFY(view);
        QTest::keyClick(view, Qt::Key_End);
        QTRY_COMPARE(view->currentIndex().row(), 11999);
        QRect last;
        // (the rows are wider than the list: the point is near their start)
        QTRY_VERIFY((last = view->visualRect(view->currentIndex()),
                     view->viewport()->rect().contains(QPoint(10, last.center().y()))));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, last.center().y()));
        QCOMPARE(list.ListIndex(), 11999);
        m_host.hide();
    }

    void historyDaysAndTitles()
    {
        // "Earlier today" must be before now, even in the first second of a day.
        const QDateTime current = QDateTime::currentDateTime();
        const QDateTime now = std::max(current, QDateTime(current.date(), QTime(0, 0, 1)));
        const QDateTime earlierToday(now.date(), QTime(0, 0, 0));
        const QDateTime yesterday = now.addDays(-1);
        UrlHistoryStore store;
        const quint64 expires = fileTime(now) + 10 * kDay;
        store.putEntries({
            {QStringLiteral("http://old.test/"), QStringLiteral("Old page"), fileTime(yesterday), fileTime(yesterday),
             expires, 0},
            {QStringLiteral("file:///C:/docs/a.htm"), QString(), fileTime(earlierToday), fileTime(earlierToday),
             expires, 0},
            {QStringLiteral("http://untitled.test/x"), QStringLiteral("  "), fileTime(now), fileTime(now), expires, 0},
        });
        ListProxy list = create();
        list.RefreshHistoryEx(now.toString(Qt::ISODate));
        QCOMPARE(rows(list), (QStringList{QStringLiteral("  http://untitled.test/x"), QStringLiteral("  a.htm")}));
        QCOMPARE(list.ListUrl(1), QStringLiteral("file:///C:/docs/a.htm"));
        list.RefreshHistoryEx();
        QCOMPARE(rows(list).last(), QStringLiteral("  Old page"));
        QCOMPARE(list.ListCount(), 3);
        list.RefreshHistoryEx(QStringLiteral("not a date"));
        QCOMPARE(list.ListCount(), 3);
        list.RefreshHistoryEx(QString(), QStringLiteral("file:"));
        QCOMPARE(list.ListCount(), 1);

        // The two URL lists survive each other's refreshes.
        FavoritesStore::save(m_store, {QStringLiteral("F") + S + QStringLiteral("http://fav.test/")});
        list.RefreshFavoritesEx(m_store);
        QCOMPARE(list.ListUrl(0), QStringLiteral("file:///C:/docs/a.htm"));
        QCOMPARE(list.ItemUrl(0), QStringLiteral("http://fav.test/"));

        // A page whose title holds the separator cannot put its own address in the row.
        UrlHistoryEntry hostile{QStringLiteral("http://real.test/"),
                                QStringLiteral("Nice page") + S + QStringLiteral("javascript:evil()"),
                                fileTime(now),
                                fileTime(now),
                                expires,
                                0};
        const ListRules::Rows hostileRows = ListRules::historyRows({hostile}, std::nullopt);
        QCOMPARE(hostileRows.urls, QStringList{QStringLiteral("http://real.test/")});
        QVERIFY(hostileRows.rows.first().contains(QStringLiteral("javascript:evil()")));

        QVERIFY(ListRules::visitTimeText(45000.5) > ListRules::visitTimeText(9999.75));
        QCOMPARE(ListRules::historyTitle(QString(), QStringLiteral(" FILE:///x/y/ z.html ")), QStringLiteral("z.html"));
    }

    // The history list reads its rows a page at a time as they are drawn:
    // rows across page ends, a click far down and later visits stay right.
    void longHistoryListedByPages()
    {
        const QDateTime current = QDateTime::currentDateTime();
        const QDateTime midnight = current.date().startOfDay();
        const quint64 start = fileTime(midnight);
        const quint64 expires = fileTime(current) + 10 * kDay;
        std::vector<UrlHistoryEntry> entries;
        for (int i = 0; i < 700; ++i) { // entry i is visited i tenths of a second after midnight
            const quint64 t = start + quint64(i) * 1000000ULL;
            entries.push_back({QStringLiteral("http://p.test/%1").arg(i), QStringLiteral("Page %1").arg(i), t, t,
                               i % 100 == 50 ? fileTime(current) - kDay : expires, 0});
        }
        const quint64 before = start - 10000000ULL;
        entries.push_back(
            {QStringLiteral("http://yesterday.test/"), QStringLiteral("Yesterday"), before, before, expires, 0});
        UrlHistoryStore store;
        QVERIFY(store.putEntries(entries));

        ListProxy list = create();
        list.widget()->resize(300, 400);
        m_host.resize(300, 400);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
        list.RefreshHistoryEx(current.toString(Qt::ISODate));
        // 700 of today less the 7 expired ones, newest first.
        QStringList expected;
        for (int i = 699; i >= 0; --i) {
            if (i % 100 != 50)
                expected.append(QStringLiteral("http://p.test/%1").arg(i));
        }
        // The first rows at once; the rest when counted, away from the
        // window's thread.
        QCOMPARE(list.ListCount(), 256);
        QCOMPARE(list.ListUrl(0), expected.at(0));
        QTRY_COMPARE(list.ListCount(), expected.size());
        for (const int row : {0, 255, 256, 257, 511, 512, 692})
            QCOMPARE(list.ListUrl(row), expected.at(row));
        QCOMPARE(list.List(256), QStringLiteral("  Page %1").arg(expected.at(256).section(u'/', -1)));

        // A later visit waits for the next refresh: the rows keep their places.
        QVERIFY(store.addUrl(QStringLiteral("http://new.test/"), QStringLiteral("New"), 0));
        QCOMPARE(list.ListCount(), expected.size());
        QCOMPARE(list.ListUrl(300), expected.at(300));

        auto *view = list.widget()->findChild<QListView *>();
        QVERIFY(view);
        view->scrollToBottom();
        const QRect last = view->visualRect(view->model()->index(list.ListCount() - 1, 0));
        QVERIFY(view->viewport()->rect().contains(last.center()));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, last.center());
        QCOMPARE(list.ListIndex(), list.ListCount() - 1);
        QCOMPARE(list.ListUrl(list.ListIndex()), QStringLiteral("http://p.test/0"));

        list.RefreshHistoryEx(current.toString(Qt::ISODate));
        QTRY_COMPARE(list.ListCount(), expected.size() + 1);
        QCOMPARE(list.ListUrl(0), QStringLiteral("http://new.test/"));
        QCOMPARE(list.ListUrl(1), expected.at(0));

        // A row added by a host keeps every row before it.
        bool added = false;
        QMetaObject::invokeMethod(list.widget(), "AddItem", Qt::DirectConnection, Q_RETURN_ARG(bool, added),
                                  Q_ARG(QString, QStringLiteral("  Extra")));
        QVERIFY(added);
        QCOMPARE(list.ListCount(), expected.size() + 2);
        QCOMPARE(list.List(1), QStringLiteral("  Page 699"));
        QCOMPARE(list.List(list.ListCount() - 1), QStringLiteral("  Extra"));
        m_host.hide();
    }

    void longListKeepsItsRowsDrawnWhilePlaced()
    {
        // More visits of today than the view places in a turn: once
        // counted, they are placed over several turns, and every picture of
        // the list meanwhile still shows rows (it was drawn empty until the
        // last batch was placed).
        const QDateTime current = QDateTime::currentDateTime();
        const quint64 start = fileTime(current.date().startOfDay());
        const quint64 expires = fileTime(current) + 10 * kDay;
        std::vector<UrlHistoryEntry> entries;
        const int visits = RowListView::kRowsPlacedATurn + 20000;
        const quint64 apart = (fileTime(current) - start) / quint64(visits + 1);
        for (int i = 0; i < visits; ++i) {
            const quint64 t = start + quint64(i + 1) * apart;
            entries.push_back(
                {QStringLiteral("http://v.test/%1").arg(i), QStringLiteral("Visit %1").arg(i), t, t, expires, 0});
        }
        QVERIFY(UrlHistoryStore().putEntries(entries));

        ListProxy list = create();
        list.widget()->resize(300, 400);
        m_host.resize(300, 400);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
        auto *view = list.widget()->findChild<QListView *>();
        QVERIFY(view);
        // What the screen shows of the list's first row.
        const auto inkOnScreen = [&] {
            const QRect row = view->visualRect(view->model()->index(0, 0));
            const QRect area(view->viewport()->mapTo(&m_host, QPoint(0, 2)), QSize(view->viewport()->width(), 14));
            const QImage shot = m_host.screen()->grabWindow(m_host.winId()).toImage();
            int ink = 0;
            for (int y = area.top(); y <= area.bottom() && row.height() > 0; ++y) {
                for (int x = area.left(); x <= area.right(); ++x)
                    ink += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
            }
            return ink;
        };
        list.RefreshHistoryEx(current.toString(Qt::ISODate));
        QTRY_VERIFY(inkOnScreen() > 0);
        QVERIFY(list.ListCount() < visits);

        // Looked at once each picture is on screen.
        struct AfterPaint : QObject {
            std::function<void()> look;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    QTimer::singleShot(0, this, look);
                return false;
            }
        } afterPaint;
        int pictures = 0;
        int emptyPictures = 0;
        afterPaint.look = [&] {
            ++pictures;
            emptyPictures += inkOnScreen() == 0 ? 1 : 0;
        };
        view->viewport()->installEventFilter(&afterPaint);
        QTRY_COMPARE(list.ListCount(), visits);
        const QModelIndex first = view->model()->index(0, 0);
        QTRY_COMPARE(view->indexAt(view->visualRect(first).center()), first);
        QTRY_VERIFY(pictures > 0 && inkOnScreen() > 0);
        view->viewport()->removeEventFilter(&afterPaint);
        QCOMPARE(emptyPictures, 0);
        QCOMPARE(list.ListUrl(0), QStringLiteral("http://v.test/%1").arg(visits - 1));
        QCOMPARE(list.ListUrl(visits - 1), QStringLiteral("http://v.test/0"));
        m_host.hide();
    }

    void importFromFavoritesFolder()
    {
        QStringList ten;
        for (int i = 0; i < 10; ++i)
            ten.append(QStringLiteral("Old %1").arg(i) + S + QStringLiteral("http://old/%1").arg(i));
        FavoritesStore::save(m_store, ten);
        const QString fav = m_env->path(QStringLiteral("Favorites"));
        QVERIFY(QDir().mkpath(fav + QStringLiteral("/sub")));
        const auto write = [](const QString &path, const QByteArray &data) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(data);
        };
        write(fav + QStringLiteral("/a.url"), "[InternetShortcut]\r\nURL=http://a.test/\r\n");
        write(fav + QStringLiteral("/b.url"), "[InternetShortcut]\r\nURL=http://b.test/\r\n");
        write(fav + QStringLiteral("/none.url"), "[InternetShortcut]\r\n");
        write(fav + QStringLiteral("/sub/c.url"), "[InternetShortcut]\r\nURL=http://c.test/\r\n");
        qputenv("QUILLON_FAVORITES_DIR", fav.toUtf8());
        ListProxy list = create();
        QCOMPARE(list.ImportFromIE(m_store, true), 4);
        qunsetenv("QUILLON_FAVORITES_DIR");
        QCOMPARE(rows(list), (QStringList{QStringLiteral("  a."), QStringLiteral("  b."), QStringLiteral("  c.")}));
        QCOMPARE(list.ItemUrl(2), QStringLiteral("http://c.test/"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void eventsReachTheHost()
    {
        ListProxy list = create();
        QWidget *w = list.widget();
        w->resize(200, 300);
        m_host.show();
        QSignalSpy clicks(w, SIGNAL(Click()));
        list.selectRow(3);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(list.ListIndex(), 3);
        QCOMPARE(w->property("Text").toString(), QStringLiteral("Item 3"));

        // A host that sets KeyAscii to 0 cancels the key.
        auto *view = w->findChild<QListView *>();
        KeyEater eater;
        QVERIFY(QObject::connect(w, SIGNAL(KeyPress(int *)), &eater, SLOT(eat(int *))));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_End); // no text: not a key press, so it moves
        QCOMPARE(list.ListIndex(), 10);
        QTest::keyClick(view, Qt::Key_I); // would jump to "Item 0" if not cancelled
        QCOMPARE(eater.eaten, 1);
        QCOMPARE(list.ListIndex(), 10);
        m_host.hide();
    }

    void mouseClicksReachTheHostWithTheirRow()
    {
        ListProxy list = create();
        QWidget *w = list.widget();
        w->resize(200, 300);
        m_host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_host));
        auto *view = w->findChild<QListView *>();
        RowReader reader(w);
        QVERIFY(QObject::connect(w, SIGNAL(Click()), &reader, SLOT(click())));
        QVERIFY(QObject::connect(w, SIGNAL(MouseDown(int *, int *, float *, float *)), &reader,
                                 SLOT(mouseDown(int *, int *, float *, float *))));
        const auto rowCentre = [view](int row) { return view->visualRect(view->model()->index(row, 0)).center(); };

        // A left click: Click is raised once, with the clicked row selected.
        reader.atClick.clear();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(3));
        QCOMPARE(reader.atClick, QList<int>{3});
        QCOMPARE(list.ListIndex(), 3);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(5));
        QCOMPARE(reader.atClick, (QList<int>{3, 5}));

        // A right click on another row: the host sees the highlighted row,
        // and the highlight stays where it was.
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, rowCentre(1));
        QCOMPARE(reader.atMouseDown.last(), 5);
        QCOMPARE(list.ListIndex(), 5);
        QCOMPARE(reader.atClick, (QList<int>{3, 5}));

        // The keyboard still reports each row once.
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(reader.atClick, (QList<int>{3, 5, 6}));
        m_host.hide();
    }

private:
    QWidget m_host;
    std::unique_ptr<TestEnvironment> m_env;
    QString m_store;
};

QTEST_MAIN(TestListControl)
#include "tst_listcontrol.moc"
