// The installed browser: install rules, where it keeps its data, one instance, the sandbox.
#include "app/mainwindow/browserstartup.h"
#include "app/mainwindow/singleinstance.h"
#include "testfiles.h"
#include "testhttpserver.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr int kTimeout = 60000;

// Every file under folder with its size and modification time.
QStringList snapshot(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files.append(QStringLiteral("%1 %2 %3")
                         .arg(info.filePath())
                         .arg(info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch()));
    }
    files.sort();
    return files;
}

// The processes started, directly or not, by pid.
QList<qint64> descendants(qint64 pid)
{
    QHash<qint64, qint64> parent;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 p = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QByteArray stat = TestFiles::readAll(QStringLiteral("/proc/%1/stat").arg(p));
        const qsizetype end = stat.lastIndexOf(')'); // the name may hold blanks
        const QList<QByteArray> fields = stat.mid(end + 2).split(' ');
        if (end > 0 && fields.size() > 1)
            parent.insert(p, fields.at(1).toLongLong());
    }
    QList<qint64> found;
    for (auto it = parent.cbegin(); it != parent.cend(); ++it) {
        for (qint64 up = it.value(); up > 1; up = parent.value(up, 0)) {
            if (up == pid) {
                found.append(it.key());
                break;
            }
        }
    }
    return found;
}

