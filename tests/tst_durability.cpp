// Stored data under a full disk, concurrent writers, killed writers and
// folders the user may not write to.
#include "platform/atomicfile.h"
#include "platform/atomicfilefaults.h"
#include "app/settings/clslayout.h"
#include "navkit/favorites/favoritesstore.h"
#include "platform/filelock.h"
#include "app/settings/mdlinicontrol.h"
#include "platform/platformpaths.h"
#include "platform/registrystore.h"
#include "smalldisk.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using TestFiles::readAll;
using TestFiles::writeAll;

namespace {

// How many descriptors of this process have the file open: a thread that
// waits for a lock holds its sidecar open while it waits.
int openers(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files))
        count += fd.symLinkTarget() == target ? 1 : 0;
    return count;
}

int mode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QStringList leftovers(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden);
}

// The four kinds of user data file, each saved with a marker value and read back.
struct Store {
    const char *name;
    std::function<bool(const QString &folder, const QString &value)> save;
    std::function<QString(const QString &folder)> read;
    QString file;
};

QList<Store> stores()
{
    return {
        {"favorites",
         [](const QString &d, const QString &v) {
             return FavoritesStore::save(d + QStringLiteral("/_favorites.dat"), {v});
         },
         [](const QString &d) { return FavoritesStore::load(d + QStringLiteral("/_favorites.dat")).join(u','); },
         QStringLiteral("_favorites.dat")},
        {"profile",
         [](const QString &d, const QString &v) {
             return mdlIniControl::WriteIniValue(d + QStringLiteral("/_loaded.dat"), QStringLiteral("Loaded URL"),
                                                 QStringLiteral("URL_3"), v)
                 != 0;
         },
         [](const QString &d) {
             return mdlIniControl::ReadIniValue(d + QStringLiteral("/_loaded.dat"), QStringLiteral("Loaded URL"),
                                                QStringLiteral("URL_3"));
         },
         QStringLiteral("_loaded.dat")},
        {"registry",
         [](const QString &d, const QString &v) {
             RegistryStore store(d);
             return store.setValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Test"), QStringLiteral("v"),
                                   RegValue::string(v));
         },
         [](const QString &d) {
             const auto v =
                 RegistryStore(d).queryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Test"), QStringLiteral("v"));
             return v ? v->text : QString();
         },
         QStringLiteral("HKEY_LOCAL_MACHINE.reg")},
        {"layout",
         [](const QString &d, const QString &v) {
             clsLayout layout;
             layout.setLayout(v.toUtf8());
             return layout.Save(d + QStringLiteral("/_layout.lay"));
         },
         [](const QString &d) {
             clsLayout layout;
             layout.Load(d + QStringLiteral("/_layout.lay"));
             return QString::fromUtf8(layout.Layout().toByteArray());
         },
         QStringLiteral("_layout.lay")},
    };
}

} // namespace

