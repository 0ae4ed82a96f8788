// The panes and the favorites tab, driven with the mouse and keys.
#include "browserfixture.h"
#include "commandpages.h"
#include "app/mainwindow/commanddispatcher.h"
#include "app/mainwindow/commandtable.h"
#include "platform/dockpane.h"
#include "platform/filedialogservice.h"
#include "app/settings/aboutbox.h"
#include "app/settings/settingsdialog.h"
#include "navkit/favorites/favoritesstore.h"
#include "app/panes/searchpane.h"
#include "app/panes/historypane.h"
#include "app/panes/favoritestab.h"
#include "app/panes/favoriteeditor.h"
#include "platform/filelock.h"
#include "modalinput.h"
#include "app/browser/browsertab.h"
#include "app/browser/pagepermissions.h"
#include "app/browser/permissionbar.h"
#include "app/settings/sitepermissions.h"
#include "app/mainwindow/notificationtoast.h"
#include "platform/desktopnotifications.h"
#include "platform/documentwindow.h"
#include "app/settings/sitepermissionsdialog.h"
#include "app/mainwindow/favoritestar.h"
#include "navkit/records/favoriterecord.h"
#include "navkit/proxies/listproxy.h"
#include "app/mainwindow/keyrecorder.h"
#include "app/mainwindow/mdlaplication.h"
#include "app/settings/mdlregistry.h"
#include "platform/registrystore.h"
#include "testenvironment.h"
#include "testhttpserver.h"
#include "testfiles.h"
#include "engine/visitrecorder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QTreeWidget>
#include <QWebEngineView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QSignalSpy>
#include <QtTest>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include "engine/browserpage.h"
#include "app/browser/findbar.h"
#include "engine/metareader.h"

using namespace BrowserFixture;
using namespace mdlRegistry;

using namespace CommandPages;

