// The daily path under a real X server, driven by xdotool: the events come
// from outside the program, through the window system, as a user's do.
// Run by realinput.sh under Xvfb.
#include "browserfixture.h"
#include "platform/dockpane.h"
#include "app/panes/historypane.h"
#include "navkit/proxies/listproxy.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlregistry.h"
#include "testenvironment.h"
#include "testhttpserver.h"
#include "testpages.h"
#include "engine/visitrecorder.h"
#include "webtestmain.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QDockWidget>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

using namespace BrowserFixture;
using namespace mdlRegistry;

class TestRealInput : public QObject
{
    Q_OBJECT

    QString url(const char *path) { return m_server.url(QString::fromLatin1(path)); }

    static bool xdo(const QStringList &arguments)
    {
        QProcess p;
        p.start(QStringLiteral("xdotool"), arguments);
        return p.waitForFinished(10000) && p.exitCode() == 0;
    }
    static bool clickAt(QWidget *w, QPoint local)
    {
        const QPoint at = w->mapToGlobal(local);
        return xdo({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                    QStringLiteral("click"), QStringLiteral("1")});
    }
    static bool typeText(const QString &text)
    {
        return xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"), text});
    }
    static bool key(const QString &keys) { return xdo({QStringLiteral("key"), keys}); }

    bool typeAddress(Form1 *main, const QString &address)
    {
        QLineEdit *box = main->dsMain()->addressBox();
        if (!clickAt(box, box->rect().center()) || !QTest::qWaitFor([box] { return box->hasFocus(); }, kTimeout))
            return false;
        return key(QStringLiteral("ctrl+a")) && key(QStringLiteral("BackSpace")) && typeText(address);
    }
    static bool commandState(Form1 *main, bool back, bool next)
    {
        return QTest::qWaitFor(
            [&] {
                return main->dsMain()->command(QStringLiteral("mnuBack1"))->isEnabled() == back
                    && main->dsMain()->command(QStringLiteral("mnuNext1"))->isEnabled() == next;
            },
            kTimeout);
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs an X server (run by realinput.sh under Xvfb)");
        QVERIFY(m_server.listen());
        m_server.setPage(QStringLiteral("/home"), TestPages::page("Home"));
        m_server.setPage(QStringLiteral("/a"), TestPages::page("Page A"));
        m_server.setPage(QStringLiteral("/b"), TestPages::page("Page B"));
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(QDir().mkpath(m_env->programDir()));
        QVERIFY(m_env->installComponents(NAVKIT_LIBRARY));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"), url("/home"));
    }

    void dailyPath()
    {
        auto main = start();
        main->move(0, 0);
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));

        // Visited pages are in the history ...
        for (const char *path : {"/a", "/b"}) {
            QVERIFY(typeAddress(main.get(), url(path)));
            QVERIFY(key(QStringLiteral("Return")));
            QVERIFY(waitLoaded(main.get(), 1, url(path)));
        }
        VisitRecorder::instance()->flush();
        // ... so typing one opens the completion list, and Enter loads it.
        QLineEdit *box = main->dsMain()->addressBox();
        const int hits = m_server.requestCount(QStringLiteral("/a"));
        QVERIFY(typeAddress(main.get(), url("/a")));
        QTRY_VERIFY_WITH_TIMEOUT(box->completer()->popup()->isVisible(), kTimeout);
        QVERIFY(key(QStringLiteral("Return")));
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        QCOMPARE(m_server.requestCount(QStringLiteral("/a")), hits + 1);
        QTRY_VERIFY_WITH_TIMEOUT(!box->completer()->popup()->isVisible(), kTimeout);

        // A click on a history row shows its address.
        DockPane *pane = main->dsMain()->pane(QStringLiteral("frmHistory"));
        pane->dock()->raise();
        auto *history = qobject_cast<Form6 *>(pane->hostedForm());
        ListProxy list = history->List1();
        QTRY_VERIFY_WITH_TIMEOUT(list.ListCount() >= 3, kTimeout);
        auto *view = list.widget()->findChild<QListView *>();
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), kTimeout);
        QVERIFY(clickAt(view->viewport(), view->visualRect(view->model()->index(1, 0)).center()));
        QTRY_COMPARE_WITH_TIMEOUT(list.ListIndex(), 1, kTimeout);
        QCOMPARE(history->statusText(), list.ListUrl(1));

        // Back and Next show the active tab's own state.
        QVERIFY(commandState(main.get(), true, false));
        QToolBar *bar = main->dsMain()->toolBar(QStringLiteral("ToolBar"));
        QWidget *newButton = nullptr;
        for (QAction *a : bar->actions()) {
            if (a->objectName() == QStringLiteral("mnuNew"))
                newButton = bar->widgetForAction(a);
        }
        QVERIFY(newButton);
        QVERIFY(clickAt(newButton, newButton->rect().center()));
        QTRY_COMPARE_WITH_TIMEOUT(main->dsMain()->documentCount(), 3, kTimeout);
        QVERIFY(waitLoaded(main.get(), 3, url("/home")));
        QVERIFY(commandState(main.get(), false, false));
        QTabBar *tabs = main->dsMain()->tabs()->tabBar();
        QVERIFY(clickAt(tabs, tabs->tabRect(0).center()));
        QTRY_COMPARE_WITH_TIMEOUT(mdlAplication::ActiveTabPosition(main->dsMain()), 1, kTimeout);
        QVERIFY(commandState(main.get(), true, false));
        shutDown(main);
    }

private:
    TestHttpServer m_server;
    std::unique_ptr<TestEnvironment> m_env;
};

QUILLON_WEB_TEST_MAIN(TestRealInput)
#include "tst_realinput.moc"
