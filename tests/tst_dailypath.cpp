// The everyday actions, driven as a user drives them: keys into the
// address box and its completion list, clicks on tool buttons, tabs, list
// rows and into the page.
#include "app/mainwindow/addresscompleter.h"
#include "browserfixture.h"
#include "engine/browserpage.h"
#include "app/browser/findbar.h"
#include "app/mainwindow/commanddispatcher.h"
#include "platform/dockpane.h"
#include "app/settings/programstate.h"
#include "platform/filedialogservice.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/pagetextindex.h"
#include "commandpages.h"
#include "modalinput.h"
#include "app/panes/historypane.h"
#include "app/panes/favoritestab.h"
#include "navkit/proxies/listproxy.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlregistry.h"
#include "testenvironment.h"
#include "testhttpserver.h"
#include "testpages.h"
#include "platform/urlhistorystore.h"
#include "engine/visitrecorder.h"
#include "webtestmain.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QWebEngineView>
#include <QtTest>

using namespace BrowserFixture;
using namespace mdlRegistry;

class TestDailyPath : public QObject
{
    Q_OBJECT

    QString url(const char *path) { return m_server.url(QString::fromLatin1(path)); }

    // Types as a user does: while the completion list is open the keys go
    // to it, as the window system would send them.
    static void type(QLineEdit *box, const QString &text, Qt::KeyboardModifiers modifiers = {})
    {
        for (const QChar c : text) {
            QWidget *target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : box;
            QTest::keyClick(target, c.toLatin1(), modifiers);
        }
    }
    static void pressInBox(QLineEdit *box, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget *target = QApplication::activePopupWidget() ? QApplication::activePopupWidget() : box;
        QTest::keyClick(target, key, modifiers);
    }
    static QLineEdit *clearedAddressBox(Form1 *main)
    {
        QLineEdit *box = main->dsMain()->addressBox();
        // The window system gives the window back its activation when a
        // list closes; the offscreen platform leaves that to the test.
        main->activateWindow();
        if (!QTest::qWaitForWindowActive(main))
            qWarning() << "window not active";
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        return box;
    }
    static bool completionShown(QLineEdit *box)
    {
        // Shown, with the visited pages the history gave for the words.
        const auto *completer = qobject_cast<AddressCompleter *>(box->completer());
        return QTest::qWaitFor(
            [box, completer] {
                return box->completer()->popup()->isVisible() && completer && !completer->answerPending();
            },
            kTimeout);
    }
    static void clickCommand(Form1 *main, const char *key)
    {
        QAction *a = main->dsMain()->command(QString::fromLatin1(key));
        QWidget *button = main->dsMain()->toolBar(QStringLiteral("ToolBar"))->widgetForAction(a);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    static void clickTab(Form1 *main, int position)
    {
        QTabBar *bar = main->dsMain()->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(position - 1).center());
    }
    static bool enabled(Form1 *main, const char *key)
    {
        return main->dsMain()->command(QString::fromLatin1(key))->isEnabled();
    }
    static bool backForwardAre(Form1 *main, bool back, bool next)
    {
        return QTest::qWaitFor(
            [&] {
                return enabled(main, "mnuBack") == back && enabled(main, "mnuBack1") == back
                    && enabled(main, "mnuNext") == next && enabled(main, "mnuNext1") == next;
            },
            kTimeout);
    }
    void visitByTyping(Form1 *main, const char *path)
    {
        QLineEdit *box = clearedAddressBox(main);
        type(box, url(path));
        pressInBox(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main, mdlAplication::ActiveTabPosition(main->dsMain()), url(path)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.setPage(QStringLiteral("/home"), TestPages::page("Home"));
        m_server.setPage(QStringLiteral("/a"), TestPages::page("Page A"));
        m_server.setPage(QStringLiteral("/b"), TestPages::page("Page B"));
        m_server.setPage(QStringLiteral("/search"), TestPages::page("Results"));
        m_server.setPage(QStringLiteral("/long"), TestPages::page("A page title of well over fifteen characters"));
        m_server.setPage(QStringLiteral("/untitled"), "<html><body>no title</body></html>");
        m_server.setPage(QStringLiteral("/text"), TestPages::page("Text", "<p>alpha beta alpha</p>"));
        m_server.setPage(QStringLiteral("/never"), QByteArray(), 0);
        m_server.setPage(QStringLiteral("/words"),
                         TestPages::page("Quiet page",
                                         "<p>A jar of marmalade by the zephyrine sea.</p>"
                                         "<script>document.write('<p>written quokkaberry</p>')</script>"
                                         "<p hidden>hiddenword</p>"));
        m_server.setPage(QStringLiteral("/unread"), TestPages::page("Unread", "<p>old xylograph prints</p>"));
        m_server.setPage(QStringLiteral("/link"),
                         TestPages::page("Link", "<a href='/b' style='position:fixed;inset:0;display:block'>b</a>"));
        m_server.setPage(
            QStringLiteral("/blank"),
            TestPages::page("Blank",
                            "<a href='/a' target='_blank' style='position:fixed;inset:0;display:block'>a</a>"));
        m_server.setPage(QStringLiteral("/busy"),
                         TestPages::page("Busy",
                                         "<script>window.onload = function() { setTimeout(function() {"
                                         " var t = Date.now(); while (Date.now() - t < 4000) {} }, 50); };</script>"));
        m_server.setDownload(QStringLiteral("/file.bin"), QByteArray(2048, 'x'));
        m_server.setPage(
            QStringLiteral("/getfile"),
            TestPages::page("Get", "<a href='/file.bin' style='position:fixed;inset:0;display:block'>file</a>"));
    }
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(prepareProgramFolder(*m_env, NAVKIT_LIBRARY, url("/home")));
    }
    void cleanup()
    {
        FileDialogService::setSaveRunner({});
        m_env.reset();
    }

