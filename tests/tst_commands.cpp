#include "browserfixture.h"
#include "commandpages.h"
#include "app/mainwindow/commanddispatcher.h"
#include "app/mainwindow/commandtable.h"
#include "app/browser/downloadmanager.h"
#include "app/mainwindow/mainrules.h"
#include "platform/dockpane.h"
#include "platform/filedialogservice.h"
#include "app/settings/aboutbox.h"
#include "app/settings/settingsdialog.h"
#include "navkit/favorites/favoritesstore.h"
#include "app/panes/searchpane.h"
#include "app/panes/historypane.h"
#include "app/panes/favoritestab.h"
#include "navkit/proxies/listproxy.h"
#include "app/mainwindow/keyrecorder.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlregistry.h"
#include "platform/registrystore.h"
#include "testenvironment.h"
#include "testhttpserver.h"
#include "engine/visitrecorder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QLineEdit>
#include <QListView>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include "engine/browserpage.h"
#include "app/browser/findbar.h"
#include "engine/metareader.h"
#include "engine/pagecommands.h"

using namespace BrowserFixture;
using namespace mdlRegistry;

using namespace CommandPages;

class TestCommands : public QObject
{
    Q_OBJECT

    QString url(const char *path) { return m_server.url(QString::fromLatin1(path)); }

private slots:
    void initTestCase() { QVERIFY(serve(m_server)); }
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        QVERIFY(prepareProgramFolder(*m_env, NAVKIT_LIBRARY, url("/home")));
    }
    void cleanup()
    {
        restoreDialogs();
        m_env.reset();
    }

    void navigationCommands()
    {
        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        tab->wb1()->Navigate(url("/a"));
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        run(main.get(), "mnuBack");
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        run(main.get(), "mnuNext1");
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        const int hits = m_server.requestCount(QStringLiteral("/a"));
        run(main.get(), "mnuRefresh");
        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/a")) > hits, kTimeout);
        run(main.get(), "mnuStop");
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));

        // New and Clone bring their tab to the front even with background loading.
        programState().LoadBack = 1;
        run(main.get(), "mnuClone");
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QCOMPARE(mdlAplication::ActiveTabPosition(main->dsMain()), 3);
        QVERIFY(waitLoaded(main.get(), 3, url("/a")));
        run(main.get(), "mnuNew");
        QCOMPARE(mdlAplication::ActiveTabPosition(main->dsMain()), 4);
        QVERIFY(waitLoaded(main.get(), 4, url("/home")));
        QVERIFY(!programState().OpenInFront);
        shutDown(main);
    }

    void openFile()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        QList<FileDialogService::OpenRequest> asked;
        FileDialogService::OpenResult answer;
        FileDialogService::setRunner([&](const FileDialogService::OpenRequest &r) {
            asked.append(r);
            return answer;
        });
        run(main.get(), "mnuOpen"); // cancelled
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Open File ..."));
        QCOMPARE(asked[0].filters.size(), 2);
        QCOMPARE(asked[0].flags, 0x80000u);
        QCOMPARE(tabAt(main.get(), 1)->wb1()->LocationURL(), url("/home"));

        const QString file = m_env->path(QStringLiteral("local page.html"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><title>Local</title></html>");
        f.close();
        answer = {true, file, 0, {}};
        run(main.get(), "mnuOpenNew");
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)));
        shutDown(main);
    }

    void panesAndPopupStop()
    {
        auto main = start();
        // The home tab's status strip is read below: its page's own messages
        // are over (a busy machine may start the page's load late).
        QTRY_COMPARE_WITH_TIMEOUT(tabAt(main.get(), 1)->statusText(),
                                  BrowserControl::loadEndText(BrowserControl::LoadEnd::Loaded), kTimeout);
        // The three panes are tabbed together, Search in front. A covered
        // pane's key brings it to the front; the key of a pane in view hides it.
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        const auto pane = [&main](const char *name) { return main->dsMain()->pane(QString::fromLatin1(name)); };
        const auto press = [&main](Qt::Key k) { QTest::keyClick(main->windowHandle(), k, Qt::ControlModifier); };
        QVERIFY(pane("frmSearch")->inView() && !pane("frmHistory")->inView() && pane("frmHistory")->visible());
        for (const auto &[k, name] : {std::pair{Qt::Key_H, "frmHistory"}, std::pair{Qt::Key_F1, "frmHelp"},
                                      std::pair{Qt::Key_G, "frmSearch"}}) {
            press(k);
            QTRY_VERIFY(pane(name)->inView());
            press(k);
            QTRY_VERIFY(!pane(name)->visible());
            press(k);
            QTRY_VERIFY(pane(name)->inView());
        }
        QVERIFY(!pane("frmHistory")->inView() && pane("frmHistory")->visible());
        // Ctrl+Q toggles pop-up stop and the tab in front says so; Ctrl+W
        // on a fixed tab says why nothing happened.
        QAction *stop = main->dsMain()->command(QStringLiteral("mnuPopStop"));
        QVERIFY(!stop->isChecked());
        press(Qt::Key_Q);
        QVERIFY(stop->isChecked());
        QCOMPARE(programState().AllowPopup, 1);
        QCOMPARE(tabAt(main.get(), 1)->statusText(), MainRules::popStopText(true));
        press(Qt::Key_Q);
        QVERIFY(!stop->isChecked());
        QCOMPARE(programState().AllowPopup, 0);
        QCOMPARE(tabAt(main.get(), 1)->statusText(), MainRules::popStopText(false));
        press(Qt::Key_W);
        QCOMPARE(main->dsMain()->documentCount(), 2);
        QCOMPARE(tabAt(main.get(), 1)->statusText(), MainRules::fixedTabText(1));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("AllowPopup")).toString(),
                 QStringLiteral("0"));
        shutDown(main);
    }

    void editSaveAndPrint()
    {
        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(url("/a"));
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        QApplication::clipboard()->clear();
        run(main.get(), "mnuSelAll");
        run(main.get(), "mnuCopy");
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::clipboard()->text().contains(QStringLiteral("alpha text")), kTimeout);

        run(main.get(), "mnuFind");
        QVERIFY(tab->findBar()->box()->isVisible());
        QSignalSpy found(tab->wb1()->page(), &QWebEnginePage::findTextFinished);
        QTest::keyClicks(tab->findBar()->box(), QStringLiteral("alpha"));
        QTRY_VERIFY_WITH_TIMEOUT(
            !found.isEmpty() && found.last().at(0).value<QWebEngineFindTextResult>().numberOfMatches() == 1, kTimeout);

        QString saved = m_env->path(QStringLiteral("saved.html"));
        QString suggested;
        FileDialogService::setSaveRunner([&](QWidget *, const QString &, const QString &s) {
            suggested = s;
            return saved;
        });
        run(main.get(), "mnuSave");
        QCOMPARE(suggested, QStringLiteral("Page A.html"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(saved).size() > 0, kTimeout);
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("alpha text"));

        const QString pdf = m_env->path(QStringLiteral("printed.pdf"));
        FileDialogService::setPrintRunner([&](QPrinter *printer, QWidget *) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return true;
        });
        QSignalSpy printed(tab->wb1(), &BrowserControl::printFinished);
        run(main.get(), "mnuPrint");
        // The status strip says it prints, and then that the file is written.
        QCOMPARE(tab->statusText(), QStringLiteral("Printing to ") + pdf + QStringLiteral("\u2026"));
        QVERIFY(printed.wait(kTimeout));
        QCOMPARE(printed.first().at(0).toBool(), true);
        QFile p(pdf);
        QVERIFY(p.open(QIODevice::ReadOnly));
        QVERIFY(p.read(4) == "%PDF");
        QTRY_VERIFY(tab->statusText().startsWith(QStringLiteral("Written: ") + pdf + QStringLiteral(" (")));
        QCOMPARE(PrintStatus::finished(pdf, false, 0),
                 QStringLiteral("Printing to ") + pdf + QStringLiteral(" failed"));
        shutDown(main);
    }

    void favoriteRecords()
    {
        auto main = start();
        Form2 *tab = tabAt(main.get(), 1);
        tab->wb1()->Navigate(url("/meta"));
        QVERIFY(waitLoaded(main.get(), 1, url("/meta")));
        const QString sep = QStringLiteral(">\u00A4<");
        QCOMPARE(CommandDispatcher::favoriteRecord(tab->wb1()->LocationName(), tab->wb1()->LocationURL(),
                                                   readMeta(tab->wb1()->page())),
                 QStringLiteral("Meta") + sep + url("/meta") + sep + QStringLiteral("kw1, kw2 about it"));
        tab->wb1()->Navigate(url("/nometa"));
        QVERIFY(waitLoaded(main.get(), 1, url("/nometa")));
        QCOMPARE(CommandDispatcher::favoriteRecord(tab->wb1()->LocationName(), tab->wb1()->LocationURL(),
                                                   readMeta(tab->wb1()->page())),
                 QStringLiteral("Plain") + sep + url("/nometa") + sep + QStringLiteral("no keywords"));
        QCOMPARE(CommandDispatcher::favoriteRecord(QStringLiteral("t"), QStringLiteral("u"),
                                                   {{QStringLiteral("keywords"), QStringLiteral("   ")}}),
                 QStringLiteral("t") + sep + QStringLiteral("u") + sep + QStringLiteral("no keywords"));
        // The command reaches the favorites tab's list once the page has
        // given its keywords: a new row.
        auto *favorites = qobject_cast<Form9 *>(main->dsMain()->document(2)->hostedForm());
        const int before = favorites->List1().ListCount();
        run(main.get(), "mnuFav");
        QTRY_COMPARE(favorites->List1().ListCount(), before + 1);
        QCOMPARE(favorites->List1().List(before), QStringLiteral("  Plain"));
        QCOMPARE(favorites->statusText(), QStringLiteral("Favorite added: ") + url("/nometa"));
        QCOMPARE(FavoritesStore::load(programState().FavoritesFile).last(),
                 QStringLiteral("Plain") + sep + url("/nometa") + sep + QStringLiteral("no keywords"));
        shutDown(main);
    }

    void everyCommandHasAHandler()
    {
        auto main = start();
        const auto *dispatcher = new CommandDispatcher(
            {main.get(), main->dsMain(), main->tabs(), main->tabCommands(), main->downloads()}, main.get());
        for (std::size_t i = 0; i < CommandIds::kCount; ++i)
            QVERIFY2(dispatcher->handles(CommandId(i)), qPrintable(CommandIds::key(CommandId(i))));
        // Every command of the table is an action of the window, found by its key.
        QList<CommandTable::Command> all = CommandTable::toolBar() + CommandTable::keysOnly();
        for (const CommandTable::Menu &menu : CommandTable::menus())
            all += menu.entries;
        for (const CommandTable::Command &c : all) {
            QCOMPARE(CommandIds::fromKey(c.key()), std::optional(c.id));
            QVERIFY2(main->dsMain()->command(c.key()), qPrintable(c.key()));
        }
        QVERIFY(!CommandIds::fromKey(QStringLiteral("mnuNoSuchCommand")));
        shutDown(main);
    }

    void commandImages()
    {
        // Looked up when first drawn; every image key in use has a picture.
        for (const CommandTable::Menu &menu : CommandTable::menus()) {
            for (const CommandTable::Command &c : menu.entries) {
                if (c.image.isEmpty())
                    continue;
                const QIcon icon = CommandTable::image(c.image);
                QVERIFY2(!icon.isNull(), qPrintable(c.image));
                QVERIFY2(!icon.pixmap(16, 16).isNull(), qPrintable(c.image));
                QVERIFY2(!QIcon(icon).actualSize(QSize(24, 24)).isEmpty(), qPrintable(c.image));
            }
        }
        QVERIFY(CommandTable::image(QStringLiteral("noSuchImage")).isNull());
    }

    void settingsDialog()
    {
        programState() = ProgramState{};
        SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"),
                         QStringLiteral("  http://old.test/ "));
        {
            Form4 dialog;
            QCOMPARE(dialog.windowTitle(), QStringLiteral(" Settings"));
            QCOMPARE(dialog.Text1()->text(), QStringLiteral("http://old.test/"));
            QCOMPARE(programState().HomePage, QStringLiteral("http://old.test/"));
            QVERIFY(!dialog.Check1()->isChecked());
            dialog.show();
            dialog.Text1()->selectAll();
            QTest::keyClicks(dialog.Text1(), QStringLiteral("   http://new.test/  "));
            QTest::mouseClick(dialog.Check1(), Qt::LeftButton, {}, QPoint(4, dialog.Check1()->height() / 2));
            QTest::keyClicks(dialog.Text2(), m_env->path(QStringLiteral("saved here")));
            QTest::keyClick(dialog.Text1(), Qt::Key_Return); // Enter acts as OK
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).toString(),
                 QStringLiteral("http://new.test/"));
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("LoadBack")).toString(),
                 QStringLiteral("1"));
        QCOMPARE(programState().LoadBack, 1);
        QCOMPARE(DownloadManager::defaultFolder(), m_env->path(QStringLiteral("saved here")));
        {
            Form4 dialog;
            dialog.show();
            QTest::mouseClick(dialog.Command3(), Qt::LeftButton);
            QCOMPARE(dialog.Text1()->text(), QStringLiteral("about:blank"));
            QTest::mouseClick(dialog.Command2(), Qt::LeftButton);
        }
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).toString(),
                 QStringLiteral("about:blank"));
        {
            // Storno (and Escape) write nothing, but the values read at load stay.
            SetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage"),
                             QStringLiteral("http://other.test/"));
            Form4 dialog;
            dialog.show();
            retype(dialog.Text1(), QStringLiteral("http://ignored.test/"));
            QTest::keyClick(dialog.Text1(), Qt::Key_Escape);
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(programState().HomePage, QStringLiteral("http://other.test/"));
        }
        QCOMPARE(GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).toString(),
                 QStringLiteral("http://other.test/"));
        {
            // Without the right to write, the new home page lasts for this run only.
            const QString plain = m_env->path(QStringLiteral("plain-file"));
            QFile f(plain);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.close();
            qputenv("QUILLON_PLATFORM_ROOT", (plain + QStringLiteral("/root")).toUtf8());
            Form4 dialog;
            dialog.show();
            retype(dialog.Text1(), QStringLiteral("http://run-only.test/"));
            QTest::mouseClick(dialog.Command2(), Qt::LeftButton);
            QCOMPARE(programState().HomePage, QStringLiteral("http://run-only.test/"));
            QVERIFY(!GetRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("HomePage")).isValid());
        }
    }

    void aboutBox()
    {
        Form3 about;
        QCOMPARE(about.windowTitle(), QStringLiteral(" About ..."));
        QVERIFY(about.contactLine().contains(QStringLiteral("example.org")));
        QTest::keyClick(&about, Qt::Key_Escape);
        QCOMPARE(about.result(), int(QDialog::Rejected));
    }

private:
    TestHttpServer m_server;
    std::unique_ptr<TestEnvironment> m_env;
};

int main(int argc, char **argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    KeyRecorder keys;
    app.installEventFilter(&keys);
    TestCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commands.moc"
