#include "linkimport/duplicatefilter.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/pagetextindex.h"
#include "navkit/favorites/pagetextwriter.h"
#include "platform/fileidentity.h"
#include "platform/filedialogservice.h"
#include "linkimport/importwindow.h"
#include "linkimport/keywordfetcher.h"
#include "linkimport/linkappend.h"
#include "testenvironment.h"
#include "webtestmain.h"
#include "testhttpserver.h"
#include "testfiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString S = FavoritesStore::kFieldSeparator;
void writeShortcut(const QString &path, const QString &url)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[InternetShortcut]\r\n");
    if (!url.isNull())
        f.write(("URL=" + url + "\r\n").toUtf8());
}
} // namespace

class TestLinkImport : public QObject
{
    Q_OBJECT

    QString url(const char *path) { return m_server.url(QString::fromLatin1(path)); }
    QStringList stored() { return FavoritesStore::load(LinkImport::Form1::dataFile()); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.setPage(QStringLiteral("/site/page.html"),
                         "<html><head><title>P</title><meta name='Keywords' content='alpha, beta'>"
                         "<meta name='robots' content='x'><meta name='description' content=' Gamma.'></head></html>");
        m_server.setPage(QStringLiteral("/blank"),
                         "<html><head><meta name='keywords' content='   '></head><body>b bramblewood</body></html>");
        m_server.setPage(QStringLiteral("/popup"),
                         "<html><head><meta name='description' content='opens'></head>"
                         "<body><script>window.open('/opened');</script></body></html>");
        m_server.setPage(QStringLiteral("/opened"), "<html><title>should not open</title></html>");
        m_server.setPage(QStringLiteral("/never"), QByteArray(), 0);
    }
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(QDir().mkpath(m_env->programDir()));
        QVERIFY(m_env->installComponents(NAVKIT_LIBRARY));
        m_fav = m_env->path(QStringLiteral("Favorites"));
        qputenv("QUILLON_FAVORITES_DIR", m_fav.toUtf8());
    }
    void cleanup()
    {
        qunsetenv("QUILLON_FAVORITES_DIR");
        m_env.reset();
    }

    void appendRules()
    {
        const QStringList stored{QStringLiteral("Page") + S + QStringLiteral("http://site.test/deep/page.html") + S
                                 + QStringLiteral("k")};
        const QStringList batch{
            QStringLiteral("   "),
            QStringLiteral("No url") + S + QStringLiteral("  "),
            QStringLiteral("Root") + S + QStringLiteral("http://site.test/"), // part of a stored URL
            QStringLiteral("New") + S + QStringLiteral(" http://new.test/ "),
            QStringLiteral("Again") + S + QStringLiteral("http://new.test/"), // accepted earlier in this save
            QStringLiteral("Case") + S + QStringLiteral("HTTP://SITE.TEST/deep/page.html"), // case counts
        };
        int fetched = 0;
        const QStringList accepted = LinkAppend::acceptedRecords(stored, batch, [&](const QString &u) {
                                         ++fetched;
                                         return QStringLiteral("kw of ") + u;
                                     }).value_or(QStringList{QStringLiteral("called off")});
        QCOMPARE(accepted,
                 (QStringList{
                     QStringLiteral("New") + S + QStringLiteral(" http://new.test/ ") + S
                         + QStringLiteral("kw of http://new.test/"),
                     QStringLiteral("Case") + S + QStringLiteral("HTTP://SITE.TEST/deep/page.html") + S
                         + QStringLiteral("kw of HTTP://SITE.TEST/deep/page.html"),
                 }));
        QCOMPARE(fetched, 2); // skipped records load no page
        QCOMPARE(
            LinkAppend::acceptedRecords({}, {QStringLiteral("T") + S + QStringLiteral("http://x/")}, {})
                .value_or(QStringList()),
            QStringList{QStringLiteral("T") + S + QStringLiteral("http://x/") + S + QStringLiteral("no keywords")});
        QCOMPARE(KeywordFetcher::keywordText({{QStringLiteral("KEYWORDS"), QStringLiteral(" a ")},
                                              {QStringLiteral("x"), QStringLiteral("b")},
                                              {QStringLiteral("Description"), QStringLiteral("c")}}),
                 QStringLiteral(" a c"));
    }

    // One index of the stored text serves the saves of a whole import: it
    // answers as a search of the text would, follows its own saves and sees
    // a store changed by another program.
    void duplicatesAcrossTheSavesOfAnImport()
    {
        const QString store = m_env->path(QStringLiteral("dups.dat"));
        QVERIFY(FavoritesStore::save(store,
                                     {QStringLiteral("Mentions http://in.title.test/ here") + S
                                      + QStringLiteral("http://site.test/deep/page.html") + S
                                      + QStringLiteral("keywords http://in.keywords.test/")}));
        DuplicateFilter present;
        const auto append = [&](const QString &title, const QString &url) {
            return LinkAppend::appendFavorites(store, {title + S + url}, {}, present);
        };
        QVERIFY(append(QStringLiteral("Root"), QStringLiteral("http://site.test/")));        // part of an address
        QVERIFY(append(QStringLiteral("Title"), QStringLiteral("http://in.title.test/")));   // in a title
        QVERIFY(append(QStringLiteral("Kw"), QStringLiteral("http://in.keywords.test/")));   // in keyword text
        QVERIFY(append(QStringLiteral("Deep"), QStringLiteral("site.test/deep/page.html"))); // shorter than stored
        QCOMPARE(FavoritesStore::load(store).size(), 1);
        // Enough new records to outgrow the first bit table several times.
        for (int i = 0; i < 3000; i += 10) {
            QStringList batch;
            for (int k = i; k < i + 10; ++k)
                batch.append(QStringLiteral("P%1").arg(k) + S + QStringLiteral("https://p%1.test/a/long/path").arg(k));
            QVERIFY(LinkAppend::appendFavorites(store, batch, {}, present));
        }
        QCOMPARE(FavoritesStore::load(store).size(), 3001);
        // Nothing new: the store is not written again at all.
        const std::optional<FileIdentity> unchanged = FileIdentity::of(store);
        QVERIFY(append(QStringLiteral("Again"), QStringLiteral("https://p1234.test/a/long/path")));
        QVERIFY(append(QStringLiteral("Part"), QStringLiteral("p2999.test/a/lon")));
        QCOMPARE(FileIdentity::of(store), unchanged);
        QCOMPARE(FavoritesStore::load(store).size(), 3001);

        // Another program stores an address meanwhile: it is not added twice.
        QVERIFY(FavoritesStore::save(store, {QStringLiteral("Other") + S + QStringLiteral("http://other.test/x")}));
        QVERIFY(append(QStringLiteral("Dup"), QStringLiteral("http://other.test/")));
        QCOMPARE(FavoritesStore::load(store).size(), 3002);
        QVERIFY(append(QStringLiteral("New"), QStringLiteral("http://brand.new.test/")));
        QCOMPARE(FavoritesStore::load(store).size(), 3003);
        QCOMPARE(FavoritesStore::load(store).last(),
                 QStringLiteral("New") + S + QStringLiteral("http://brand.new.test/") + S
                     + QStringLiteral("no keywords"));
    }

    void bookmarksFileIntoTheBrowsersStore()
    {
        const QString html = m_env->path(QStringLiteral("bookmarks.html"));
        QVERIFY(TestFiles::writeAll(html,
                                    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>Trips</H3>\n<DL><p>\n"
                                    "<DT><A HREF=\"https://alps.example/?a=1&amp;b=2\">Alpen \xc3\xbc"
                                    "ber alles</A>\n"
                                    "<DD>huts and passes\n</DL><p>\n</DL><p>\n"));
        FileDialogService::setRunner([&](const FileDialogService::OpenRequest &) {
            return FileDialogService::OpenResult{true, html, 0, {}};
        });
        LinkImport::Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.Command2(), Qt::LeftButton);
        FileDialogService::setRunner({});
        QCOMPARE(window.Command2()->text(), QStringLiteral("Cancel"));
        QTRY_COMPARE(window.Label3()->text(), QStringLiteral("Added : 1"));
        QCOMPARE(window.Command2()->text(), QStringLiteral("Bookmarks..."));
        QCOMPARE(window.List1().ListCount(), 1);
        // The browser's own store, in its data folder.
        QCOMPARE(LinkImport::Form1::dataFile(), m_env->programDir() + QStringLiteral("/_data/_favorites.dat"));
        QCOMPARE(stored(),
                 QStringList{QStringLiteral("Alpen \u00fcber alles") + S
                             + QStringLiteral("https://alps.example/?a=1&b=2") + S
                             + QStringLiteral("Trips huts and passes")});
    }

    void importWithoutKeywords()
    {
        writeShortcut(m_fav + QStringLiteral("/a.url"), url("/site/page.html"));
        writeShortcut(m_fav + QStringLiteral("/b.url"), url("/site/page.html")); // same URL: the first wins
        writeShortcut(m_fav + QStringLiteral("/none.url"), QString());
        writeShortcut(m_fav + QStringLiteral("/z/deeper/root.url"), url("/site/")); // the beginning of a stored URL
        writeShortcut(m_fav + QStringLiteral("/z/other.url"), url("/blank"));
        LinkImport::Form1 window;
        QCOMPARE(window.windowTitle(), QStringLiteral(" IE Favorites"));
        QCOMPARE(window.List1().ListCount(), 0);
        QCOMPARE(imported(window, false), 5);
        QCOMPARE(window.Label3()->text(), QStringLiteral("File : 5"));
        QCOMPARE(stored(),
                 (QStringList{QStringLiteral("a.") + S + url("/site/page.html") + S + QStringLiteral("no keywords"),
                              QStringLiteral("other.") + S + url("/blank") + S + QStringLiteral("no keywords")}));
        QCOMPARE(window.List1().ListCount(), 2);
        QCOMPARE(m_server.requestCount(QStringLiteral("/site/page.html")), 0); // no page loaded

        // A second import adds nothing.
        QCOMPARE(imported(window, false), 5);
        QCOMPARE(stored().size(), 2);
        // bClear starts from an empty store.
        QCOMPARE(imported(window, true), 5);
        QCOMPARE(stored().size(), 2);
        // A mouse click on a row shows its address.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *view = window.List1().widget()->findChild<QListView *>();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(1, 0)).center());
        QCOMPARE(window.Label1()->text(), url("/blank"));
    }

    void importWithKeywords()
    {
        writeShortcut(m_fav + QStringLiteral("/1.url"), url("/site/page.html"));
        writeShortcut(m_fav + QStringLiteral("/2.url"), url("/blank"));
        writeShortcut(m_fav + QStringLiteral("/3.url"), url("/popup"));
        writeShortcut(m_fav + QStringLiteral("/4.url"), url("/never"));
        LinkImport::Form1 window;
        window.fetcher()->setDeadline(3000);
        QTest::mouseClick(window.Check1(), Qt::LeftButton);
        QVERIFY(window.Check1()->isChecked());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(imported(window, false), 4);
        QVERIFY(clock.elapsed() >= 2900); // the page that never loads was waited for, then given up
        QCOMPARE(stored(),
                 (QStringList{
                     QStringLiteral("1.") + S + url("/site/page.html") + S + QStringLiteral("alpha, beta Gamma."),
                     QStringLiteral("2.") + S + url("/blank") + S + QStringLiteral("no keywords"),
                     QStringLiteral("3.") + S + url("/popup") + S + QStringLiteral("opens"),
                     QStringLiteral("4.") + S + url("/never") + S + QStringLiteral("no keywords"),
                 }));
        QCOMPARE(m_server.requestCount(QStringLiteral("/opened")), 0); // the page opened no window
        // The pages read for their keywords are found by their words too.
        PageTextWriter::waitForDone();
        const auto hits = PageTextIndex(PageTextIndex::fileFor(LinkImport::Form1::dataFile()))
                              .search(QStringLiteral("bramblewood"), 5);
        QVERIFY(hits && hits->size() == 1 && hits->first().url == url("/blank"));
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible() || w->windowTitle() != QStringLiteral("should not open"));
    }

    void closingEndsAKeywordsImport()
    {
        writeShortcut(m_fav + QStringLiteral("/a.url"), url("/site/page.html"));
        writeShortcut(m_fav + QStringLiteral("/sub/b.url"), url("/never"));
        writeShortcut(m_fav + QStringLiteral("/sub/c.url"), url("/blank"));
        {
            LinkImport::Form1 window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTest::mouseClick(window.Check1(), Qt::LeftButton);
            QVERIFY(window.Check1()->isChecked());
            // Closed while the page that never answers is waited for.
            const int asked = m_server.requestCount(QStringLiteral("/never"));
            QTimer watch;
            connect(&watch, &QTimer::timeout, &window, [&] {
                if (m_server.requestCount(QStringLiteral("/never")) > asked && window.isVisible())
                    window.close();
            });
            watch.start(50);
            QSignalSpy finished(&window, &LinkImport::Form1::importFinished);
            QElapsedTimer clock;
            clock.start();
            QTest::mouseClick(window.Command1(), Qt::LeftButton);
            QVERIFY(finished.wait(20000)); // not the minute a page may take
            QVERIFY(clock.elapsed() < 20000);
        }
        // The folder done before is stored; the one in progress is not, so
        // a later import still reads its keywords.
        const QString kw = QStringLiteral("alpha, beta Gamma.");
        QCOMPARE(stored(), QStringList{QStringLiteral("a.") + S + url("/site/page.html") + S + kw});
        LinkImport::Form1 again;
        again.fetcher()->setDeadline(1000);
        QTest::mouseClick(again.Check1(), Qt::LeftButton);
        QVERIFY(again.Check1()->isChecked());
        QCOMPARE(imported(again, false), 3);
        QCOMPARE(stored().size(), 3);
        QCOMPARE(stored().at(2), QStringLiteral("c.") + S + url("/blank") + S + QStringLiteral("no keywords"));
    }

    void anchorOfThePageShownEndsTheWaitAtOnce()
    {
        writeShortcut(m_fav + QStringLiteral("/a.url"), url("/site/page.html"));
        writeShortcut(m_fav + QStringLiteral("/b.url"), url("/site/page.html") + QStringLiteral("#part"));
        LinkImport::Form1 window;
        window.fetcher()->setDeadline(30000);
        QTest::mouseClick(window.Check1(), Qt::LeftButton);
        QVERIFY(window.Check1()->isChecked());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(imported(window, false), 2);
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        const QString kw = QStringLiteral("alpha, beta Gamma.");
        QCOMPARE(stored(),
                 (QStringList{QStringLiteral("a.") + S + url("/site/page.html") + S + kw,
                              QStringLiteral("b.") + S + url("/site/page.html") + QStringLiteral("#part") + S + kw}));
    }

private:
    // Runs an import from the event loop to its end: the shortcut count.
    static int imported(LinkImport::Form1 &window, bool clear)
    {
        QSignalSpy finished(&window, &LinkImport::Form1::importFinished);
        if (!window.ImportFromIE(LinkImport::Form1::dataFile(), clear) || !finished.wait(120000))
            return -1;
        return finished.first().first().toInt();
    }

    TestHttpServer m_server;
    std::unique_ptr<TestEnvironment> m_env;
    QString m_fav;
};

QUILLON_WEB_TEST_MAIN(TestLinkImport)

#include "tst_linkimport.moc"
