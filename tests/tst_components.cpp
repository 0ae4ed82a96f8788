#include "platform/componentabi.h"
#include "platform/componentfactory.h"
#include "navkit/proxies/favoritesproxy.h"
#include "navkit/proxies/historyproxy.h"
#include "navkit/proxies/listproxy.h"
#include "navkit/mdlapplication.h"
#include "platform/registrystore.h"
#include "smalldisk.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QLoggingCategory>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>

#include <algorithm>

class TestComponents : public QObject
{
    Q_OBJECT

    int regsvr(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(REGSVR_TOOL), args);
        return p.waitForFinished(30000) ? p.exitCode() : -1;
    }

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void sortDescending()
    {
        QStringList v{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")};
        mdlApplication::SortDescending(v);
        QCOMPARE(v, (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
        // Code-unit order: capitals before small letters, "é" after "z".
        QStringList w{QStringLiteral("Z"), QStringLiteral("a"), QStringLiteral("é"), QStringLiteral("z"),
                      QStringLiteral("a")};
        mdlApplication::SortDescending(w);
        QCOMPARE(w,
                 (QStringList{QStringLiteral("é"), QStringLiteral("z"), QStringLiteral("a"), QStringLiteral("a"),
                              QStringLiteral("Z")}));
        QStringList empty;
        mdlApplication::SortDescending(empty);
        QVERIFY(empty.isEmpty());
        // Long shared beginnings (a third longer than the sort reads in
        // steps), prefixes of each other, NULs, surrogates: the same order
        // as comparing whole strings.
        QStringList many;
        const QString units = QStringLiteral("ab\u0000\u00e9z") + QChar(0xd83d) + QChar(0xde00);
        for (int i = 0; i < 3000; ++i) {
            QString text = QStringLiteral("https://www.example.test/") + QString(i % 3 ? 0 : 300, u'a');
            for (int k = 0, n = (i * 7919) % 9; k < n; ++k)
                text += units.at((i * 31 + k * 17) % units.size());
            many.append(text);
        }
        QStringList expected = many;
        std::sort(expected.begin(), expected.end(),
                  [](const QString &a, const QString &b) { return QStringView(a).compare(QStringView(b)) > 0; });
        mdlApplication::SortDescending(many);
        QCOMPARE(many, expected);
    }

    void unregisteredClassIsNotCreated()
    {
        QVERIFY(!ComponentFactory::create(QStringLiteral("QuillonHelper.clsHistory")));
        QVERIFY(!HistoryProxy::create().isValid());
        QVERIFY(!HistoryProxy().Refresh());
    }

    void createdThroughTheManifest()
    {
        QVERIFY(QDir().mkpath(m_env->programDir()));
        QFile manifest(m_env->programDir() + QStringLiteral("/components.manifest"));
        QVERIFY(manifest.open(QIODevice::WriteOnly));
        manifest.write("[Classes]\r\nQuillonHelper.clsHistory=" NAVKIT_LIBRARY "\r\n");
        manifest.close();

        QObject owner;
        HistoryProxy history = HistoryProxy::create(&owner);
        QVERIFY(history.isValid());
        QCOMPARE(history.object()->metaObject()->className(), "clsHistory");
        QVERIFY(history.AddURL(QStringLiteral("http://a.test/"), QStringLiteral("A"), 3));
        QCOMPARE(history.Count(), 0);
        QVERIFY(history.Refresh());
        QCOMPARE(history.Count(), 1);
        QCOMPARE(history.Item(1).URL(), QStringLiteral("http://a.test/"));
        QCOMPARE(history.Item(1).Flags(), 3u);
        QVERIFY(history.Item(1).LastVisited().isValid());
        QVERIFY(!history.Item(2).isValid());
        QVERIFY(!history.Remove(2));
        QVERIFY(history.Remove(1));
        QVERIFY(history.Refresh(QStringLiteral("http:"), 0));
        QCOMPARE(history.Count(), 0);
        // Not in the manifest: not created.
        QVERIFY(!ComponentFactory::create(QStringLiteral("QuillonHelper.clsHistoryItem")));
    }

    // Every call and connection the hosts make by name reaches the
    // component: a name or signature that drifted would only be logged.
    void hostsCallsResolve()
    {
        QVERIFY(QDir().mkpath(m_env->programDir()));
        QFile manifest(m_env->programDir() + QStringLiteral("/components.manifest"));
        QVERIFY(manifest.open(QIODevice::WriteOnly));
        manifest.write("[Classes]\r\nQuillonHelper.List=" NAVKIT_LIBRARY "\r\nQuillonHelper.Favorites=" NAVKIT_LIBRARY
                       "\r\n");
        manifest.close();
        static QStringList missed;
        missed.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("quillon.*=true"));
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) {
                if (m.contains(QStringLiteral("did not take")) || m.contains(QStringLiteral("not connected"))
                    || m.contains(QStringLiteral("not called")))
                    missed.append(m);
            });
        const auto restore = qScopeGuard([previous] {
            qInstallMessageHandler(previous);
            QLoggingCategory::setFilterRules(QString());
        });
        const QString store = m_env->path(QStringLiteral("_favorites.dat"));
        const QString sep = QStringLiteral(">\u00A4<");
        const QString a = QStringLiteral("A") + sep + QStringLiteral("http://a.test/") + sep + QStringLiteral("alpha");
        const QString b = QStringLiteral("B") + sep + QStringLiteral("http://b.test/") + sep + QStringLiteral("beta");

        QObject owner;
        FavoritesProxy favorites = FavoritesProxy::create(&owner);
        QVERIFY(favorites.isValid());
        QVERIFY(favorites.InsertFavorite(store, a));
        QCOMPARE(favorites.FindFavorite(store, QStringLiteral("http://a.test/")), a);
        QCOMPARE(favorites.SuggestFavorites(store, QStringLiteral("alp"), 5), QStringList{a});
        QVERIFY(favorites.ReplaceFavorite(store, a, b));
        QVERIFY(favorites.ExportBookmarks(store, m_env->path(QStringLiteral("out.html"))));
        QCOMPARE(favorites.DeleteFavorites(store, {b}), 1);

        QWidget parent;
        ListProxy list = ListProxy::create(&parent);
        QVERIFY(list.isValid());
        QSignalSpy inserted(list.widget(), SIGNAL(InsertFinished(QString, bool)));
        list.InsertFavorites(store, a);
        QVERIFY(inserted.wait());
        QCOMPARE(list.FindFavorite(store, QStringLiteral("http://a.test/")), a);
        QCOMPARE(list.SuggestFavorites(store, QStringLiteral("alp"), 5), QStringList{a});
        QVERIFY(list.ReplaceFavorite(store, a, b));
        QCOMPARE(list.DeleteFavorites(store, {b}), 1);
        list.RefreshFavoritesEx(store);
        QCOMPARE(list.ListCount(), 0);
        list.RefreshFavoritesLater(store);
        // The saves away from the GUI thread answer to the host's slots.
        QSignalSpy deleted(list.widget(), SIGNAL(DeleteFinished(QStringList, int)));
        QSignalSpy exported(list.widget(), SIGNAL(ExportFinished(QString, bool)));
        QSignalSpy replaced(list.widget(), SIGNAL(ReplaceFinished(QString, QString, bool)));
        QTimer host; // any slot proves the signatures connect
        QVERIFY(list.connectSaves(&host, SLOT(stop()), SLOT(stop()), SLOT(stop())));
        list.StartDeleteFavorites(store, {a});
        list.StartReplaceFavorite(store, a, b);
        list.StartExportBookmarks(store, m_env->path(QStringLiteral("out.html")));
        QTRY_COMPARE(exported.size(), 1);
        QCOMPARE(deleted.size(), 1);
        QCOMPARE(replaced.size(), 1);
        QVERIFY(list.ExportBookmarks(store, m_env->path(QStringLiteral("out.html"))));
        QCOMPARE(list.ImportBookmarks(store, m_env->path(QStringLiteral("out.html"))), 0);
        list.SelectedRows();
        list.ItemRecord(0);
        // The import away from the GUI thread reports to the host's slots.
        QSignalSpy finished(list.widget(), SIGNAL(ImportFinished(int)));
        QVERIFY(list.StartImportBookmarks(store, m_env->path(QStringLiteral("out.html"))));
        QVERIFY(finished.wait(10000));
        QCOMPARE(missed, QStringList());
    }

    void registrationTool()
    {
        QCOMPARE(regsvr({QStringLiteral("-s"), QStringLiteral(NAVKIT_LIBRARY)}), 0);
        RegistryStore store;
        const auto server =
            store.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("QuillonHelper.clsHistory\\InprocServer32"), QString());
        QVERIFY(server);
        QCOMPARE(server->text, QFileInfo(QStringLiteral(NAVKIT_LIBRARY)).absoluteFilePath());
        QObject owner;
        QVERIFY(HistoryProxy::create(&owner).isValid());
        QVERIFY(ComponentFactory::create(QStringLiteral("QuillonHelper.clsHistoryItem"), &owner));

        QCOMPARE(regsvr({QStringLiteral("-u"), QStringLiteral("-s"), QStringLiteral(NAVKIT_LIBRARY)}), 0);
        QVERIFY(!store.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("QuillonHelper.clsHistory")));
        QVERIFY(!HistoryProxy::create(&owner).isValid());
        QCOMPARE(regsvr({QStringLiteral("-s"), m_env->path(QStringLiteral("nothing.so"))}), 1);
    }

    void registrationOnAFullDiskFailsAndKeepsTheRegistry()
    {
        const QString root = m_env->path(QStringLiteral("small"));
        const SmallDisk disk(root, "100k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root");
        qputenv("QUILLON_PLATFORM_ROOT", root.toUtf8());
        RegistryStore store;
        QVERIFY(store.setValue(HKEY_CLASSES_ROOT, QStringLiteral("Other.Class\\CLSID"), QString(),
                               RegValue::string(QStringLiteral("{1}"))));
        const QString file = store.filePath(HKEY_CLASSES_ROOT);
        QFile before(file);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray kept = before.readAll();
        before.close();
        disk.fill(root + QStringLiteral("/filler"));
        QCOMPARE(regsvr({QStringLiteral("-s"), QStringLiteral(NAVKIT_LIBRARY)}), 1); // reported, not 0
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), kept);
    }

    void unloadOnlyWithoutLiveObjects()
    {
        QLibrary lib(QStringLiteral(NAVKIT_LIBRARY));
        QVERIFY(lib.load());
        auto canUnload = reinterpret_cast<ComponentAbi::DllCanUnloadNowFn>(lib.resolve("DllCanUnloadNow"));
        auto getClass = reinterpret_cast<ComponentAbi::DllGetClassObjectFn>(lib.resolve("DllGetClassObject"));
        QVERIFY(canUnload && getClass);
        QCOMPARE(canUnload(), ComponentAbi::kOk);
        ComponentAbi::CreateInstanceFn factory = nullptr;
        QCOMPARE(getClass("QuillonHelper.Nothing", &factory), ComponentAbi::kClassNotAvailable);
        QCOMPARE(getClass("QuillonHelper.clsHistoryItem", &factory), ComponentAbi::kOk);
        std::unique_ptr<QObject> item(factory(nullptr));
        QCOMPARE(canUnload(), ComponentAbi::kFalse);
        item.reset();
        QCOMPARE(canUnload(), ComponentAbi::kOk);
    }

    void hostsDoNotLinkTheLibrary()
    {
#ifndef QUILLON_PROGRAM
        QSKIP("built without the browser");
#else
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {QStringLiteral(QUILLON_PROGRAM)});
        QVERIFY(ldd.waitForFinished(30000));
        const QByteArray out = ldd.readAllStandardOutput();
        QVERIFY(out.contains("libQt6"));
        QVERIFY(!out.contains("navkit"));
#endif
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestComponents)
#include "tst_components.moc"
