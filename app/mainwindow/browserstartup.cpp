#include "app/mainwindow/browserstartup.h"

#include "app/mainwindow/commandtable.h"
#include "engine/browsercontrol.h"
#include "engine/browserprofile.h"
#include "engine/firstpagestart.h"
#include "engine/localcontentguard.h"
#include "platform/engineflags.h"
#include "platform/graphicsmode.h"
#include "app/mainwindow/keyrecorder.h"
#include "app/mainwindow/loadedpages.h"
#include "platform/logging.h"
#include "app/mainwindow/mainwindow.h"
#include "app/mainwindow/browsertabs.h"
#include "platform/platformpaths.h"
#include "quillon_version.h"
#include "app/mainwindow/singleinstance.h"
#include "app/settings/browsersettings.h"
#include "app/settings/internetoptions.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTextStream>
#include <QThreadPool>
#include <QUrl>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_LEAK_CHECKED 1
#endif
#endif
#ifndef QUILLON_LEAK_CHECKED
#define QUILLON_LEAK_CHECKED 0
#endif

namespace BrowserStartup {

namespace {

int g_quitPipe[2] = {-1, -1};
// Set once a quit signal came: one that comes before the event loop runs
// (during start-up) would otherwise be lost.
bool g_quitRequested = false;

void onQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_quitPipe[1], &byte, 1);
}

// SIGTERM and SIGINT (a session ending, Ctrl+C in a terminal) end the event
// loop, so the window closes as it does when the user closes it and the
// open pages and layout are kept.
void quitOnSignals(QObject *context)
{
    if (::pipe2(g_quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcFiles) << "no pipe for the quit signals";
        return;
    }
    auto *notifier = new QSocketNotifier(g_quitPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [] {
        char byte;
        while (::read(g_quitPipe[0], &byte, 1) > 0) {}
        g_quitRequested = true;
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void bringToFront(Form1 &form)
{
    if (form.isMinimized())
        form.showNormal();
    form.raise();
    form.activateWindow();
}

} // namespace

QStringList addressesFromArguments(const QStringList &arguments, const QString &workingFolder)
{
    QStringList addresses;
    for (const QString &argument : arguments) {
        if (argument.trimmed().isEmpty() || argument.startsWith(u'-'))
            continue;
        const QUrl url = QUrl::fromUserInput(argument, workingFolder);
        if (url.isValid())
            addresses.append(url.toString(QUrl::FullyEncoded));
    }
    return addresses;
}

int run(int argc, char *argv[], const BeforeLoad &beforeLoad)
{
    QElapsedTimer clock;
    clock.start();
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        // The engine refuses to start its sandbox as root.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QTextStream(stderr) << "quillon: running as root, the web sandbox is off\n";
    }
    GraphicsMode::apply();
    EngineFlags::apply();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // the web engine needs it
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon XP"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLON_VERSION_TEXT));
    QApplication::setOrganizationName(QStringLiteral("Kestrane"));
    QApplication::setDesktopFileName(QStringLiteral("quillon"));
    // The program's icon is set by the window once its home page is in:
    // reading its images, and under X sending them with the window, delays
    // the first page.

    // A data folder planted by someone else (a link, another user's folder)
    // is never written to.
    if (const QString problem = PlatformPaths::dataFolderProblem(); !problem.isEmpty()) {
        QTextStream(stderr) << "quillon: " << problem << "\n";
        if (QGuiApplication::platformName() != QStringLiteral("offscreen")) { // someone to answer it
            QApplication::setWindowIcon(CommandTable::programIcon());
            QMessageBox::critical(nullptr, QStringLiteral("Quillon XP"), problem);
        }
        return 1;
    }

    // Before the instance listens: once its socket is there, a quit signal
    // may come (a session ending, a test), and it must close the window as
    // usual rather than kill the program with its socket left behind.
    quitOnSignals(&app);
    const QStringList addresses =
        SingleInstance::bounded(addressesFromArguments(QApplication::arguments().mid(1), QDir::currentPath()));
    SingleInstance instance(PlatformPaths::programFolder());
    if (instance.handOver(addresses))
        return 0;
    instance.listen();
    // Qt's accessibility bridge joins the session bus when the first widget
    // speaks to it. Without a bus address the bus library forks a helper to
    // look for one: once the engine is up that fork copies a large process
    // and held the window's thread 20-30 ms (under X, in the first tab
    // bar); asked now, while the process is small, it takes some 10.
    QAccessible::isActive();
    // The first image read loads every image-format plugin. The window's
    // first icons (the menu bar's and the panes') did that on this thread
    // while the first page loaded; a worker does it now, while this thread
    // waits for the engine to come up. The plugin loader is locked.
    QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
    // The engine first: its profile sets up its stores on its own threads
    // for some 70 ms before it sends the first request, so the window is
    // built meanwhile rather than before.
    BrowserProfile::instance();
    // Then the first page (the one the browser was started for, or the home
    // page): the engine sends its request and starts its renderer while the
    // window is built, and the window's tab takes the page over.
    const int requestsBefore = BrowserProfile::requestGuard()->pageRequests();
    FirstPageStart firstPage(
        BrowserControl::addressUrl(addresses.isEmpty() ? BrowserSettings::homePage() : addresses.value(0)));

    KeyRecorder keys;
    app.installEventFilter(&keys);

    // The first address is the page in front from the start; the others,
    // and those of later starts that call while the window is still
    // loading, wait for the window's own.
    std::unique_ptr<Form1> form;
    QStringList waiting = addresses.mid(1);
    QObject::connect(&instance, &SingleInstance::activated, &app, [&](const QStringList &more) {
        if (!form || !form->isLoaded()) {
            waiting += more;
            return;
        }
        for (const QString &address : more)
            form->tabs()->openTab(address);
        bringToFront(*form);
    });
    const auto makeWindow = [&] {
        form = std::make_unique<Form1>();
        if (beforeLoad)
            beforeLoad(*form, clock);
        QObject::connect(form.get(), &Form1::loaded, form.get(), [&] {
            for (const QString &address : std::as_const(waiting))
                form->tabs()->openTab(address);
            waiting.clear();
        });
        form->load(addresses.value(0), requestsBefore);
        firstPage.end();
    };
    // The engine takes the navigation's first steps and the request's
    // interception on this thread: the window (some 20-40 ms to make) is
    // made once the request is on its way, so the page is fetched and its
    // renderer started meanwhile, rather than after it. Made before, it
    // held the request back by as long as it took. Never after a fifth of a
    // second, and not from inside the interception, which the request
    // waits for.
    if (firstPage.started()) {
        BrowserProfile::whenPageRequested(requestsBefore, std::chrono::milliseconds(200), &app, [&app, &makeWindow] {
            QMetaObject::invokeMethod(&app, makeWindow, Qt::QueuedConnection);
        });
    } else {
        makeWindow();
    }
    const int rc = g_quitRequested ? 0 : QApplication::exec();
    if (form)
        form->close(); // shutdown when the event loop was left some other way
    return rc;
}

void endProcess(int exitCode)
{
    LoadedPages::waitForWrites();
    InternetOptions::waitForClearing();
    std::fflush(nullptr);
#if QUILLON_LEAK_CHECKED
    std::exit(exitCode); // the sanitizer's leak check runs at the ordinary exit
#else
    ::_exit(exitCode);
#endif
}

} // namespace BrowserStartup