    void enterInTheCompletionList()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        visitByTyping(main.get(), "/a");
        visitByTyping(main.get(), "/b");
        VisitRecorder::instance()->flush();

        // An address from the history: the list opens, one Enter loads the text typed.
        QLineEdit *box = clearedAddressBox(main.get());
        type(box, url("/a"));
        QVERIFY(completionShown(box));
        const int hits = m_server.requestCount(QStringLiteral("/a"));
        pressInBox(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        QVERIFY(!box->completer()->popup()->isVisible());
        QCOMPARE(m_server.requestCount(QStringLiteral("/a")), hits + 1);
        QCOMPARE(main->dsMain()->documentCount(), 2);

        // A suggestion picked with the arrows is the one loaded.
        box = clearedAddressBox(main.get());
        type(box, QStringLiteral("127.0.0.1"));
        QVERIFY(completionShown(box));
        pressInBox(box, Qt::Key_Down);
        const QString picked = box->text();
        QVERIFY(picked.startsWith(QStringLiteral("http://127.0.0.1")));
        pressInBox(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, picked));

        // Ctrl+Enter with the list open: exactly one new tab.
        box = clearedAddressBox(main.get());
        type(box, url("/b"));
        QVERIFY(completionShown(box));
        pressInBox(box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, url("/b")));
        QCOMPARE(tabAt(main.get(), 1)->wb1()->LocationURL(), picked);
        shutDown(main);
    }

    void suggestionsFromFavoritesHistoryAndSearch()
    {
        // A favorite found only by its page's META words, a visited page,
        // and a search engine in the configuration.
        const QString sep = QStringLiteral(">\u00A4<");
        QVERIFY(FavoritesStore::save(
            m_env->programDir() + QStringLiteral("/_data/_favorites.dat"),
            {QStringLiteral("Garden") + sep + url("/a") + sep + QStringLiteral("roses, Pruning tips"),
             QStringLiteral("Kitchen") + sep + url("/link") + sep + QStringLiteral("soup")}));
        QFile config(m_env->programDir() + QStringLiteral("/_config.dat"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[Search]\r\nCount=1\r\nText1=Local\r\nUrl1=" + url("/search?q=<%search%>").toUtf8() + "\r\n");
        config.close();
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        visitByTyping(main.get(), "/b");
        VisitRecorder::instance()->flush();
        QAbstractItemView *popup = main->dsMain()->addressBox()->completer()->popup();
        const auto rows = [popup] {
            QStringList texts;
            for (int i = 0; i < popup->model()->rowCount(); ++i)
                texts.append(popup->model()->index(i, 0).data().toString());
            return texts;
        };

        // The keyword lists the favorite first, the search last; Down and Enter open it.
        QLineEdit *box = clearedAddressBox(main.get());
        type(box, QStringLiteral("pruning"));
        QVERIFY(completionShown(box));
        QCOMPARE(rows(), QStringList({QStringLiteral("Garden"), QStringLiteral("Search Local for pruning")}));
        pressInBox(box, Qt::Key_Down);
        QCOMPARE(box->text(), url("/a"));
        pressInBox(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        QCOMPARE(main->dsMain()->documentCount(), 2);

        // Favorites before visited pages, a page visited since the list
        // was read among them once; a click on a row opens it.
        visitByTyping(main.get(), "/text");
        VisitRecorder::instance()->flush();
        box = clearedAddressBox(main.get());
        type(box, QStringLiteral("127.0.0.1"));
        QVERIFY(completionShown(box));
        const QStringList listed = rows();
        QCOMPARE(listed.mid(0, 3),
                 QStringList({QStringLiteral("Garden"), QStringLiteral("Kitchen"), QStringLiteral("Text")}));
        QCOMPARE(listed.count(QStringLiteral("Page B")), 1);
        QVERIFY(!listed.last().startsWith(QStringLiteral("Search"))); // an address is not searched
        const QModelIndex pageB = popup->model()->index(int(listed.indexOf(QStringLiteral("Page B"))), 0);
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(pageB).center());
        QVERIFY(waitLoaded(main.get(), 1, url("/b")));

        // A page removed from the history is no longer suggested.
        VisitRecorder::instance()->flush();
        QVERIFY(UrlHistoryStore().deleteUrl(url("/b"), 0));
        box = clearedAddressBox(main.get());
        type(box, QStringLiteral("127.0.0.1"));
        QVERIFY(completionShown(box));
        QVERIFY(!rows().contains(QStringLiteral("Page B")));

        // Words that match nothing: Enter searches them with the first engine.
        box = clearedAddressBox(main.get());
        type(box, QStringLiteral("no such words"));
        QVERIFY(completionShown(box));
        QCOMPARE(rows(), QStringList({QStringLiteral("Search Local for no such words")}));
        pressInBox(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, url("/search?q=") + QStringLiteral("no%20such%20words")));
        shutDown(main);
    }

    void favoritesFoundByTheirPagesWords()
    {
        // Two favorites whose words are in their page only, and a damaged
        // page text index from before.
        const QString sep = QStringLiteral(">\u00A4<");
        const QString store = m_env->programDir() + QStringLiteral("/_data/_favorites.dat");
        QVERIFY(FavoritesStore::save(
            store,
            {QStringLiteral("Quiet page") + sep + url("/words"), QStringLiteral("Unread") + sep + url("/unread")}));
        const QString indexFile = PageTextIndex::fileFor(store);
        QFile damaged(indexFile);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(8192, '\x5a'));
        damaged.close();
        const auto found = [indexFile](const char *words) {
            PageTextIndex index(indexFile);
            QStringList urls;
            for (const auto &hit : index.search(QString::fromLatin1(words), 10).value_or(QList<PageTextIndex::Hit>()))
                urls.append(hit.url);
            return urls;
        };
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        QAbstractItemView *popup = main->dsMain()->addressBox()->completer()->popup();

        // A visit keeps what the page shows (its script's text too, not the hidden).
        visitByTyping(main.get(), "/words");
        QTRY_COMPARE_WITH_TIMEOUT(found("quokkaberry"), QStringList({url("/words")}), kTimeout);
        QVERIFY(found("hiddenword").isEmpty());
        QVERIFY(QFileInfo::exists(indexFile + QStringLiteral(".damaged")));
        QCOMPARE(int(QFileInfo(indexFile).permissions() & 0x0077), 0);

        // A word of the page (as a prefix) offers the favorite with a snippet; Down and Enter open it.
        visitByTyping(main.get(), "/a");
        QLineEdit *box = clearedAddressBox(main.get());
        type(box, QStringLiteral("zephyr"));
        QVERIFY(completionShown(box));
        const QModelIndex first = popup->model()->index(0, 0);
        QCOMPARE(first.data().toString(), QStringLiteral("Quiet page"));
        QVERIFY(first.data(Qt::UserRole + 4).toString().contains(QStringLiteral("zephyrine")));
        pressInBox(box, Qt::Key_Down);
        pressInBox(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, url("/words")));

        // The favorites tab's filter lists it too, marked as found in the text.
        clickTab(main.get(), 2);
        auto *favorites = qobject_cast<Form9 *>(main->dsMain()->document(2)->hostedForm());
        QVERIFY(favorites);
        QTest::mouseClick(favorites->Text1(), Qt::LeftButton);
        QTest::keyClicks(favorites->Text1(), QStringLiteral("marmalade"));
        QTRY_COMPARE_WITH_TIMEOUT(favorites->List1().ListCount(), 1, kTimeout);
        QCOMPARE(favorites->List1().ItemUrl(0), url("/words"));

        // A page never visited is read in the background, and then found.
        QVERIFY(found("xylograph").isEmpty());
        clickTab(main.get(), 1);
        CommandPages::run(main.get(), "mnuReadPages");
        QVERIFY(QTest::qWaitFor(
            [&] { return tabAt(main.get(), 1)->statusText() == QStringLiteral("Favorites' pages read: 1 of 1"); },
            kTimeout));
        QTRY_COMPARE_WITH_TIMEOUT(found("xylograph"), QStringList({url("/unread")}), kTimeout);
        QCOMPARE(main->dsMain()->documentCount(), 2); // no tab showed it

        // "Clear page text" in the settings: the words find nothing any more.
        ModalInput::whenShown([](QWidget *dialog) {
            auto *clear = dialog->findChild<QAbstractButton *>(QStringLiteral("ClearPageText"));
            QTest::mouseClick(clear, Qt::LeftButton);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        CommandPages::run(main.get(), "mnuSettings");
        QVERIFY(found("xylograph").isEmpty());
        QVERIFY(found("zephyrine").isEmpty());
        box = clearedAddressBox(main.get());
        type(box, QStringLiteral("zephyrine"));
        const auto *completer = qobject_cast<AddressCompleter *>(box->completer());
        QVERIFY(QTest::qWaitFor([completer] { return !completer->answerPending(); }, kTimeout));
        QCOMPARE(popup->model()->rowCount(), 0);
        shutDown(main);
    }

    void backAndNextFollowTheActiveTab()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        QVERIFY(backForwardAre(main.get(), false, false));
        visitByTyping(main.get(), "/a");
        QVERIFY(backForwardAre(main.get(), true, false));
        clickCommand(main.get(), "mnuBack1");
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        QVERIFY(backForwardAre(main.get(), false, true));

        // A fresh tab has been nowhere: neither, and nothing inherited.
        clickCommand(main.get(), "mnuNew");
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, url("/home")));
        QVERIFY(backForwardAre(main.get(), false, false));

        // Back to the first tab by the mouse: its own state again.
        clickTab(main.get(), 1);
        QCOMPARE(mdlAplication::ActiveTabPosition(main->dsMain()), 1);
        QVERIFY(backForwardAre(main.get(), false, true));
        clickTab(main.get(), 2); // the favorites tab has no page
        QVERIFY(backForwardAre(main.get(), false, false));
        clickTab(main.get(), 1);
        QVERIFY(backForwardAre(main.get(), false, true));
        clickCommand(main.get(), "mnuNext1");
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        QVERIFY(backForwardAre(main.get(), true, false));
        shutDown(main);
    }

    void tabCaptionsStayReadable()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        main->resize(640, 480);
        for (int i = 0; i < 9; ++i) {
            clickCommand(main.get(), "mnuNew");
            QVERIFY(waitLoaded(main.get(), 3 + i, url("/home")));
        }
        QCOMPARE(main->dsMain()->documentCount(), 11);
        visitByTyping(main.get(), "/long");
        visitByTyping(main.get(), "/untitled");
        QTabBar *bar = main->dsMain()->tabs()->tabBar();
        // Every caption is drawn whole; the bar scrolls rather than cut them.
        for (int i = 0; i < bar->count(); ++i) {
            const int needed = bar->fontMetrics().horizontalAdvance(bar->tabText(i));
            QVERIFY2(bar->tabRect(i).width() >= needed, qPrintable(bar->tabText(i)));
        }
        QCOMPARE(bar->tabText(1), QStringLiteral(" Favorites "));
        // A page without a title: an empty caption, and " Tab - " once the
        // tab is brought to the front; never the host in its place.
        QCOMPARE(bar->tabText(10), QStringLiteral("  "));
        clickTab(main.get(), 1);
        QCOMPARE(bar->tabText(10), QStringLiteral("  "));
        QCOMPARE(bar->tabToolTip(10), url("/untitled"));
        clickTab(main.get(), 11);
        QCOMPARE(bar->tabText(10), QStringLiteral("  Tab -  "));
        visitByTyping(main.get(), "/long");
        QTRY_COMPARE_WITH_TIMEOUT(bar->tabToolTip(10), QStringLiteral("A page title of well over fifteen characters"),
                                  kTimeout);
        QCOMPARE(bar->tabText(10), QStringLiteral(" A page title of... "));
        shutDown(main);
    }

    void findBarLeavesThePageWhole()
    {
        auto main = start();
        visitByTyping(main.get(), "/text");
        Form2 *tab = tabAt(main.get(), 1);
        BrowserControl *browser = tab->wb1();
        QWidget *page = browser->view()->focusProxy();
        QVERIFY(page);
        QTest::mouseClick(page, Qt::LeftButton, {}, page->rect().center());
        QTest::keyClick(page, Qt::Key_F, Qt::ControlModifier);
        QLineEdit *find = tab->findBar()->box();
        QTRY_VERIFY_WITH_TIMEOUT(find->isVisible(), kTimeout);
        QWidget *findBar = find->parentWidget();
        const QRect view = browser->view()->geometry();
        QCOMPARE(view.top(), 0);
        QCOMPARE(view.bottom() + 1, findBar->geometry().top());
        QCOMPARE(findBar->geometry().bottom(), browser->height() - 1);
        QVERIFY(findBar->height() < browser->height() / 4);
        QTest::keyClick(find, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!findBar->isVisible(), kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(browser->view()->height(), browser->height(), kTimeout);
        shutDown(main);
    }

    void stoppedAndDownloadedLoadsAreNoFailures()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        Form2 *tab = tabAt(main.get(), 1);
        // Stopped by the user.
        QLineEdit *box = clearedAddressBox(main.get());
        type(box, url("/never"));
        pressInBox(box, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(tab->wb1()->Busy(), kTimeout);
        clickCommand(main.get(), "mnuStop");
        QTRY_VERIFY_WITH_TIMEOUT(!tab->wb1()->Busy(), kTimeout);
        QCOMPARE(tab->statusText(), QStringLiteral("Done"));

        // A link that starts a download (declined in the save dialog).
        int asked = 0;
        FileDialogService::setSaveRunner([&](QWidget *, const QString &, const QString &) {
            ++asked;
            return QString();
        });
        visitByTyping(main.get(), "/getfile");
        QWidget *page = tab->wb1()->view()->focusProxy();
        QTest::mouseClick(page, Qt::LeftButton, {}, page->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(asked, 1, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->wb1()->Busy(), kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(tab->statusText(), QStringLiteral("Done"), kTimeout);
        QCOMPARE(tab->wb1()->LocationURL(), url("/getfile"));

        // A page that cannot be had still says so.
        type(clearedAddressBox(main.get()), QStringLiteral("http://127.0.0.1:1/"));
        pressInBox(main->dsMain()->addressBox(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(tab->statusText(), QStringLiteral("Page could not be loaded"), kTimeout);
        shutDown(main);
    }

    void homeFollowsTheSettings()
    {
        QCOMPARE(CommandDispatcher::homeAddress(QString(), QStringLiteral(" http://set.test/ ")),
                 QStringLiteral("http://set.test/"));
        QCOMPARE(
            CommandDispatcher::homeAddress(QStringLiteral("http://start.test/"), QStringLiteral("http://set.test/")),
            QStringLiteral("http://start.test/"));
        QCOMPARE(CommandDispatcher::homeAddress(QString(), QString()), QStringLiteral("about:blank"));
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        visitByTyping(main.get(), "/a");
        clickCommand(main.get(), "mnuHome");
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        shutDown(main);
    }

    void usersOwnNewTabsPassPopupStop()
    {
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AllowPopup"), QStringLiteral("1"));
        auto main = start();
        QVERIFY(main->PopStopCommand()->isChecked());
        visitByTyping(main.get(), "/link");
        QWidget *page = tabAt(main.get(), 1)->wb1()->view()->focusProxy();
        const QPoint centre = page->rect().center();

        // "Open link in new tab" from the page's menu, clicked with the mouse.
        QTest::mouseClick(page, Qt::RightButton, {}, centre);
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), kTimeout);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QAction *entry = nullptr;
        for (QAction *a : menu->actions()) {
            if (a->text().contains(QStringLiteral("new tab"), Qt::CaseInsensitive))
                entry = a;
        }
        QVERIFY(entry);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        QTRY_COMPARE_WITH_TIMEOUT(main->dsMain()->documentCount(), 3, kTimeout);
        QVERIFY(waitLoaded(main.get(), 3, url("/b")));
        clickTab(main.get(), 1);

        QTest::mouseClick(page, Qt::MiddleButton, {}, centre);
        QTRY_COMPARE_WITH_TIMEOUT(main->dsMain()->documentCount(), 4, kTimeout);
        QVERIFY(waitLoaded(main.get(), 4, url("/b")));

        clickTab(main.get(), 1);
        QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, centre);
        QTRY_COMPARE_WITH_TIMEOUT(main->dsMain()->documentCount(), 5, kTimeout);
        QVERIFY(waitLoaded(main.get(), 5, url("/b")));

        // A page's own new window stays stopped; with Shift it goes through.
        clickTab(main.get(), 1);
        visitByTyping(main.get(), "/blank");
        QSignalSpy decided(main.get(), &Form1::popupDecided);
        QTest::mouseClick(page, Qt::LeftButton, {}, centre);
        QTRY_COMPARE_WITH_TIMEOUT(decided.size(), 1, kTimeout);
        QCOMPARE(decided.at(0).at(1).toBool(), false);
        QCOMPARE(main->dsMain()->documentCount(), 5);
        shutDown(main);
    }

    void addingAFavoriteOfATabClosedMeanwhile()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        QLineEdit *box = clearedAddressBox(main.get());
        type(box, url("/busy"));
        pressInBox(box, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(waitLoaded(main.get(), 3, url("/busy")));
        QCOMPARE(mdlAplication::ActiveTabPosition(main->dsMain()), 3);
        // The page's script keeps it from answering; the tab is closed (a
        // middle click on it) while the favorite waits for its keywords.
        QTabBar *bar = main->dsMain()->tabs()->tabBar();
        QTimer::singleShot(500, bar, [bar] { QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(2).center()); });
        // The window goes on meanwhile: the click on the tab is handled.
        clickCommand(main.get(), "mnuFav");
        QTRY_COMPARE(main->dsMain()->documentCount(), 2);
        QTRY_COMPARE(FavoritesStore::load(programState().FavoritesFile).size(), 1);
        const QStringList stored = FavoritesStore::load(programState().FavoritesFile);
        const QString sep = FavoritesStore::kFieldSeparator;
        QCOMPARE(stored.first(), QStringLiteral("Busy") + sep + url("/busy") + sep + QStringLiteral("no keywords"));
        shutDown(main);
    }

    void freshProgramFolderGetsItsDataFolder()
    {
        QVERIFY(QDir(m_env->programDir() + QStringLiteral("/_data")).removeRecursively());
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        visitByTyping(main.get(), "/a");
        clickCommand(main.get(), "mnuFav");
        QTRY_COMPARE(FavoritesStore::load(m_env->programDir() + QStringLiteral("/_data/_favorites.dat")).size(), 1);
        // Pressed again: the store takes it twice, and the count says what is listed.
        clickCommand(main.get(), "mnuFav");
        auto *favorites = qobject_cast<Form9 *>(main->dsMain()->document(2)->hostedForm());
        QTRY_COMPARE(favorites->List1().ListCount(), 2);
        QCOMPARE(favorites->countText(), QStringLiteral("Z\u00e1znamov : 2"));
        QFileInfo folder(m_env->programDir() + QStringLiteral("/_data"));
        QCOMPARE(int(folder.permissions() & 0x0077), 0); // nothing for group or others
        QVERIFY(folder.permissions() & QFile::WriteOwner);
        shutDown(main);
        QCOMPARE(loaded(QStringLiteral("Loaded URL"), QStringLiteral("URL_1")), url("/a"));
    }

private:
    TestHttpServer m_server;
    std::unique_ptr<TestEnvironment> m_env;
};

QUILLON_WEB_TEST_MAIN(TestDailyPath)

#include "tst_dailypath.moc"