class TestPanes : public QObject
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

    void bookmarksThroughTheFileMenu()
    {
        const QString html = m_env->path(QStringLiteral("from-another-browser.html"));
        QVERIFY(TestFiles::writeAll(html,
                                    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n"
                                    "<DT><H3>Kitchen</H3>\n<DL><p>\n"
                                    "<DT><A HREF=\""
                                        + url("/a").toUtf8()
                                        + "\">Page A</A>\n<DD>soup &amp; bread\n"
                                          "</DL><p>\n<DT><A HREF=\""
                                        + url("/b").toUtf8() + "\">Page B</A>\n</DL><p>\n"));
        auto main = start();
        FileDialogService::OpenRequest asked;
        FileDialogService::setRunner([&](const FileDialogService::OpenRequest &r) {
            asked = r;
            return FileDialogService::OpenResult{true, html, 0, {}};
        });
        run(main.get(), "mnuImportBm");
        // Both spellings offered, from the home folder.
        QCOMPARE(asked.filters.value(0).name, QStringLiteral("Bookmarks (*.html *.htm)"));
        QCOMPARE(asked.folder, QDir::homePath());
        auto *tab = qobject_cast<Form9 *>(main->dsMain()->document(2)->hostedForm());
        QTRY_COMPARE(tab->statusText(), QStringLiteral("2 bookmarks imported"));
        QCOMPARE(tab->countText(), QStringLiteral("Z\u00e1znamov : 2"));
        const QString store = m_env->programDir() + QStringLiteral("/_data/_favorites.dat");
        QCOMPARE(FavoritesStore::load(store).first(),
                 QStringLiteral("Page A>\u00A4<") + url("/a") + QStringLiteral(">\u00A4<Kitchen soup & bread"));
        // The folder's name finds the bookmark in the tab's filter.
        tab->Text1()->setFocus();
        QTest::keyClicks(tab->Text1(), QStringLiteral("kitchen"));
        QTRY_COMPARE(tab->List1().ListCount(), 1);
        run(main.get(), "mnuImportBm"); // the same file again adds nothing
        QTRY_COMPARE(tab->statusText(), QStringLiteral("0 bookmarks imported"));
        QCOMPARE(FavoritesStore::load(store).size(), 2);
        // A large file is read away from the window, which shows how far it
        // got; Cancel leaves the store as it was.
        const QString large = m_env->path(QStringLiteral("large.html"));
        {
            QByteArray many = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
            for (int i = 0; i < 200000; ++i)
                many += "<DT><A HREF=\"http://many.test/" + QByteArray::number(i) + "\">Page</A>\n<DD>words\n";
            QVERIFY(TestFiles::writeAll(large, many));
        }
        FileDialogService::setRunner([&large](const FileDialogService::OpenRequest &) {
            return FileDialogService::OpenResult{true, large, 0, {}};
        });
        run(main.get(), "mnuImportBm");
        static const QRegularExpression partWay(QStringLiteral("^Importing bookmarks\\.\\.\\. ([1-8][0-9]?) %$"));
        QTRY_VERIFY(partWay.match(tab->statusText()).hasMatch());
        auto *cancel = tab->findChild<QToolButton *>(QStringLiteral("cancelImport"));
        QVERIFY(cancel && cancel->isVisible());
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTRY_COMPARE(tab->statusText(), QStringLiteral("Import cancelled: nothing was added"));
        QVERIFY(!cancel->isVisible());
        QCOMPARE(FavoritesStore::load(store).size(), 2);
        // A file over 64 MB is not read at all, and the status says why.
        const QString huge = m_env->path(QStringLiteral("huge.html"));
        QFile sparse(huge);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize((qint64(64) << 20) + 1));
        sparse.close();
        FileDialogService::setRunner([&huge](const FileDialogService::OpenRequest &) {
            return FileDialogService::OpenResult{true, huge, 0, {}};
        });
        run(main.get(), "mnuImportBm");
        QTRY_COMPARE(tab->statusText(), QStringLiteral("Not imported: the file is larger than 64 MB"));
        QCOMPARE(FavoritesStore::load(store).size(), 2);

        QString exported = m_env->path(QStringLiteral("exported.html"));
        QString suggested;
        FileDialogService::setSaveRunner([&](QWidget *, const QString &, const QString &s) {
            suggested = s;
            return exported;
        });
        run(main.get(), "mnuExportBm");
        QCOMPARE(suggested, QDir::home().filePath(QStringLiteral("bookmarks.html")));
        // Written away from the window's thread; the status says when.
        QTRY_COMPARE(tab->statusText(), QStringLiteral("Favorites exported to ") + exported);
        QVERIFY(TestFiles::readAll(exported).contains("<DD>Kitchen soup &amp; bread"));
        // A store held by a writer past the wait, or damaged, is not an empty
        // one: the backup is left as it was, and the status says so.
        const QByteArray backup = TestFiles::readAll(exported);
        {
            FileLock writer(store, FileLock::Mode::Exclusive, std::chrono::milliseconds(0));
            QVERIFY(writer.isLocked());
            run(main.get(), "mnuExportBm");
            QTRY_VERIFY_WITH_TIMEOUT(tab->statusText().startsWith(QStringLiteral("Nothing exported")), kTimeout);
        }
        QCOMPARE(TestFiles::readAll(exported), backup);
        QVERIFY(QFile::resize(store, 600)); // cut short
        tab->setStatus(QString());
        run(main.get(), "mnuExportBm");
        QTRY_VERIFY_WITH_TIMEOUT(tab->statusText().startsWith(QStringLiteral("Nothing exported")), kTimeout);
        QCOMPARE(TestFiles::readAll(exported), backup);
        shutDown(main);
    }

    void favoritesTab()
    {
        const QString sep = QStringLiteral(">\u00A4<");
        FavoritesStore::save(m_env->programDir() + QStringLiteral("/_data/_favorites.dat"),
                             {QStringLiteral("Page A") + sep + url("/a") + sep + QStringLiteral("news"),
                              QStringLiteral("Page B") + sep + url("/b") + sep + QStringLiteral("sport"),
                              QStringLiteral("Home") + sep + url("/home")});
        auto main = start();
        auto *tab = qobject_cast<Form9 *>(main->dsMain()->document(2)->hostedForm());
        ListProxy list = tab->List1();
        QVERIFY(list.isValid());
        QCOMPARE(list.ListCount(), 3);
        QCOMPARE(tab->countText(), QStringLiteral("Z\u00e1znamov : 3"));
        retype(tab->Text1(), QStringLiteral(" NEWS "));
        QCOMPARE(list.ListCount(), 1);
        QCOMPARE(tab->countText(), QStringLiteral("Z\u00e1znamov : 1"));
        retype(tab->Text1(), QStringLiteral("   "));
        QCOMPARE(list.ListCount(), 3);
        retype(tab->Text1(), QStringLiteral("sport"));
        QCOMPARE(list.ListCount(), 1);

        // Ctrl+R: everything again; the box keeps the filter, the count
        // says what is listed.
        QListView *view = list.widget()->findChild<QListView *>();
        QTest::keyRelease(view, Qt::Key_R, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(list.ListCount(), 1);
        QTest::keyRelease(view, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(list.ListCount(), 3);
        QCOMPARE(tab->Text1()->text(), QStringLiteral("sport"));
        QCOMPARE(tab->countText(), QStringLiteral("Z\u00e1znamov : 3"));

        main->dsMain()->document(2)->activate();
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), kTimeout);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
        QCOMPARE(tab->statusText(), url("/b"));
        // A right click on another row copies the highlighted one's address.
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, rowCentre(view, 0));
        QCOMPARE(QApplication::clipboard()->text(), url("/b"));
        QCOMPARE(list.ListIndex(), 1);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, url("/b")));
        shutDown(main);
    }

    void favoritesAreKeptTidy()
    {
        const QString store = m_env->programDir() + QStringLiteral("/_data/_favorites.dat");
        const QString sep = QStringLiteral(">\u00A4<");
        const QString a = QStringLiteral("Page A") + sep + url("/a") + sep + QStringLiteral("news");
        const QString b = QStringLiteral("Page B") + sep + url("/b") + sep + QStringLiteral("sport");
        const QString c = QStringLiteral("Meta") + sep + url("/meta");
        const QString home = QStringLiteral("Home") + sep + url("/home");
        QVERIFY(FavoritesStore::save(store, {a, b, c, home}));
        auto main = start();
        auto *tab = qobject_cast<Form9 *>(main->dsMain()->document(2)->hostedForm());
        main->dsMain()->document(2)->activate();
        ListProxy list = tab->List1();
        QListView *view = list.widget()->findChild<QListView *>();
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), kTimeout);

        // Delete, the key: one save, the record gone from the file and the list.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 0));
        QTest::keyClick(view, Qt::Key_Delete);
        QTRY_COMPARE(tab->statusText(), QStringLiteral("1 favorite deleted"));
        QCOMPARE(FavoritesStore::load(store), QStringList({b, c, home}));
        QCOMPARE(tab->countText(), QStringLiteral("Z\u00e1znamov : 3"));

        // Another browser edits the record just before it is deleted here:
        // nothing is deleted, and the status says so.
        const QString elsewhere = QStringLiteral("Meta, edited") + sep + url("/meta");
        QVERIFY(FavoritesStore::rewrite(store, [&](const QStringList &stored) {
            QStringList changed = stored;
            changed.replace(stored.indexOf(c), elsewhere);
            return std::optional<QStringList>(changed);
        }));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 1)); // "Meta", as listed
        QTest::keyClick(view, Qt::Key_Delete);
        QTRY_VERIFY(tab->statusText().startsWith(QStringLiteral("Not deleted")));
        QCOMPARE(FavoritesStore::load(store), QStringList({b, elsewhere, home}));
        QCOMPARE(Form9::deletedText(1, 2), QStringLiteral("1 favorite deleted (1 no longer stored)"));
        QVERIFY(FavoritesStore::rewrite(store, [&](const QStringList &) {
            return std::optional<QStringList>(QStringList{b, c, home});
        }));
        tab->List1().RefreshFavoritesEx(programState().FavoritesFile);

        // Two rows picked with Ctrl, deleted from the context menu.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(view, 1));
        QString chosen;
        ModalInput::whenShown([&chosen](QWidget *menu) {
            auto *m = qobject_cast<QMenu *>(menu);
            for (int i = 0; i < 6 && !(m->activeAction() && m->activeAction()->text() == QStringLiteral("Delete")); ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            chosen = m->activeAction() ? m->activeAction()->text() : QString();
            if (chosen == QStringLiteral("Delete"))
                QTest::keyClick(menu, Qt::Key_Return);
            else
                m->close();
        });
        const QPoint at = view->viewport()->mapTo(main.get(), rowCentre(view, 1));
        QTest::mouseClick(main->windowHandle(), Qt::RightButton, {}, at);
        QTRY_COMPARE(chosen, QStringLiteral("Delete"));
        QTRY_COMPARE(tab->statusText(), QStringLiteral("2 favorites deleted"));
        QCOMPARE(FavoritesStore::load(store), QStringList({home}));

        // A store another program keeps busy past the wait: nothing is
        // shown as deleted.
        auto reader = std::make_unique<FileLock>(store, FileLock::Mode::Shared, std::chrono::milliseconds(0));
        QVERIFY(reader->isLocked());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 0));
        QTest::keyClick(view, Qt::Key_Delete);
        QTRY_VERIFY_WITH_TIMEOUT(tab->statusText().contains(QStringLiteral("could not be saved")), kTimeout);
        reader.reset();
        QCOMPARE(FavoritesStore::load(store), QStringList({home}));
        QCOMPARE(list.ListCount(), 1);

        // F2 edits title, address and keywords; the change outlives a restart.
        ModalInput::whenShown([](QWidget *dialog) {
            auto *editor = qobject_cast<FavoriteEditor *>(dialog);
            QVERIFY(editor);
            QTest::keyClick(editor->titleBox(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor->titleBox(), QStringLiteral("Start page"));
            editor->keywordsBox()->setFocus();
            QTest::keyClicks(editor->keywordsBox(), QStringLiteral("garden pruning"));
            QTest::keyClick(editor->keywordsBox(), Qt::Key_Return);
        });
        QTest::keyClick(view, Qt::Key_F2);
        const QString edited =
            QStringLiteral("Start page") + sep + url("/home") + sep + QStringLiteral("garden pruning");
        QTRY_COMPARE(tab->statusText(), QStringLiteral("Favorite saved: ") + url("/home"));
        QCOMPARE(FavoritesStore::load(store), QStringList({edited}));
        QCOMPARE(list.List(0), QStringLiteral("  Start page"));
        shutDown(main);

        main = start();
        tab = qobject_cast<Form9 *>(main->dsMain()->document(2)->hostedForm());
        QCOMPARE(tab->List1().List(0), QStringLiteral("  Start page"));
        QCOMPARE(tab->recordFor(url("/home")), edited);
        shutDown(main);
    }

    // What a page asks to use is asked in the tab's bar after a real click:
    // allowed, blocked, kept for the site across a restart, and changed in
    // the Site Permissions dialog (the site then asks again).
    void sitePermissions()
    {
        const QByteArray cover = "<button style='position:fixed;left:0;top:0;width:100%;height:100%' onclick=\"";
        const QByteArray notify = CommandPages::page(
            "Notify", {},
            cover
                + "Notification.requestPermission().then(function(r){document.title='notifications '+r;})\">"
                  "ask</button>");
        m_server.setPage(QStringLiteral("/notify"), notify);
        m_server.setPage(QStringLiteral("/where"),
                         CommandPages::page("Where", {},
                                            cover
                                                + "navigator.geolocation.getCurrentPosition(function(){"
                                                  "document.title='located';},function(e){"
                                                  "document.title='location error '+e.code;})\">ask</button>"));
        const QString origin = QUrl(url("/")).adjusted(QUrl::RemovePath).toString();
        const QString file = m_env->programDir() + QStringLiteral("/_data/_permissions.dat");
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        Form2 *tab = tabAt(main.get(), 1);
        const auto clickPage = [&](const char *path) {
            tab->wb1()->Navigate(url(path));
            QVERIFY(waitLoaded(main.get(), 1, url(path)));
            QVERIFY(clickIntoPage(tab->wb1()));
        };
        PermissionBar *bar = tab->permissions()->bar();
        clickPage("/notify");
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kTimeout);
        QCOMPARE(bar->question(), origin + QStringLiteral(" wants to show notifications."));
        QVERIFY(bar->rememberBox()->isChecked());
        QTest::mouseClick(bar->allowButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("notifications granted"), kTimeout);
        QVERIFY(!bar->isVisible());

        // An allowed notification is shown (here, without a desktop service,
        // in the window's corner); a click brings its tab to the front and
        // tells the page.
        if (!DesktopNotifications::available()) {
            m_server.setPage(QStringLiteral("/note"),
                             CommandPages::page("Note", {},
                                                cover
                                                    + "var n=new Notification('Hello',{body:'From the page'});"
                                                      "n.onclick=function(){document.title='note clicked';};\">"
                                                      "note</button>"));
            clickPage("/note");
            NotificationToast *toast = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((toast = main->findChild<NotificationToast *>()) && toast->isVisible(), kTimeout);
            QCOMPARE(toast->title(), QStringLiteral("Hello"));
            main->dsMain()->document(2)->activate();
            QTest::mouseClick(toast, Qt::LeftButton);
            QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("note clicked"), kTimeout);
            QCOMPARE(main->dsMain()->activeDocument(), main->dsMain()->document(1));
        }

        // Camera and microphone together: allowed for this time only, the
        // page gets its stream; nothing is remembered.
        m_server.setPage(
            QStringLiteral("/call"),
            CommandPages::page("Call", {},
                               cover
                                   + "navigator.mediaDevices.getUserMedia({video:true,audio:true})"
                                     ".then(function(s){document.title='media '+s.getTracks().length;},"
                                     "function(e){document.title='media error '+e.name;})\">call</button>"));
        clickPage("/call");
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kTimeout);
        QCOMPARE(bar->question(), origin + QStringLiteral(" wants to use your camera and microphone."));
        QTest::mouseClick(bar->rememberBox(), Qt::LeftButton);
        QVERIFY(!bar->rememberBox()->isChecked());
        QTest::mouseClick(bar->allowButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(tab->wb1()->LocationName().startsWith(QStringLiteral("media ")), kTimeout);
        QCOMPARE(tab->wb1()->LocationName(), QStringLiteral("media 2"));

        // Mouse lock asks the same way; blocked for this time, the page hears
        // no. (Screen sharing cannot be asked for here: the engine of this
        // Qt refuses a page's getDisplayMedia itself.)
        m_server.setPage(QStringLiteral("/lock"),
                         CommandPages::page("Lock",
                                            "<script>document.onpointerlockerror=function(){document.title='no lock';};"
                                            "document.onpointerlockchange=function(){document.title='locked';};"
                                            "</script>",
                                            cover + "this.requestPointerLock()\">lock</button>"));
        clickPage("/lock");
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kTimeout);
        QCOMPARE(bar->question(), origin + QStringLiteral(" wants to lock the mouse pointer."));
        QTest::mouseClick(bar->rememberBox(), Qt::LeftButton);
        QTest::mouseClick(bar->blockButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("no lock"), kTimeout);

        clickPage("/where");
        QTRY_VERIFY_WITH_TIMEOUT(bar->isVisible(), kTimeout);
        QCOMPARE(bar->question(), origin + QStringLiteral(" wants to know your location."));
        QTest::mouseClick(bar->blockButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("location error 1"), kTimeout);
        QCOMPARE(
            SitePermissions::read(file),
            (QList<SitePermissions::Entry>{{origin, QStringLiteral("notifications"), SitePermissions::Decision::Allow},
                                           {origin, QStringLiteral("location"), SitePermissions::Decision::Block}}));
        QCOMPARE(QFileInfo(file).permissions() & 0x0077, QFileDevice::Permissions()); // the user's alone
        shutDown(main);

        // Kept across a restart: a site with a decision in the file (one the
        // engine has not met in this run) is answered without asking.
        TestHttpServer other;
        QVERIFY(other.listen());
        other.setPage(QStringLiteral("/notify"), notify);
        const QString otherOrigin = QUrl(other.url(QStringLiteral("/"))).adjusted(QUrl::RemovePath).toString();
        QVERIFY(SitePermissions::write(file,
                                       SitePermissions::with(SitePermissions::read(file), otherOrigin,
                                                             QStringLiteral("notifications"),
                                                             SitePermissions::Decision::Block)));
        main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        tab = tabAt(main.get(), 1);
        bar = tab->permissions()->bar();
        tab->wb1()->Navigate(other.url(QStringLiteral("/notify")));
        QVERIFY(waitLoaded(main.get(), 1, other.url(QStringLiteral("/notify"))));
        QVERIFY(clickIntoPage(tab->wb1()));
        QTRY_COMPARE_WITH_TIMEOUT(tab->wb1()->LocationName(), QStringLiteral("notifications denied"), kTimeout);
        QVERIFY(!bar->isVisible());

        // Changed and removed in the dialog, with real clicks.
        bool changed = false;
        ModalInput::whenShown([&changed, origin](QWidget *w) {
            auto *dialog = qobject_cast<SitePermissionsDialog *>(w);
            if (!dialog) {
                w->close();
                return;
            }
            QTreeWidget *list = dialog->list();
            const auto pick = [list](const QString &site, const QString &feature) {
                for (int i = 0; i < list->topLevelItemCount(); ++i) {
                    QTreeWidgetItem *item = list->topLevelItem(i);
                    if (item->text(0) == site && item->text(1) == feature) {
                        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
                        return list->currentItem() == item;
                    }
                }
                return false;
            };
            changed = list->topLevelItemCount() == 3 && pick(origin, QStringLiteral("location"));
            QTest::mouseClick(dialog->removeButton(), Qt::LeftButton);
            changed = changed && pick(origin, QStringLiteral("notifications"));
            QTest::mouseClick(dialog->blockButton(), Qt::LeftButton);
            dialog->reject();
        });
        run(main.get(), "mnuPermissions");
        QVERIFY(changed);
        QCOMPARE(SitePermissions::decisionFor(SitePermissions::read(file), origin, QStringLiteral("notifications")),
                 SitePermissions::Decision::Block);
        QCOMPARE(SitePermissions::decisionFor(SitePermissions::read(file), origin, QStringLiteral("location")),
                 std::nullopt);
        QCOMPARE(SitePermissions::read(file).size(), 2);
        shutDown(main);
    }

    void starInTheAddressBox()
    {
        const QString store = m_env->programDir() + QStringLiteral("/_data/_favorites.dat");
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        QLineEdit *box = main->dsMain()->addressBox();
        QToolButton *star = nullptr;
        for (QToolButton *b : box->findChildren<QToolButton *>()) {
            if (b->defaultAction() == main->star()->action())
                star = b;
        }
        QVERIFY(star);
        QTRY_COMPARE(main->star()->action()->toolTip(), QStringLiteral("Add to Favorites"));

        // Not stored: a click adds the page.
        QTest::mouseClick(star, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(main->star()->isStored(), kTimeout);
        QCOMPARE(FavoritesStore::load(store).size(), 1);
        QCOMPARE(FavoriteRecord::field(FavoritesStore::load(store).first(), FavoriteRecord::Field::Url), url("/home"));

        // Stored: a click opens the edit dialog.
        ModalInput::whenShown([](QWidget *dialog) {
            auto *editor = qobject_cast<FavoriteEditor *>(dialog);
            QVERIFY(editor);
            QTest::keyClick(editor->titleBox(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor->titleBox(), QStringLiteral("My start"));
            QTest::keyClick(editor->titleBox(), Qt::Key_Return);
        });
        QTest::mouseClick(star, Qt::LeftButton);
        QTRY_COMPARE(FavoriteRecord::field(FavoritesStore::load(store).value(0), FavoriteRecord::Field::Title),
                     QStringLiteral("My start"));
        QCOMPARE(FavoritesStore::load(store).size(), 1);

        // Another page: no star until it is added.
        main->dsMain()->setCommandText(QStringLiteral("mnuAddress"), url("/b"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, url("/b")));
        QTRY_VERIFY_WITH_TIMEOUT(!main->star()->isStored(), kTimeout);
        shutDown(main);
    }

    void listsAreMadeWhenSeen()
    {
        // The history pane (behind the search pane) and the favorites tab
        // (behind the home tab) load their list only once brought into sight.
        FavoritesStore::save(m_env->programDir() + QStringLiteral("/_data/_favorites.dat"),
                             {QStringLiteral("Page A>\u00A4<") + url("/a")});
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        DockFrame *dock = main->dsMain();
        QWidget *history = dock->pane(QStringLiteral("frmHistory"))->hostedForm();
        QWidget *favorites = dock->document(2)->hostedForm();
        QVERIFY(!history->findChild<QListView *>());
        QVERIFY(!favorites->findChild<QListView *>());

        VisitRecorder::instance()->flush(); // the home page's visit is in the history
        dock->pane(QStringLiteral("frmHistory"))->dock()->raise();
        QTRY_VERIFY_WITH_TIMEOUT(history->findChild<QListView *>(), kTimeout);
        QVERIFY(history->findChild<QListView *>()->isVisible());
        QCOMPARE(qobject_cast<Form6 *>(history)->List1().ListCount(), 1);
        dock->document(2)->activate();
        QTRY_VERIFY_WITH_TIMEOUT(favorites->findChild<QListView *>(), kTimeout);
        QVERIFY(favorites->findChild<QListView *>()->isVisible());
        auto *tab = qobject_cast<Form9 *>(favorites);
        QCOMPARE(tab->List1().ListCount(), 1);
        QCOMPARE(tab->countText(), QStringLiteral("Z\u00e1znamov : 1"));
        shutDown(main);
    }

    void historyPane()
    {
        auto main = start();
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        tabAt(main.get(), 1)->wb1()->Navigate(url("/a"));
        QVERIFY(waitLoaded(main.get(), 1, url("/a")));
        auto *pane = qobject_cast<Form6 *>(main->dsMain()->pane(QStringLiteral("frmHistory"))->hostedForm());
        ListProxy list = pane->List1();
        QVERIFY(list.isValid());
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QTest::keyRelease(list.widget()->findChild<QListView *>(), Qt::Key_R, Qt::ControlModifier);
                return list.ListCount() == 2;
            }(),
            kTimeout);
        QCOMPARE(list.List(0), QStringLiteral("  Page A")); // newest first
        QListView *view = list.widget()->findChild<QListView *>();
        main->dsMain()->pane(QStringLiteral("frmHistory"))->dock()->raise();
        QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), kTimeout);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
        QCOMPARE(pane->statusText(), url("/home"));
        // A double click opens in the active tab; with Shift held in a new one.
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));
        QTest::keyPress(view->viewport(), Qt::Key_Shift);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(view, 1));
        QTest::keyRelease(view->viewport(), Qt::Key_Shift);
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, url("/home")));
        QTest::mouseClick(pane->Check1(), Qt::LeftButton); // all history: nothing older here, same rows
        QCOMPARE(list.ListCount(), 2);
        QVERIFY(pane->dateLimit().isEmpty());
        shutDown(main);
    }

    void searchPane()
    {
        QFile config(m_env->programDir() + QStringLiteral("/_config.dat"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(("[Search]\r\nCount=3\r\nText1=One\r\nUrl1=" + url("/a")
                      + "?q=<%search%>&again=<%search%>\r\n"
                        "Text2=Two\r\nUrl2="
                      + url("/b") + "\r\nText3=Three\r\nUrl3=" + url("/home") + "?s=<%search%>\r\n")
                         .toUtf8());
        config.close();
        QCOMPARE(Form5::fillTemplate(QStringLiteral("x<%search%>y<%search%>"), QStringLiteral("<%search%>")),
                 QStringLiteral("x%3C%25search%25%3Ey%3C%25search%25%3E"));
        QCOMPARE(Form5::fillTemplate(QStringLiteral("http://t/"), QStringLiteral("q")), QStringLiteral("http://t/"));

        auto main = start();
        auto *pane = qobject_cast<Form5 *>(main->dsMain()->pane(QStringLiteral("frmSearch"))->hostedForm());
        QVERIFY(pane);
        QCOMPARE(pane->Combo1()->count(), 3);
        QCOMPARE(pane->Combo1()->itemText(2), QStringLiteral("Three"));
        QVERIFY(waitLoaded(main.get(), 1, url("/home")));

        // One engine, active tab, both placeholders filled, Enter searches.
        // Words are encoded: "&" and "+" stay part of the query.
        QTest::keyClicks(pane->Text1(), QStringLiteral("  fish & chips c++ "));
        QTest::keyClick(pane->Text1(), Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1,
                           url("/a")
                               + QStringLiteral("?q=fish%20%26%20chips%20c%2B%2B&again=fish%20%26%20chips%20c%2B%2B")));
        pane->Text1()->selectAll();
        QTest::keyClicks(pane->Text1(), QStringLiteral("  two words  "));
        QTest::keyClick(pane->Text1(), Qt::Key_Return);
        QVERIFY(waitLoaded(main.get(), 1, url("/a") + QStringLiteral("?q=two%20words&again=two%20words")));

        // One Enter is one search: one new tab with "Open In New Window".
        QTest::mouseClick(pane->Check2(), Qt::LeftButton);
        QVERIFY(pane->Check2()->isChecked());
        pane->Text1()->setFocus();
        QTest::keyClick(pane->Text1(), Qt::Key_Return);
        QCOMPARE(main->dsMain()->documentCount(), 3);
        QVERIFY(waitLoaded(main.get(), 3, url("/a") + QStringLiteral("?q=two%20words&again=two%20words")));
        main->dsMain()->document(3)->setShown(false);
        QTest::mouseClick(pane->Check2(), Qt::LeftButton);

        // All engines: three tabs in order, whatever "Open In New Window" says.
        QTest::mouseClick(pane->Check1(), Qt::LeftButton);
        QVERIFY(pane->Check1()->isChecked());
        QTest::keyClick(pane->Text1(), Qt::Key_Enter);
        QCOMPARE(main->dsMain()->documentCount(), 5);
        QVERIFY(waitLoaded(main.get(), 3, url("/a") + QStringLiteral("?q=two%20words&again=two%20words")));
        QVERIFY(waitLoaded(main.get(), 4, url("/b")));
        QVERIFY(waitLoaded(main.get(), 5, url("/home") + QStringLiteral("?s=two%20words")));

        // The favorites tab active and neither box checked: nothing happens.
        QTest::mouseClick(pane->Check1(), Qt::LeftButton);
        QVERIFY(!pane->Check1()->isChecked());
        main->dsMain()->document(2)->activate();
        QTest::mouseClick(pane->Command1(), Qt::LeftButton);
        QCOMPARE(main->dsMain()->documentCount(), 5);

        // No engines: "Url0" is asked for, and nothing breaks.
        pane->Combo1()->clear();
        QTest::mouseClick(pane->Check2(), Qt::LeftButton);
        QVERIFY(pane->Check2()->isChecked());
        QTest::mouseClick(pane->Command1(), Qt::LeftButton);
        QCOMPARE(main->dsMain()->documentCount(), 6);
        shutDown(main);
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
    TestPanes test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panes.moc"
