// The open pages across a session: stored counts that hang nothing,
// thousands of restored tabs, and nothing lost at exit. A process of its
// own: closing a window with pages still loading keeps the engine busy for
// a while, which would hold up the tests after it.
#include "browserfixture.h"
#include "platform/addressbox.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"
#include "platform/filedialogservice.h"
#include "app/mainwindow/mainwindow.h"
#include "app/browser/browsertab.h"
#include "app/browser/downloadswindow.h"
#include "app/mainwindow/mainrules.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlregistry.h"
#include "app/settings/programstate.h"
#include "engine/browserprofile.h"
#include "engine/firstpagestart.h"
#include "engine/localcontentguard.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "testpages.h"
#include "testhttpserver.h"
#include "webtestmain.h"

#include <QAction>
#include <QDirIterator>
#include <QApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace mdlRegistry;
using namespace BrowserFixture;
using TestPages::page;

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // A server of its own for each test: connections the engine still
        // holds from the test before cannot delay this one.
        m_server = std::make_unique<TestHttpServer>();
        QVERIFY(m_server->listen());
        m_server->setPage(QStringLiteral("/home"), page("Home Page"));
        m_server->setPage(QStringLiteral("/a"), page("Page A"));
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(QDir().mkpath(m_env->programDir() + QStringLiteral("/_data")));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"),
                         m_server->url(QStringLiteral("/home")));
    }
    void cleanup()
    {
        m_env.reset();
        m_server.reset();
    }

    void hugeStoredCountsStartAtOnce()
    {
        const QString loadedFile = m_env->programDir() + QStringLiteral("/_data/_loaded.dat");
        QFile loaded(loadedFile);
        QVERIFY(loaded.open(QIODevice::WriteOnly));
        loaded.write("[Global]\r\nCount=2147483647\r\n[Loaded URL]\r\nURL_3="
                     + m_server->url(QStringLiteral("/a")).toUtf8() + "\r\n");
        loaded.close();
        QFile config(m_env->programDir() + QStringLiteral("/_config.dat"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("[Search]\r\nCount=2147483647\r\nText1=One\r\nUrl1=http://127.0.0.1:1/?q=<%search%>\r\n");
        config.close();
        QElapsedTimer clock;
        clock.start();
        auto main = start();
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QTabBar *bar = main->dsMain()->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/a"))));
        shutDown(main);
    }

    void manyRestoredPagesLoadOnlyWhenShown()
    {
        QByteArray text = "[Global]\r\nCount=2001\r\n[Loaded URL]\r\n";
        for (int n = 3; n <= 2001; ++n)
            text +=
                "URL_" + QByteArray::number(n) + "=" + m_server->url(QStringLiteral("/a?%1").arg(n)).toUtf8() + "\r\n";
        QFile loaded(m_env->programDir() + QStringLiteral("/_data/_loaded.dat"));
        QVERIFY(loaded.open(QIODevice::WriteOnly));
        loaded.write(text);
        loaded.close();
        QElapsedTimer clock;
        clock.start();
        programState() = ProgramState{};
        auto main = std::make_unique<Form1>();
        main->load();
        // The home page is on screen first; the saved tabs join it after,
        // a few at a time, with the tab bar held back until all are in.
        QVERIFY(QTest::qWaitFor(
            [&] {
                const DocumentWindow *home = main->dsMain()->document(1);
                return home && home->hostedForm() && home->hostedForm()->isVisible();
            },
            kTimeout));
        QVERIFY2(main->dsMain()->documentCount() < 2001, "the home page waited for the whole session");
        QVERIFY(!main->isLoaded());
        QVERIFY(!main->dsMain()->tabs()->tabBar()->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return main->isLoaded(); }, 60000));
        QVERIFY(main->dsMain()->tabs()->tabBar()->isVisible());
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        qInfo() << "2,001 tabs restored and the home page loaded in" << clock.elapsed() << "ms";
        QVERIFY2(clock.elapsed() < 60000, "a hang guard, not a speed goal");
        QCOMPARE(main->dsMain()->documentCount(), 2001);
        QCOMPARE(m_server->requestCount(QStringLiteral("/a")), 0); // nothing loaded behind the front tab
        QVERIFY(tabAt(main.get(), 2001)->loadPending());
        main->dsMain()->document(2001)->activate();
        QVERIFY(waitLoaded(main.get(), 2001, m_server->url(QStringLiteral("/a?2001"))));
        QCOMPARE(m_server->requestCount(QStringLiteral("/a")), 1);
        clock.restart();
        shutDown(main);
        qInfo() << "2,001 tabs closed in" << clock.elapsed() << "ms";
        // Exit kept every page, loaded or not.
        QCOMPARE(MainRules::pagesToReopen(m_env->programDir() + QStringLiteral("/_data/_loaded.dat")).size(), 1999);
    }

    // Started for a page (a link opened from another program): that page is
    // the one requested and shown first, after the two fixed tabs and ahead
    // of the last session's pages; the home tab loads once the user goes to it.
    void startedForAPageShowsItFirst()
    {
        m_server->setPage(QStringLiteral("/b"), page("Page B"));
        const QString loadedFile = m_env->programDir() + QStringLiteral("/_data/_loaded.dat");
        QVERIFY(TestFiles::writeAll(
            loadedFile,
            "[Global]\r\nCount=3\r\n[Loaded URL]\r\nURL_3=" + m_server->url(QStringLiteral("/a")).toUtf8() + "\r\n"));
        programState() = ProgramState{};
        // As the program starts: the page's load first, then, once its
        // request is out, the window, whose tab takes that load over rather
        // than asking again, and shows it under way.
        const int before = BrowserProfile::requestGuard()->pageRequests();
        auto early = std::make_unique<FirstPageStart>(QUrl(m_server->url(QStringLiteral("/b"))));
        QSignalSpy requested(BrowserProfile::requestGuard(), &LocalContentGuard::pageRequested);
        QVERIFY(requested.wait(kTimeout));
        auto main = std::make_unique<Form1>();
        main->load(m_server->url(QStringLiteral("/b")), before);
        early->end();
        QVERIFY(early->taken());
        // Not a way past a certificate error, which the window's control
        // refuses unless clicked: the early page's navigation goes unheard.
        QVERIFY(!FirstPageStart::worthStarting(QUrl(QStringLiteral("https://127.0.0.1/#quillon-continue-1"))));
        Form2 *front = qobject_cast<Form2 *>(main->ActiveTabForm());
        QVERIFY(front && front->wb1()->Busy());
        QVERIFY2(front->statusText().startsWith(QStringLiteral("Opening page")), qPrintable(front->statusText()));
        QVERIFY(QTest::qWaitFor([&] { return main->isLoaded(); }, kTimeout));
        QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/b"))));
        QCOMPARE(m_server->requestCount(QStringLiteral("/b")), 1);
        QCOMPARE(main->dsMain()->activeDocument(), main->dsMain()->document(3));
        QCOMPARE(main->dsMain()->addressBox()->text(), m_server->url(QStringLiteral("/b")));
        QCOMPARE(main->dsMain()->documentCount(), 4);
        QCOMPARE(m_server->requestCount(QStringLiteral("/home")), 0);
        QVERIFY(!tabAt(main.get(), 1)->wb1()->existingPage());
        QCOMPARE(MainRules::pagesToReopen(loadedFile),
                 (QStringList{m_server->url(QStringLiteral("/b")), m_server->url(QStringLiteral("/a"))}));
        QTabBar *bar = main->dsMain()->tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        QCOMPARE(m_server->requestCount(QStringLiteral("/a")), 0);
        shutDown(main);

        // Without a home page the home tab makes no page either (not even
        // an empty one) until it is shown.
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"), QString());
        programState() = ProgramState{};
        main = std::make_unique<Form1>();
        main->load(m_server->url(QStringLiteral("/b")));
        QVERIFY(QTest::qWaitFor([&] { return main->isLoaded(); }, kTimeout));
        QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/b"))));
        QVERIFY(!tabAt(main.get(), 1)->wb1()->existingPage());
        shutDown(main);
    }

    // A restart gives each tab back its page, its name and its back/forward
    // list; a damaged list file costs the lists only. A home page that is
    // there at once never overwrites the session before it is read.
    void restartBringsBackEachTab()
    {
        m_server->setPage(QStringLiteral("/b"), page("Page B"));
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        mdlAplication::OpenBrowserTab(*main->tabs(), m_server->url(QStringLiteral("/a")));
        QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/a"))));
        tabAt(main.get(), 3)->wb1()->Navigate(m_server->url(QStringLiteral("/b")));
        QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/b"))));
        mdlAplication::OpenBrowserTab(*main->tabs(), m_server->url(QStringLiteral("/a?2")));
        QVERIFY(waitLoaded(main.get(), 4, m_server->url(QStringLiteral("/a?2"))));
        shutDown(main);

        const QString homeFile = m_env->programDir() + QStringLiteral("/home.html");
        QFile home(homeFile);
        QVERIFY(home.open(QIODevice::WriteOnly) && home.write("<title>Local</title>") > 0);
        home.close();
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"),
                         QUrl::fromLocalFile(homeFile).toString());
        const QString historyFile = m_env->programDir() + QStringLiteral("/_data/_tabhistory.dat");
        QVERIFY(QFile::exists(historyFile));
        for (const bool damaged : {false, true}) {
            if (damaged) {
                QFile file(historyFile);
                QVERIFY(file.open(QIODevice::ReadWrite));
                file.seek(file.size() / 2);
                file.write("\xff\xff\xff\xff garbage");
            }
            main = start();
            QCOMPARE(main->dsMain()->documentCount(), 4);
            QCOMPARE(main->dsMain()->document(3)->caption(), QStringLiteral(" Page B "));
            QCOMPARE(main->dsMain()->document(4)->caption(), QStringLiteral(" Page A "));
            QCOMPARE(mdlAplication::ActiveTabPosition(main->dsMain()), 1);
            QTabBar *bar = main->dsMain()->tabs()->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
            QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/b"))));
            QAction *back = main->dsMain()->command(QStringLiteral("mnuBack"));
            QTRY_COMPARE_WITH_TIMEOUT(back->isEnabled(), !damaged, kTimeout);
            if (!damaged) {
                QTest::keyClick(main->windowHandle(), Qt::Key_Left, Qt::AltModifier);
                QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/a"))));
                QTest::keyClick(main->windowHandle(), Qt::Key_Right, Qt::AltModifier);
                QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/b"))));
            }
            shutDown(main);
        }
    }

    // Last, for the reason above.
    void exitListsEveryOpenPage()
    {
        // Pages that never arrive come from a server of their own: the engine
        // keeps only a few connections to one server, and they would block the rest.
        TestHttpServer stalls;
        QVERIFY(stalls.listen());
        stalls.setPage(QStringLiteral("/stall"), QByteArray(), 0);
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        QStringList expected{m_server->url(QStringLiteral("/home")), QString()};
        for (int i = 0; i < 40; ++i) {
            // Half still loading at exit, half completing while the window closes.
            const QString url =
                i % 2 ? stalls.url(QStringLiteral("/stall?%1").arg(i)) : m_server->url(QStringLiteral("/a?%1").arg(i));
            mdlAplication::OpenBrowserTab(*main->tabs(), url);
            expected.append(url);
        }
        QCOMPARE(main->dsMain()->documentCount(), 42);
        main->dsMain()->command(QStringLiteral("mnuExit"))->trigger();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        const QString file = m_env->programDir() + QStringLiteral("/_data/_loaded.dat");
        QCOMPARE(mdlIniControl::ReadIniValue(file, QStringLiteral("Global"), QStringLiteral("Count")),
                 QStringLiteral("42"));
        for (int position = 3; position <= 42; ++position)
            QCOMPARE(
                mdlIniControl::ReadIniValue(file, QStringLiteral("Loaded URL"), QStringLiteral("URL_%1").arg(position)),
                expected.at(position - 1));
        QCOMPARE(MainRules::pagesToReopen(file), expected.mid(2));
    }

    // Ctrl+Shift+P opens a private tab, marked on its tab and in the address
    // box. Its page's address, cookie and stored data are in no file the
    // browser keeps after the tab and the window closed, though an ordinary
    // tab's page is; and it is not reopened at the next start.
    void privateTabLeavesNothing()
    {
        const QByteArray script = "<script>document.cookie='zq=cookie-%1; max-age=99999';"
                                  "localStorage.setItem('zq','storage-%1');</script>";
        m_server->setPage(QStringLiteral("/ordinary-zq"),
                          page("Ordinary", QByteArray(script).replace("%1", "ordinary")));
        m_server->setPage(QStringLiteral("/secret-zq"), page("Secret", QByteArray(script).replace("%1", "secret")));
        m_server->setDownload(QStringLiteral("/secret-zq-file"), "downloaded bytes", "report.bin");
        // A download of the private tab goes where the user says (outside
        // the browser's folders) and leaves no trace of its address.
        QTemporaryDir elsewhere;
        QString saved = elsewhere.filePath(QStringLiteral("report.bin"));
        FileDialogService::setSaveRunner([&saved](QWidget *, const QString &, const QString &) { return saved; });
        const auto restore = qScopeGuard([] { FileDialogService::setSaveRunner({}); });
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        mdlAplication::OpenBrowserTab(*main->tabs(), m_server->url(QStringLiteral("/ordinary-zq")));
        QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/ordinary-zq"))));

        QTest::keyClick(main.get(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(main->dsMain()->documentCount(), 4);
        auto *tab = qobject_cast<Form2 *>(main->dsMain()->document(4)->hostedForm());
        QVERIFY(tab && tab->isPrivate());
        QVERIFY(!main->dsMain()->document(4)->icon().isNull());
        QAction *mark = main->dsMain()->addressBox()->findChild<QAction *>(QStringLiteral("PrivateMark"));
        QVERIFY(mark && mark->isVisible());
        AddressBox *box = main->dsMain()->addressBox();
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClicks(box, m_server->url(QStringLiteral("/secret-zq")));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 4, m_server->url(QStringLiteral("/secret-zq"))));
        tab->wb1()->Navigate(m_server->url(QStringLiteral("/secret-zq-file")));
        QTRY_COMPARE_WITH_TIMEOUT(TestFiles::readAll(saved), QByteArray("downloaded bytes"), kTimeout);
        // The downloads window that showed it is closed, as a user would.
        DownloadsWindow *list = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((list = main->findChild<DownloadsWindow *>()) && list->isVisible(), kTimeout);
        list->close();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        main->dsMain()->document(3)->activate();
        QTRY_VERIFY(!mark->isVisible());
        main->dsMain()->document(4)->activate();
        QTRY_VERIFY(mark->isVisible());
        QTest::keyClick(main.get(), Qt::Key_W, Qt::ControlModifier);
        QTRY_COMPARE(main->dsMain()->documentCount(), 3);
        main->dsMain()->command(QStringLiteral("mnuExit"))->trigger();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Every file under the test's folders (program folder, platform
        // root with the engine's storage and cache, home).
        const auto found = [this](const QByteArray &needle) {
            QStringList in;
            QDirIterator files(m_env->root(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile f(files.next());
                if (f.open(QIODevice::ReadOnly)
                    && (f.readAll().contains(needle) || f.fileName().contains(QString::fromLatin1(needle))))
                    in.append(f.fileName());
            }
            return in;
        };
        QTRY_VERIFY_WITH_TIMEOUT(!found("ordinary-zq").isEmpty(), 10000); // the search sees what is kept
        QCOMPARE(found("secret-zq"), QStringList());
        QCOMPARE(found("cookie-secret"), QStringList());
        QCOMPARE(found("storage-secret"), QStringList());

        QCOMPARE(MainRules::pagesToReopen(m_env->programDir() + QStringLiteral("/_data/_loaded.dat")),
                 QStringList{m_server->url(QStringLiteral("/ordinary-zq"))});
    }

private:
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<TestEnvironment> m_env;
};

QUILLON_WEB_TEST_MAIN(TestSession)

#include "tst_session.moc"