class TestDurability : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup()
    {
        AtomicFile::setFaultInjector({});
        m_env.reset();
    }

    void failedStepKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("step");
        for (auto step : {AtomicFile::Step::Open, AtomicFile::Step::Write, AtomicFile::Step::Sync,
                          AtomicFile::Step::Close, AtomicFile::Step::Rename})
            QTest::addRow("step %d", int(step)) << int(step);
    }
    void failedStepKeepsTheOldFile()
    {
        QFETCH(int, step);
        const QString folder = m_env->path(QStringLiteral("data"));
        QVERIFY(PlatformPaths::makePrivateFolder(folder));
        for (const Store &store : stores()) {
            QVERIFY2(store.save(folder, QStringLiteral("old")), store.name);
            const QByteArray before = readAll(folder + u'/' + store.file);
            AtomicFile::setFaultInjector(
                [step](AtomicFile::Step s, const QString &) { return int(s) == step ? ENOSPC : 0; });
            QVERIFY2(!store.save(folder, QStringLiteral("new")), store.name); // reported, not swallowed
            AtomicFile::setFaultInjector({});
            QCOMPARE(readAll(folder + u'/' + store.file), before);
            QVERIFY2(store.read(folder).contains(QStringLiteral("old")), store.name);
            QVERIFY2(leftovers(folder).isEmpty(), qPrintable(leftovers(folder).join(u' ')));
        }
    }

    void fullDiskKeepsTheOldFile()
    {
        const QString folder = m_env->path(QStringLiteral("small"));
        const SmallDisk disk(folder, "200k");
        if (!disk.mounted())
            QSKIP("mounting a small file system needs root; the injected failures cover the same code");
        for (const Store &store : stores()) {
            QVERIFY2(store.save(folder, QStringLiteral("old")), store.name);
            const QByteArray before = readAll(folder + u'/' + store.file);
            disk.fill(folder + QStringLiteral("/filler"));
            // Small enough to sit in a write buffer: the full disk shows only when it is flushed.
            QVERIFY2(!store.save(folder, QStringLiteral("new")), store.name);
            QCOMPARE(readAll(folder + u'/' + store.file), before);
            QVERIFY2(store.read(folder).contains(QStringLiteral("old")), store.name);
            QVERIFY(leftovers(folder).isEmpty());
            QFile::remove(folder + QStringLiteral("/filler"));
        }
    }

    void filesArePrivate()
    {
        const QString folder = m_env->path(QStringLiteral("priv/data"));
        QVERIFY(PlatformPaths::makePrivateFolder(folder));
        QCOMPARE(mode(folder), 0700);
        QCOMPARE(mode(m_env->path(QStringLiteral("priv"))), 0700);
        for (const Store &store : stores()) {
            QVERIFY(store.save(folder, QStringLiteral("v")));
            QCOMPARE(mode(folder + u'/' + store.file), 0600);
        }
        // A folder made open by an older version is closed again.
        const QString open = m_env->path(QStringLiteral("open"));
        QVERIFY(QDir().mkpath(open));
        ::chmod(QFile::encodeName(open).constData(), 0755);
        QVERIFY(PlatformPaths::makePrivateFolder(open));
        QCOMPARE(mode(open), 0700);
    }

    void concurrentFavoritesSavesWait()
    {
        const QString file = m_env->path(QStringLiteral("_favorites.dat"));
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child-favorites"), file, QStringLiteral("300")});
        QVERIFY(other.waitForStarted());
        int refused = 0;
        for (int i = 0; i < 300; ++i)
            refused += FavoritesStore::save(file, {QStringLiteral("parent%1").arg(i)}) ? 0 : 1;
        QVERIFY(other.waitForFinished(120000));
        QCOMPARE(other.exitCode(), 0); // the other writer's saves all went through too
        QCOMPARE(refused, 0);
        QCOMPARE(FavoritesStore::load(file).size(), 600);

        // A writer that keeps the store longer than the wait is reported.
        auto held = std::make_unique<FileLock>(file, FileLock::Mode::Exclusive, std::chrono::milliseconds(0));
        QVERIFY(held->isLocked());
        auto late =
            std::async(std::launch::async, [&] { return FavoritesStore::save(file, {QStringLiteral("late")}); });
        const QString sidecar = file + QStringLiteral(".lock");
        QTRY_COMPARE(openers(sidecar), 2); // the writer waits for the lock
        held.reset();                      // released within the wait: the save goes through
        QVERIFY(late.get());
        QCOMPARE(FavoritesStore::load(file).size(), 601);

        // A list read while a save is under way waits for it instead of coming back empty.
        held = std::make_unique<FileLock>(file, FileLock::Mode::Exclusive, std::chrono::milliseconds(0));
        auto reader = std::async(std::launch::async, [&] { return FavoritesStore::load(file).size(); });
        QTRY_COMPARE(openers(sidecar), 2);
        held.reset();
        QCOMPARE(reader.get(), 601);
    }

    void readingNeedsNoWriteAccess()
    {
        const QString folder = m_env->path(QStringLiteral("ro"));
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + QStringLiteral("/_favorites.dat");
        QStringList records;
        for (int i = 0; i < 100; ++i)
            records.append(QStringLiteral("t%1").arg(i) + FavoritesStore::kFieldSeparator
                           + QStringLiteral("http://x/"));
        QVERIFY(FavoritesStore::save(file, records));
        // No sidecar can be made (as in a read-only folder; root ignores modes).
        QFile::remove(file + QStringLiteral(".lock"));
        QVERIFY(QFile::link(folder + QStringLiteral("/missing/lock"), file + QStringLiteral(".lock")));
        QCOMPARE(FavoritesStore::load(file).size(), 100);
        QFile::remove(file + QStringLiteral(".lock"));
        if (::geteuid() != 0) {
            ::chmod(QFile::encodeName(folder).constData(), 0555);
            QCOMPARE(FavoritesStore::load(file).size(), 100);
            ::chmod(QFile::encodeName(folder).constData(), 0700);
        }
    }

    void killedWritersLeaveNoLockAndNoTemp_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open pages") << QStringLiteral("profile");
        QTest::newRow("registry") << QStringLiteral("registry");
    }
    void killedWritersLeaveNoLockAndNoTemp()
    {
        QFETCH(QString, kind);
        const int kills =
            qEnvironmentVariableIntValue("QUILLON_KILLS") > 0 ? qEnvironmentVariableIntValue("QUILLON_KILLS") : 1000;
        const QString folder = m_env->path(QStringLiteral("kill"));
        QVERIFY(PlatformPaths::makePrivateFolder(folder));
        const QList<Store> all = stores();
        const auto found =
            std::find_if(all.cbegin(), all.cend(), [&](const Store &s) { return kind == QLatin1String(s.name); });
        QVERIFY(found != all.cend());
        const Store &store = *found;
        QRandomGenerator rng(99);
        qint64 slowest = 0;
        for (int round = 0; round < kills; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-write-loop"), kind, folder});
            QVERIFY(child.waitForReadyRead(30000));
            QThread::usleep(rng.bounded(200, 3000));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(30000));

            QElapsedTimer clock;
            clock.start();
            const QString mine = QStringLiteral("parent%1").arg(round);
            QVERIFY2(store.save(folder, mine), qPrintable(mine));
            slowest = std::max(slowest, clock.elapsed());
            QCOMPARE(store.read(folder), mine);
            QVERIFY2(leftovers(folder).isEmpty(), qPrintable(leftovers(folder).join(u' ')));
        }
        qInfo() << kills << "kills; slowest write after a kill" << slowest << "ms";
        QVERIFY(slowest < 1000);
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--child-favorites") == 0) {
        const QString file = QString::fromLocal8Bit(argv[2]);
        const int n = atoi(argv[3]);
        int refused = 0;
        for (int i = 0; i < n; ++i)
            refused += FavoritesStore::save(file, {QStringLiteral("child%1").arg(i)}) ? 0 : 1;
        return refused == 0 ? 0 : 1;
    }
    if (argc == 4 && qstrcmp(argv[1], "--child-write-loop") == 0) {
        const QString kind = QString::fromLocal8Bit(argv[2]);
        const QString folder = QString::fromLocal8Bit(argv[3]);
        for (const Store &store : stores()) {
            if (kind != QLatin1String(store.name))
                continue;
            QTextStream(stdout) << "writing" << Qt::endl;
            for (int i = 0;; ++i)
                store.save(folder, QStringLiteral("child%1").arg(i));
        }
        return 2;
    }
    TestDurability test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_durability.moc"
