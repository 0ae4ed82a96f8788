#include "componentabi.h"
#include "componentfactory.h"
#include "historyproxy.h"
#include "mdlapplication.h"
#include "registrystore.h"
#include "smalldisk.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QtTest>

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

QTEST_GUILESS_MAIN(TestComponents)
#include "tst_components.moc"
