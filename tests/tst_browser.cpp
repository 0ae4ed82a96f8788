#include "engine/browsercontrol.h"
#include "engine/pagefullscreen.h"
#include "engine/browserpage.h"
#include "app/settings/clslayout.h"
#include "engine/metareader.h"
#include "quillon_version.h"
#include "platform/twips.h"
#include "platform/dockframe.h"
#include "platform/dockpane.h"
#include "platform/documentwindow.h"
#include "app/mainwindow/mainwindow.h"
#include "app/browser/browsertab.h"
#include "app/panes/helppane.h"
#include "app/panes/favoritestab.h"
#include "platform/graphicsmode.h"
#include "app/mainwindow/keyrecorder.h"
#include "app/mainwindow/mainrules.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlinicontrol.h"
#include "app/settings/mdlregistry.h"
#include "app/settings/programstate.h"
#include "browserfixture.h"
#include "testenvironment.h"
#include "testpages.h"
#include "testfiles.h"
#include "engine/browserprofile.h"
#include "platform/filedialogservice.h"
#include "modalinput.h"
#include "secretservice.h"
#include "fakenotifications.h"
#include "app/settings/sitepermissions.h"
#include "app/browser/signindialog.h"
#include "app/browser/signinrules.h"
#include "platform/secretstore.h"
#include "webtestmain.h"
#include "testhttpserver.h"
#include "platform/urlhistorystore.h"
#include "engine/visitrecorder.h"

#include <QAction>
#include <QApplication>
#include <QWebEngineProfile>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QDockWidget>
#include <QGuiApplication>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QSignalSpy>
#include <QWebEngineView>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <optional>
#include <QCompleter>
#include <QWebEnginePage>

using namespace mdlRegistry;

using namespace BrowserFixture;
using TestPages::page;

namespace {

// Whether a restored tab was first drawn before its page was made: the
// engine's page is a pause of its own, which must come after the click's
// answer is on screen, not before.
class FirstPaintWatch : public QObject
{
public:
    explicit FirstPaintWatch(Form2 *tab)
        : m_tab(tab)
    {
        qApp->installEventFilter(this);
    }
    std::optional<bool> drawnWithoutPage;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!drawnWithoutPage && event->type() == QEvent::Paint && watched->isWidgetType()
            && (watched == m_tab || m_tab->isAncestorOf(static_cast<QWidget *>(watched))))
            drawnWithoutPage = !m_tab->wb1()->existingPage();
        return false;
    }

private:
    Form2 *m_tab;
};

