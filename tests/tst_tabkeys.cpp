// The standard keys, the tab strip's context menu, reopening closed tabs
// and zoom, driven by key events on the window and clicks on the tab strip.
#include "platform/addressbox.h"
#include "app/browser/backgroundtabs.h"
#include "engine/browsercontrol.h"
#include "engine/browserpage.h"
#include "browserfixture.h"
#include "app/browser/browsertab.h"
#include "platform/dockpane.h"
#include "platform/documentwindow.h"
#include "app/browser/downloadmanager.h"
#include "app/browser/downloadswindow.h"
#include "app/mainwindow/mainstatusbar.h"
#include "app/settings/mdlregistry.h"
#include "app/mainwindow/mdlaplication.h"
#include "modalinput.h"
#include "app/mainwindow/tabcommands.h"
#include "testenvironment.h"
#include "testhttpserver.h"
#include "testpages.h"
#include "webtestmain.h"

#include <QAction>
#include <QDockWidget>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWebEngineHistory>
#include <QWebEngineView>
#include <QtTest>

using namespace BrowserFixture;

class TestTabKeys : public QObject
{
    Q_OBJECT

    QString url(const char *path) { return m_server.url(QString::fromLatin1(path)); }

    // A key as the window system delivers it: to the window, where the
    // shortcuts are matched before the focused widget sees it.
    static void key(Form1 *main, Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(main->windowHandle(), k, modifiers);
    }
    static int current(Form1 *main) { return main->dsMain()->tabs()->currentIndex() + 1; }
    static QString activeUrl(Form1 *main)
    {
        auto *tab = qobject_cast<Form2 *>(main->ActiveTabForm());
        return tab ? tab->wb1()->LocationURL() : QString();
    }
    void openTab(Form1 *main, const char *path)
    {
        const int before = main->dsMain()->documentCount();
        key(main, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(main->dsMain()->documentCount(), before + 1);
        QVERIFY(waitLoaded(main, before + 1, url("/home")));
        auto *tab = qobject_cast<Form2 *>(main->ActiveTabForm());
        tab->wb1()->Navigate(url(path));
        QVERIFY(waitLoaded(main, before + 1, url(path)));
    }
    // Opens the tab strip's menu on a tab with the mouse and picks an entry
    // with the keys; the entry's text.
    static QString pickInTabMenu(Form1 *main, int position, const QString &entry)
    {
        QString chosen;
        ModalInput::whenShown([&chosen, entry](QWidget *w) {
            auto *menu = qobject_cast<QMenu *>(w);
            for (int i = 0; i < 8 && !(menu->activeAction() && menu->activeAction()->text() == entry); ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            chosen = menu->activeAction() ? menu->activeAction()->text() : QString();
            if (chosen == entry)
                QTest::keyClick(menu, Qt::Key_Return);
            else
                menu->close();
        });
        QTabBar *bar = main->dsMain()->tabs()->tabBar();
        const QPoint at = bar->mapTo(main, bar->tabRect(position - 1).center());
        QTest::mouseClick(main->windowHandle(), Qt::RightButton, {}, at);
        if (!QTest::qWaitFor([&chosen] { return !chosen.isEmpty(); }, kTimeout))
            qWarning() << "the tab menu did not open";
        return chosen;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_server.setPage(QStringLiteral("/home"), TestPages::page("Home"));
        m_server.setPage(QStringLiteral("/a"), TestPages::page("Page A"));
        m_server.setPage(QStringLiteral("/b"), TestPages::page("Page B"));
        m_server.setPage(QStringLiteral("/c"), TestPages::page("Page C"));
        for (int i = 0; i < 30; ++i)
            m_server.setDownload(QStringLiteral("/f%1.bin").arg(i), QByteArray(4096 + i, 'x'));
        // One click starts 30 downloads, ten at a time a moment apart, as a
        // page offering "download all" does.
        m_server.setPage(
            QStringLiteral("/thirty"),
            TestPages::page("Thirty",
                            "<script>function ten(first) { for (let i = first; i < first + 10; ++i) {"
                            " const a = document.createElement('a'); a.href = '/f' + i + '.bin';"
                            " a.download = ''; document.body.appendChild(a); a.click(); } }</script>"
                            "<div style='position:fixed;inset:0' onclick='ten(0);"
                            " setTimeout(() => ten(10), 1500); setTimeout(() => ten(20), 3000);'>x</div>"));
    }
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(prepareProgramFolder(*m_env, NAVKIT_LIBRARY, url("/home")));
    }
    void cleanup() { m_env.reset(); }

    void keysMoveBetweenTabsAndPages()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        openTab(main.get(), "/a"); // 3
        openTab(main.get(), "/b"); // 4
        QCOMPARE(current(main.get()), 4);

        // Ctrl+Tab wraps to the first; Ctrl+Shift+Tab and Ctrl+PgUp go back.
        key(main.get(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(current(main.get()), 1);
        key(main.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(current(main.get()), 4);
        key(main.get(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(current(main.get()), 3);
        key(main.get(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(current(main.get()), 4);
        key(main.get(), Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(current(main.get()), 2);
        key(main.get(), Qt::Key_9, Qt::ControlModifier);
        QCOMPARE(current(main.get()), 4);
        key(main.get(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(current(main.get()), 3);

        // The wheel over the tab bar moves through the tabs.
        QTabBar *tabBar = main->dsMain()->tabs()->tabBar();
        const auto wheel = [tabBar](int notches) {
            const QPointF at = tabBar->rect().center();
            QWheelEvent event(at, tabBar->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(tabBar, &event);
        };
        wheel(1);
        QCOMPARE(current(main.get()), 2);
        wheel(-1);
        QCOMPARE(current(main.get()), 3);
        // The button at the end of the bar lists every tab by its whole
        // title, the current one checked; one picked comes to the front.
        QStringList listed;
        ModalInput::whenShown([&listed](QWidget *w) {
            auto *menu = qobject_cast<QMenu *>(w);
            for (QAction *a : menu->actions())
                listed.append(a->text() + (a->isChecked() ? QStringLiteral(" *") : QString()));
            QTest::keyClick(menu, Qt::Key_Down); // the first entry
            QTest::keyClick(menu, Qt::Key_Return);
        });
        auto *listButton = main->dsMain()->tabs()->findChild<QToolButton *>(QStringLiteral("TabListButton"));
        QVERIFY(listButton && listButton->isVisible());
        QTest::mouseClick(listButton, Qt::LeftButton);
        QTRY_COMPARE(listed,
                     (QStringList{QStringLiteral("Home"), QStringLiteral("Favorites"), QStringLiteral("Page A *"),
                                  QStringLiteral("Page B")}));
        QCOMPARE(current(main.get()), 1);
        key(main.get(), Qt::Key_3, Qt::ControlModifier);

        // Alt+Left and Alt+Right: back and forward in the tab in front.
        auto *tab = qobject_cast<Form2 *>(main->ActiveTabForm());
        tab->wb1()->Navigate(url("/c"));
        QVERIFY(waitLoaded(main.get(), 3, url("/c")));
        key(main.get(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(waitLoaded(main.get(), 3, url("/a")));
        key(main.get(), Qt::Key_Right, Qt::AltModifier);
        QVERIFY(waitLoaded(main.get(), 3, url("/c")));

        // F5 and Ctrl+F5 ask the server again.
        int hits = m_server.requestCount(QStringLiteral("/c"));
        key(main.get(), Qt::Key_F5);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/c")), hits + 1, kTimeout);
        QVERIFY(waitLoaded(main.get(), 3, url("/c")));
        hits = m_server.requestCount(QStringLiteral("/c"));
        key(main.get(), Qt::Key_F5, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/c")), hits + 1, kTimeout);

        // Ctrl+L and Alt+D select the address; Escape puts the page's back.
        QLineEdit *box = main->dsMain()->addressBox();
        for (const auto &[k, m] : {std::pair{Qt::Key_L, Qt::ControlModifier}, std::pair{Qt::Key_D, Qt::AltModifier}}) {
            tab->wb1()->setFocus();
            key(main.get(), k, m);
            QVERIFY(box->hasFocus());
            QCOMPARE(box->selectedText(), box->text());
        }
        QTest::keyClicks(box, QStringLiteral("zzz"));
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(box->text(), url("/c"));

        // F11: full screen, the page alone; Esc or F11 brings all back.
        QDockWidget *pane = main->dsMain()->pane(QStringLiteral("frmSearch"))->dock();
        QWidget *strip = tab->findChild<QWidget *>(QStringLiteral("StatusStrip"));
        const QList<QWidget *> chrome{main->menuBar(),
                                      main->statusBar(),
                                      pane,
                                      strip,
                                      main->dsMain()->toolBar(QStringLiteral("ToolBar")),
                                      main->dsMain()->toolBar(QStringLiteral("Address"))};
        for (const Qt::Key leave : {Qt::Key_Escape, Qt::Key_F11}) {
            key(main.get(), Qt::Key_F11);
            QVERIFY(main->windowState() & Qt::WindowFullScreen);
            for (QWidget *w : chrome)
                QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
            QTRY_COMPARE(tab->wb1()->height(), tab->height());
            key(main.get(), leave);
            QVERIFY(!(main->windowState() & Qt::WindowFullScreen));
            for (QWidget *w : chrome)
                QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        }

        // F1: no viewer for the help file here, so the guide opens in a tab.
        const int tabs = main->dsMain()->documentCount();
        key(main.get(), Qt::Key_F1);
        QCOMPARE(main->dsMain()->documentCount(), tabs + 1);
        QCOMPARE(current(main.get()), tabs + 1);
        QTRY_COMPARE_WITH_TIMEOUT(qobject_cast<Form2 *>(main->ActiveTabForm())->wb1()->LocationName(),
                                  QStringLiteral("Quillon XP User Guide"), kTimeout);

        // The address bar's caption, as designed.
        QStringList labels;
        for (QLabel *l : main->dsMain()->toolBar(QStringLiteral("Address"))->findChildren<QLabel *>())
            labels.append(l->text());
        QVERIFY2(labels.contains(QStringLiteral("Address  ")), qPrintable(labels.join(u'|')));

        // The menus list the keys.
        QVERIFY(main->dsMain()->command(QStringLiteral("mnuGotoAddress"))->text().contains(QStringLiteral("Ctrl+L")));
        const QString previous = main->dsMain()->command(QStringLiteral("mnuPrevTab"))->text();
        QVERIFY2(previous.endsWith(QStringLiteral("\tCtrl+Shift+Tab, Ctrl+PgUp")), qPrintable(previous));
        QCOMPARE(main->dsMain()->command(QStringLiteral("mnuFind"))->shortcut(), QKeySequence(QKeySequence::Find));
        QCOMPARE(main->dsMain()->command(QStringLiteral("mnuNewTab"))->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+T")));
        // Closed in full screen: the next start has its bars and panes, the
        // same pane in front.
        key(main.get(), Qt::Key_F11);
        shutDown(main);
        main = start();
        QVERIFY(main->menuBar()->isVisible() && main->dsMain()->toolBar(QStringLiteral("ToolBar"))->isVisible());
        QTRY_VERIFY(main->dsMain()->pane(QStringLiteral("frmSearch"))->inView());
        QVERIFY(!(main->windowState() & Qt::WindowFullScreen));
        shutDown(main);
    }

    // Ctrl+T, an address typed at the window key by key while the new tab's
    // home page is still coming, Enter: the page typed opens, every time.
    // A page that moves on by itself while the user types leaves the text
    // alone; another tab brought to the front shows its own address.
    void typingIsNeverLost()
    {
        // A home page that comes late and moves on at once, as many do.
        m_server.setPage(QStringLiteral("/slow"), "<script>location.replace('/home')</script>");
        m_server.setDelay(QStringLiteral("/slow"), 120);
        m_server.setPage(QStringLiteral("/moves"),
                         TestPages::page("Moves", "<script>setTimeout(() => location.replace('/c'), 600)</script>"));
        mdlRegistry::SetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, QStringLiteral("HomePage"),
                                      url("/slow"));
        auto main = start();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QWindow *window = main->windowHandle();
        AddressBox *box = main->dsMain()->addressBox();
        const auto type = [window](const QString &text, int msPerKey) {
            for (const QChar c : text) {
                QTest::qWait(msPerKey); // the page's events come between the keys
                QTest::keyClick(window, c.toLatin1());
            }
        };
        const QString host = QStringLiteral("127.0.0.1:%1").arg(QUrl(url("/")).port());
        // 20 tabs typed fast, 3 at a human pace, each while its home page loads.
        for (int i = 0; i < 23; ++i) {
            const int msPerKey = i < 20 ? 5 : 200;
            const int before = main->dsMain()->documentCount();
            key(main.get(), Qt::Key_T, Qt::ControlModifier);
            QCOMPARE(main->dsMain()->documentCount(), before + 1);
            QVERIFY(box->hasFocus());
            QCOMPARE(box->selectedText(), box->text());
            const QString typed = host + QStringLiteral("/a?") + QString::number(i);
            type(typed, msPerKey);
            QCOMPARE(box->text(), typed);
            key(main.get(), Qt::Key_Return);
            QVERIFY2(waitLoaded(main.get(), before + 1, QStringLiteral("http://") + typed), qPrintable(typed));
            QTRY_COMPARE_WITH_TIMEOUT(box->text(), QStringLiteral("http://") + typed, kTimeout);
        }

        // Typing through a page's own move to another address.
        auto *tab = qobject_cast<Form2 *>(main->ActiveTabForm());
        const int position = main->dsMain()->documentCount();
        tab->wb1()->Navigate(url("/moves"));
        QVERIFY(waitLoaded(main.get(), position, url("/moves")));
        key(main.get(), Qt::Key_L, Qt::ControlModifier);
        const QString typed = host + QStringLiteral("/b");
        type(typed, 60); // longer than the page takes to move on
        QVERIFY(waitLoaded(main.get(), position, url("/c")));
        QCOMPARE(box->text(), typed);
        // Another tab in front shows its address; back here, this page's.
        key(main.get(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(box->text(), url("/home"));
        key(main.get(), Qt::Key_9, Qt::ControlModifier);
        QCOMPARE(box->text(), url("/c"));

        // A local path typed opens the file; it is never searched for.
        const QString file = m_env->path(QStringLiteral("typed page.html"));
        QFile page(file);
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<title>Typed file</title>") > 0);
        page.close();
        key(main.get(), Qt::Key_L, Qt::ControlModifier);
        for (const QChar c : file)
            QTest::keyClick(window, c.toLatin1());
        key(main.get(), Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), position, QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)));

        // With the favorites tab in front Enter does nothing; Ctrl+Enter
        // opens the address in a new tab, as everywhere.
        const int tabs = main->dsMain()->documentCount();
        key(main.get(), Qt::Key_2, Qt::ControlModifier);
        key(main.get(), Qt::Key_L, Qt::ControlModifier);
        type(host + QStringLiteral("/b"), 0);
        key(main.get(), Qt::Key_Return);
        QCOMPARE(main->dsMain()->documentCount(), tabs);
        QCOMPARE(current(main.get()), 2);
        key(main.get(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(main->dsMain()->documentCount(), tabs + 1);
        QVERIFY(waitLoaded(main.get(), tabs + 1, QStringLiteral("http://") + host + QStringLiteral("/b")));
        shutDown(main);
    }

    void closedTabsComeBackWithTheirHistory()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        openTab(main.get(), "/a");
        auto *tab = qobject_cast<Form2 *>(main->ActiveTabForm());
        tab->wb1()->Navigate(url("/b"));
        QVERIFY(waitLoaded(main.get(), 3, url("/b")));
        openTab(main.get(), "/c"); // 4

        // Close Tab from the tab's menu; the fixed tabs cannot be closed.
        QCOMPARE(pickInTabMenu(main.get(), 3, QStringLiteral("Close &Tab")), QStringLiteral("Close &Tab"));
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QVERIFY(!pickInTabMenu(main.get(), 1, QStringLiteral("Close &Tab")).isEmpty());
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QCOMPARE(main->tabCommands()->closed().entries().size(), 1);

        // Ctrl+Shift+T: the page comes back, and Back goes where it went.
        key(main.get(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(main->dsMain()->documentCount(), 4);
        QVERIFY(waitLoaded(main.get(), 4, url("/b")));
        auto *reopened = qobject_cast<Form2 *>(main->ActiveTabForm());
        QTRY_VERIFY_WITH_TIMEOUT(reopened->wb1()->view()->history()->canGoBack(), kTimeout);
        key(main.get(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(waitLoaded(main.get(), 4, url("/a")));
        QVERIFY(main->tabCommands()->closed().isEmpty());

        // Close Other Tabs keeps the fixed tabs and the one asked on.
        QVERIFY(!pickInTabMenu(main.get(), 3, QStringLiteral("Close &Other Tabs")).isEmpty());
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QCOMPARE(tabAt(main.get(), 3)->wb1()->LocationURL(), url("/c"));
        QCOMPARE(main->tabCommands()->closed().entries().size(), 1);
        shutDown(main);
    }

    void zoomIsKeptPerSite()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        auto *home = qobject_cast<Form2 *>(main->ActiveTabForm());
        key(main.get(), Qt::Key_Plus, Qt::ControlModifier);
        key(main.get(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(home->wb1()->zoomFactor(), 1.25);
        QCOMPARE(home->zoomText(), QStringLiteral("125 %"));
        // Shown whole in a window of 1024 pixels with its side pane.
        main->resize(1024, 720);
        QLabel *cell = nullptr;
        QTRY_VERIFY((cell = [home] {
            for (QLabel *l : home->findChildren<QLabel *>())
                if (l->text() == QStringLiteral("125 %"))
                    return l;
            return static_cast<QLabel *>(nullptr);
        }()));
        QTRY_VERIFY(cell->width() >= cell->fontMetrics().horizontalAdvance(cell->text())
                    && cell->geometry().right() < cell->parentWidget()->width());
        key(main.get(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(home->wb1()->zoomFactor(), 1.1);

        // Another tab on the same site opens at the site's zoom.
        openTab(main.get(), "/a");
        auto *other = qobject_cast<Form2 *>(main->ActiveTabForm());
        QTRY_COMPARE(other->wb1()->zoomFactor(), 1.1);
        QCOMPARE(other->zoomText(), QStringLiteral("110 %"));
        key(main.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(other->wb1()->zoomFactor(), 1.0);
        QCOMPARE(other->zoomText(), QString()); // 100 % is not shown
        shutDown(main);
    }

    // A tab left in the background is frozen, dropped when memory runs low,
    // and loaded again when the user clicks its tab.
    void backgroundTabsFreezeAndComeBack()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        auto *background = main->findChild<BackgroundTabs *>();
        QVERIFY(background);
        background->setFreezeAfter(std::chrono::milliseconds(300));
        bool memoryLow = false;
        background->setMemoryLow([&memoryLow] { return memoryLow; });
        openTab(main.get(), "/a"); // 3
        auto *tab = qobject_cast<Form2 *>(main->ActiveTabForm());
        BrowserPage *page = tab->wb1()->existingPage();
        QVERIFY(page);

        key(main.get(), Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(current(main.get()), 1);
        QTRY_COMPARE_WITH_TIMEOUT(page->lifecycleState(), QWebEnginePage::LifecycleState::Frozen, 10000);
        QCOMPARE(qobject_cast<Form2 *>(main->ActiveTabForm())->wb1()->existingPage()->lifecycleState(),
                 QWebEnginePage::LifecycleState::Active); // the tab in front goes on

        memoryLow = true;
        QTRY_COMPARE_WITH_TIMEOUT(page->lifecycleState(), QWebEnginePage::LifecycleState::Discarded, 10000);
        QSignalSpy reloaded(page, &QWebEnginePage::loadFinished); // a dropped page loads again
        QTabBar *bar = main->dsMain()->tabs()->tabBar();
        QTest::mouseClick(main->windowHandle(), Qt::LeftButton, {}, bar->mapTo(main.get(), bar->tabRect(2).center()));
        QCOMPARE(current(main.get()), 3);
        QTRY_COMPARE_WITH_TIMEOUT(page->lifecycleState(), QWebEnginePage::LifecycleState::Active, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!reloaded.isEmpty(), 10000);
        QVERIFY(reloaded.first().first().toBool());
        QVERIFY(waitLoaded(main.get(), 3, url("/a")));
        shutDown(main);
    }

    void manyDownloadsGoToOneList()
    {
        using namespace mdlRegistry;
        const QString folder = m_env->path(QStringLiteral("downloads"));
        QVERIFY(QDir().mkpath(folder));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AskDownload"), QStringLiteral("0"));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("DownloadFolder"), folder);
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(url("/thirty"));
        QVERIFY(waitLoaded(main.get(), 1, url("/thirty")));

        // No dialog comes up, one list shows all 30 downloads, and each file
        // lands in the folder.
        bool dialog = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&dialog] { dialog = dialog || QApplication::activeModalWidget(); });
        watch.start(10);
        QWidget *page = tab->wb1()->view()->focusProxy();
        DownloadManager *manager = main->downloads();
        QSignalSpy running(manager, &DownloadManager::runningChanged);
        QTest::mouseClick(page, Qt::LeftButton, {}, page->rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(manager->window() ? manager->window()->count() : 0, 30, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(manager->window() && manager->window()->count() == 30, kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(QDir(folder).entryList(QDir::Files).size(), 30, kTimeout);
        QVERIFY(!dialog);
        QVERIFY(manager->window()->isVisible());
        auto *bar = qobject_cast<MainStatusBar *>(main->statusBar());
        QTRY_VERIFY_WITH_TIMEOUT(bar->lblStatus1()->text().startsWith(QStringLiteral("Downloaded: ")), kTimeout);
        // One name for all 30 from the server: 30 files, so each got a name
        // of its own, and every one is whole.
        qint64 bytes = 0;
        for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files))
            bytes += f.size();
        QCOMPARE(bytes, qint64(30 * 4096 + 29 * 30 / 2));
        // The tool bar showed the downloads while they ran, and no longer.
        QVERIFY(
            std::any_of(running.cbegin(), running.cend(), [](const QList<QVariant> &r) { return r[0].toInt() > 0; }));
        QTRY_COMPARE(manager->running(), 0);
        QVERIFY(!manager->indicator()->isVisible());
        // A server's hidden name, with the home folder as the downloads
        // folder: a plain name, in the home's Downloads folder.
        const QString home = m_env->path(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home));
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("DownloadFolder"), home);
        m_server.setDownload(QStringLiteral("/profile"), "echo owned\n", ".bash_profile");
        tab->wb1()->Navigate(url("/profile"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(home + QStringLiteral("/Downloads/bash_profile")).size() == 11, kTimeout);
        // One the server breaks off ends, and leaves no file behind.
        m_server.setDownload(QStringLiteral("/broken"), "only a part", "broken.bin", 1 << 20);
        tab->wb1()->Navigate(url("/broken"));
        QTRY_VERIFY_WITH_TIMEOUT(manager->running() == 1, kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(manager->running(), 0, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(home + QStringLiteral("/Downloads/broken.bin")), kTimeout);
        qputenv("HOME", realHome);
        QVERIFY(!QFileInfo::exists(home + QStringLiteral("/.bash_profile")));
        QCOMPARE(QDir(home + QStringLiteral("/Downloads")).entryList(QDir::Files | QDir::Hidden).size(), 1);
        // Closed, the list comes back with Ctrl+Shift+Y, over the window.
        manager->window()->close();
        QVERIFY(!manager->window()->isVisible());
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        key(main.get(), Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(manager->window()->isVisible());
        QVERIFY(main->geometry().contains(manager->window()->geometry().center()));
        shutDown(main);
    }

private:
    TestHttpServer m_server;
    std::unique_ptr<TestEnvironment> m_env;
};

QUILLON_WEB_TEST_MAIN(TestTabKeys)

#include "tst_tabkeys.moc"