int mode(const QString &path)
{
    return int(QFileInfo(path).permissions()
               & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
                  | QFile::ExeOther));
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QString prefix() const { return m_root.path() + QStringLiteral("/prefix"); }
    QString dataHome() const { return m_root.path() + QStringLiteral("/data"); }
    QString dataFolder() const { return dataHome() + QStringLiteral("/quillon"); }
    QString loadedFile() const { return dataFolder() + QStringLiteral("/_data/_loaded.dat"); }

    // The user's environment of an installed browser: nothing of the tests'
    // own program folder, the sandbox as the program decides.
    QProcessEnvironment userEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QUILLON_PROGRAM_DIR", "QUILLON_PLATFORM_ROOT", "QTWEBENGINE_DISABLE_SANDBOX",
                                 "QTWEBENGINE_CHROMIUM_FLAGS", "QT_LOGGING_RULES"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), m_root.path() + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_root.path() + QStringLiteral("/cache"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.path() + QStringLiteral("/run"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
        return env;
    }

    void startBrowser(QProcess &p, const QStringList &arguments)
    {
        p.setProcessEnvironment(userEnvironment());
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(prefix() + QStringLiteral("/bin/quillon"), arguments);
        QVERIFY2(p.waitForStarted(), qPrintable(p.errorString()));
    }

    // Ends the browser as a session end does, and waits for it.
    static void endBrowser(QProcess &p)
    {
        p.terminate();
        QVERIFY(p.waitForFinished(kTimeout));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

    QString writePage(const char *name, const char *title)
    {
        QString path = m_root.path() + QStringLiteral("/pages/") + QString::fromLatin1(name);
        [&] {
            QVERIFY(TestFiles::writeAll(
                path, "<html><head><title>" + QByteArray(title) + "</title></head><body>page</body></html>"));
        }();
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        for (const char *folder : {"home", "run"})
            QVERIFY(QDir().mkpath(m_root.path() + u'/' + QString::fromLatin1(folder)));
        QFile::setPermissions(m_root.path() + QStringLiteral("/run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcess install;
        install.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        install.start(QStringLiteral(CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(BUILD_DIR), QStringLiteral("--prefix"), prefix()});
        QVERIFY(install.waitForFinished(120000));
        QCOMPARE(install.exitCode(), 0);
        // The test runs in the tests' environment: that of an installed program is set per start.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_root.path() + QStringLiteral("/run")));
    }

    void installedFiles()
    {
        for (const char *file :
             {"bin/quillon", "bin/linkimport", "lib/quillon/libnavkit.so", "lib/quillon/regsvr",
              "lib/quillon/components.manifest", "lib/quillon/_config.dat", "lib/quillon/userguide.html",
              "share/applications/quillon.desktop", "share/applications/linkimport.desktop",
              "share/icons/hicolor/scalable/apps/quillon.svg", "share/icons/hicolor/16x16/apps/quillon.png",
              "share/icons/hicolor/256x256/apps/quillon.png", "share/metainfo/org.kestrane.QuillonXP.metainfo.xml"})
            QVERIFY2(QFileInfo::exists(prefix() + u'/' + QString::fromLatin1(file)), file);
        // Nothing on the system library path, and no marker of a portable folder.
        QVERIFY(!QFileInfo::exists(prefix() + QStringLiteral("/lib/libnavkit.so")));
        QVERIFY(!QFileInfo::exists(prefix() + QStringLiteral("/bin/quillon.portable")));
        // The manifest names the library beside it.
        QVERIFY(TestFiles::readAll(prefix() + QStringLiteral("/lib/quillon/components.manifest"))
                    .contains("QuillonHelper.List=libnavkit.so"));
        const QByteArray desktop = TestFiles::readAll(prefix() + QStringLiteral("/share/applications/quillon.desktop"));
        for (const char *line : {"Name=Quillon XP\n", "Exec=quillon %U\n", "Categories=Network;WebBrowser;\n",
                                 "MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;\n"})
            QVERIFY2(desktop.contains(line), line);
        // The import tool is no web browser.
        QVERIFY(!TestFiles::readAll(prefix() + QStringLiteral("/share/applications/linkimport.desktop"))
                     .contains("WebBrowser"));
    }

    void startArguments()
    {
        const QString page = writePage("a b.html", "A");
        const QString folder = QFileInfo(page).absolutePath();
        const QStringList got = BrowserStartup::addressesFromArguments(
            {QStringLiteral("--option"), QStringLiteral("a b.html"), QStringLiteral("example.org/x"),
             QStringLiteral("https://h.test/?q=1"), QStringLiteral("  ")},
            folder);
        QCOMPARE(got,
                 (QStringList{QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded),
                              QStringLiteral("http://example.org/x"), QStringLiteral("https://h.test/?q=1")}));
        // The message between two starts carries exactly the addresses.
        const QStringList addresses{QStringLiteral("http://a.test/"), QStringLiteral("file:///t%20x.html")};
        QCOMPARE(SingleInstance::parseMessage(SingleInstance::message(addresses)), addresses);
        QCOMPARE(SingleInstance::parseMessage(SingleInstance::message({})), QStringList());
        QVERIFY(!SingleInstance::parseMessage("GET / HTTP/1.0\r\n\r\n"));
        QVERIFY(!SingleInstance::parseMessage({}));
    }

    void handOverInOneProcess()
    {
        QTemporaryDir folder;
        SingleInstance running(folder.path());
        SingleInstance other(folder.path());
        SingleInstance elsewhere(folder.path() + QStringLiteral("/other"));
        QVERIFY(!other.handOver({QStringLiteral("http://a.test/")}, 200)); // nobody listens yet
        QVERIFY(running.listen());
        QSignalSpy activated(&running, &SingleInstance::activated);
        QVERIFY(other.handOver({QStringLiteral("http://a.test/")}));
        QTRY_COMPARE(activated.size(), 1);
        QCOMPARE(activated.at(0).at(0).toStringList(), QStringList{QStringLiteral("http://a.test/")});
        QVERIFY(!elsewhere.handOver({}, 200)); // another data folder, another browser

        // A runtime folder others may enter, or another user's, is not used:
        // the socket goes to a folder of the user's own, made private.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray cache = qgetenv("XDG_CACHE_HOME");
        const QString shared = folder.path() + QStringLiteral("/shared");
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(QFile::setPermissions(
            shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(shared));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.path() + QStringLiteral("/cache")));
        const QString own = folder.path() + QStringLiteral("/cache/quillon/run");
        QCOMPARE(SingleInstance::socketFolder(), own);
        QCOMPARE(mode(own), 0);
        if (::geteuid() == 0) { // only root can give a folder to another user
            QVERIFY(QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            QCOMPARE(::chown(QFile::encodeName(shared).constData(), 65534, 65534), 0);
            QCOMPARE(SingleInstance::socketFolder(), own);
        }
        qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("XDG_CACHE_HOME", cache);

        // At most 100 addresses a start.
        QStringList many;
        for (int i = 0; i < 150; ++i)
            many.append(QStringLiteral("http://a.test/%1").arg(i));
        QCOMPARE(SingleInstance::parseMessage(SingleInstance::message(many))->size(), 100);
        QCOMPARE(SingleInstance::bounded(many), many.mid(0, 100));
    }

    void installedBrowserKeepsItsDataInXdgFolders()
    {
        const QString page = writePage("first.html", "First page");
        const QString pageUrl = QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded);
        const QStringList before = snapshot(prefix());
        {
            QProcess browser;
            startBrowser(browser, {page});
            QTRY_VERIFY_WITH_TIMEOUT(TestFiles::readAll(loadedFile()).contains(pageUrl.toUtf8()), kTimeout);
            endBrowser(browser);
        }
        QCOMPARE(snapshot(prefix()), before); // nothing written under the installation
        QVERIFY(QFileInfo::exists(dataFolder() + QStringLiteral("/_layout.lay")));
        QVERIFY(QFileInfo::exists(dataFolder() + QStringLiteral("/_config.dat"))); // the user's copy
        QVERIFY(QFileInfo(dataHome() + QStringLiteral("/quillon/platform/registry")).isDir());
        // The engine's data in the program's own folder, its cache in the
        // user's cache folder, nothing under the maker's name.
        QVERIFY(QFileInfo(dataFolder() + QStringLiteral("/webengine/storage")).isDir());
        QVERIFY(QFileInfo(m_root.path() + QStringLiteral("/cache/quillon")).isDir());
        QCOMPARE(QDir(dataHome()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("quillon")});
        for (const QString &folder : {dataFolder(), dataFolder() + QStringLiteral("/_data")})
            QCOMPARE(mode(folder), 0);
        QCOMPARE(mode(loadedFile()), 0);
        QVERIFY(!QFileInfo::exists(prefix() + QStringLiteral("/bin/_data")));
        // The favorites the browser reads are where linkimport writes them.
        QVERIFY(!QFileInfo::exists(prefix() + QStringLiteral("/bin/_favorites.dat")));

        // A damaged copy of the search engines is kept aside and copied anew.
        QVERIFY(TestFiles::writeAll(dataFolder() + QStringLiteral("/_config.dat"), QByteArray("\0\x01garbage", 9)));

        // The second start restores the page (and keeps it at its end).
        QProcess again;
        startBrowser(again, {});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SingleInstance::serverName(dataFolder())), kTimeout);
        endBrowser(again);
        QVERIFY(TestFiles::readAll(loadedFile()).contains(pageUrl.toUtf8()));
        QVERIFY(TestFiles::readAll(dataFolder() + QStringLiteral("/_config.dat")).contains("[Search]"));
        QVERIFY(QFileInfo::exists(dataFolder() + QStringLiteral("/_config.dat.bad")));
        QCOMPARE(snapshot(prefix()), before);
    }

    // A data folder planted as a link (or another user's) is refused: the
    // browser says why and ends, and nothing is written through the link.
    void plantedDataFolderRefused()
    {
        const QString target = m_root.path() + QStringLiteral("/elsewhere");
        const QString planted = m_root.path() + QStringLiteral("/planted");
        QVERIFY(QDir().mkpath(target) && QDir().mkpath(planted));
        QVERIFY(QFile::link(target, planted + QStringLiteral("/quillon")));
        QProcessEnvironment env = userEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), planted);
        QProcess browser;
        browser.setProcessEnvironment(env);
        browser.start(prefix() + QStringLiteral("/bin/quillon"), {});
        QVERIFY(browser.waitForFinished(kTimeout));
        QCOMPARE(browser.exitCode(), 1);
        QVERIFY(browser.readAllStandardError().contains("is a link"));
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void secondStartHandsItsAddressesOver()
    {
        QProcess first;
        startBrowser(first, {});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SingleInstance::serverName(dataFolder())), kTimeout);
        const QString page = writePage("second.html", "Second page");
        const QString pageUrl = QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded);
        QElapsedTimer clock;
        clock.start();
        QProcess second;
        startBrowser(second, {page});
        QVERIFY(second.waitForFinished(kTimeout));
        const qint64 ms = clock.elapsed();
        QCOMPARE(second.exitCode(), 0);
        qInfo("the second start ended after %lld ms", ms);
        QVERIFY2(ms < 2000, qPrintable(QStringLiteral("the second start took %1 ms").arg(ms)));
        // The first shows it in a new tab (the tab's page is written to the open-pages file).
        QTRY_VERIFY_WITH_TIMEOUT(TestFiles::readAll(loadedFile()).contains(pageUrl.toUtf8()), kTimeout);
        QCOMPARE(first.state(), QProcess::Running);
        endBrowser(first);
    }

    // What a page keeps (a cookie, its local storage) is on disk when the
    // browser has ended, and the next start gives it back to the page.
    void pageDataOutlivesTheBrowser()
    {
        TestHttpServer server;
        QVERIFY(server.listen());
        server.setPage(QStringLiteral("/keep.html"),
                       "<html><body><script>"
                       "fetch('/report?c=' + encodeURIComponent(document.cookie) + '&s=' +"
                       " (localStorage.getItem('kept') || 'none'));"
                       "document.cookie = 'kept=cookie-42; max-age=99999';"
                       "localStorage.setItem('kept', 'storage-42');"
                       "</script></body></html>");
        QStringList reports;
        connect(&server, &TestHttpServer::requested, this, [&](const QString &target) {
            if (target.startsWith(QStringLiteral("/report")))
                reports.append(target);
        });
        const QString url = server.url(QStringLiteral("/keep.html"));
        for (const QString &expected :
             {QStringLiteral("/report?c=&s=none"), QStringLiteral("/report?c=kept%3Dcookie-42&s=storage-42")}) {
            reports.clear();
            QProcess browser;
            startBrowser(browser, {url});
            QTRY_VERIFY_WITH_TIMEOUT(!reports.isEmpty(), kTimeout);
            QCOMPARE(reports.first(), expected);
            endBrowser(browser);
        }
    }

    void pageProcessesRunInTheSandbox()
    {
        // As a user starts it: the engine refuses its sandbox to root, so as
        // root the browser is started as "nobody".
        const QString user = m_root.path() + QStringLiteral("/user");
        QProcessEnvironment env = userEnvironment();
        for (const auto &[name, folder] :
             {std::pair{"HOME", "/home"}, std::pair{"XDG_DATA_HOME", "/data"}, std::pair{"XDG_CONFIG_HOME", "/config"},
              std::pair{"XDG_CACHE_HOME", "/cache"}, std::pair{"XDG_RUNTIME_DIR", "/run"}}) {
            QVERIFY(QDir().mkpath(user + QString::fromLatin1(folder)));
            env.insert(QString::fromLatin1(name), user + QString::fromLatin1(folder));
        }
        const QString page = writePage("sandboxed.html", "Sandboxed");
        QString program = prefix() + QStringLiteral("/bin/quillon");
        QStringList arguments{page};
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            const QString runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
            if (!nobody || runuser.isEmpty())
                QSKIP("no unprivileged user to start the browser as");
            // The user reaches the installation and the page, and owns its folders.
            QDirIterator it(m_root.path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            QStringList folders{m_root.path()};
            while (it.hasNext())
                folders.append(it.next());
            for (const QString &folder : folders) {
                if (!folder.startsWith(user))
                    QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOther | QFile::ExeOther);
            }
            QFile::setPermissions(page, QFile::permissions(page) | QFile::ReadOther);
            for (QDirIterator own(user, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
                 own.hasNext();)
                QVERIFY(::chown(QFile::encodeName(own.next()).constData(), nobody->pw_uid, nobody->pw_gid) == 0);
            QVERIFY(::chown(QFile::encodeName(user).constData(), nobody->pw_uid, nobody->pw_gid) == 0);
            arguments =
                QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), program} + arguments;
            program = runuser;
        }
        QProcess browser;
        browser.setProcessEnvironment(env);
        browser.setProcessChannelMode(QProcess::MergedChannels);
        browser.start(program, arguments);
        QVERIFY(browser.waitForStarted());
        // Page processes are forked from the engine's zygote and keep its
        // command line: a sandboxed one runs under a seccomp filter.
        QStringList commands;
        bool sandboxed = false;
        QElapsedTimer clock;
        clock.start();
        while (!sandboxed && browser.state() == QProcess::Running && clock.elapsed() < kTimeout) {
            commands.clear();
            for (qint64 pid : descendants(browser.processId())) {
                QByteArray command = TestFiles::readAll(QStringLiteral("/proc/%1/cmdline").arg(pid));
                if (!command.contains("QtWebEngineProcess"))
                    continue;
                commands.append(QString::fromLocal8Bit(command.replace('\0', ' ')));
                sandboxed =
                    sandboxed || TestFiles::readAll(QStringLiteral("/proc/%1/status").arg(pid)).contains("Seccomp:\t2");
            }
            QTest::qWait(100);
        }
        const QByteArray output = browser.readAll();
        browser.terminate();
        browser.waitForFinished(kTimeout);
        for (const QString &command : std::as_const(commands))
            QVERIFY2(!command.contains(QStringLiteral("--no-sandbox")), qPrintable(command));
        if (!sandboxed && !userNamespacesWork(program == prefix() + QStringLiteral("/bin/quillon")))
            QSKIP("this machine lets no unprivileged user make a user namespace: the engine cannot sandbox here");
        QVERIFY2(sandboxed,
                 qPrintable(QStringLiteral("no sandboxed page process: ") + QString::fromLocal8Bit(output.right(300))));
    }

private:
    // The engine's sandbox needs an unprivileged user namespace; where one
    // can be made, a page process without the sandbox is a fault.
    static bool userNamespacesWork(bool asThisUser)
    {
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (unshare.isEmpty())
            return false;
        QStringList arguments{QStringLiteral("--user"), QStringLiteral("--map-root-user"), QStringLiteral("true")};
        QString program = unshare;
        if (!asThisUser) {
            arguments =
                QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), unshare} + arguments;
            program = QStandardPaths::findExecutable(QStringLiteral("runuser"));
        }
        QProcess probe;
        probe.start(program, arguments);
        return probe.waitForFinished(kTimeout) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    }

    QTemporaryDir m_root;
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