// Answers the sign-in dialogs as they come, in order, with real keys:
// user name and password, then Enter; Esc for a null user. Each
// dialog's prompt and whether "Remember" could be ticked are kept.
struct SignInSeen {
    QStringList prompts;
    QList<bool> rememberEnabled;
    bool tickRemember = false;
};
void answerSignIns(QList<std::pair<QString, QString>> answers, SignInSeen *seen)
{
    if (answers.isEmpty())
        return;
    ModalInput::whenShown([answers, seen](QWidget *w) mutable {
        auto *dialog = qobject_cast<SignInDialog *>(w);
        if (!dialog) {
            w->close();
            return;
        }
        seen->prompts.append(dialog->promptText());
        seen->rememberEnabled.append(dialog->rememberBox()->isEnabled());
        const auto [user, password] = answers.takeFirst();
        if (user.isNull()) {
            QTest::keyClick(dialog->userBox(), Qt::Key_Escape);
        } else {
            retype(dialog->userBox(), user);
            retype(dialog->passwordBox(), password);
            if (seen->tickRemember && !dialog->rememberBox()->isChecked())
                QTest::mouseClick(dialog->rememberBox(), Qt::LeftButton, {},
                                  QPoint(4, dialog->rememberBox()->height() / 2));
            QTest::keyClick(dialog->passwordBox(), Qt::Key_Return);
        }
        answerSignIns(answers, seen);
    });
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Before anything asks for the session bus: the secret service the
        // sign-in's "Remember" keeps passwords in.
        m_secrets = std::make_unique<SecretService>();
        QVERIFY(m_server.listen());
        m_server.setPage(QStringLiteral("/home"), page("Home Page"));
        m_server.setPage(QStringLiteral("/a"), page("Page A"));
        m_server.setPage(QStringLiteral("/b"), page("Page B with a longer title"));
        m_server.setPage(QStringLiteral("/x"), page("x"));
        m_server.setPage(QStringLiteral("/untitled"), "<html><body>no title here</body></html>");
        // A title at once, then a picture that never comes: the load goes on.
        m_server.setPage(QStringLiteral("/coming"), page("Title came first", "<img src='/never'>"));
        m_server.setPage(QStringLiteral("/never"), {}, 0);
        m_server.setPage(QStringLiteral("/opener"),
                         page("Opener",
                              "<button id='b' style='position:fixed;left:0;top:0;width:100%;height:100%'"
                              " onclick=\"window.open('/target');document.title='clicked'\">open</button>"));
        m_server.setPage(QStringLiteral("/target"), page("Target"));
        m_server.setPage(QStringLiteral("/mover"),
                         page("Mover",
                              "<button id='b' style='position:fixed;left:0;top:0;width:100%;height:100%'"
                              " onclick=\"window.moveTo(80,90);window.resizeTo(120,130);"
                              "document.title='moved'\">move</button>"));
        // Full screen at a click; the title tells what the page saw.
        m_server.setPage(
            QStringLiteral("/fullscreen"),
            "<html><head><title>normal</title><script>"
            "var sawEscape=false;"
            "document.addEventListener('keydown',function(e){if(e.key==='Escape')sawEscape=true;});"
            "document.addEventListener('fullscreenchange',function(){document.title=document.fullscreenElement?"
            "'full':(sawEscape?'left, and the page saw Esc':'left');});"
            "</script></head><body style='margin:0'><div style='width:100%;height:400px;background:#246'"
            " onclick='this.requestFullscreen()'></div></body></html>");
        qApp->installEventFilter(&m_keys);
    }

    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(QDir().mkpath(m_env->programDir() + QStringLiteral("/_data")));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"),
                         m_server.url(QStringLiteral("/home")));
    }
    void cleanup() { m_env.reset(); }

    void restartRestoresPages()
    {
        const QString file = m_env->programDir() + QStringLiteral("/_data/_loaded.dat");
        mdlIniControl::WriteIniValue(file, QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("5"));
        mdlIniControl::WriteIniValue(file, QStringLiteral("Loaded URL"), QStringLiteral("URL_3"),
                                     m_server.url(QStringLiteral("/a")));
        mdlIniControl::WriteIniValue(file, QStringLiteral("Loaded URL"), QStringLiteral("URL_5"),
                                     m_server.url(QStringLiteral("/b")));
        QVERIFY(UrlHistoryStore().addUrl(m_server.url(QStringLiteral("/b")), QStringLiteral("Page B, visited"), 0));
        // The home page is the page in front before the window is drawn: a
        // hidden page's renderer is started at a lower priority.
        bool homeInFront = false;
        auto main = start([&homeInFront](Form1 *window) {
            homeInFront = !tabAt(window, 1)->isVisible() && tabAt(window, 1)->wb1()->existingPage()->isVisible();
        });
        QVERIFY(homeInFront);
        DockFrame *dock = main->dsMain();
        QCOMPARE(dock->documentCount(), 4);
        QVERIFY(qobject_cast<Form9 *>(dock->document(2)->hostedForm()));
        QCOMPARE(dock->document(2)->caption(), QStringLiteral(" Favorites "));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/home"))));
        // The toolbar's images, left out of the first frame, are there once the home page has loaded.
        QToolButton *back = nullptr;
        for (QToolButton *b : main->findChildren<QToolButton *>()) {
            if (b->isVisible() && b->defaultAction() && b->defaultAction()->text().contains(QStringLiteral("Back")))
                back = b;
        }
        QVERIFY(back);
        QTRY_VERIFY_WITH_TIMEOUT(!back->icon().pixmap(QSize(16, 16)).isNull(), kTimeout);
        QVERIFY(!main->windowIcon().availableSizes().isEmpty()); // the program's own, not a blank frame
        // Restored tabs load when first shown; the file lists them meanwhile.
        QVERIFY(tabAt(main.get(), 3)->loadPending() && tabAt(main.get(), 4)->loadPending());
        // Named by the title the history knows, else by the host.
        QCOMPARE(dock->document(3)->caption(), QStringLiteral(" 127.0.0.1 "));
        QCOMPARE(dock->document(4)->caption(), QStringLiteral(" Page B, visited "));
        QCOMPARE(loaded(QStringLiteral("Global"), QStringLiteral("Count")), QStringLiteral("4"));
        QCOMPARE(loaded(QStringLiteral("Loaded URL"), QStringLiteral("URL_4")), m_server.url(QStringLiteral("/b")));
        QCOMPARE(MainRules::pagesToReopen(programState().LoadedFile),
                 (QStringList{m_server.url(QStringLiteral("/a")), m_server.url(QStringLiteral("/b"))}));
        QCOMPARE(mdlAplication::ActiveTabPosition(dock), 1);
        QCOMPARE(dock->commandText(QStringLiteral("mnuAddress")), m_server.url(QStringLiteral("/home")));
        // The side bar keeps its width; only the home tab is shown, and it has the focus.
        QVERIFY(dock->pane(QStringLiteral("frmSearch"))->dock()->width() < dock->tabs()->width());
        QVERIFY(tabAt(main.get(), 1)->isVisible());
        QVERIFY(!dock->document(2)->hostedForm()->isVisible());
        QVERIFY(!tabAt(main.get(), 3)->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(tabAt(main.get(), 1)->isAncestorOf(QApplication::focusWidget()), kTimeout);
        QTabBar *bar = dock->tabs()->tabBar();
        for (int position : {3, 4}) {
            FirstPaintWatch watch(tabAt(main.get(), position));
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(position - 1).center());
            // Loaded once the tab is on screen.
            QTRY_VERIFY_WITH_TIMEOUT(!tabAt(main.get(), position)->loadPending(), kTimeout);
            QCOMPARE(watch.drawnWithoutPage, std::optional<bool>(true));
        }
        QVERIFY(waitLoaded(main.get(), 3, m_server.url(QStringLiteral("/a"))));
        QVERIFY(waitLoaded(main.get(), 4, m_server.url(QStringLiteral("/b"))));
        QTRY_COMPARE_WITH_TIMEOUT(dock->document(3)->caption(), QStringLiteral(" Page A "), kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(dock->document(4)->caption(), QStringLiteral(" Page B with a l... "), kTimeout);
        // The entries now follow the tabs as they are.
        QTRY_COMPARE_WITH_TIMEOUT(loaded(QStringLiteral("Loaded URL"), QStringLiteral("URL_4")),
                                  m_server.url(QStringLiteral("/b")), kTimeout);
        QCOMPARE(loaded(QStringLiteral("Global"), QStringLiteral("Count")), QStringLiteral("4"));
        QCOMPARE(loaded(QStringLiteral("Loaded URL"), QStringLiteral("URL_1")), m_server.url(QStringLiteral("/home")));
        shutDown(main);
    }

    void fixedTabsAndClosing()
    {
        auto main = start();
        DockFrame *dock = main->dsMain();
        mdlAplication::OpenBrowserTab(*main->tabs(), m_server.url(QStringLiteral("/a")));
        QVERIFY(waitLoaded(main.get(), 3, m_server.url(QStringLiteral("/a"))));
        QVERIFY(!dock->closeDocument(dock->document(1)));
        QVERIFY(!dock->closeDocument(dock->document(2)));
        QCOMPARE(dock->documentCount(), 3);
        QVERIFY(dock->closeDocument(dock->document(3)));
        QCOMPARE(dock->documentCount(), 2);
        QCOMPARE(loaded(QStringLiteral("Global"), QStringLiteral("Count")), QStringLiteral("2"));
        main->close();
        QCOMPARE(dock->documentCount(), 0); // shutdown closes the fixed tabs too
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void windowPlacement()
    {
        auto main = start();
        QVERIFY(main->width() >= 600); // first run: a usable window
        main->setGeometry(100, 120, 900, 640);
        const QPoint pos = main->pos();
        shutDown(main);
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.State")).toString(),
                 QStringLiteral("0"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Width")).toString(),
                 QStringLiteral("13500"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Height")).toString(),
                 QStringLiteral("9600"));
        main = start();
        QCOMPARE(main->size(), QSize(900, 640));
        QCOMPARE(main->pos(), pos);
        main->showMaximized();
        shutDown(main);
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.State")).toString(),
                 QStringLiteral("2"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Width")).toString(),
                 QStringLiteral("13500"));

        // A place out of sight on the screens there are now: the stored size, centred.
        SetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.State"), QStringLiteral("0"));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kFormsKey, QStringLiteral("Main.Left"), QStringLiteral("-90000"));
        main = start();
        QCOMPARE(main->size(), QSize(900, 640));
        QVERIFY(main->geometry().intersects(QGuiApplication::primaryScreen()->availableGeometry()));
        shutDown(main);
    }

    void addressBar()
    {
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("LoadBack"), QStringLiteral("1"));
        auto main = start();
        DockFrame *dock = main->dsMain();
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/home"))));
        QLineEdit *box = dock->addressBox();
        box->setText(QStringLiteral("   ") + m_server.url(QStringLiteral("/a")) + QStringLiteral("  "));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/a"))));

        // Ctrl+Enter: a new tab, loading behind the current one.
        box->setText(m_server.url(QStringLiteral("/b")));
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(dock->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, m_server.url(QStringLiteral("/b"))));
        QCOMPARE(mdlAplication::ActiveTabPosition(dock), 1);

        // An address far longer than 99 characters arrives whole.
        const QString longUrl = m_server.url(QStringLiteral("/x")) + QStringLiteral("?q=") + QString(150, u'z');
        box->setText(longUrl);
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, longUrl));
        shutDown(main);
    }

    void popupStop()
    {
        auto main = start();
        DockFrame *dock = main->dsMain();
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(m_server.url(QStringLiteral("/opener")));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/opener"))));
        QSignalSpy decided(main.get(), &Form1::popupDecided);
        auto click = [&] {
            QWidget *target = tab->wb1()->view()->focusProxy();
            QVERIFY(target);
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(40, 40));
            QVERIFY(decided.wait(kTimeout));
        };

        click(); // pop-up stop off: a new tab
        QCOMPARE(decided.last().at(1).toBool(), true);
        QCOMPARE(dock->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, m_server.url(QStringLiteral("/target"))));

        dock->command(QStringLiteral("mnuPopStop"))->trigger();
        QCOMPARE(programState().AllowPopup, 1);
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AllowPopup")).toString(),
                 QStringLiteral("1"));
        click(); // dropped
        QCOMPARE(decided.last().at(1).toBool(), false);
        QCOMPARE(dock->documentCount(), 3);

        // As the desktop sends it: the state before the press (Qt reports Shift held).
        QKeyEvent shiftDown(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &shiftDown);
        QCOMPARE(programState().LastShift, 1);
        QCOMPARE(programState().LastKeyCode, 16);
        click(); // Shift held lets it through
        QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
        QApplication::sendEvent(main.get(), &shiftUp);
        QCOMPARE(programState().LastShift, -1);
        QCOMPARE(decided.last().at(1).toBool(), true);
        QCOMPARE(dock->documentCount(), 4);

        dock->command(QStringLiteral("mnuPopStop"))->trigger();
        QCOMPARE(programState().AllowPopup, 0);
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AllowPopup")).toString(),
                 QStringLiteral("0"));
        shutDown(main);
    }

    void scriptsCannotMoveTheView()
    {
        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(m_server.url(QStringLiteral("/mover")));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/mover"))));
        const QRect window = main->geometry();
        const QRect view = tab->wb1()->geometry();
        // The page's own script, after a real click, asks to move and size its
        // window; the title changes once the script has run.
        QVERIFY(clickIntoPage(tab->wb1()));
        QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("moved"), kTimeout);
        QCOMPARE(main->geometry(), window);
        QCOMPARE(tab->wb1()->geometry(), view);
        // The page fills the tab above its 275-twip status strip.
        QCOMPARE(tab->wb1()->pos(), QPoint(0, 0));
        QCOMPARE(tab->wb1()->height(), Twips::px(Twips::tw(tab->height()) - 275));
        QCOMPARE(tab->wb1()->width(), tab->width());
        shutDown(main);
    }

    // A page's own full screen: after a real click the page fills a window
    // of its own with a note on how to leave; Esc leaves, unseen by the
    // page, and the page is back in its tab.
    void pageFullScreen()
    {
        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        BrowserControl *wb = tab->wb1();
        wb->Navigate(m_server.url(QStringLiteral("/fullscreen")));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/fullscreen"))));
        QVERIFY(clickIntoPage(wb));
        QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QStringLiteral("full"), kTimeout);
        QTRY_VERIFY(wb->fullScreen() && wb->fullScreen()->isFullScreen());
        PageFullScreen *full = wb->fullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(full));
        QVERIFY(full->noteShown());
        QCOMPARE(full->findChild<QLabel *>(QStringLiteral("FullScreenNote"))->text(),
                 QStringLiteral("Press Esc to leave full screen"));
        QTest::keyClick(full->windowHandle(), Qt::Key_Escape);
        QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QStringLiteral("left"), kTimeout);
        QTRY_VERIFY(!wb->fullScreen());
        QCOMPARE(wb->view()->page(), static_cast<QWebEnginePage *>(wb->existingPage()));
        shutDown(main);
    }

    // A site that asks for a user name and password (Basic, then Digest):
    // the dialog names the site and the realm and says the connection is
    // not encrypted; a wrong password asks again, the right one shows the
    // page; Cancel leaves the server's own page. Without a secret service
    // "Remember" cannot be ticked and says why.
    void desktopNotification()
    {
        if (!m_secrets->running())
            QSKIP(qPrintable(m_secrets->whyNot()));
        FakeNotifications desktop;
        QVERIFY(desktop.registered());
        m_server.setPage(QStringLiteral("/note"),
                         "<html><head><title>Note</title></head><body><button style='position:fixed;left:0;top:0;"
                         "width:100%;height:100%' onclick=\"Notification.requestPermission().then(function(){"
                         "var n=new Notification('Hello',{body:'From the page'});"
                         "n.onclick=function(){document.title='note clicked';};});\">note</button></body></html>");
        // The site may show notifications (decided before).
        const QString origin = QUrl(m_server.url(QStringLiteral("/"))).adjusted(QUrl::RemovePath).toString();
        QVERIFY(SitePermissions::write(m_env->programDir() + QStringLiteral("/_data/_permissions.dat"),
                                       {{origin, QStringLiteral("notifications"), SitePermissions::Decision::Allow}}));
        auto main = start();
        BrowserControl *wb = tabAt(main.get(), 1)->wb1();
        wb->Navigate(m_server.url(QStringLiteral("/note")));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/note"))));
        QVERIFY(clickIntoPage(wb));
        QTRY_COMPARE_WITH_TIMEOUT(desktop.shown(), QStringList({QStringLiteral("Hello\nFrom the page")}), kTimeout);
        // A click on it on the desktop brings the page's tab to the front and tells the page.
        main->dsMain()->document(2)->activate();
        desktop.clickLast();
        QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QStringLiteral("note clicked"), kTimeout);
        QCOMPARE(main->dsMain()->activeDocument(), main->dsMain()->document(1));
        shutDown(main);
    }

    void signIn()
    {
        m_server.setPage(QStringLiteral("/private"), page("Private"));
        m_server.setSignIn(QStringLiteral("/private"), TestHttpServer::SignIn::Basic, "ann", "s3cret");
        m_server.setPage(QStringLiteral("/digest"), page("Digest page"));
        m_server.setSignIn(QStringLiteral("/digest"), TestHttpServer::SignIn::Digest, "bob", "pa55");
        auto main = start();
        BrowserControl *wb = tabAt(main.get(), 1)->wb1();
        SignInSeen seen;
        answerSignIns(
            {{QStringLiteral("ann"), QStringLiteral("wrong")}, {QStringLiteral("ann"), QStringLiteral("s3cret")}},
            &seen);
        wb->Navigate(m_server.url(QStringLiteral("/private")));
        QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QStringLiteral("Private"), kTimeout);
        QCOMPARE(seen.prompts.size(), 2);
        const QString origin = QUrl(m_server.url(QStringLiteral("/"))).adjusted(QUrl::RemovePath).toString();
        QCOMPARE(seen.prompts.at(0),
                 SignInRules::prompt(QUrl(m_server.url(QStringLiteral("/private"))), QStringLiteral("Test Realm"),
                                     QString()));
        QVERIFY(seen.prompts.at(0).startsWith(origin + QStringLiteral(" asks for a user name and password.")));
        QVERIFY(seen.prompts.at(0).contains(QStringLiteral("Test Realm")));
        QVERIFY(seen.prompts.at(0).contains(QStringLiteral("not encrypted")));
        QCOMPARE(seen.rememberEnabled.at(0), SecretStore::available());

        answerSignIns({{QString(), QString()}}, &seen);
        wb->Navigate(m_server.url(QStringLiteral("/digest")));
        QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QStringLiteral("Sign-in needed"), kTimeout);
        answerSignIns({{QStringLiteral("bob"), QStringLiteral("pa55")}}, &seen);
        wb->Navigate(m_server.url(QStringLiteral("/digest")));
        QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QStringLiteral("Digest page"), kTimeout);
        QCOMPARE(seen.prompts.size(), 4);

        // "Remember" keeps the sign-in in the desktop's secret store.
        if (!m_secrets->running()) {
            shutDown(main);
            QSKIP(qPrintable(QStringLiteral("no secret service: ") + m_secrets->whyNot()));
        }
        QVERIFY(SecretStore::available());
        m_server.setPage(QStringLiteral("/kept"), page("Kept"));
        m_server.setSignIn(QStringLiteral("/kept"), TestHttpServer::SignIn::Basic, "cat", "m3ow");
        seen.tickRemember = true;
        answerSignIns({{QStringLiteral("cat"), QStringLiteral("m3ow")}}, &seen);
        wb->Navigate(m_server.url(QStringLiteral("/kept")));
        QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QStringLiteral("Kept"), kTimeout);
        QVERIFY(seen.rememberEnabled.last());
        bool answered = false;
        std::optional<QByteArray> kept;
        QObject context;
        SecretStore::read(
            SignInRules::key(QUrl(m_server.url(QStringLiteral("/kept"))), QStringLiteral("Test Realm"), QString()),
            &context, [&](std::optional<QByteArray> secret) {
                kept = std::move(secret);
                answered = true;
            });
        QTRY_VERIFY_WITH_TIMEOUT(answered, kTimeout);
        QCOMPARE(kept, std::optional(SignInRules::pack(QStringLiteral("cat"), QStringLiteral("m3ow"))));
        shutDown(main);
    }

    // A PDF opens in the engine's viewer in the tab; a page's file inputs
    // (one file, several) use the program's open dialog after a real click.
    void pdfAndUploads()
    {
        m_server.setPage(QStringLiteral("/doc.pdf"),
                         "%PDF-1.1\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
                         "2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj\n"
                         "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 200]>>endobj\n"
                         "trailer<</Root 1 0 R>>\n%%EOF\n");
        m_server.setContentType(QStringLiteral("/doc.pdf"), "application/pdf");
        const QByteArray input = "<input type=file style='position:fixed;left:0;top:0;width:100%;height:100%'"
                                 " onchange=\"document.title='chose '+this.files.length+' '+this.files[0].name\"";
        m_server.setPage(QStringLiteral("/upload"), page("Upload", input + ">"));
        m_server.setPage(QStringLiteral("/uploads"), page("Uploads", input + " multiple>"));
        // The engine lists a folder's own entry (".") among its files.
        m_server.setPage(QStringLiteral("/folder"),
                         page("Folder",
                              "<input type=file webkitdirectory style='position:fixed;left:0;top:0;"
                              "width:100%;height:100%' onchange=\"document.title='chose '+Array.from("
                              "this.files).map(function(f){return f.webkitRelativePath;}).filter(function(p){"
                              "return !p.endsWith('/.');}).join(',')\">"));
        const QString a = m_env->path(QStringLiteral("a.txt"));
        const QString b = m_env->path(QStringLiteral("b.txt"));
        const QString folder = m_env->path(QStringLiteral("upload"));
        QVERIFY(TestFiles::writeAll(a, "a") && TestFiles::writeAll(b, "b"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/inner"))
                && TestFiles::writeAll(folder + QStringLiteral("/inner/c.txt"), "c"));
        QList<FileDialogService::Pick> asked;
        FileDialogService::setRunner([&](const FileDialogService::OpenRequest &request) {
            asked.append(request.pick);
            FileDialogService::OpenResult result;
            result.accepted = true;
            const bool isFolder = request.pick == FileDialogService::Pick::Folder;
            result.paths = request.pick == FileDialogService::Pick::Files ? QStringList{a, b}
                : isFolder                                                ? QStringList{folder}
                                                                          : QStringList{a};
            result.path = isFolder ? folder : a;
            return result;
        });
        const auto restore = qScopeGuard([] { FileDialogService::setRunner({}); });

        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        BrowserControl *wb = tab->wb1();
        QSignalSpy downloads(BrowserProfile::instance(), &QWebEngineProfile::downloadRequested);
        wb->Navigate(m_server.url(QStringLiteral("/doc.pdf")));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/doc.pdf"))));
        QCOMPARE(wb->LocationURL(), m_server.url(QStringLiteral("/doc.pdf")));
        QCOMPARE(downloads.size(), 0);

        for (const auto &[path, title] : {std::pair{"/upload", "chose 1 a.txt"}, std::pair{"/uploads", "chose 2 a.txt"},
                                          std::pair{"/folder", "chose upload/inner/c.txt"}}) {
            wb->Navigate(m_server.url(QString::fromLatin1(path)));
            QVERIFY(waitLoaded(main.get(), 1, m_server.url(QString::fromLatin1(path))));
            QVERIFY(clickIntoPage(wb));
            QTRY_COMPARE_WITH_TIMEOUT(wb->LocationName(), QString::fromLatin1(title), kTimeout);
        }
        QCOMPARE(asked,
                 (QList<FileDialogService::Pick>{FileDialogService::Pick::OneFile, FileDialogService::Pick::Files,
                                                 FileDialogService::Pick::Folder}));
        shutDown(main);
    }

    void statusStrip()
    {
        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/home"))));
        // A page over plain http: no lock, the zone in its place. (Which
        // value shows the lock is the tab rules' test; a page the engine
        // trusts as secure needs a certificate authority it knows.)
        QSignalSpy lock(tab->wb1(), &BrowserControl::SetSecureLockIcon);
        tab->wb1()->Navigate(m_server.url(QStringLiteral("/a")));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/a"))));
        QTRY_VERIFY_WITH_TIMEOUT(!lock.isEmpty(), kTimeout);
        QCOMPARE(lock.last().at(0).toInt(), 0);
        QVERIFY(!tab->lockVisible());
        QCOMPARE(tab->lockToolTip(), QStringLiteral("Zone Internet"));
        tab->wb1()->Navigate(m_server.url(QStringLiteral("/untitled")));
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/untitled"))));
        QCOMPARE(tab->wb1()->LocationName(), QString());
        QCOMPARE(main->dsMain()->document(1)->caption(), QStringLiteral("  ")); // no title: never the host
        QTRY_COMPARE(tab->progressWidthTwips(), 0);                             // the full bar shows a moment first
        QCOMPARE(tab->statusText(), QStringLiteral("Done"));
        // The caption follows the title as soon as it is there, load or not.
        // Neither it nor the strip lays the whole window out again (each
        // time, that repainted the docks' separator).
        struct LayoutCount : QObject {
            int requests = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                requests += event->type() == QEvent::LayoutRequest ? 1 : 0;
                return false;
            }
        } windowLayouts;
        main->installEventFilter(&windowLayouts);
        tab->wb1()->Navigate(m_server.url(QStringLiteral("/coming")));
        QTRY_COMPARE_WITH_TIMEOUT(main->dsMain()->document(1)->caption(), QStringLiteral(" Title came firs... "),
                                  kTimeout);
        QVERIFY(tab->wb1()->Busy());
        QCoreApplication::sendPostedEvents(main.get(), QEvent::LayoutRequest);
        QCOMPARE(windowLayouts.requests, 0);
        main->removeEventFilter(&windowLayouts);
        tab->wb1()->Stop();
        shutDown(main);
    }

    void backForwardFollowTheActiveTab()
    {
        auto main = start();
        DockFrame *dock = main->dsMain();
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/home"))));
        mdlAplication::OpenBrowserTab(*main->tabs(), m_server.url(QStringLiteral("/a")));
        QVERIFY(waitLoaded(main.get(), 3, m_server.url(QStringLiteral("/a"))));
        dock->document(1)->activate();
        Form2 *background = tabAt(main.get(), 3);
        background->wb1()->Navigate(m_server.url(QStringLiteral("/b")));
        QVERIFY(waitLoaded(main.get(), 3, m_server.url(QStringLiteral("/b"))));
        QTRY_VERIFY_WITH_TIMEOUT(background->StateBack(), kTimeout);
        QVERIFY(!dock->command(QStringLiteral("mnuBack"))->isEnabled()); // the active tab cannot go back
        dock->document(3)->activate();
        QVERIFY(dock->command(QStringLiteral("mnuBack"))->isEnabled());
        QVERIFY(dock->command(QStringLiteral("mnuBack1"))->isEnabled());
        QVERIFY(!dock->command(QStringLiteral("mnuNext"))->isEnabled());
        shutDown(main);
    }

    void dockLayoutSurvivesRestart()
    {
        auto main = start();
        DockPane *help = main->dsMain()->pane(QStringLiteral("frmHelp"));
        QVERIFY(help->visible() && !help->inView());                      // behind the search pane
        main->dsMain()->command(QStringLiteral("mnuHelpPan"))->trigger(); // to the front
        QVERIFY(help->visible());
        main->dsMain()->command(QStringLiteral("mnuHelpPan"))->trigger(); // hidden
        QVERIFY(!help->visible());
        shutDown(main);
        main = start();
        QVERIFY(!main->dsMain()->pane(QStringLiteral("frmHelp"))->visible());
        shutDown(main);

        // A layout from another version is not applied.
        const QString file = m_env->programDir() + QStringLiteral("/_layout.lay");
        clsLayout current;
        current.Load(file);
        clsLayout other(
            clsLayout::versionText(QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH + 1));
        other.setLayout(current.Layout());
        other.Save(file);
        main = start();
        QVERIFY(main->dsMain()->pane(QStringLiteral("frmHelp"))->visible());
        shutDown(main);
    }

    void hiddenBrowsersLoadNothing()
    {
        // Browsers out of sight make no page until they are needed: the main
        // window's hidden one, and the help pane's behind the search pane.
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/home"))));
        DockFrame *dock = main->dsMain();
        QVERIFY(!main->wb()->findChild<QWebEnginePage *>());
        auto *help = qobject_cast<Form8 *>(dock->pane(QStringLiteral("frmHelp"))->hostedForm());
        QVERIFY(help);
        QVERIFY(!help->wb1()->findChild<QWebEnginePage *>());
        dock->pane(QStringLiteral("frmHelp"))->dock()->raise();
        QTRY_COMPARE_WITH_TIMEOUT(help->wb1()->LocationURL(), QStringLiteral("about:blank"), kTimeout);
        QVERIFY(!main->wb()->findChild<QWebEnginePage *>());
        shutDown(main);

        // A browser that never loaded anything answers without making a page.
        BrowserControl idle;
        idle.GoBack();
        idle.Stop();
        idle.Refresh();
        idle.ExecWB(BrowserControl::Copy);
        idle.setSilent(false);
        QVERIFY(idle.LocationURL().isEmpty());
        QVERIFY(idle.LocationName().isEmpty());
        QVERIFY(readMeta(nullptr, 100).isEmpty());
        QVERIFY(!idle.findChild<QWebEnginePage *>());
        idle.Navigate(m_server.url(QStringLiteral("/a")));
        QTRY_COMPARE_WITH_TIMEOUT(idle.LocationName(), QStringLiteral("Page A"), kTimeout);
        QVERIFY(!idle.page()->silent());
    }

    void graphicsModeChoice()
    {
        QTemporaryDir dri;
        QVERIFY(GraphicsMode::preferSoftware(dri.path(), {})); // no render node
        QVERIFY(GraphicsMode::preferSoftware(dri.path() + QStringLiteral("/missing"), {}));
        QFile card(dri.path() + QStringLiteral("/card0"));
        QVERIFY(card.open(QIODevice::WriteOnly));
        QVERIFY(GraphicsMode::preferSoftware(dri.path(), {})); // a display card alone renders nothing
        QFile node(dri.path() + QStringLiteral("/renderD128"));
        QVERIFY(node.open(QIODevice::WriteOnly));
        QVERIFY(!GraphicsMode::preferSoftware(dri.path(), {}));
        QVERIFY(!GraphicsMode::preferSoftware(dri.path() + QStringLiteral("/missing"), "rhi")); // the user's choice
    }

    void visitsAreWrittenInOrder()
    {
        VisitRecorder *recorder = VisitRecorder::instance();
        QVERIFY(recorder);
        const QString url = QStringLiteral("http://visit.test/");
        for (int i = 1; i <= 20; ++i)
            recorder->record(url, QStringLiteral("Title %1").arg(i));
        recorder->record(QStringLiteral("http://other.test/"), QStringLiteral("Other"));
        recorder->flush();
        const auto entries = UrlHistoryStore().enumerate(url, 0);
        QVERIFY(entries);
        QCOMPARE(entries->size(), size_t(1));
        QCOMPARE(entries->front().title, QStringLiteral("Title 20"));
        QCOMPARE(UrlHistoryStore().enumerate(QString(), 0)->size(), size_t(2));
    }

    void crashedPageRecoversAndVisitsAreRecorded()
    {
        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        QVERIFY(waitLoaded(main.get(), 1, m_server.url(QStringLiteral("/home"))));
        // The visit went into the URL history, with its title.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const auto entries = UrlHistoryStore().enumerate(m_server.url(QStringLiteral("/home")), 0);
                return entries && entries->size() == 1 && entries->front().title == QStringLiteral("Home Page");
            }(),
            kTimeout);

        const qint64 pid = tab->wb1()->page()->renderProcessPid();
        QVERIFY(pid > 0);
        ::kill(pid_t(pid), SIGKILL);
        QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("Page stopped"), kTimeout);
        QCOMPARE(tab->wb1()->LocationURL(), m_server.url(QStringLiteral("/home")));
        QVERIFY(main->isVisible()); // the browser lives on
        tab->wb1()->Refresh();
        QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("Home Page"), kTimeout);

        // The address box offers visited addresses.
        QLineEdit *box = main->dsMain()->addressBox();
        box->clear();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("home"));
        QTRY_VERIFY_WITH_TIMEOUT(box->completer()->model()->rowCount() >= 1, kTimeout);
        shutDown(main);
    }

private:
    TestHttpServer m_server;
    std::unique_ptr<SecretService> m_secrets;
    KeyRecorder m_keys;
    std::unique_ptr<TestEnvironment> m_env;
};

QUILLON_WEB_TEST_MAIN(TestBrowser)

#include "tst_browser.moc"
